#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QString>

class CompositorOutputs;
class QWidget;

// Keeps every window of the program on the board screen: the toolbar, the board, the overlay, the
// shade, the aids and every dialog, also those made on the spot. A window shown on another screen
// is moved onto it. When the board screen goes away (the projector is unplugged) every window
// moves to the primary screen, and back when the screen returns; the windows that cover the
// screen are given its size, and the pages keep theirs. Where the compositor does not place the
// windows it manages by their geometry, it is asked to show them on the board screen's output.
class ScreenKeeper : public QObject {
    Q_OBJECT
public:
    // requestedName: the board screen's name, empty for the primary screen. An unknown name is
    // said once on standard error. outputs: none where windows are placed by their geometry.
    explicit ScreenKeeper(const QString& requestedName, CompositorOutputs* outputs = nullptr);

    QScreen* screen() const { return m_screen; }

signals:
    // The board screen changed, or its geometry did; every window is on it already.
    void screenChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Looks for the board screen again once Qt's list of screens has settled.
    void followLater();
    void follow();
    void moveOnto(QWidget* window, const QRect& from) const;

    QString m_requestedName;
    CompositorOutputs* m_outputs;
    QPointer<QScreen> m_screen;
    // The board screen's geometry the windows are placed in; kept, since a screen that goes away
    // can no longer say where it was.
    QRect m_area;
    bool m_followPending = false;
};

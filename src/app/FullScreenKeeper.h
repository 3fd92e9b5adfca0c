#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class Desktop;
class QWidget;
class QWindow;

// Keeps the program's full-screen windows (the board, the overlay and the shade) over the whole
// screen, the desktop's panels included. A window manager puts a full-screen window above its
// panels only while that window is the active one, and a dialog that closes leaves no window
// active. So each watched window is marked full screen before it is shown, made active as soon as
// it shows, and made active again whenever any other window of the program (a dialog, the shade)
// goes away while it is open. Of several open full-screen windows the one shown last is on top.
// A watched window whose native window Qt makes anew is marked full screen again.
// Nothing is activated while a modal window other than a watched one is open: it stays above.
// Every other window shown while a watched one is open belongs to it (transient for it), unless it
// belongs to another shown window of the program already, which belongs to it in turn: a window
// manager counts them all as one, so the full-screen window stays over the panels while the other
// one (a dialog, the settings, a message, a password window over the settings) has the focus.
class FullScreenKeeper : public QObject {
public:
    explicit FullScreenKeeper(Desktop& desktop);

    // Keeps this full-screen window over the screen from now on.
    void watch(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Activation waits for the event loop: the window is mapped by then, and the window manager
    // receives the map before the activation request.
    void activateLater();
    // Makes a window shown while a watched one is open, and that belongs to no other shown window,
    // transient for the topmost watched one.
    void belongToTopmost(const QWidget* widget, QWindow* window) const;
    void activateTopmost();
    bool isWatched(const QObject* object) const;

    Desktop& m_desktop;
    // The watched windows, the one shown last at the end.
    QList<QPointer<QWidget>> m_windows;
    bool m_activationPending = false;
};

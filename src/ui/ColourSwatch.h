#pragma once

#include <QColor>
#include <QFrame>

// A sunken colour field that shows a colour as its fill and reports clicks of the left button, like
// the pen and background swatches of the board.
class ColourSwatch : public QFrame {
    Q_OBJECT
public:
    ColourSwatch(QWidget* parent, const QString& objectName, const QRect& geometry,
                 const QColor& colour, const QString& hint);

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_colour;
};

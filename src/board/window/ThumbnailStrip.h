#pragma once

#include <QFrame>

class GestureScrollBar;
class QLabel;
class QLineEdit;
class QToolButton;
class ThumbnailPicture;
class ThumbnailStripModel;

// The board's thumbnail strip (Panel5): the header (Panel6) with the page scroll bar and, at its
// right (Panel7), the header picture with the view, placement, collapse and close buttons and the
// position box; below it the thumbnail area (Image3). It shows the ThumbnailStripModel's state and
// forwards the teacher's input to it. Coordinates: the strip's own, its place on the board comes
// from the model in screen pixels.
class ThumbnailStrip : public QFrame {
    Q_OBJECT
public:
    // contentPanel is the board's content panel, whose pixels on the screen are stamped into the
    // page when the strip opens over it.
    ThumbnailStrip(ThumbnailStripModel& model, QWidget* contentPanel, QWidget* parent);

    // "缩略图查看" on the board's tool strip.
    void open();

    QFrame* Panel6;
    GestureScrollBar* ScrollBar1;
    QFrame* Panel7;
    QLabel* Image4;
    QToolButton* SpeedButton28;
    QToolButton* SpeedButton27;
    QToolButton* SpeedButton37;
    QToolButton* SpeedButton38;
    QLineEdit* Edit3;
    QToolButton* SpeedButton39;
    QToolButton* SpeedButton29;
    QToolButton* SpeedButton30;
    ThumbnailPicture* Image3;

private:
    void buildHeader();
    void connectControls();
    // What the model reports, shown on the widgets.
    void showStrip();
    void showPosition();
    void showPageCount();

    QWidget* m_contentPanel;
    ThumbnailStripModel& m_model;
};

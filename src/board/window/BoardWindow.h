#pragma once

#include "ui/ScreenImageWindow.h"

class BoardModel;
class ClipArtPalette;
class ColourSwatch;
class ContentPanel;
class CursorSlots;
class PalettePanel;
class PictureColumn;
class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;
class ThumbnailStrip;
class ThumbnailStripModel;

// The board window (TForm3): the board model's screen image over the whole screen with the tool
// strip along the top. It shows what the model reports and forwards the teacher's input to it;
// presses on the strip, the floating picture and the panels stay theirs and never reach the page.
// Coordinates are screen pixels: the window is borderless and covers the screen.
class BoardWindow : public ScreenImageWindow {
    Q_OBJECT
public:
    // The application's cursor slot in which the board keeps its tool cursor.
    static constexpr int cursorSlot = 2;

    // Panel9 shows the clip-art palette, with pictureColumn under "其它", and Panel5 the thumbnail
    // strip; their models live beside the board model, as long as the window.
    BoardWindow(BoardModel& model, ClipArtPalette& palette, ThumbnailStripModel& thumbnails,
                CursorSlots& cursors, PictureColumn& pictureColumn);

    BoardModel& model() { return m_model; }

    // Opening the board from the desktop: a page that was never filled gets the background swatch
    // colour, then the window shows.
    void openFromDesktop();
    // "操作演示": the board closes and asks for the desktop with the toolbar.
    void leave();

signals:
    // "操作演示": the board has closed and the desktop with the toolbar is to come back.
    void leaveRequested();
    // "消隐投影": the screen shade is to cover the board.
    void shadeRequested();
    // "设置": the panel state is kept; the settings window is to be shown modally.
    void settingsRequested();

public:
    // The tool strip and its controls, named as the system names them.
    QFrame* Panel2;
    QLabel* Panel3;
    QFrame* Panel1;
    QToolButton* SpeedButton9;
    ColourSwatch* LCP;
    ColourSwatch* RCP;
    QLineEdit* Edit1;
    QToolButton* SpeedButton7;
    QToolButton* SpeedButton8;
    QToolButton* SpeedButton5;
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton10;
    QToolButton* SpeedButton13;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton14;
    QToolButton* SpeedButton15;
    QToolButton* SpeedButton17;
    QToolButton* SpeedButton25;
    QToolButton* SpeedButton35;
    QToolButton* SpeedButton36;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton18;
    QToolButton* SpeedButton11;
    QLineEdit* Edit2;
    QToolButton* SpeedButton12;
    QToolButton* SpeedButton6;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton40;
    // Children over the page, hidden at start.
    QLabel* Image2;
    ContentPanel* Panel4;
    ThumbnailStrip* Panel5;
    PalettePanel* Panel9;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void pagePressed(QPoint point) override;
    void pageMoved(QPoint point) override;
    void pageReleased(QPoint point) override;
    void picturePressed(QPoint pointInPicture) override;
    void pictureDragged(QPoint pointInPicture) override;

private:
    void buildStrip();
    void buildHiddenChildren(ClipArtPalette& palette, ThumbnailStripModel& thumbnails,
                             PictureColumn& pictureColumn);
    void connectStrip();
    void placeStrip(int stripWidth);
    // What the model reports, shown on the widgets.
    void showSettings();
    void showPageNumber();
    void showTool();
    void showToolCursor(const QString& cursorFile);
    void showFloatingPicture();

    BoardModel& m_model;
    CursorSlots& m_cursors;
    QButtonGroup* m_toolGroup = nullptr;
};

#pragma once

#include "ui/ScreenImageWindow.h"

class ColourSwatch;
class CursorSlots;
class OverlayModel;
class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

// The annotation overlay (TForm2): the overlay model's screen image over the whole screen, above
// every other window, with the full toolbar at the top right or the compact one. It shows what
// the model reports and forwards the teacher's input; presses on the toolbars and the floating
// selection stay theirs. Coordinates are screen pixels.
class OverlayWindow : public ScreenImageWindow {
    Q_OBJECT
public:
    // The application's cursor slot in which the overlay keeps its tool cursor.
    static constexpr int cursorSlot = 3;

    OverlayWindow(OverlayModel& model, CursorSlots& cursors);

    OverlayModel& model() { return m_model; }

signals:
    // "书写板": the overlay has closed; the board is to open.
    void boardRequested();
    // "操作演示": the overlay has closed; the desktop and the toolbar are to come back.
    void leaveRequested();
    void shadeRequested();
    void helpRequested();

public:
    // The full toolbar and its controls, named as the system names them.
    QFrame* Panel1;
    QToolButton* SpeedButton9;
    ColourSwatch* LCP;
    QLineEdit* Edit1;
    QToolButton* SpeedButton7;
    QToolButton* SpeedButton8;
    QToolButton* SpeedButton5;
    QToolButton* SpeedButton24;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton26;
    QToolButton* SpeedButton15;
    QToolButton* SpeedButton13;
    QToolButton* SpeedButton14;
    QToolButton* SpeedButton11;
    QToolButton* SpeedButton12;
    QToolButton* SpeedButton6;
    QToolButton* SpeedButton10;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton18;
    QToolButton* SpeedButton3;
    // The compact toolbar.
    QFrame* Panel2;
    QToolButton* SpeedButton20;
    QToolButton* SpeedButton17;
    QToolButton* SpeedButton21;
    QToolButton* SpeedButton25;
    QToolButton* SpeedButton27;
    QToolButton* SpeedButton23;
    QToolButton* SpeedButton22;
    QToolButton* SpeedButton19;
    QToolButton* SpeedButton16;
    // The floating selection.
    QLabel* Image1;

protected:
    void pagePressed(QPoint point) override;
    void pageMoved(QPoint point) override;
    void pageReleased(QPoint point) override;
    void picturePressed(QPoint pointInPicture) override;
    void pictureDragged(QPoint pointInPicture) override;

private:
    void buildFullToolbar();
    void buildCompactToolbar();
    void connectButtons();
    void leave();
    void goToBoard();
    void showSettings();
    void showTool();
    void showToolCursor(const QString& cursorFile);
    void showSelection();
    void showToolbar();

    OverlayModel& m_model;
    CursorSlots& m_cursors;
    QButtonGroup* m_fullTools = nullptr;
    QButtonGroup* m_compactTools = nullptr;
};

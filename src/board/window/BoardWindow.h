#pragma once

#include "board/tools/ScreenImage.h"
#include "board/tools/BoardTools.h"
#include "board/store/PageStore.h"
#include "board/content/FloatingPicture.h"

#include <QWidget>

class CursorSlots;
class Prompter;
class ColourSwatch;
class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QTextEdit;
class QToolButton;

// The board window (TForm3): the current page over the whole screen with the tool strip along the
// top. It owns the page store, the window's own pixels and the drawing tools, and turns pointer
// events into calls on the tools. Coordinates are screen pixels: the window is borderless and
// covers the screen.
class BoardWindow : public QWidget {
    Q_OBJECT
public:
    // The application's cursor slot in which the board keeps its tool cursor.
    static constexpr int cursorSlot = 2;

    BoardWindow(QSize screenSize, const QString& programDirectory, CursorSlots& cursors,
                Prompter& prompter);

    PageStore& pages() { return m_pages; }
    BoardTools& tools() { return m_tools; }
    const ScreenImage& surface() const { return m_surface; }
    FloatingPicture& floatingPicture() { return m_floating; }

    int strokeWidth() const;
    QColor strokeColour() const;
    QColor backgroundSwatch() const;

    // Opening the board from the desktop: a page that was never filled gets the background swatch
    // colour, then the window shows.
    void openFromDesktop();
    // Shows the current page image on the whole window again.
    void repaintFromPage();
    // Keeps the text panel's text and place with the current page.
    void savePanelState();

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
    QFrame* Panel4;
    QTextEdit* RichEdit1;
    QFrame* Panel5;
    QFrame* Panel6;
    QFrame* Panel9;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void buildStrip();
    void buildHiddenChildren();
    void placeStrip(int stripWidth);
    void chooseTool(ToolMode mode);
    void leave();
    void undo();
    void turnRight();
    void turnLeft();
    void clearPage();
    void changeStrokeWidth(int step);
    void chooseStrokeColour();
    void chooseBackgroundColour();
    void restorePanelState(int page);
    // Page turns: what every turn does first, leaving a page, arriving on one, and the text
    // panel's colour that follows the page.
    void startTurn();
    void leaveCurrentPage();
    void arriveOnPage();
    void colourTextPanelForPage();
    void setTextPanelColour(quint32 colour);
    void chooseRangeSelection();
    void zoom(bool enlarge);
    // Stamps a floating picture with its frame left out, as tool and page changes do.
    void stampFloatingPicture();
    // Shows the floating picture as it now is; where it stood before, the page shows again.
    void showFloatingPicture(const QRect& before);
    void useToolCursor(ToolMode mode);
    OpenPanels openPanels() const;

    QSize m_screenSize;
    CursorSlots& m_cursors;
    Prompter& m_prompter;
    // The colour each colour dialog opens at: the one last chosen in it.
    QColor m_strokeDialogColour;
    QColor m_backgroundDialogColour;
    ScreenImage m_surface;
    PageStore m_pages;
    BoardTools m_tools;
    FloatingPicture m_floating;
    QButtonGroup* m_toolGroup = nullptr;
};

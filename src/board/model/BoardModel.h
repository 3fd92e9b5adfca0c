#pragma once

#include "board/content/FloatingPicture.h"
#include "board/model/BoardToolSet.h"
#include "board/model/ToolMode.h"
#include "board/store/PageStore.h"
#include "board/tools/Canvas.h"
#include "board/tools/ScreenImage.h"
#include "board/tools/Stroke.h"

#include <QObject>
#include <QTextDocument>
#include <optional>

class Prompter;

// The content panel over the left of the page as the board shows it: whether it is shown, whether
// its text box is (a web document hides it), where it stands and the colour of its text box.
struct ContentPanelState {
    bool shown = false;
    bool textShown = true;
    QRect bounds;
    quint32 textColour = 0;
};

// The board: its pages, the screen image the board window shows, the pen and background settings,
// the tools, undo, the floating picture, the content panel's state and text, and the rules for
// turning, clearing, a new background and pictures taller than the screen. Coordinates are screen
// pixels (the board covers the screen). Windows forward input here and show what the signals
// report; nothing here reads a widget.
class BoardModel : public QObject {
    Q_OBJECT
public:
    static constexpr int thinnest = 1;
    static constexpr int widest = 9;

    BoardModel(QSize screenSize, const QString& programDirectory, Prompter& prompter);

    QSize screenSize() const { return m_screenSize; }
    // The window's own pixels: all the board window paints.
    const ScreenImage& screen() const { return m_screen; }
    PageStore& pages() { return m_pages; }
    const PageStore& pages() const { return m_pages; }
    const FloatingPicture& floatingPicture() const { return m_floating; }

    ToolMode toolMode() const { return m_toolMode; }
    const WindowPen& pen() const { return m_stroke.pen; }
    StrokeBox strokeBox() const { return m_stroke.box; }
    int strokeWidth() const { return m_strokeWidth; }
    QColor strokeColour() const { return m_strokeColour; }
    QColor backgroundSwatch() const { return m_backgroundSwatch; }
    // The size of the shape being drawn, "10，5", or empty.
    QString readout() const { return m_readout; }
    const ContentPanelState& contentPanel() const { return m_panel; }
    // The content panel's text: the text box shows and edits this document.
    QTextDocument* panelText() { return &m_panelText; }

    // Settings a start-up applies; they change no page.
    void setStrokeWidth(int width);
    void setStrokeColour(const QColor& colour);
    void setBackgroundSwatch(const QColor& colour);
    // The colour of the content panel's text box, a 0x00BBGGRR number.
    void setTextPanelColour(quint32 colour);
    // Where the thumbnail strip stands while it is shown; commits keep clear of it.
    void setThumbnailStrip(std::optional<QRect> area) { m_thumbnailStrip = area; }

    // A page never filled takes the background swatch, as when the board opens from the desktop.
    void makeCurrentPageReady();
    // The window shows: the whole current page comes onto the screen and the stroke box is empty.
    void showOnWindow();
    // The current page image onto the whole screen again.
    void repaintFromPage();

    // Pointer input on the page (any button for press and release; moves with the left button).
    void press(QPoint point);
    void move(QPoint point);
    void release(QPoint point);
    // Pointer input on the floating picture, in the picture's own pixels.
    void pressOnPicture(QPoint pointInPicture);
    void dragPicture(QPoint pointInPicture);

    // The strip's actions.
    void chooseTool(ToolMode mode);
    void widen() { changeStrokeWidth(+1); }
    void narrow() { changeStrokeWidth(-1); }
    void chooseStrokeColour();
    void chooseBackgroundColour();
    void undo();
    void clearPage();
    void turnRight();
    void turnLeft();
    void zoomIn() { zoom(true); }
    void zoomOut() { zoom(false); }
    void clearReadout() { setReadout({}); }
    // Keeps the content panel's text and place with the current page.
    void savePanelState();

    // The current page: filled with the background swatch, or replaced by a picture of the
    // screen's size (a capture of the annotated desktop).
    void fillCurrentPage();
    void replaceCurrentPage(const QImage& picture);
    // Stamps a floating picture with its frame left out, as tool and page changes do.
    void putDownFloatingPicture();

    // A picture to float over the page at topLeft (a capture, a scan, clip-art); exact pictures are
    // stamped whole. A picture taller than the screen goes on at the top of continuationPage when
    // the teacher turns to it; that page counts as written on, and while it does not exist yet the
    // current page does, so that turning right adds it. There is no page after page 99.
    void placePicture(const QImage& picture, QPoint topLeft, bool exact, int continuationPage = 0);

signals:
    // Pixels of the screen image changed in rect.
    void repaintNeeded(const QRect& rect);
    // The current page or the page count changed.
    void pageChanged();
    // The stroke width, stroke colour or background swatch changed.
    void settingsChanged();
    void readoutChanged();
    void toolChanged();
    // The board is to show this cursor file (chosen by bare name) for its tool.
    void toolCursorChanged(const QString& cursorFile);
    // The floating picture was shown, moved, zoomed or hidden.
    void floatingPictureChanged();
    void contentPanelChanged();

private:
    Canvas canvas();
    void setReadout(const QString& text);
    void changeStrokeWidth(int step);
    void zoom(bool enlarge);
    // Reports the floating picture as it now is; where it stood before, the page shows again.
    void floatingPictureMoved(const QRect& before);
    void restorePanelState(int page);
    // Page turns: what every turn does first, leaving a page, arriving on one, and the text
    // panel's colour that follows the page.
    void startTurn();
    void leaveCurrentPage();
    void arriveOnPage();
    void colourTextPanelForPage();

    QSize m_screenSize;
    QString m_programDirectory;
    Prompter& m_prompter;
    ScreenImage m_screen;
    PageStore m_pages;
    FloatingPicture m_floating;
    BoardToolSet m_tools;
    ToolMode m_toolMode = ToolMode::Pen;
    Stroke m_stroke;
    QPoint m_selectionEnd;
    int m_strokeWidth = 2;
    QColor m_strokeColour;
    QColor m_backgroundSwatch;
    // The colour each colour dialog opens at: the one last chosen in it.
    QColor m_strokeDialogColour;
    QColor m_backgroundDialogColour;
    QString m_readout;
    ContentPanelState m_panel;
    QTextDocument m_panelText;
    std::optional<QRect> m_thumbnailStrip;
};

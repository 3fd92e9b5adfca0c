#pragma once

#include "board/content/ContentPanelModel.h"
#include "board/content/FloatingPicture.h"
#include "board/model/BoardToolSet.h"
#include "board/model/ColourChoice.h"
#include "board/model/PenSettings.h"
#include "board/model/PicturePlacement.h"
#include "board/model/ToolMode.h"
#include "board/store/PageStore.h"
#include "board/tools/Canvas.h"
#include "board/tools/ScreenImage.h"
#include "board/tools/Stroke.h"

#include <QObject>
#include <functional>
#include <optional>

class Prompter;
struct KeptBoard;

// The board: its pages, the screen image the board window shows, the pen and background settings,
// the tools, undo, the floating picture, the content panel's state and text, and the rules for
// turning, clearing, a new background and pictures taller than the screen. Coordinates are screen
// pixels (the board covers the screen). Windows forward input here and show what the signals
// report; nothing here reads a widget.
class BoardModel : public QObject {
    Q_OBJECT
public:
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
    int strokeWidth() const { return m_pen.width(); }
    QColor strokeColour() const { return m_pen.colour(); }
    QColor backgroundSwatch() const { return m_backgroundSwatch; }
    // The size of the shape being drawn, "10，5", or empty.
    QString readout() const { return m_readout; }
    const ContentPanelState& contentPanel() const { return m_contentPanel.state(); }
    // The content panel's text: the text box shows and edits this document.
    QTextDocument* panelText() { return m_contentPanel.text(); }
    // The content panel's behaviour: opening, moving, stamping, closing, documents.
    ContentPanelModel& panel() { return m_contentPanel; }

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
    // Straight to page n (kept within the pages), as a page picked from the thumbnails: the turn's
    // rules, without adding a page.
    void goToPage(int n);
    // The thumbnail strip opens over the board: a shown content panel is stamped into the current
    // page for the while, from its pixels on the screen, so the page's thumbnail shows it; with an
    // underlay, the panel shows again.
    void openThumbnails(const std::function<QImage()>& panelPixels);
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

    // Lessons. Page n as a lesson keeps it: its picture, content kind, panel bounds and page text.
    LessonPage lessonPage(int n) const;
    // While a lesson is saved: page n's number in the page-number box and its picture on the
    // window, shown at once. Returns page n as lessonPage does, but with the PNG file the board
    // keeps of it in place of its picture when there is one.
    LessonPage showSavedPage(int n);
    // After a save: the current page and its number are shown again.
    void finishSaving();
    // Replaces the pages by the count pages (1 ≤ count ≤ 99) that pageAt gives, one at a time, as a
    // page turn leaves the old page. Each picture is drawn unscaled at (0, 0) over what the window
    // shows (a page whose picture is null is filled with the background swatch) and the page is
    // taken from the window, while the page-number box shows its number. Afterwards the current
    // page, kept within the lesson, is shown with its content panel: text from its page text
    // file, shown when its content kind is text.
    void openLesson(int count, const std::function<LessonPage(int n)>& pageAt);
    // Puts back a board a backup kept (after a crash): every page's pixels, record and text, on
    // the page that was current, shown with its content panel as a page turn shows it.
    void restoreBoard(const KeptBoard& board);
    // Between a press on the page and its release: the page may hold half a stroke.
    bool strokeInProgress() const { return m_strokeInProgress; }
    // The number the page-number box shows: the current page, or the page being saved or opened.
    int shownPageNumber() const
    {
        return m_transferPage > 0 ? m_transferPage : m_pages.currentPage();
    }

    // A picture to float over the page at topLeft (a capture, a scan, clip-art); exact pictures are
    // stamped whole. A picture taller than the screen goes on at the top of continuationPage when
    // the teacher turns to it; that page counts as written on, and while it does not exist yet the
    // current page does, so that turning right adds it. There is no page after page 99.
    void placePicture(const QImage& picture, QPoint topLeft, bool exact, int continuationPage = 0);

    // Pictures from the clip-art palette wait for the next release on the board, whatever the tool
    // (PicturePlacement); there they float, placed whole. The choices return whether the file was
    // read.
    PendingPlacement pendingPlacement() const { return m_placement.pending(); }
    const QImage& clipArt() const { return m_placement.clipArt(); }
    bool chooseClipArt(const QString& path) { return m_placement.chooseClipArt(path); }
    bool choosePicture(const QString& path) { return m_placement.choosePicture(path); }

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
    // A lesson page is being saved or opened: its number and the window's pixels are to be shown
    // now, before the next page comes.
    void lessonPageShown();

private:
    Canvas canvas();
    void setReadout(const QString& text);
    void changeStrokeWidth(int step);
    void zoom(bool enlarge);
    // Reports the floating picture as it now is; where it stood before, the page shows again.
    void floatingPictureMoved(const QRect& before);
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
    FloatingPicture m_floating{FloatingPicture::boardCut};
    BoardToolSet m_tools;
    ToolMode m_toolMode = ToolMode::Pen;
    Stroke m_stroke;
    QPoint m_selectionEnd;
    PenSettings m_pen;
    QColor m_backgroundSwatch;
    // The colour each colour dialog opens at: the one last chosen in it.
    ColourChoice m_backgroundChoice;
    QString m_readout;
    ContentPanelModel m_contentPanel;
    std::optional<QRect> m_thumbnailStrip;
    // The page being saved or opened; 0 otherwise.
    int m_transferPage = 0;
    // The compact page the window shows while pages are saved or opened, so that the next one
    // only draws where it differs; null when the window shows anything else.
    CompactPage m_transferShown;
    bool m_strokeInProgress = false;
    PicturePlacement m_placement;
};

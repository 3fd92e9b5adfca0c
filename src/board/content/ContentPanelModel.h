#pragma once

#include "board/pixels/BoardGeometry.h"

#include <QFont>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTextDocument>
#include <QUrl>
#include <functional>

class PageStore;
class Prompter;
class QTextCharFormat;
class ScreenImage;

// The content panel over the page as the board shows it: whether it is shown, whether its title
// bar and its text box are (a document hides the text box and shows the document view), where it
// stands, the colour of its text box and the document the view holds.
struct ContentPanelState {
    bool shown = false;
    bool titleBarShown = false;
    bool textShown = true;
    QRect bounds;
    quint32 textColour = 0;
    // One document for the whole board; empty while the view is cleared.
    QUrl document;
    // A document is being made ready to show (converted); the panel shows it is busy.
    bool documentPending = false;
};

// What a drag on the panel does, by where it starts: the cursor the panel shows there.
enum class PanelGrip { Move, ResizeWidth, ResizeHeight, ResizeBoth, Text };

// The content panel's behaviour: a floating panel over the page that carries rich text in the
// brush script or a document, opened on a page with "导入", moved and sized by its title bar and
// the edges of its text box, stamped into the page (or into the page and the underlay, so that
// erasing brings it back) and closed. Each page keeps its own kind, bounds and text in the page
// store (its text in the page's text file, as rich text); the board saves and restores them on
// page turns through leavePage() and restore().
//
// Coordinates: the panel's bounds are screen pixels; pointer positions on the title bar and the
// text box are panel pixels (the title bar lies at the panel's top left). The panel's picture
// handed to the stamps is what the screen shows of the panel with its title bar hidden.
//
// The panel's pixels are not the board's: where the panel moves away or hides, the screen image
// shows the current page again, as a repaint of the board would.
class ContentPanelModel : public QObject {
    Q_OBJECT
public:
    static constexpr int titleBarHeight = BoardGeometry::panelTitleBarHeight;
    static constexpr int normalWidth = 368;
    static constexpr int widerStep = 20;
    // The text box's font: the brush script, 48 pixels high.
    static QFont textBoxFont();

    ContentPanelModel(PageStore& pages, ScreenImage& screen, Prompter& prompter);

    const ContentPanelState& state() const { return m_state; }
    // The text box shows and edits this document.
    QTextDocument* text() { return &m_text; }
    // What a drag that starts now does, by the last press or hover.
    PanelGrip grip() const { return m_grip; }

    // "导入": the panel comes to the page's bounds (a shown panel stays where it is) and shows,
    // its title bar shown or hidden in turn. On a page without a panel it opens with the page's
    // kept text in the text box, and the page is kept as it is (the saved page image) for closing
    // and the normal size.
    void open();
    void showTitleBar();
    void hideTitleBar();

    // The title bar: a press starts a move, or a resize of the width at its right edge.
    void pressTitleBar(QPoint inPanel);
    PanelGrip hoverTitleBar(QPoint inPanel);
    void dragTitleBar(QPoint inPanel);
    // The text box: a press shows the title bar; at its right and bottom edges it starts a
    // resize. True when the press starts a resize, which the text box is not to see.
    bool pressTextArea(QPoint inPanel);
    PanelGrip hoverTextArea(QPoint inPanel);
    void dragTextArea(QPoint inPanel);

    // The font dialog for the selection between two positions of the text; its Apply button
    // gives the whole text the font. With no selection the font is for what is typed next.
    void chooseFont(int selectionStart, int selectionEnd);
    // Before the text box pastes: the text box shows, the page's panel holds text and the
    // document view is cleared.
    void prepareForPaste();
    void normalSize();
    void fullSize();
    void widen();
    // The stamps take the panel's picture at the panel's place. As underlay: into the page and
    // into the underlay (erasing then reveals it), and the panel hides. Into the page: the
    // panel's content becomes part of the page and the panel closes.
    void stampAsUnderlay(const QImage& panelPicture);
    void stampAndClose(const QImage& panelPicture);
    // Hides the panel; the page under it comes back as it was before an underlay stamp. The
    // text stays in the page's text file for the next opening.
    void close();
    // The thumbnail strip opens: a shown panel hides its title bar, keeps its state and is
    // stamped into the page for the while (the page is marked stamped), from its pixels on the
    // screen, so the page's thumbnail shows it. A panel stamped as underlay shows again.
    void stampForThumbnails(const std::function<QImage()>& panelPixels);

    // A document in the view: on the current page's panel while it is shown.
    void showDocument(const QUrl& document);
    void setDocumentPending(bool pending);

    // The board's page turns and settings.
    void setTextColour(quint32 colour);
    // Keeps the text (in the page's text file) and the bounds of the current page; a text file
    // that cannot be written is reported.
    void savePanelState();
    // Leaving the current page: a shown panel hides its title bar and keeps its state.
    void leavePage();
    // Arriving on page n: the panel as that page keeps it.
    void restore(int page);
    // A page was just added: no panel, an empty text box.
    void hideForNewPage();
    // A lesson was opened: the panel takes page n's text (none when it has no text file) and
    // bounds, and shows when the page holds text; a document is not kept with a lesson.
    // textRefused: a page whose text file could not be written (0 for none), which is reported.
    void restoreOpenedPage(int page, int textRefused);

signals:
    // The state changed: the panel is to show it.
    void changed();
    // The font chosen with no text selected, for what the teacher types next.
    void typingFontChosen(const QTextCharFormat& format);

private:
    // Shows or hides the panel at bounds; what it uncovers shows the page again.
    void place(bool shown, const QRect& bounds);
    void takeSavedPage();
    bool savedPageIsCurrent() const;
    void wipeStamp();
    void stampInto(QImage& image, const QImage& panelPicture) const;
    void loadText(int page);
    void reportTextRefused(int page);

    PageStore& m_pages;
    ScreenImage& m_screen;
    Prompter& m_prompter;
    ContentPanelState m_state;
    QTextDocument m_text;
    PanelGrip m_grip = PanelGrip::Move;
    // The panel drag origin: the panel's size and the pointer at the last press.
    QPoint m_pressPoint;
    QSize m_originSize;
    // The page the saved page image was taken from; 0 before the first.
    int m_savedPage = 0;
};

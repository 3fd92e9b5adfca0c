#pragma once

#include <QFrame>
#include <QImage>
#include <QUrl>

class ContentPanelModel;
class QLabel;
class QTextEdit;
class QToolButton;

// The board's content panel (Panel4): a teal panel over the page with its title bar (Image1) of
// buttons, the rich-text box (RichEdit1) in the brush script and, behind it, the document view
// (WebBrowser1), made the first time a document is shown so that start-up does not start the
// web engine. It shows the ContentPanelModel's state and forwards the teacher's input; presses
// on it never reach the board. Its geometry is in board (screen) pixels, its children's in
// panel pixels. The requests for documents, scanning and the clip-art palette go to whoever
// connects them.
class ContentPanel : public QFrame {
    Q_OBJECT
public:
    ContentPanel(ContentPanelModel& model, QWidget* board);

    // The panel's pixels as the screen shows them: what the stamps copy into the page.
    QImage picture();

    QLabel* Image1;
    QTextEdit* RichEdit1;
    // A web view (ui/WebViews); null until a document is shown.
    QWidget* WebBrowser1 = nullptr;
    // The title bar's buttons: those with a picture, then the hot areas over its drawn icons.
    QToolButton* SpeedButton16; // font
    QToolButton* SpeedButton26; // open a document
    QToolButton* SpeedButton34; // scan
    QToolButton* SpeedButton32; // clip-art palette
    QToolButton* SpeedButton23; // paste
    QToolButton* SpeedButton31; // stamp as underlay
    QToolButton* SpeedButton41; // stamp into the page and close
    QToolButton* SpeedButton22; // normal size
    QToolButton* SpeedButton21; // full screen
    QToolButton* SpeedButton20; // wider by 20
    QToolButton* SpeedButton24; // hide the title bar
    QToolButton* SpeedButton19; // close

signals:
    // The open button: a document is to be chosen for the panel.
    void documentRequested();
    // The scanner button: a page is to be scanned onto the board.
    void scanRequested();
    // The picture button: the clip-art palette is to open.
    void clipArtRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTitleBar();
    void connectButtons();
    void showState();
    void makeWebBrowser();
    bool titleBarEvent(QEvent* event);
    bool textAreaEvent(QEvent* event);
    void followFocus(QWidget* old, QWidget* now);

    ContentPanelModel& m_model;
    // The document the view was last told to show.
    QUrl m_shownDocument;
};

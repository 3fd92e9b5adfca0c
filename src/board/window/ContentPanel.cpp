#include "board/window/ContentPanel.h"

#include "board/content/ContentPanelModel.h"
#include "board/pixels/ColourRef.h"
#include "board/pixels/NamedColours.h"
#include "board/window/LongWordWrap.h"
#include "ui/ButtonPictures.h"
#include "ui/PictureButton.h"
#include "ui/PointerInput.h"
#include "ui/WebViews.h"
#include "ui/WindowFill.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextEdit>

namespace {

const QSize titlePictureSize(363, ContentPanelModel::titleBarHeight);

Qt::CursorShape cursorFor(PanelGrip grip)
{
    switch (grip) {
    case PanelGrip::Move:
        return Qt::SizeAllCursor;
    case PanelGrip::ResizeWidth:
        return Qt::SizeHorCursor;
    case PanelGrip::ResizeHeight:
        return Qt::SizeVerCursor;
    case PanelGrip::ResizeBoth:
        return Qt::SizeFDiagCursor;
    case PanelGrip::Text:
        break;
    }
    return Qt::IBeamCursor;
}

// A flat button without a picture over an icon the title bar draws.
QToolButton* hotArea(QWidget* titleBar, const char* name, const QRect& geometry)
{
    auto* button = new PictureButton(titleBar);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

} // namespace

ContentPanel::ContentPanel(ContentPanelModel& model, QWidget* board) : QFrame(board), m_model(model)
{
    setObjectName(QStringLiteral("Panel4"));
    WindowFill::apply(this, NamedColours::teal);
    keepPointerInput(this);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setDocument(m_model.text());
    RichEdit1->setFont(ContentPanelModel::textBoxFont());
    RichEdit1->setFrameStyle(QFrame::NoFrame);
    RichEdit1->setAcceptRichText(true);
    // The text scrolls with the caret; the box has no scroll bars, its edges resize the panel.
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette text = RichEdit1->palette();
    text.setColor(QPalette::Text, Qt::black);
    RichEdit1->setPalette(text);
    new LongWordWrap(RichEdit1);
    RichEdit1->viewport()->setMouseTracking(true);
    RichEdit1->viewport()->installEventFilter(this);

    buildTitleBar();
    connectButtons();
    connect(&m_model, &ContentPanelModel::changed, this, &ContentPanel::showState);
    connect(&m_model, &ContentPanelModel::typingFontChosen, RichEdit1,
            &QTextEdit::mergeCurrentCharFormat);
    connect(qApp, &QApplication::focusChanged, this, &ContentPanel::followFocus);
    showState();
}

void ContentPanel::buildTitleBar()
{
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(fixedPicture(QStringLiteral("paneltitle"), titlePictureSize));
    // A panel wider than the picture has the title bar's face beyond it.
    WindowFill::apply(Image1, NamedColours::skyBlue);
    Image1->setMouseTracking(true);
    Image1->installEventFilter(this);

    auto button = [this](const char* name, const QRect& geometry, const char* picture) {
        return addPictureButton(Image1, QString::fromLatin1(name), geometry,
                                QString::fromLatin1(picture), QString());
    };
    SpeedButton16 = button("SpeedButton16", {9, 2, 19, 18}, "font");
    SpeedButton22 = hotArea(Image1, "SpeedButton22", {30, 0, 20, 20});
    SpeedButton21 = hotArea(Image1, "SpeedButton21", {91, 0, 22, 20});
    SpeedButton26 = button("SpeedButton26", {129, 6, 20, 14}, "openfolder");
    SpeedButton34 = button("SpeedButton34", {154, 4, 20, 18}, "scanner");
    SpeedButton32 = button("SpeedButton32", {177, 4, 20, 18}, "clipart");
    SpeedButton23 = button("SpeedButton23", {201, 4, 22, 16}, "paste");
    SpeedButton31 = button("SpeedButton31", {239, 1, 22, 18}, "stampunderlay");
    SpeedButton41 = button("SpeedButton41", {265, 1, 22, 18}, "stampclose");
    SpeedButton20 = hotArea(Image1, "SpeedButton20", {292, 0, 17, 20});
    SpeedButton24 = hotArea(Image1, "SpeedButton24", {325, 0, 18, 18});
    SpeedButton19 = hotArea(Image1, "SpeedButton19", {343, 0, 19, 18});
}

void ContentPanel::connectButtons()
{
    ContentPanelModel* model = &m_model;
    connect(SpeedButton16, &QToolButton::clicked, this, [this] {
        const QTextCursor cursor = RichEdit1->textCursor();
        m_model.chooseFont(cursor.anchor(), cursor.position());
    });
    connect(SpeedButton22, &QToolButton::clicked, model, &ContentPanelModel::normalSize);
    connect(SpeedButton21, &QToolButton::clicked, model, &ContentPanelModel::fullSize);
    connect(SpeedButton26, &QToolButton::clicked, this, &ContentPanel::documentRequested);
    connect(SpeedButton34, &QToolButton::clicked, this, &ContentPanel::scanRequested);
    connect(SpeedButton32, &QToolButton::clicked, this, &ContentPanel::clipArtRequested);
    connect(SpeedButton23, &QToolButton::clicked, this, [this] {
        m_model.prepareForPaste();
        RichEdit1->paste();
    });
    // The stamps take the panel as the screen shows it without its title bar.
    connect(SpeedButton31, &QToolButton::clicked, this, [this] {
        m_model.hideTitleBar();
        m_model.stampAsUnderlay(picture());
    });
    connect(SpeedButton41, &QToolButton::clicked, this, [this] {
        m_model.hideTitleBar();
        m_model.stampAndClose(picture());
    });
    connect(SpeedButton20, &QToolButton::clicked, model, &ContentPanelModel::widen);
    connect(SpeedButton24, &QToolButton::clicked, model, &ContentPanelModel::hideTitleBar);
    connect(SpeedButton19, &QToolButton::clicked, model, &ContentPanelModel::close);
}

QImage ContentPanel::picture()
{
    // The text box's caret is no part of what is stamped into the page.
    const int caret = RichEdit1->cursorWidth();
    RichEdit1->setCursorWidth(0);
    QImage pixels = grab().toImage();
    RichEdit1->setCursorWidth(caret);
    // The document is drawn by the web view process into a window of its own: only the screen
    // has its pixels.
    if (WebBrowser1 && WebBrowser1->isVisible() && WebBrowser1->internalWinId()) {
        QPainter painter(&pixels);
        painter.drawPixmap(WebBrowser1->geometry().topLeft(),
                           WebBrowser1->screen()->grabWindow(WebBrowser1->winId()));
    }
    return pixels;
}

void ContentPanel::showState()
{
    const ContentPanelState& state = m_model.state();
    setGeometry(state.bounds);
    const int top = state.titleBarShown ? ContentPanelModel::titleBarHeight : 0;
    Image1->setGeometry(0, 0, width(), ContentPanelModel::titleBarHeight);
    Image1->setVisible(state.titleBarShown);
    const QRect below(0, top, width(), height() - top);
    RichEdit1->setGeometry(below);
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Base, ColourRef::toColor(state.textColour));
    RichEdit1->setPalette(palette);
    RichEdit1->setVisible(state.textShown);

    if (!state.document.isEmpty() && !WebBrowser1)
        makeWebBrowser();
    if (WebBrowser1) {
        WebBrowser1->setGeometry(below);
        WebBrowser1->setVisible(!state.textShown);
        if (state.document != m_shownDocument) {
            m_shownDocument = state.document;
            WebViews::load(WebBrowser1, state.document, false);
        }
    }
    if (state.documentPending)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
    setVisible(state.shown);
}

void ContentPanel::makeWebBrowser()
{
    WebBrowser1 = WebViews::makeView(this, WebViewUse::Documents);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    // The text box lies above the view whenever both are shown.
    WebBrowser1->stackUnder(RichEdit1);
}

void ContentPanel::followFocus(QWidget* old, QWidget* now)
{
    if (!WebBrowser1)
        return;
    auto inView = [this](QWidget* widget) {
        return widget && (widget == WebBrowser1 || WebBrowser1->isAncestorOf(widget));
    };
    // Entering the document view shows the title bar, leaving it hides it.
    if (inView(now) && !inView(old))
        m_model.showTitleBar();
    else if (inView(old) && !inView(now))
        m_model.hideTitleBar();
}

bool ContentPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1)
        return titleBarEvent(event);
    if (watched == RichEdit1->viewport())
        return textAreaEvent(event);
    return QFrame::eventFilter(watched, event);
}

bool ContentPanel::titleBarEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        m_model.pressTitleBar(static_cast<QMouseEvent*>(event)->position().toPoint());
        Image1->setCursor(cursorFor(m_model.grip()));
        return true;
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint inPanel = mouse->position().toPoint();
        if (mouse->buttons() & Qt::LeftButton)
            m_model.dragTitleBar(inPanel);
        else if (mouse->buttons() == Qt::NoButton)
            Image1->setCursor(cursorFor(m_model.hoverTitleBar(inPanel)));
        return true;
    }
    case QEvent::MouseButtonRelease:
        return true;
    default:
        return false;
    }
}

bool ContentPanel::textAreaEvent(QEvent* event)
{
    QWidget* viewport = RichEdit1->viewport();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool resizing =
            m_model.pressTextArea(viewport->mapTo(this, mouse->position().toPoint()));
        viewport->setCursor(cursorFor(m_model.grip()));
        return resizing;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint inPanel = viewport->mapTo(this, mouse->position().toPoint());
        if (mouse->buttons() == Qt::NoButton) {
            viewport->setCursor(cursorFor(m_model.hoverTextArea(inPanel)));
            return false;
        }
        if (m_model.grip() == PanelGrip::Text)
            return false;
        if (mouse->buttons() & Qt::LeftButton)
            m_model.dragTextArea(inPanel);
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // The end of a resize is not the text box's.
        return m_model.grip() != PanelGrip::Text;
    default:
        return false;
    }
}

#include "board/BoardWindow.h"

#include "board/ColourRef.h"
#include "board/CursorFile.h"
#include "board/ProbePixel.h"
#include "board/RasterCopy.h"
#include "board/TextPanelColour.h"
#include "platform/Prompter.h"
#include "ui/ButtonPictures.h"
#include "ui/ColourSwatch.h"
#include "ui/SystemWindow.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTextEdit>
#include <QToolButton>

namespace {

// Colours of the strip as designed, as 0x00BBGGRR numbers.
constexpr quint32 readoutColour = 2713492;
constexpr quint32 numberBoxColour = 14850132;
constexpr quint32 skyBlue = 0xF0CAA6;
constexpr quint32 contentPanelColour = 0x808000; // teal
// Start values of the pen and the page until personal settings apply theirs.
constexpr quint32 designedStrokeColour = 255;
constexpr quint32 designedBackgroundColour = 8421504;
constexpr int contentPanelWidth = 368;
constexpr int toolStripWidth = 722;

QPalette filled(QWidget* widget, quint32 colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ColourRef::toColor(colour));
    palette.setColor(QPalette::Base, ColourRef::toColor(colour));
    return palette;
}

QLineEdit* numberBox(QWidget* parent, const QString& name, const QRect& geometry, int pixelSize,
                     const QString& text, const QString& hint)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    box->setReadOnly(true);
    box->setEnabled(false);
    box->setAlignment(Qt::AlignCenter);
    box->setToolTip(hint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    box->setFont(font);
    box->setFrame(false);
    QPalette palette = filled(box, numberBoxColour);
    // A disabled box keeps its red digits: the teacher reads them from the back of the room.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Text, Qt::red);
    palette.setColor(QPalette::Disabled, QPalette::Base, ColourRef::toColor(numberBoxColour));
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    return box;
}

} // namespace

BoardWindow::BoardWindow(QSize screenSize, const QString& programDirectory, CursorSlots& cursors,
                         Prompter& prompter)
    : m_screenSize(screenSize), m_cursors(cursors), m_prompter(prompter), m_surface(screenSize),
      m_pages(screenSize, programDirectory, QSize(contentPanelWidth, screenSize.height() - 45)),
      m_tools(m_pages, m_surface)
{
    SystemWindow::setUp(this, QStringLiteral("TForm3"), QStringLiteral("白板"),
                        SystemWindow::Layer::Normal);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(16);
    setFont(font);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_surface.setRepaintHandler([this](const QRect& rect) { update(rect); });

    m_cursors.loadFromFile(cursorSlot, BoardTools::cursorFile(ToolMode::Pen));
    buildHiddenChildren();
    buildStrip();
    setCursor(m_cursors.cursor(cursorSlot));
    m_tools.chooseTool(ToolMode::Pen, strokeWidth(), strokeColour());
    setGeometry(QRect(QPoint(0, 0), screenSize));
    // The strip leaves the rightmost column open; resizing narrows that gap to one pixel.
    placeStrip(screenSize.width() - 2);
}

void BoardWindow::placeStrip(int stripWidth)
{
    Panel2->resize(stripWidth, Panel2->height());
    Panel1->move(Panel2->width() - 1 - Panel1->width(), 1);
}

void BoardWindow::buildHiddenChildren()
{
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setCursor(Qt::SizeAllCursor);
    Image2->setGeometry(0, 0, 0, 0);
    Image2->installEventFilter(this);
    Image2->hide();

    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setPalette(filled(Panel4, contentPanelColour));
    Panel4->setAutoFillBackground(true);
    Panel4->setGeometry(0, 41, contentPanelWidth, m_screenSize.height() - 45);
    RichEdit1 = new QTextEdit(Panel4);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    Panel4->hide();

    Panel5 = new QFrame(this);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->hide();
    Panel6 = new QFrame(Panel5);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    Panel6->setFixedHeight(1);

    Panel9 = new QFrame(this);
    Panel9->setObjectName(QStringLiteral("Panel9"));
    Panel9->hide();
}

void BoardWindow::buildStrip()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setPalette(filled(Panel2, 0xC0C0C0));
    Panel2->setAutoFillBackground(true);
    Panel2->setGeometry(0, 0, m_screenSize.width() - 2, 40);

    Panel3 = new QLabel(Panel2);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(3, 6, 82, 28);
    Panel3->setAlignment(Qt::AlignCenter);
    Panel3->setAutoFillBackground(true);
    QPalette readout = filled(Panel3, readoutColour);
    readout.setColor(QPalette::WindowText, Qt::white);
    Panel3->setPalette(readout);
    QFont readoutFont(QStringLiteral("MS Sans Serif"));
    readoutFont.setPixelSize(13);
    readoutFont.setBold(true);
    Panel3->setFont(readoutFont);

    Panel1 = new QFrame(Panel2);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setPalette(filled(Panel1, skyBlue));
    Panel1->setAutoFillBackground(true);
    Panel1->resize(toolStripWidth, 38);

    auto button = [this](const char* name, QRect geometry, const char* picture,
                         const QString& hint) {
        return addPictureButton(Panel1, QString::fromLatin1(name), geometry,
                                QString::fromLatin1(picture), hint);
    };
    SpeedButton9 = button("SpeedButton9", {1, 0, 36, 19}, "pencolour", QStringLiteral("笔画颜色"));
    LCP = new ColourSwatch(Panel1, QStringLiteral("LCP"), {1, 5, 35, 9},
                           ColourRef::toColor(designedStrokeColour), QStringLiteral("笔画颜色"));
    RCP = new ColourSwatch(Panel1, QStringLiteral("RCP"), {0, 20, 38, 20},
                           ColourRef::toColor(designedBackgroundColour),
                           QStringLiteral("背景颜色"));
    Edit1 = numberBox(Panel1, QStringLiteral("Edit1"), {39, 1, 26, 39}, 31, QStringLiteral("2"),
                      QStringLiteral("笔画粗细"));
    SpeedButton7 = button("SpeedButton7", {65, 0, 38, 19}, "widthup", QStringLiteral("笔画增粗"));
    SpeedButton8 = button("SpeedButton8", {65, 20, 38, 19}, "widthdown", QStringLiteral("笔画变细"));
    SpeedButton5 = button("SpeedButton5", {103, 0, 38, 38}, "clear", QStringLiteral("清屏"));
    SpeedButton4 = button("SpeedButton4", {141, 0, 38, 38}, "undo", QStringLiteral("撤销"));
    SpeedButton10 = button("SpeedButton10", {179, 0, 38, 38}, "eraser", QStringLiteral("板擦"));
    SpeedButton13 = button("SpeedButton13", {218, 0, 38, 38}, "areaerase", QStringLiteral("擦除"));
    SpeedButton3 = button("SpeedButton3", {255, 0, 38, 38}, "pen", QStringLiteral("书写"));
    SpeedButton14 = button("SpeedButton14", {293, 0, 36, 38}, "line", QStringLiteral("画直线"));
    SpeedButton15 = button("SpeedButton15", {329, 0, 36, 38}, "rectangle", QStringLiteral("画矩形"));
    SpeedButton17 =
        button("SpeedButton17", {365, 0, 36, 38}, "ellipse", QStringLiteral("画圆或椭圆"));
    SpeedButton25 =
        button("SpeedButton25", {401, 0, 38, 38}, "rangeselect", QStringLiteral("范围选择"));
    SpeedButton35 =
        button("SpeedButton35", {439, 0, 38, 19}, "zoomin", QStringLiteral("对选取画面放大"));
    SpeedButton36 =
        button("SpeedButton36", {439, 19, 38, 19}, "zoomout", QStringLiteral("恢复原始大小"));
    SpeedButton1 =
        button("SpeedButton1", {477, 0, 38, 19}, "thumbnails", QStringLiteral("缩略图查看"));
    SpeedButton18 = button("SpeedButton18", {477, 19, 38, 19}, "import", QStringLiteral("导入"));
    SpeedButton11 = button("SpeedButton11", {516, 0, 31, 38}, "pageleft", QStringLiteral("左翻页"));
    Edit2 = numberBox(Panel1, QStringLiteral("Edit2"), {546, 0, 32, 38}, 24, QStringLiteral("1"),
                      QStringLiteral("页号"));
    SpeedButton12 =
        button("SpeedButton12", {578, 0, 29, 38}, "pageright", QStringLiteral("右翻页"));
    SpeedButton6 = button("SpeedButton6", {608, 0, 38, 38}, "settings", QStringLiteral("设置"));
    SpeedButton2 = button("SpeedButton2", {646, 0, 38, 38}, "shade", QStringLiteral("消隐投影"));
    SpeedButton40 = button("SpeedButton40", {684, 0, 38, 38}, "demo", QStringLiteral("操作演示"));
    // The swatch lies on its button and stays visible above it.
    LCP->raise();

    m_toolGroup = new QButtonGroup(this);
    m_toolGroup->setExclusive(true);
    const std::pair<QToolButton*, ToolMode> tools[] = {
        {SpeedButton3, ToolMode::Pen},          {SpeedButton14, ToolMode::Line},
        {SpeedButton15, ToolMode::Rectangle},   {SpeedButton17, ToolMode::Ellipse},
        {SpeedButton10, ToolMode::Eraser},      {SpeedButton25, ToolMode::RangeSelection},
        {SpeedButton13, ToolMode::AreaErase},
    };
    for (const auto& [toolButton, mode] : tools) {
        toolButton->setCheckable(true);
        m_toolGroup->addButton(toolButton, int(mode));
    }
    SpeedButton3->setChecked(true);
    connect(m_toolGroup, &QButtonGroup::idClicked, this, [this](int id) {
        if (ToolMode(id) == ToolMode::RangeSelection)
            chooseRangeSelection();
        else
            chooseTool(ToolMode(id));
    });
    connect(SpeedButton35, &QToolButton::clicked, this, [this] { zoom(true); });
    connect(SpeedButton36, &QToolButton::clicked, this, [this] { zoom(false); });
    connect(SpeedButton2, &QToolButton::clicked, this, &BoardWindow::shadeRequested);
    connect(SpeedButton4, &QToolButton::clicked, this, &BoardWindow::undo);
    connect(SpeedButton6, &QToolButton::clicked, this, [this] {
        savePanelState();
        emit settingsRequested();
    });
    connect(SpeedButton5, &QToolButton::clicked, this, &BoardWindow::clearPage);
    connect(SpeedButton11, &QToolButton::clicked, this, &BoardWindow::turnLeft);
    connect(SpeedButton12, &QToolButton::clicked, this, &BoardWindow::turnRight);
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { changeStrokeWidth(+1); });
    connect(SpeedButton8, &QToolButton::clicked, this, [this] { changeStrokeWidth(-1); });
    connect(SpeedButton9, &QToolButton::clicked, this, &BoardWindow::chooseStrokeColour);
    connect(LCP, &ColourSwatch::clicked, this, &BoardWindow::chooseStrokeColour);
    connect(RCP, &ColourSwatch::clicked, this, &BoardWindow::chooseBackgroundColour);
    connect(SpeedButton40, &QToolButton::clicked, this, &BoardWindow::leave);
}

int BoardWindow::strokeWidth() const
{
    return Edit1->text().toInt();
}

QColor BoardWindow::strokeColour() const
{
    return LCP->colour();
}

QColor BoardWindow::backgroundSwatch() const
{
    return RCP->colour();
}

void BoardWindow::showFloatingPicture(const QRect& before)
{
    if (m_floating.isShown()) {
        Image2->setPixmap(QPixmap::fromImage(m_floating.picture()));
        Image2->setGeometry(m_floating.geometry());
        Image2->show();
    } else {
        Image2->hide();
    }
    // What the picture uncovered is drawn from the page, as a repaint of the window would.
    const QRegion uncovered = QRegion(before) - QRegion(m_floating.isShown() ? m_floating.geometry() : QRect());
    for (const QRect& rect : uncovered)
        m_surface.copyFrom(m_pages.currentPageImage(), rect);
}

void BoardWindow::stampFloatingPicture()
{
    if (!m_floating.isShown())
        return;
    const QRect before = m_floating.geometry();
    m_floating.framedCommit(m_pages.currentPageImage());
    showFloatingPicture(before);
}

void BoardWindow::chooseRangeSelection()
{
    stampFloatingPicture();
    m_floating.chooseRangeSelection();
    chooseTool(ToolMode::RangeSelection);
}

void BoardWindow::zoom(bool enlarge)
{
    const QRect before = m_floating.geometry();
    const QString directory = m_pages.programDirectory();
    const bool zoomed = enlarge ? m_floating.zoomIn(m_screenSize, directory, strokeColour())
                                : m_floating.zoomOut(m_screenSize, directory, strokeColour());
    if (zoomed)
        showFloatingPicture(before);
}

bool BoardWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Image2)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress) {
        const QPoint inPicture = mouse->position().toPoint();
        m_floating.grab(inPicture);
        m_tools.setPressPoint(inPicture);
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        if (mouse->buttons() & Qt::LeftButton) {
            const QRect before = m_floating.geometry();
            m_floating.dragTo(mouse->position().toPoint());
            showFloatingPicture(before);
        }
        return true;
    }
    // A release on the picture ends its drag and is not the board's release.
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick)
        return true;
    return QWidget::eventFilter(watched, event);
}

void BoardWindow::chooseTool(ToolMode mode)
{
    if (mode != ToolMode::RangeSelection)
        stampFloatingPicture();
    m_tools.chooseTool(mode, strokeWidth(), strokeColour());
    if (mode == ToolMode::Pen || mode == ToolMode::Eraser)
        Panel3->clear();
    useToolCursor(mode);
}

void BoardWindow::useToolCursor(ToolMode mode)
{
    m_cursors.loadFromFile(cursorSlot, BoardTools::cursorFile(mode));
    setCursor(m_cursors.cursor(cursorSlot));
}

void BoardWindow::openFromDesktop()
{
    m_pages.makeCurrentPageReady(backgroundSwatch());
    show();
}

void BoardWindow::repaintFromPage()
{
    m_surface.copyFrom(m_pages.currentPageImage(), rect());
}

void BoardWindow::savePanelState()
{
    m_pages.savePanelState(RichEdit1->toHtml().toUtf8(), Panel4->geometry());
}

void BoardWindow::restorePanelState(int page)
{
    const Page& record = m_pages.page(page);
    if (record.contentKind == ContentKind::None) {
        Panel4->hide();
        return;
    }
    if (record.contentKind == ContentKind::WebDocument) {
        RichEdit1->hide();
    } else {
        RichEdit1->show();
        if (const auto text = m_pages.pageText(page))
            RichEdit1->setHtml(QString::fromUtf8(*text));
    }
    Panel4->setGeometry(record.panelBounds);
    Panel4->show();
}

void BoardWindow::setTextPanelColour(quint32 colour)
{
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Base, ColourRef::toColor(colour));
    RichEdit1->setPalette(palette);
}

void BoardWindow::undo()
{
    Panel3->clear();
    const QRect before = m_floating.geometry();
    m_floating.drop();
    m_tools.undo();
    showFloatingPicture(before);
}

void BoardWindow::arriveOnPage()
{
    Edit2->setText(QString::number(m_pages.currentPage()));
    if (m_tools.toolMode() == ToolMode::Eraser)
        m_tools.pen().colour = m_pages.backgroundOf(m_pages.currentPage());
}

void BoardWindow::turnRight()
{
    m_pages.setUnderlayActive(false);
    Panel3->clear();
    stampFloatingPicture();
    if (Edit2->text() != QLatin1String("99") &&
        (m_pages.current().state == PageState::WrittenOn ||
         m_pages.currentPage() < m_pages.pageCount())) {
        m_tools.setStrokeBox({10, 10, -10, -10});
        if (Panel4->isVisible())
            savePanelState();
        if (m_pages.currentPage() < m_pages.pageCount()) {
            m_pages.setCurrentPage(m_pages.currentPage() + 1);
            restorePanelState(m_pages.currentPage());
        } else {
            Panel4->hide();
            m_pages.addPage(backgroundSwatch());
            RichEdit1->clear();
        }
        repaintFromPage();
        arriveOnPage();
    }
    setTextPanelColour(TextPanelColour::afterPageTurn(
        ColourRef::fromColor(backgroundSwatch()),
        ColourRef::fromColor(m_pages.backgroundOf(m_pages.currentPage()))));
    // A picture taller than the screen goes on with its lower part at the top of this page.
    if (m_floating.tag() == m_pages.currentPage()) {
        const QRect before = m_floating.geometry();
        m_floating.continueAtTop(90 - m_screenSize.height());
        m_floating.setTag(0);
        showFloatingPicture(before);
    }
}

void BoardWindow::turnLeft()
{
    m_pages.setUnderlayActive(false);
    Panel3->clear();
    stampFloatingPicture();
    if (Edit2->text() != QLatin1String("1")) {
        m_tools.setStrokeBox({10, 10, -10, -10});
        if (Panel4->isVisible())
            savePanelState();
        m_pages.setCurrentPage(m_pages.currentPage() - 1);
        restorePanelState(m_pages.currentPage());
        repaintFromPage();
        arriveOnPage();
    }
    setTextPanelColour(TextPanelColour::afterPageTurn(
        ColourRef::fromColor(backgroundSwatch()),
        ColourRef::fromColor(m_pages.backgroundOf(m_pages.currentPage()))));
}

void BoardWindow::clearPage()
{
    Panel3->clear();
    QImage& page = m_pages.currentPageImage();
    if (m_floating.isShown() && m_tools.pressPoint().x() < m_tools.selectionEnd().x()) {
        // A selection was just cut: only its area is cleared.
        const QRect before = m_floating.geometry();
        m_floating.wipe(page, backgroundSwatch());
        m_tools.setSelectionEnd(QPoint(m_tools.pressPoint().x(), m_tools.selectionEnd().y()));
        showFloatingPicture(before);
        return;
    }
    if (m_pages.underlayActive()) {
        m_surface.drawImage(QPoint(0, 0), m_pages.underlayImage());
        RasterCopy::copy(m_pages.underlayImage(), m_pages.underlayImage().rect(), page, {0, 0});
        return;
    }
    page.fill(backgroundSwatch());
    m_pages.current().state = PageState::Cleared;
    repaintFromPage();
}

void BoardWindow::changeStrokeWidth(int step)
{
    if (Edit1->text() == QLatin1String(step > 0 ? "9" : "1"))
        return;
    const int width = strokeWidth() + step;
    Edit1->setText(QString::number(width));
    m_tools.pen().width =
        m_tools.toolMode() == ToolMode::Eraser ? eraserPenWidth(width) : width;
}

void BoardWindow::chooseStrokeColour()
{
    const QColor initial = m_strokeDialogColour.isValid() ? m_strokeDialogColour : strokeColour();
    const auto chosen = m_prompter.chooseColour(initial);
    if (!chosen)
        return;
    m_strokeDialogColour = *chosen;
    LCP->setColour(*chosen);
    // The eraser keeps painting the background.
    if (m_tools.toolMode() != ToolMode::Eraser)
        m_tools.pen().colour = *chosen;
}

void BoardWindow::chooseBackgroundColour()
{
    const QColor initial =
        m_backgroundDialogColour.isValid() ? m_backgroundDialogColour : backgroundSwatch();
    const auto chosen = m_prompter.chooseColour(initial);
    if (chosen) {
        m_backgroundDialogColour = *chosen;
        // Try the colour on the window beside the probe pixel: the same colour on both and on the
        // swatch means the page already has it.
        m_surface.setPixel(ProbePixel::trial(m_screenSize), *chosen);
        const bool unchanged =
            m_surface.pixel(ProbePixel::trial(m_screenSize)) == m_surface.backgroundColour() &&
            *chosen == backgroundSwatch();
        if (!unchanged) {
            if (m_pages.current().state == PageState::WrittenOn) {
                if (!m_prompter.askYesNo(QStringLiteral("提示信息"),
                                         QStringLiteral("是否清除本页内容？"))) {
                    RCP->setColour(*chosen);
                    return;
                }
                m_pages.current().state = PageState::Cleared;
            }
            m_floating.drop();
            Image2->hide();
            RCP->setColour(*chosen);
            if (m_tools.toolMode() == ToolMode::Eraser)
                m_tools.pen().colour = *chosen;
            m_pages.currentPageImage().fill(*chosen);
            setTextPanelColour(TextPanelColour::forBackground(ColourRef::fromColor(*chosen)));
        }
    }
    repaintFromPage();
}

void BoardWindow::leave()
{
    Panel3->clear();
    hide();
    emit leaveRequested();
}

OpenPanels BoardWindow::openPanels() const
{
    OpenPanels panels;
    if (Panel5->isVisible())
        panels.thumbnailStrip = Panel5->geometry();
    if (Panel4->isVisible())
        panels.contentPanel = Panel4->geometry();
    return panels;
}

void BoardWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    for (const QRect& rect : event->region())
        painter.drawImage(rect, m_surface.image(), rect);
}

void BoardWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_tools.setStrokeBox({});
    repaintFromPage();
}

void BoardWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeStrip(width() - 1);
}

void BoardWindow::mousePressEvent(QMouseEvent* event)
{
    if (m_floating.isShown()) {
        const QRect before = m_floating.geometry();
        m_floating.commitOnPress(m_pages.currentPageImage());
        showFloatingPicture(before);
    }
    m_tools.press(event->position().toPoint());
}

void BoardWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (const auto readout = m_tools.move(event->position().toPoint(), strokeWidth()))
        Panel3->setText(*readout);
}

void BoardWindow::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_tools.release(point, strokeWidth(), strokeColour(), openPanels());
    if (m_floating.isShown())
        m_floating.stampFramed(m_pages.currentPageImage());
    if (m_tools.toolMode() == ToolMode::AreaErase)
        useToolCursor(ToolMode::AreaErase);
    if (m_tools.toolMode() == ToolMode::RangeSelection) {
        m_tools.setSelectionEnd(point);
        m_floating.cut(m_tools.pressPoint(), point, m_tools.strokeBox(), m_surface, m_pages);
        showFloatingPicture(QRect());
    }
}

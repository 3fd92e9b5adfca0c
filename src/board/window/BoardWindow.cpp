#include "board/window/BoardWindow.h"

#include "board/pixels/ColourRef.h"
#include "board/tools/CursorFile.h"
#include "ui/ButtonPictures.h"
#include "ui/ColourSwatch.h"
#include "ui/SystemWindow.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
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
    RCP =
        new ColourSwatch(Panel1, QStringLiteral("RCP"), {0, 20, 38, 20},
                         ColourRef::toColor(designedBackgroundColour), QStringLiteral("背景颜色"));
    Edit1 = numberBox(Panel1, QStringLiteral("Edit1"), {39, 1, 26, 39}, 31, QStringLiteral("2"),
                      QStringLiteral("笔画粗细"));
    SpeedButton7 = button("SpeedButton7", {65, 0, 38, 19}, "widthup", QStringLiteral("笔画增粗"));
    SpeedButton8 =
        button("SpeedButton8", {65, 20, 38, 19}, "widthdown", QStringLiteral("笔画变细"));
    SpeedButton5 = button("SpeedButton5", {103, 0, 38, 38}, "clear", QStringLiteral("清屏"));
    SpeedButton4 = button("SpeedButton4", {141, 0, 38, 38}, "undo", QStringLiteral("撤销"));
    SpeedButton10 = button("SpeedButton10", {179, 0, 38, 38}, "eraser", QStringLiteral("板擦"));
    SpeedButton13 = button("SpeedButton13", {218, 0, 38, 38}, "areaerase", QStringLiteral("擦除"));
    SpeedButton3 = button("SpeedButton3", {255, 0, 38, 38}, "pen", QStringLiteral("书写"));
    SpeedButton14 = button("SpeedButton14", {293, 0, 36, 38}, "line", QStringLiteral("画直线"));
    SpeedButton15 =
        button("SpeedButton15", {329, 0, 36, 38}, "rectangle", QStringLiteral("画矩形"));
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
        {SpeedButton3, ToolMode::Pen},        {SpeedButton14, ToolMode::Line},
        {SpeedButton15, ToolMode::Rectangle}, {SpeedButton17, ToolMode::Ellipse},
        {SpeedButton10, ToolMode::Eraser},    {SpeedButton25, ToolMode::RangeSelection},
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

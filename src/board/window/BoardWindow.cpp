#include "board/window/BoardWindow.h"

#include "board/model/BoardModel.h"
#include "board/pixels/BoardGeometry.h"
#include "board/pixels/NamedColours.h"
#include "board/tools/CursorFile.h"
#include "board/window/ContentPanel.h"
#include "board/window/PalettePanel.h"
#include "board/window/ThumbnailStrip.h"
#include "ui/ButtonPictures.h"
#include "ui/ColourSwatch.h"
#include "ui/NumberBox.h"
#include "ui/PointerInput.h"
#include "ui/SystemWindow.h"
#include "ui/WindowFill.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

constexpr int toolStripWidth = 722;

} // namespace

BoardWindow::BoardWindow(BoardModel& model, ClipArtPalette& palette,
                         ThumbnailStripModel& thumbnails, CursorSlots& cursors,
                         PictureColumn& pictureColumn)
    : ScreenImageWindow(model.screen()), m_model(model), m_cursors(cursors)
{
    SystemWindow::setUp(this, QStringLiteral("TForm3"), QStringLiteral("白板"),
                        SystemWindow::Layer::Normal);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(16);
    setFont(font);
    buildHiddenChildren(palette, thumbnails, pictureColumn);
    buildStrip();
    connectStrip();
    connect(&m_model, &BoardModel::repaintNeeded, this, qOverload<const QRect&>(&QWidget::update));
    connect(&m_model, &BoardModel::settingsChanged, this, &BoardWindow::showSettings);
    connect(&m_model, &BoardModel::pageChanged, this, &BoardWindow::showPageNumber);
    // A lesson is saved or opened in one go: each page shows before the next is taken.
    connect(&m_model, &BoardModel::lessonPageShown, this, [this] {
        showPageNumber();
        repaint();
    });
    connect(&m_model, &BoardModel::readoutChanged, this,
            [this] { Panel3->setText(m_model.readout()); });
    connect(&m_model, &BoardModel::toolChanged, this, &BoardWindow::showTool);
    connect(&m_model, &BoardModel::toolCursorChanged, this, &BoardWindow::showToolCursor);
    connect(&m_model, &BoardModel::floatingPictureChanged, this, &BoardWindow::showFloatingPicture);

    showSettings();
    showPageNumber();
    showTool();
    showToolCursor(BoardToolSet::cursorFile(m_model.toolMode()));
    SystemWindow::coverScreen(this);
    // The strip leaves the rightmost column open; resizing narrows that gap to one pixel.
    placeStrip(width() - 2);
}

void BoardWindow::placeStrip(int stripWidth)
{
    Panel2->resize(stripWidth, Panel2->height());
    Panel1->move(Panel2->width() - 1 - Panel1->width(), 1);
}

void BoardWindow::buildHiddenChildren(ClipArtPalette& palette, ThumbnailStripModel& thumbnails,
                                      PictureColumn& pictureColumn)
{
    Image2 = addFloatingLabel(QStringLiteral("Image2"));

    Panel4 = new ContentPanel(m_model.panel(), this);

    Panel5 = new ThumbnailStrip(thumbnails, Panel4, this);

    Panel9 = new PalettePanel(palette, pictureColumn, this);
    connect(Panel4, &ContentPanel::clipArtRequested, &palette, &ClipArtPalette::open);
}

void BoardWindow::buildStrip()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    WindowFill::apply(Panel2, NamedColours::stripSilver);
    Panel2->setGeometry(0, 0, m_model.screenSize().width() - 2, BoardGeometry::stripHeight);
    keepPointerInput(Panel2);

    Panel3 = new QLabel(Panel2);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(3, 6, 82, 28);
    Panel3->setAlignment(Qt::AlignCenter);
    WindowFill::apply(Panel3, NamedColours::readoutBrown);
    QPalette readout = Panel3->palette();
    readout.setColor(QPalette::WindowText, Qt::white);
    Panel3->setPalette(readout);
    QFont readoutFont(QStringLiteral("MS Sans Serif"));
    readoutFont.setPixelSize(13);
    readoutFont.setBold(true);
    Panel3->setFont(readoutFont);

    Panel1 = new QFrame(Panel2);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    WindowFill::apply(Panel1, NamedColours::skyBlue);
    Panel1->resize(toolStripWidth, 38);

    auto button = [this](const char* name, QRect geometry, const char* picture,
                         const QString& hint) {
        return addPictureButton(Panel1, QString::fromLatin1(name), geometry,
                                QString::fromLatin1(picture), hint);
    };
    SpeedButton9 = button("SpeedButton9", {1, 0, 36, 19}, "pencolour", QStringLiteral("笔画颜色"));
    LCP = new ColourSwatch(Panel1, QStringLiteral("LCP"), {1, 5, 35, 9}, m_model.strokeColour(),
                           QStringLiteral("笔画颜色"));
    RCP = new ColourSwatch(Panel1, QStringLiteral("RCP"), {0, 20, 38, 20},
                           m_model.backgroundSwatch(), QStringLiteral("背景颜色"));
    Edit1 = addNumberBox(Panel1, QStringLiteral("Edit1"), {39, 1, 26, 39}, 31,
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
    Edit2 =
        addNumberBox(Panel1, QStringLiteral("Edit2"), {546, 0, 32, 38}, 24, QStringLiteral("页号"));
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
}

void BoardWindow::connectStrip()
{
    BoardModel* model = &m_model;
    connect(m_toolGroup, &QButtonGroup::idClicked, model,
            [model](int id) { model->chooseTool(ToolMode(id)); });
    connect(SpeedButton35, &QToolButton::clicked, model, &BoardModel::zoomIn);
    connect(SpeedButton36, &QToolButton::clicked, model, &BoardModel::zoomOut);
    connect(SpeedButton4, &QToolButton::clicked, model, &BoardModel::undo);
    connect(SpeedButton5, &QToolButton::clicked, model, &BoardModel::clearPage);
    connect(SpeedButton11, &QToolButton::clicked, model, &BoardModel::turnLeft);
    connect(SpeedButton12, &QToolButton::clicked, model, &BoardModel::turnRight);
    connect(SpeedButton18, &QToolButton::clicked, &m_model.panel(), &ContentPanelModel::open);
    connect(SpeedButton7, &QToolButton::clicked, model, &BoardModel::widen);
    connect(SpeedButton8, &QToolButton::clicked, model, &BoardModel::narrow);
    connect(SpeedButton9, &QToolButton::clicked, model, &BoardModel::chooseStrokeColour);
    connect(LCP, &ColourSwatch::clicked, model, &BoardModel::chooseStrokeColour);
    connect(RCP, &ColourSwatch::clicked, model, &BoardModel::chooseBackgroundColour);
    connect(SpeedButton1, &QToolButton::clicked, Panel5, &ThumbnailStrip::open);
    connect(SpeedButton2, &QToolButton::clicked, this, &BoardWindow::shadeRequested);
    connect(SpeedButton6, &QToolButton::clicked, this, [this] {
        m_model.savePanelState();
        emit settingsRequested();
    });
    connect(SpeedButton40, &QToolButton::clicked, this, &BoardWindow::leave);
}

void BoardWindow::showSettings()
{
    Edit1->setText(QString::number(m_model.strokeWidth()));
    LCP->setColour(m_model.strokeColour());
    RCP->setColour(m_model.backgroundSwatch());
}

void BoardWindow::showPageNumber()
{
    Edit2->setText(QString::number(m_model.shownPageNumber()));
}

void BoardWindow::showTool()
{
    m_toolGroup->button(int(m_model.toolMode()))->setChecked(true);
}

void BoardWindow::showToolCursor(const QString& cursorFile)
{
    m_cursors.loadFromFile(cursorSlot, cursorFile);
    setCursor(m_cursors.cursor(cursorSlot));
}

void BoardWindow::showFloatingPicture()
{
    const FloatingPicture& floating = m_model.floatingPicture();
    showFloatingLabel(Image2, floating.isShown(), floating.picture(), floating.geometry());
}

void BoardWindow::openFromDesktop()
{
    m_model.makeCurrentPageReady();
    show();
}

void BoardWindow::leave()
{
    m_model.clearReadout();
    hide();
    emit leaveRequested();
}

void BoardWindow::pagePressed(QPoint point)
{
    m_model.press(point);
}

void BoardWindow::pageMoved(QPoint point)
{
    m_model.move(point);
}

void BoardWindow::pageReleased(QPoint point)
{
    m_model.release(point);
}

void BoardWindow::picturePressed(QPoint pointInPicture)
{
    m_model.pressOnPicture(pointInPicture);
}

void BoardWindow::pictureDragged(QPoint pointInPicture)
{
    m_model.dragPicture(pointInPicture);
}

void BoardWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_model.showOnWindow();
}

void BoardWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeStrip(width() - 1);
}

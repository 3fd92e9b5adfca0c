#include "overlay/window/OverlayWindow.h"

#include "board/pixels/NamedColours.h"
#include "board/tools/CursorFile.h"
#include "overlay/OverlayModel.h"
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

constexpr QSize fullToolbarSize(591, 40);
constexpr QSize compactToolbarSize(343, 41);
// The compact toolbar's left edge stands this far left of the screen's right edge.
constexpr int compactRightOffset = 436;

QFrame* toolbarPanel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    WindowFill::apply(panel, NamedColours::skyBlue);
    keepPointerInput(panel);
    return panel;
}

QToolButton* button(QWidget* parent, const char* name, QRect geometry, const char* picture,
                    const QString& hint)
{
    return addPictureButton(parent, QString::fromLatin1(name), geometry,
                            QString::fromLatin1(picture), hint);
}

QButtonGroup* toolGroup(QObject* parent, const QList<std::pair<QToolButton*, OverlayTool>>& tools)
{
    auto* group = new QButtonGroup(parent);
    group->setExclusive(true);
    for (const auto& [toolButton, tool] : tools) {
        toolButton->setCheckable(true);
        group->addButton(toolButton, int(tool));
    }
    return group;
}

} // namespace

OverlayWindow::OverlayWindow(OverlayModel& model, CursorSlots& cursors)
    : ScreenImageWindow(model.screen()), m_model(model), m_cursors(cursors)
{
    SystemWindow::setUp(this, QStringLiteral("TForm2"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::OnTop);
    Image1 = addFloatingLabel(QStringLiteral("Image1"));

    buildFullToolbar();
    buildCompactToolbar();
    connectButtons();
    connect(&m_model, &OverlayModel::repaintNeeded, this,
            qOverload<const QRect&>(&QWidget::update));
    connect(&m_model, &OverlayModel::settingsChanged, this, &OverlayWindow::showSettings);
    connect(&m_model, &OverlayModel::toolChanged, this, &OverlayWindow::showTool);
    connect(&m_model, &OverlayModel::toolCursorChanged, this, &OverlayWindow::showToolCursor);
    connect(&m_model, &OverlayModel::selectionChanged, this, &OverlayWindow::showSelection);
    connect(&m_model, &OverlayModel::compactChanged, this, &OverlayWindow::showToolbar);

    showSettings();
    showTool();
    showToolCursor(QStringLiteral("Text_Hnd.cut"));
    showToolbar();
    setGeometry(QRect(QPoint(0, 0), m_model.screenSize()));
}

void OverlayWindow::buildFullToolbar()
{
    const int screenWidth = m_model.screenSize().width();
    Panel1 = toolbarPanel(this, "Panel1",
                          QRect(QPoint(screenWidth - fullToolbarSize.width(), 0), fullToolbarSize));
    SpeedButton9 =
        button(Panel1, "SpeedButton9", {0, 0, 36, 38}, "pencolourtall", QStringLiteral("笔画颜色"));
    LCP = new ColourSwatch(Panel1, QStringLiteral("LCP"), {1, 16, 36, 9}, m_model.penColour(),
                           QStringLiteral("笔画颜色"));
    Edit1 = addNumberBox(Panel1, QStringLiteral("Edit1"), {36, 0, 27, 38}, 35,
                         QStringLiteral("笔画粗细"));
    SpeedButton7 =
        button(Panel1, "SpeedButton7", {63, 0, 38, 19}, "widthup", QStringLiteral("笔画增粗"));
    SpeedButton8 =
        button(Panel1, "SpeedButton8", {63, 20, 38, 19}, "widthdown", QStringLiteral("笔画变细"));
    SpeedButton5 =
        button(Panel1, "SpeedButton5", {101, 1, 38, 38}, "clear", QStringLiteral("清除"));
    SpeedButton24 =
        button(Panel1, "SpeedButton24", {139, 1, 38, 38}, "undo", QStringLiteral("撤销"));
    SpeedButton2 =
        button(Panel1, "SpeedButton2", {177, 1, 38, 38}, "areaerase", QStringLiteral("擦除"));
    SpeedButton4 = button(Panel1, "SpeedButton4", {214, 1, 38, 38}, "pen", QStringLiteral("书写"));
    SpeedButton26 =
        button(Panel1, "SpeedButton26", {252, 1, 36, 38}, "line", QStringLiteral("画直线"));
    SpeedButton15 = button(Panel1, "SpeedButton15", {288, 1, 38, 38}, "rangeselect",
                           QStringLiteral("选择范围"));
    SpeedButton13 = button(Panel1, "SpeedButton13", {326, 1, 38, 19}, "capturecurrent",
                           QStringLiteral("截取画面到书写板当前页"));
    SpeedButton14 = button(Panel1, "SpeedButton14", {326, 21, 38, 19}, "capturenext",
                           QStringLiteral("截取画面添加到书写板下一页"));
    SpeedButton11 = button(Panel1, "SpeedButton11", {364, 1, 38, 19}, "zoomin",
                           QStringLiteral("对选取画面放大"));
    SpeedButton12 = button(Panel1, "SpeedButton12", {364, 21, 38, 19}, "zoomout",
                           QStringLiteral("恢复原始大小"));
    SpeedButton6 =
        button(Panel1, "SpeedButton6", {400, 1, 38, 38}, "board", QStringLiteral("书写板"));
    SpeedButton10 =
        button(Panel1, "SpeedButton10", {438, 1, 38, 38}, "shade", QStringLiteral("消隐投影"));
    SpeedButton1 = button(Panel1, "SpeedButton1", {476, 1, 38, 38}, "help", QStringLiteral("帮助"));
    SpeedButton18 =
        button(Panel1, "SpeedButton18", {514, 1, 38, 38}, "compact", QStringLiteral("缩减"));
    SpeedButton3 =
        button(Panel1, "SpeedButton3", {552, 1, 38, 38}, "demo", QStringLiteral("操作演示"));
    // The swatch lies on its button and stays visible above it.
    LCP->raise();
    m_fullTools = toolGroup(this, {{SpeedButton2, OverlayTool::Erase},
                                   {SpeedButton4, OverlayTool::Write},
                                   {SpeedButton26, OverlayTool::Line},
                                   {SpeedButton15, OverlayTool::Range}});
}

void OverlayWindow::buildCompactToolbar()
{
    const int left = m_model.screenSize().width() - compactRightOffset;
    Panel2 = toolbarPanel(this, "Panel2", QRect(QPoint(left, 0), compactToolbarSize));
    SpeedButton20 =
        button(Panel2, "SpeedButton20", {2, 1, 38, 38}, "clear", QStringLiteral("清除"));
    SpeedButton17 =
        button(Panel2, "SpeedButton17", {40, 1, 38, 38}, "undo", QStringLiteral("撤销"));
    SpeedButton21 =
        button(Panel2, "SpeedButton21", {79, 1, 38, 38}, "areaerase", QStringLiteral("擦除"));
    SpeedButton25 =
        button(Panel2, "SpeedButton25", {114, 1, 38, 38}, "pen", QStringLiteral("书写"));
    SpeedButton27 =
        button(Panel2, "SpeedButton27", {153, 1, 36, 38}, "line", QStringLiteral("画直线"));
    SpeedButton23 =
        button(Panel2, "SpeedButton23", {189, 1, 38, 38}, "expand", QStringLiteral("展开"));
    SpeedButton22 =
        button(Panel2, "SpeedButton22", {227, 1, 38, 38}, "shade", QStringLiteral("消隐投影"));
    SpeedButton19 =
        button(Panel2, "SpeedButton19", {265, 1, 38, 38}, "help", QStringLiteral("帮助"));
    SpeedButton16 =
        button(Panel2, "SpeedButton16", {303, 1, 38, 38}, "demo", QStringLiteral("操作演示"));
    m_compactTools = toolGroup(this, {{SpeedButton21, OverlayTool::Erase},
                                      {SpeedButton25, OverlayTool::Write},
                                      {SpeedButton27, OverlayTool::Line}});
}

void OverlayWindow::connectButtons()
{
    OverlayModel* model = &m_model;
    for (QButtonGroup* group : {m_fullTools, m_compactTools})
        connect(group, &QButtonGroup::idClicked, model,
                [model](int id) { model->chooseTool(OverlayTool(id)); });
    connect(SpeedButton9, &QToolButton::clicked, model, &OverlayModel::choosePenColour);
    connect(LCP, &ColourSwatch::clicked, model, &OverlayModel::choosePenColour);
    connect(SpeedButton7, &QToolButton::clicked, model, &OverlayModel::widen);
    connect(SpeedButton8, &QToolButton::clicked, model, &OverlayModel::narrow);
    connect(SpeedButton5, &QToolButton::clicked, model, &OverlayModel::clearAll);
    connect(SpeedButton20, &QToolButton::clicked, model, &OverlayModel::clearSelected);
    for (QToolButton* undo : {SpeedButton24, SpeedButton17})
        connect(undo, &QToolButton::clicked, model, &OverlayModel::undo);
    connect(SpeedButton13, &QToolButton::clicked, model, &OverlayModel::captureToCurrentPage);
    connect(SpeedButton14, &QToolButton::clicked, model, &OverlayModel::captureToNextPage);
    connect(SpeedButton11, &QToolButton::clicked, model, &OverlayModel::zoomIn);
    connect(SpeedButton12, &QToolButton::clicked, model, &OverlayModel::zoomOut);
    connect(SpeedButton18, &QToolButton::clicked, model, [model] { model->setCompact(true); });
    connect(SpeedButton23, &QToolButton::clicked, model, [model] { model->setCompact(false); });
    connect(SpeedButton6, &QToolButton::clicked, this, &OverlayWindow::goToBoard);
    for (QToolButton* shade : {SpeedButton10, SpeedButton22})
        connect(shade, &QToolButton::clicked, this, &OverlayWindow::shadeRequested);
    for (QToolButton* help : {SpeedButton1, SpeedButton19})
        connect(help, &QToolButton::clicked, this, &OverlayWindow::helpRequested);
    for (QToolButton* demo : {SpeedButton3, SpeedButton16})
        connect(demo, &QToolButton::clicked, this, &OverlayWindow::leave);
}

void OverlayWindow::showSettings()
{
    Edit1->setText(QString::number(m_model.strokeWidth()));
    LCP->setColour(m_model.penColour());
}

void OverlayWindow::showTool()
{
    const int id = int(m_model.tool());
    // Each toolbar's group is its own: the compact one has no range tool.
    for (QButtonGroup* group : {m_fullTools, m_compactTools})
        if (QAbstractButton* toolButton = group->button(id))
            toolButton->setChecked(true);
}

void OverlayWindow::showToolCursor(const QString& cursorFile)
{
    m_cursors.loadFromFile(cursorSlot, cursorFile);
    setCursor(m_cursors.cursor(cursorSlot));
}

void OverlayWindow::showSelection()
{
    const FloatingPicture& selection = m_model.selection();
    showFloatingLabel(Image1, selection.isShown(), selection.picture(), selection.geometry());
    // The toolbars stay above the selection.
    Panel1->raise();
    Panel2->raise();
}

void OverlayWindow::showToolbar()
{
    Panel1->setVisible(!m_model.compact());
    Panel2->setVisible(m_model.compact());
}

void OverlayWindow::leave()
{
    m_model.leaveForDesktop();
    hide();
    emit leaveRequested();
}

void OverlayWindow::goToBoard()
{
    hide();
    emit boardRequested();
}

void OverlayWindow::pagePressed(QPoint point)
{
    m_model.press(point);
}

void OverlayWindow::pageMoved(QPoint point)
{
    m_model.move(point);
}

void OverlayWindow::pageReleased(QPoint point)
{
    m_model.release(point);
}

void OverlayWindow::picturePressed(QPoint pointInPicture)
{
    m_model.pressOnSelection(pointInPicture);
}

void OverlayWindow::pictureDragged(QPoint pointInPicture)
{
    m_model.dragSelection(pointInPicture);
}

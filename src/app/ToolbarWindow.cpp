#include "app/ToolbarWindow.h"

#include "app/StartupChecks.h"
#include "app/TaskKeyBlock.h"
#include "board/pixels/NamedColours.h"
#include "platform/real/Platform.h"
#include "ui/ButtonPictures.h"
#include "ui/SystemWindow.h"
#include "ui/WindowFill.h"

#include <QCloseEvent>
#include <QFrame>
#include <QTimer>
#include <QToolButton>

namespace {

// The toolbar's left edge stands this far left of the screen's right edge.
constexpr int rightOffset = 436;
constexpr int placementIntervalMs = 1000;
// Caption lengths of the two walks for the keyboard window: the button's and the closing check's.
constexpr int keyboardWalkCaptionLength = 11;
constexpr int closingCaptionLength = 24;

} // namespace

ToolbarWindow::ToolbarWindow(Platform& platform, TaskKeyBlock& taskKeyBlock,
                             const QString& programFilesDirectory)
    : m_platform(platform), m_taskKeyBlock(taskKeyBlock),
      m_programFilesDirectory(programFilesDirectory)
{
    SystemWindow::setUp(this, QStringLiteral("TForm1"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::Topmost);
    WindowFill::apply(this, NamedColours::orange);
    resize(343, 39);
    buildButtons();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(placementIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &ToolbarWindow::keepPlace);
}

void ToolbarWindow::buildButtons()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 343, 39);
    WindowFill::apply(Panel1, NamedColours::skyBlue);

    auto button = [this](QWidget* parent, const char* name, QRect geometry, const char* picture,
                         const QString& hint) {
        return addPictureButton(parent, QString::fromLatin1(name), geometry,
                                QString::fromLatin1(picture), hint);
    };
    SpeedButton4 =
        button(Panel1, "SpeedButton4", {0, 1, 38, 38}, "board", QStringLiteral("书写板"));
    SpeedButton3 =
        button(Panel1, "SpeedButton3", {38, 1, 38, 38}, "annotate", QStringLiteral("标注"));
    Panel2 = new QFrame(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(76, 1, 38, 37);
    WindowFill::apply(Panel2, NamedColours::skyBlue);
    SpeedButton7 = button(Panel2, "SpeedButton7", {0, 0, 38, 37}, "taskkeys", QString());
    SpeedButton8 = button(Panel1, "SpeedButton8", {114, 1, 38, 38}, "keyboard", QString());
    SpeedButton9 =
        button(Panel1, "SpeedButton9", {153, 1, 38, 38}, "textline", QStringLiteral("消隐投影"));
    SpeedButton10 =
        button(Panel1, "SpeedButton10", {191, 1, 38, 38}, "shade", QStringLiteral("消隐投影"));
    SpeedButton2 = button(Panel1, "SpeedButton2", {229, 1, 38, 38}, "help", QStringLiteral("帮助"));
    SpeedButton1 = button(Panel1, "SpeedButton1", {267, 1, 38, 38}, "exit", QStringLiteral("退出"));
    SpeedButton5 =
        button(Panel1, "SpeedButton5", {305, 1, 38, 38}, "shrink", QStringLiteral("微缩"));
    SpeedButton6 =
        button(Panel1, "SpeedButton6", {0, 0, 16, 16}, "restore", QStringLiteral("恢复"));
    SpeedButton6->hide();

    connect(SpeedButton4, &QToolButton::clicked, this, &ToolbarWindow::openBoard);
    connect(SpeedButton3, &QToolButton::clicked, this, &ToolbarWindow::annotate);
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { m_taskKeyBlock.block(); });
    connect(SpeedButton8, &QToolButton::clicked, this, &ToolbarWindow::toggleKeyboard);
    connect(SpeedButton9, &QToolButton::clicked, this, &ToolbarWindow::textLinePanelRequested);
    connect(SpeedButton10, &QToolButton::clicked, this, &ToolbarWindow::showShade);
    connect(SpeedButton2, &QToolButton::clicked, this, &ToolbarWindow::helpRequested);
    connect(SpeedButton1, &QToolButton::clicked, this, &ToolbarWindow::exitProgram);
    connect(SpeedButton5, &QToolButton::clicked, this, &ToolbarWindow::shrink);
    connect(SpeedButton6, &QToolButton::clicked, this, &ToolbarWindow::restore);
}

int ToolbarWindow::homeLeft() const
{
    const QRect screen = SystemWindow::screenArea(this);
    return screen.left() + screen.width() - rightOffset;
}

void ToolbarWindow::moveHome()
{
    move(homeLeft(), SystemWindow::screenArea(this).top());
}

void ToolbarWindow::startPlacementTimer()
{
    Timer1->start();
}

void ToolbarWindow::comeBack()
{
    show();
    // Over whatever covers its place now, not only from the timer's next tick on.
    raise();
    startPlacementTimer();
}

void ToolbarWindow::keepPlace()
{
    if (windowHandle())
        m_platform.desktop->setKeptOnTop(windowHandle(), true);
    move(homeLeft(), y());
}

void ToolbarWindow::openBoard()
{
    Timer1->stop();
    hide();
    emit boardRequested();
}

void ToolbarWindow::annotate()
{
    // The toolbar leaves the screen as the desktop's picture is taken.
    Timer1->stop();
    emit annotateRequested();
}

void ToolbarWindow::toggleKeyboard()
{
    m_taskKeyBlock.block();
    if (!StartupChecks::closeKeyboardWindows(*m_platform.desktop, keyboardWalkCaptionLength))
        m_platform.launcher->startProgram(QStringLiteral("qorkb.dll"), m_programFilesDirectory);
}

void ToolbarWindow::showShade()
{
    if (windowHandle())
        m_platform.desktop->setKeptOnTop(windowHandle(), false);
    Timer1->stop();
    emit shadeRequested();
}

void ToolbarWindow::shrink()
{
    resize(16, 16);
    move(x() + 275, y());
    Panel1->resize(16, 16);
    SpeedButton6->show();
    SpeedButton6->raise();
    SpeedButton3->hide();
}

void ToolbarWindow::restore()
{
    Panel1->resize(351, 40);
    setGeometry(homeLeft(), y(), 342, 40);
    SpeedButton3->show();
    SpeedButton6->hide();
}

void ToolbarWindow::exitProgram()
{
    if (!m_platform.prompter->askYesNo(QStringLiteral("提示信息"),
                                       QStringLiteral("确实要退出系统吗？")))
        return;
    emit exitConfirmed();
    close();
}

void ToolbarWindow::closeEvent(QCloseEvent* event)
{
    // The on-screen keyboard goes with the program; closing is always allowed.
    StartupChecks::closeKeyboardWindows(*m_platform.desktop, closingCaptionLength);
    event->accept();
    emit closed();
}

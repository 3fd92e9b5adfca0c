#include "app/ScreenKeeper.h"

#include "app/BoardScreenChoice.h"
#include "app/DesktopWindow.h"
#include "app/ScreenMove.h"
#include "platform/CompositorOutputs.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

// Windows the program places itself; hints and menus follow the pointer and their parents.
bool isPlacedWindow(const QObject* object)
{
    if (!object->isWidgetType())
        return false;
    const auto* widget = static_cast<const QWidget*>(object);
    if (!widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type != Qt::ToolTip && type != Qt::Popup && type != Qt::Desktop;
}

} // namespace

ScreenKeeper::ScreenKeeper(const QString& requestedName, CompositorOutputs* outputs)
    : m_requestedName(requestedName), m_outputs(outputs)
{
    if (BoardScreenChoice::isUnknown(requestedName)) {
        std::fprintf(stderr, "zkalto: no screen is named \"%s\"; the primary screen is used\n",
                     qPrintable(requestedName));
    }
    m_screen = BoardScreenChoice::resolve(requestedName);
    if (m_screen)
        m_area = m_screen->geometry();
    connect(qApp, &QGuiApplication::screenAdded, this, &ScreenKeeper::followLater);
    connect(qApp, &QGuiApplication::screenRemoved, this, &ScreenKeeper::followLater);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &ScreenKeeper::followLater);
    if (m_screen)
        connect(m_screen, &QScreen::geometryChanged, this, &ScreenKeeper::followLater);
    qApp->installEventFilter(this);
}

bool ScreenKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // Before the window is mapped, so it appears on the board screen at once.
    if (event->type() == QEvent::Show && m_screen && isPlacedWindow(watched)) {
        auto* window = static_cast<QWidget*>(watched);
        const QScreen* placedOn = window->screen();
        if (placedOn != m_screen && placedOn)
            moveOnto(window, placedOn->geometry());
        if (m_outputs && DesktopWindow::isManaged(window))
            m_outputs->openWindowsOn(m_area);
    }
    return QObject::eventFilter(watched, event);
}

void ScreenKeeper::moveOnto(QWidget* window, const QRect& from) const
{
    window->setGeometry(ScreenMove::placeIn(window->geometry(), from, m_area));
    window->setScreen(m_screen);
}

void ScreenKeeper::followLater()
{
    if (m_followPending)
        return;
    m_followPending = true;
    QTimer::singleShot(0, this, &ScreenKeeper::follow);
}

void ScreenKeeper::follow()
{
    m_followPending = false;
    QScreen* screen = BoardScreenChoice::resolve(m_requestedName);
    if (!screen || (screen == m_screen && screen->geometry() == m_area))
        return;
    if (screen != m_screen) {
        if (m_screen)
            disconnect(m_screen, &QScreen::geometryChanged, this, &ScreenKeeper::followLater);
        connect(screen, &QScreen::geometryChanged, this, &ScreenKeeper::followLater);
    }
    const QRect from = m_area;
    m_screen = screen;
    m_area = screen->geometry();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!isPlacedWindow(window))
            continue;
        moveOnto(window, from);
        if (m_outputs && window->isVisible() && DesktopWindow::isManaged(window))
            m_outputs->moveWindowTo(window->winId(), m_area);
    }
    emit screenChanged();
}

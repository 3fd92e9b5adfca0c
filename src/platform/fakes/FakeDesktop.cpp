#include "FakeDesktop.h"

#include <QWindow>

quint64 FakeDesktop::windowAt(QPoint screenPoint) const
{
    for (const TopLevelWindow& window : m_windows) {
        if (m_rects.value(window.id).contains(screenPoint))
            return window.id;
    }
    return 0;
}

bool FakeDesktop::switchColourDepth(int bitsPerPixel)
{
    m_depthSwitchRequests.append(bitsPerPixel);
    if (m_depthSwitchSucceeds)
        m_colourDepth = bitsPerPixel;
    return m_depthSwitchSucceeds;
}

QImage FakeDesktop::grabScreenWithout(QWindow* window)
{
    ++m_screenGrabs;
    m_windowsLeftOut.append(window);
    // As on a real desktop, the window is hidden by the grab.
    if (window)
        window->hide();
    return m_screenPicture;
}

void FakeDesktop::setKeptOnTop(QWindow* window, bool onTop)
{
    m_keptOnTopCalls.append({window, onTop});
}

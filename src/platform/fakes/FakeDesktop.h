#pragma once

#include "platform/Desktop.h"

#include <QHash>
#include <QRect>

// A desktop for tests: windows, depth and screen picture are set by the test, and every request
// the program makes is recorded. Nothing reaches a real display.
class FakeDesktop final : public Desktop {
public:
    struct KeptOnTopCall {
        QWindow* window;
        bool onTop;
    };

    // The walk's result, topmost first.
    void setWindows(const QList<TopLevelWindow>& windows) { m_windows = windows; }
    // Where a window lies on the screen, for windowAt; windows without a rect are never hit.
    void setWindowRect(quint64 window, const QRect& rect) { m_rects.insert(window, rect); }
    void setColourDepth(int bitsPerPixel) { m_colourDepth = bitsPerPixel; }
    // Whether switchColourDepth succeeds; on success the depth becomes the one asked for.
    void setDepthSwitchSucceeds(bool succeeds) { m_depthSwitchSucceeds = succeeds; }
    void setScreenPicture(const QImage& picture) { m_screenPicture = picture; }

    QList<quint64> closeRequests() const { return m_closeRequests; }
    QList<quint64> broughtToFront() const { return m_broughtToFront; }
    QList<int> depthSwitchRequests() const { return m_depthSwitchRequests; }
    // Every setTaskbarVisible argument in order; the taskbar starts visible.
    QList<bool> taskbarCalls() const { return m_taskbarCalls; }
    bool taskbarVisible() const { return m_taskbarCalls.isEmpty() || m_taskbarCalls.last(); }
    QList<QWindow*> keptOffTaskbar() const { return m_keptOffTaskbar; }
    QList<KeptOnTopCall> keptOnTopCalls() const { return m_keptOnTopCalls; }
    QList<QWindow*> fullScreen() const { return m_fullScreen; }
    QList<QWindow*> activated() const { return m_activated; }
    QList<QPoint> pointerMoves() const { return m_pointerMoves; }
    int screenGrabs() const { return m_screenGrabs; }
    // The window each grab was to leave out, in order (null for none).
    QList<QWindow*> windowsLeftOut() const { return m_windowsLeftOut; }

    QList<TopLevelWindow> topLevelWindows() const override { return m_windows; }
    void requestClose(quint64 window) override { m_closeRequests.append(window); }
    quint64 windowAt(QPoint screenPoint) const override;
    void bringToFront(quint64 window) override { m_broughtToFront.append(window); }
    int colourDepth() const override { return m_colourDepth; }
    bool switchColourDepth(int bitsPerPixel) override;
    QImage grabScreenWithout(QWindow* window) override;
    void setTaskbarVisible(bool visible) override { m_taskbarCalls.append(visible); }
    void keepOffTaskbar(QWindow* window) override { m_keptOffTaskbar.append(window); }
    void setKeptOnTop(QWindow* window, bool onTop) override;
    void setFullScreen(QWindow* window) override { m_fullScreen.append(window); }
    void activate(QWindow* window) override { m_activated.append(window); }
    void movePointer(QPoint screenPoint) override { m_pointerMoves.append(screenPoint); }

private:
    QList<TopLevelWindow> m_windows;
    QHash<quint64, QRect> m_rects;
    int m_colourDepth = 32;
    bool m_depthSwitchSucceeds = false;
    QImage m_screenPicture;

    QList<quint64> m_closeRequests;
    QList<quint64> m_broughtToFront;
    QList<int> m_depthSwitchRequests;
    QList<bool> m_taskbarCalls;
    QList<QWindow*> m_keptOffTaskbar;
    QList<KeptOnTopCall> m_keptOnTopCalls;
    QList<QWindow*> m_fullScreen;
    QList<QWindow*> m_activated;
    QList<QPoint> m_pointerMoves;
    int m_screenGrabs = 0;
    QList<QWindow*> m_windowsLeftOut;
};

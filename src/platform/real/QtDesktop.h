#pragma once

#include "platform/Desktop.h"

// The desktop as far as Qt alone reaches it, for platforms without an X server (offscreen,
// Wayland): other programs' windows stay out of sight, so the window list is empty and requests
// about windows have nothing to act on. Depth, screen picture, pointer and the always-on-top hint
// go through QScreen, QCursor and window flags. Coordinates are those of the primary screen.
class QtDesktop final : public Desktop {
public:
    QList<TopLevelWindow> topLevelWindows() const override;
    void requestClose(quint64 window) override;
    quint64 windowAt(QPoint screenPoint) const override;
    void bringToFront(quint64 window) override;

    int colourDepth() const override;
    bool switchColourDepth(int bitsPerPixel) override;

    QImage grabScreenWithout(QWindow* window) override;

    void setTaskbarVisible(bool visible) override;
    void keepOffTaskbar(QWindow* window) override;
    void setKeptOnTop(QWindow* window, bool onTop) override;
    void setFullScreen(QWindow* window) override;
    void activate(QWindow* window) override;

    void movePointer(QPoint screenPoint) override;
};

#pragma once

#include <QObject>

class Desktop;

// Keeps the program's windows off the taskbar. A window manager forgets a window's taskbar
// state when the window is hidden, so the state is set again each time a window is shown.
class TaskbarKeeper : public QObject {
public:
    explicit TaskbarKeeper(Desktop& desktop) : m_desktop(desktop) {}

    // Watches a top-level widget from now on.
    void watch(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Desktop& m_desktop;
};

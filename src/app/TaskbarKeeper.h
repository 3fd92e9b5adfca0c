#pragma once

#include <QObject>

class Desktop;

// Keeps every window of the program off the taskbar and the pager: its own windows as well as
// message boxes and Qt's colour and file dialogs, which are made on the spot. It watches the
// whole application, and since a window manager forgets a window's taskbar state when the window
// is hidden, the state is set again each time a window is shown, and when Qt makes a shown
// window's native window anew (before it maps the new one).
class TaskbarKeeper : public QObject {
public:
    explicit TaskbarKeeper(Desktop& desktop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Desktop& m_desktop;
};

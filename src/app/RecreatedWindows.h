#pragma once

#include <QList>
#include <QPointer>
#include <QWindow>

class QEvent;
class QObject;

// Qt makes a shown window's native window anew when a child needs another kind of surface (a web
// view's first page, for one): the new native window maps without the states the window manager
// was told for the old one. This follows a keeper's events and says when such a window has come
// back on the screen, mapped and managed, so the states can be told again.
class RecreatedWindows {
public:
    // The window whose new native window was just exposed for the first time, else null.
    QWindow* exposedAfterRecreation(QObject* watched, QEvent* event);

private:
    QList<QPointer<QWindow>> m_waiting;
};

#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

// For windows shown modally: what the teacher does in the window runs once it shows, inside its
// event loop.
inline void whenShown(QWidget* window, std::function<void()> act)
{
    auto* poll = new QTimer(window);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, window, [window, poll, act] {
        if (!window->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start();
}

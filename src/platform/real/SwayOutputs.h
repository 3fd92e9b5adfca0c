#pragma once

#include "platform/CompositorOutputs.h"

#include <QByteArray>
#include <QString>

// sway's outputs, through its IPC socket (SWAYSOCK): sway opens a window it manages on the
// focused output, so that output is focused first, and a window that must change outputs is moved
// by sway. XWayland's coordinates are sway's layout coordinates: an output is known by its
// rectangle.
class SwayOutputs final : public CompositorOutputs {
public:
    // The socket of the sway session the program runs in; empty when there is none.
    static QString socketOfThisSession();

    explicit SwayOutputs(const QString& socketPath);

    void openWindowsOn(const QRect& area) override;
    void moveWindowTo(quint64 window, const QRect& area) override;

private:
    struct Output {
        QString name;
        bool focused = false;
    };

    // One message and its answer; an empty answer when sway cannot be reached in time.
    QByteArray ask(quint32 type, const QByteArray& payload);
    // The active output showing `area` (the same rectangle, else the one holding its centre);
    // no name when none shows it.
    Output outputShowing(const QRect& area);
    void run(const QString& command);

    QString m_socketPath;
    bool m_failureSaid = false;
};

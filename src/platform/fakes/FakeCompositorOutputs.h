#pragma once

#include "platform/CompositorOutputs.h"

#include <QList>
#include <QPair>

// Compositor outputs for tests: records where windows were asked to open and to go.
class FakeCompositorOutputs final : public CompositorOutputs {
public:
    QList<QRect> opened() const { return m_opened; }
    QList<QPair<quint64, QRect>> moved() const { return m_moved; }

    void openWindowsOn(const QRect& area) override { m_opened.append(area); }
    void moveWindowTo(quint64 window, const QRect& area) override
    {
        m_moved.append({window, area});
    }

private:
    QList<QRect> m_opened;
    QList<QPair<quint64, QRect>> m_moved;
};

#pragma once

#include "platform/Scanner.h"

#include <QMutex>
#include <QSemaphore>
#include <QStringList>

// A source manager for tests: it loads or fails as the test sets, reports the test's sources and
// delivers the test's pages at every acquisition. Every call is recorded ("load", "unload",
// "sources", "acquire <device> <dpi>"). It may be called from another thread than the test's; an
// acquisition can be held until the test lets it go, so the test sees a scan in progress.
class FakeScanner final : public Scanner {
public:
    void setLoadSucceeds(bool succeeds) { m_loadSucceeds = succeeds; }
    void setSources(const QList<ScanSource>& sources) { m_sources = sources; }
    void setPages(const QList<QImage>& pages) { m_pages = pages; }
    // The next acquisition waits, before its first page, until releaseAcquisition().
    void holdAcquisition() { m_held = true; }
    void releaseAcquisition() { m_gate.release(); }

    QStringList calls() const
    {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }

    bool load() override
    {
        record(QStringLiteral("load"));
        return m_loadSucceeds;
    }
    void unload() override { record(QStringLiteral("unload")); }
    QList<ScanSource> sources() override
    {
        record(QStringLiteral("sources"));
        return m_sources;
    }
    bool acquire(const QString& device, int dotsPerInch,
                 const std::function<void(const QImage&)>& onPage) override
    {
        record(QStringLiteral("acquire %1 %2").arg(device).arg(dotsPerInch));
        if (m_held) {
            m_held = false;
            m_gate.acquire();
        }
        for (const QImage& page : m_pages)
            onPage(page);
        return true;
    }
    void requestStop() override
    {
        record(QStringLiteral("stop"));
        m_gate.release();
    }

private:
    void record(const QString& call)
    {
        QMutexLocker lock(&m_mutex);
        m_calls.append(call);
    }

    bool m_loadSucceeds = true;
    QList<ScanSource> m_sources;
    QList<QImage> m_pages;
    bool m_held = false;
    QSemaphore m_gate;
    mutable QMutex m_mutex;
    QStringList m_calls;
};

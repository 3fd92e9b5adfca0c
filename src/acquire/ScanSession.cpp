#include "acquire/ScanSession.h"

#include "acquire/ScanPlacement.h"
#include "files/ProgramNames.h"
#include "platform/Prompter.h"

ScanSession::ScanSession(Scanner& scanner, BoardModel& board, Prompter& prompter,
                         const QString& programDirectory)
    : m_scanner(scanner), m_board(board), m_prompter(prompter), m_programDirectory(programDirectory)
{
    m_thread.setObjectName(QStringLiteral("scanner"));
    m_worker.moveToThread(&m_thread);
    m_thread.start();
}

ScanSession::~ScanSession()
{
    m_scanner.requestStop();
    m_thread.quit();
    m_thread.wait();
    m_scanner.unload();
}

void ScanSession::selectSource(int index)
{
    if (index < 0 || index >= m_sources.size() || index == m_selected)
        return;
    m_selected = index;
    emit changed();
}

void ScanSession::setPageMode(ScanPageMode mode)
{
    if (mode == m_pageMode)
        return;
    m_pageMode = mode;
    emit changed();
}

void ScanSession::run(std::function<void()> job)
{
    QMetaObject::invokeMethod(&m_worker, std::move(job), Qt::QueuedConnection);
}

void ScanSession::setBusy(int change)
{
    const bool before = busy();
    m_busy += change;
    if (busy() != before)
        emit busyChanged(busy());
}

void ScanSession::reload()
{
    if (busy())
        return;
    setBusy(+1);
    run([this] {
        m_scanner.unload();
        const bool loaded = m_scanner.load();
        const QList<ScanSource> sources = loaded ? m_scanner.sources() : QList<ScanSource>();
        QMetaObject::invokeMethod(
            this, [this, loaded, sources] { listed(loaded, sources); }, Qt::QueuedConnection);
    });
}

void ScanSession::listed(bool loaded, const QList<ScanSource>& sources)
{
    setBusy(-1);
    if (!loaded) {
        m_prompter.inform(QString::fromLatin1(ProgramNames::title),
                          QStringLiteral("扫描驱动程序出错！"));
        return;
    }
    m_sources = sources;
    m_sourceNames.clear();
    for (const ScanSource& source : sources)
        m_sourceNames.append(source.model);
    m_selected = sources.isEmpty() ? -1 : 0;
    emit sourcesChanged();
    emit sourcesReady();
}

void ScanSession::confirm()
{
    if (m_selected < 0) {
        m_prompter.inform(QString::fromLatin1(ProgramNames::title),
                          QStringLiteral("未检测到扫描仪和其它视频设备！"));
        return;
    }
    emit contentPanelCloseRequested();
    const QString device = m_sources.at(m_selected).device;
    const ScanPageMode mode = m_pageMode;
    setBusy(+1);
    run([this, device, mode] {
        m_scanner.acquire(device, dotsPerInch, [this, mode](const QImage& page) {
            QMetaObject::invokeMethod(
                this,
                [this, page, mode] {
                    ScanPlacement::place(m_board, page, mode, m_programDirectory);
                },
                Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this, [this] { setBusy(-1); }, Qt::QueuedConnection);
    });
}

void ScanSession::cancel()
{
    run([this] { m_scanner.unload(); });
}

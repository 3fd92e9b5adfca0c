#include "ui/WebEngineProcess.h"

#include "ui/WebViewHost.h"
#include "ui/WebViewProtocol.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <utility>

using namespace WebViewProtocol;

namespace {

// A process that does not end when told to is ended after this long.
constexpr int endingGraceMs = 10000;

QString processProgram()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/zkalto-web");
    if (QFileInfo(beside).isExecutable())
        return beside;
    // Programs that do not lie beside it (the tests) name it.
    return qEnvironmentVariable("ZKALTO_WEB_PROGRAM");
}

} // namespace

WebEngineProcess& WebEngineProcess::instance()
{
    static auto* process = new WebEngineProcess;
    return *process;
}

bool WebEngineProcess::available()
{
    const QString program = processProgram();
    return QGuiApplication::platformName() == QLatin1String("xcb") && !program.isEmpty() &&
           QFileInfo(program).isExecutable();
}

void WebEngineProcess::prepare()
{
    if (!m_process && available())
        start();
}

qint64 WebEngineProcess::processId() const
{
    return m_process ? m_process->processId() : 0;
}

void WebEngineProcess::start()
{
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &WebEngineProcess::read);
    connect(m_process, &QProcess::finished, this, &WebEngineProcess::ended);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ended();
    });
    m_process->start(processProgram(), {});
}

bool WebEngineProcess::shown(WebViewHost* host)
{
    m_hosts.insert(host);
    if (m_made.contains(host))
        return false;
    if (!m_process)
        start();
    m_made.insert(host);
    send(host, {"make", host->use() == WebViewUse::Guide ? "guide" : "documents",
                QByteArray::number(quint64(host->winId())), QByteArray::number(host->width()),
                QByteArray::number(host->height())});
    return true;
}

void WebEngineProcess::hidden(WebViewHost*)
{
    // A window hidden and shown again in one go (a panel that is rearranged) keeps its process.
    QTimer::singleShot(0, this, &WebEngineProcess::endWhenNothingShows);
}

void WebEngineProcess::removed(WebViewHost* host)
{
    send(host, {"drop"});
    m_made.remove(host);
    m_hosts.remove(host);
    hidden(host);
}

void WebEngineProcess::send(WebViewHost* host, QByteArrayList fields)
{
    if (!m_process || !m_made.contains(host))
        return;
    fields.insert(1, QByteArray::number(host->id()));
    m_process->write(line(fields));
}

void WebEngineProcess::runScript(WebViewHost* host, const QString& script,
                                 const std::function<void(const QVariant&)>& done)
{
    if (!m_process || !m_made.contains(host)) {
        done(QVariant());
        return;
    }
    const int request = ++m_lastScript;
    m_scripts.insert(request, done);
    send(host, {"script", QByteArray::number(request), text(script)});
}

void WebEngineProcess::endWhenNothingShows()
{
    if (!m_process)
        return;
    for (WebViewHost* host : std::as_const(m_hosts))
        if (host->isVisible())
            return;
    QProcess* leaving = std::exchange(m_process, nullptr);
    forgetViews();
    disconnect(leaving, nullptr, this, nullptr);
    // The next guide or document finds a process waiting, once this one has given its memory
    // back.
    connect(leaving, &QProcess::finished, this, [this, leaving] {
        leaving->deleteLater();
        prepare();
    });
    QTimer::singleShot(endingGraceMs, leaving, &QProcess::kill);
    leaving->closeWriteChannel();
}

void WebEngineProcess::ended()
{
    // The process died, or could not start: the views on the screen say so. The next opening
    // starts another; none is started ahead of time, which would only die again.
    QProcess* died = std::exchange(m_process, nullptr);
    if (!died)
        return;
    std::fprintf(stderr, "zkalto: the web view process ended unexpectedly (%s)\n",
                 qPrintable(died->errorString()));
    disconnect(died, nullptr, this, nullptr);
    died->deleteLater();
    const QSet<WebViewHost*> made = m_made;
    forgetViews();
    for (WebViewHost* host : made)
        if (host->isVisible())
            host->pageFailed();
}

void WebEngineProcess::forgetViews()
{
    m_made.clear();
    const auto scripts = std::exchange(m_scripts, {});
    for (const auto& done : scripts)
        done(QVariant());
}

void WebEngineProcess::read()
{
    while (m_process && m_process->canReadLine()) {
        const QByteArrayList fields = m_process->readLine().trimmed().split(' ');
        const QByteArray& name = fields.value(0);
        if (name == "answer" && fields.size() == 3) {
            const auto done = m_scripts.take(fields[1].toInt());
            if (done)
                done(QJsonDocument::fromJson(QByteArray::fromBase64(fields[2]))
                         .array()
                         .at(0)
                         .toVariant());
            continue;
        }
        WebViewHost* host = hostOf(fields.value(1));
        if (!host)
            continue;
        if (name == "loaded" && fields.size() == 5)
            host->pageLoaded(fields[2] == "1", QUrl(text(fields[3])), text(fields[4]));
        else if (name == "failed")
            host->pageFailed();
        else if (name == "pressed")
            host->pressed();
    }
}

WebViewHost* WebEngineProcess::hostOf(const QByteArray& id) const
{
    for (WebViewHost* host : m_made)
        if (QByteArray::number(host->id()) == id)
            return host;
    return nullptr;
}

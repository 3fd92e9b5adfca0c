#include "webview/WebViewServer.h"

#include "ui/WebViewProtocol.h"
#include "webview/ArchivePage.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QMouseEvent>
#include <QSocketNotifier>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

using namespace WebViewProtocol;

namespace {

const char* const freshPageMark = "zkaltoFreshPage";
const char* const viewIdProperty = "zkaltoViewId";

} // namespace

WebViewServer::WebViewServer(int commands, int answers)
    : m_commands(commands), m_answers(new QFile(this)),
      m_notifier(new QSocketNotifier(commands, QSocketNotifier::Read, this))
{
    m_answers->open(answers, QIODevice::WriteOnly | QIODevice::Unbuffered);
    connect(m_notifier, &QSocketNotifier::activated, this, &WebViewServer::readCommands);
    // Presses reach the page straight from the X server; the program learns of them to treat the
    // view as having the focus.
    qApp->installEventFilter(this);
}

void WebViewServer::readCommands()
{
    char buffer[4096];
    const ssize_t count = ::read(m_commands, buffer, sizeof buffer);
    if (count <= 0) {
        // The program has closed its end (or ended): nothing shows a page any more. The engine's
        // orderly shutdown takes seconds; its own processes end as soon as this one has gone.
        ::_exit(0);
    }
    m_pending.append(buffer, count);
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        run(line.split(' '));
    }
}

void WebViewServer::run(const QByteArrayList& fields)
{
    const QByteArray& name = fields.value(0);
    const int id = fields.value(1).toInt();
    if (name == "make" && fields.size() == 6) {
        make(id, fields[2], fields[3].toULongLong(), fields[4].toInt(), fields[5].toInt());
        return;
    }
    QWebEngineView* view = m_views.value(id);
    if (!view)
        return;
    if (name == "size" && fields.size() == 4)
        view->resize(fields[2].toInt(), fields[3].toInt());
    else if (name == "load" && fields.size() == 4)
        load(view, QUrl(text(fields[3])), fields[2] == "1");
    else if (name == "script" && fields.size() == 4)
        runScript(view, fields[2], text(fields[3]));
    else if (name == "drop")
        delete m_views.take(id);
}

void WebViewServer::make(int id, const QByteArray& use, quintptr window, int width, int height)
{
    if (m_views.contains(id))
        return;
    auto* view = new QWebEngineView;
    auto* page = new ArchivePage(view);
    page->setProperty(freshPageMark, true);
    view->setPage(page);
    view->setProperty(viewIdProperty, id);
    view->setContextMenuPolicy(Qt::NoContextMenu);
    if (use == "documents") {
        // PDF files show in the view's own viewer.
        view->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
        view->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    }
    // The view's window lives inside the program's: the program places, stacks, shows and hides
    // it with its own window, and no window manager ever sees it.
    view->setAttribute(Qt::WA_NativeWindow);
    view->winId();
    QWindow* place = QWindow::fromWinId(WId(window));
    connect(view, &QObject::destroyed, place, &QObject::deleteLater);
    view->windowHandle()->setParent(place);
    view->setGeometry(0, 0, width, height);
    view->show();

    connect(view, &QWebEngineView::renderProcessTerminated, this,
            [this, id](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                std::fprintf(stderr, "zkalto: the web engine's page process ended (%d)\n",
                             int(status));
                answer({"failed", QByteArray::number(id)});
            });
    connect(view, &QWebEngineView::loadFinished, this, [this, id, view](bool ok) {
        answer({"loaded", QByteArray::number(id), ok ? "1" : "0", text(view->url().toString()),
                text(view->title())});
    });
    m_views.insert(id, view);
}

void WebViewServer::load(QWebEngineView* view, const QUrl& url, bool freshPage)
{
    if (freshPage) {
        // The view deletes a page of its own when it is replaced; pages made here are deleted
        // here.
        QWebEnginePage* previous = view->page();
        const bool madeHere = previous->property(freshPageMark).toBool();
        auto* page = new ArchivePage(view);
        page->setProperty(freshPageMark, true);
        view->setPage(page);
        if (madeHere)
            delete previous;
    }
    view->setUrl(url.isEmpty() ? QUrl(QStringLiteral("about:blank")) : url);
}

void WebViewServer::runScript(QWebEngineView* view, const QByteArray& request,
                              const QString& script)
{
    view->page()->runJavaScript(
        script, QWebEngineScript::ApplicationWorld, [this, request](const QVariant& value) {
            const QJsonArray result{QJsonValue::fromVariant(value)};
            answer({"answer", request,
                    QJsonDocument(result).toJson(QJsonDocument::Compact).toBase64()});
        });
}

bool WebViewServer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::TouchBegin) {
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            const QVariant id = widget->window()->property(viewIdProperty);
            if (id.isValid())
                answer({"pressed", QByteArray::number(id.toInt())});
        }
    }
    return QObject::eventFilter(watched, event);
}

void WebViewServer::answer(const QByteArrayList& fields)
{
    m_answers->write(line(fields));
}

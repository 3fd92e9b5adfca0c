#include "ui/WebViews.h"

#include <QCoreApplication>
#include <QLabel>
#include <QObject>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <cstdio>
#include <unistd.h>

namespace QtWebEngineCore {
// Sets up the OpenGL context the engine shares with the views' contexts (what the engine's Qt
// Quick initialisation calls).
void initialize();
} // namespace QtWebEngineCore

namespace {

const char* const freshPageMark = "zkaltoFreshPage";

// The engine will not start its sandbox as root and then ends the whole program, pages and all;
// kiosk images and classroom set-ups run everything as root. It reads the setting when its first
// page is made, after the module has loaded.
void runWithoutSandboxAsRoot()
{
    if (::geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fprintf(stderr, "zkalto runs as root: web views run without the web engine's sandbox\n");
}

// A page process that ends abnormally leaves the view blank: when the engine cannot start one
// (no sandbox, no memory, a missing part) or it crashed. The view says so over the page, and the
// program and its pages go on; the next page that loads takes the notice away.
void sayWhenThePageProcessFails(QWebEngineView* view)
{
    auto* notice = new QLabel(QString::fromUtf8(WebViews::unavailableText), view);
    notice->setObjectName(QStringLiteral("engineFailure"));
    notice->setAlignment(Qt::AlignCenter);
    notice->setWordWrap(true);
    notice->setAutoFillBackground(true);
    notice->hide();
    QObject::connect(view, &QWebEngineView::renderProcessTerminated, notice,
                     [view, notice](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                         if (status == QWebEnginePage::NormalTerminationStatus)
                             return;
                         std::fprintf(stderr, "zkalto: the web engine's page process ended (%d)\n",
                                      int(status));
                         notice->setGeometry(view->rect());
                         notice->show();
                         notice->raise();
                     });
    QObject::connect(view, &QWebEngineView::loadFinished, notice, [notice](bool ok) {
        if (ok)
            notice->hide();
    });
}

} // namespace

// The web engine's side of the web views: real QWebEngineViews.
class WebViewModule : public QObject, public WebViewFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZKALTO_WEB_VIEW_FACTORY_IID)
    Q_INTERFACES(WebViewFactory)
public:
    // The engine expects its shared context from the program's start; loaded later, it gets it
    // now, before the first view, and the views' contexts share with it.
    WebViewModule()
    {
        runWithoutSandboxAsRoot();
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QtWebEngineCore::initialize();
    }

    QWidget* makeView(QWidget* parent, WebViewUse use) override
    {
        auto* view = new QWebEngineView(parent);
        view->setContextMenuPolicy(Qt::NoContextMenu);
        sayWhenThePageProcessFails(view);
        if (use == WebViewUse::Documents) {
            // PDF files show in the view's own viewer.
            view->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
            view->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
        }
        return view;
    }

    void load(QWidget* widget, const QUrl& url, bool freshPage) override
    {
        auto* view = qobject_cast<QWebEngineView*>(widget);
        if (!view)
            return;
        if (freshPage) {
            // The view deletes a page of its own when it is replaced; pages made here are
            // deleted here.
            QWebEnginePage* previous = view->page();
            const bool madeHere = previous->property(freshPageMark).toBool();
            auto* page = new QWebEnginePage(view);
            page->setProperty(freshPageMark, true);
            view->setPage(page);
            if (madeHere)
                delete previous;
        }
        view->setUrl(url.isEmpty() ? QUrl(QStringLiteral("about:blank")) : url);
    }
};

#include "WebViewModule.moc"

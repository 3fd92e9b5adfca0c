#include "ui/WebViews.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPluginLoader>

namespace WebViews {

WebViewFactory* factory()
{
    static WebViewFactory* loaded = [] {
        // Beside the program first; a bare name also searches Qt's library paths.
        QPluginLoader loader(QCoreApplication::applicationDirPath() +
                             QStringLiteral("/zkalto_webview"));
        if (!loader.load()) {
            loader.setFileName(QStringLiteral("zkalto_webview"));
            loader.load();
        }
        auto* made = qobject_cast<WebViewFactory*>(loader.instance());
        if (!made)
            qWarning("zkalto: the web view module does not load: %s",
                     qPrintable(loader.errorString()));
        return made;
    }();
    return loaded;
}

QWidget* makeView(QWidget* parent, WebViewUse use)
{
    if (WebViewFactory* views = factory())
        return views->makeView(parent, use);
    auto* label = new QLabel(QString::fromUtf8(unavailableText), parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    return label;
}

void load(QWidget* view, const QUrl& url, bool freshPage)
{
    if (WebViewFactory* views = factory())
        views->load(view, url, freshPage);
}

} // namespace WebViews

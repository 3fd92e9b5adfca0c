#include "ui/WebViews.h"

#include <QCoreApplication>
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

} // namespace WebViews

#pragma once

#include <QtPlugin>

class QUrl;
class QWidget;

// What a web view is made for.
enum class WebViewUse {
    Documents, // the content panel: HTML, PDF in the engine's own viewer, pictures
    Guide,     // the help guide: read, not navigated away from
};

// The web engine lives in a module of its own beside the program (zkalto_webview), loaded the
// first time a document or the guide is shown. Linked into the program, the engine sets up a
// graphics context while the program starts and keeps some 100 MiB resident with only the
// toolbar on the screen.
class WebViewFactory {
public:
    virtual ~WebViewFactory() = default;
    // A web view (a QWebEngineView) as a child of parent, with no context menu.
    virtual QWidget* makeView(QWidget* parent, WebViewUse use) = 0;
    // The view goes to url; an empty url shows an empty page. With freshPage the view starts a
    // page of its own, which forgets where the reader had scrolled.
    virtual void load(QWidget* view, const QUrl& url, bool freshPage) = 0;
};

#define ZKALTO_WEB_VIEW_FACTORY_IID "org.zkalto.WebViewFactory/1"
Q_DECLARE_INTERFACE(WebViewFactory, ZKALTO_WEB_VIEW_FACTORY_IID)

namespace WebViews {

// The module's factory, loaded on first use from the program's directory (and Qt's library
// paths); null, with a line on standard error, when the module is missing or does not load.
WebViewFactory* factory();

} // namespace WebViews

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
    // A web view (a QWebEngineView) as a child of parent, with no context menu. Where the engine's
    // page process ends abnormally (it could not start, or it crashed) the view says so over its
    // page until the next page loads.
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

// What a window shows where the web engine cannot start at all.
inline constexpr char unavailableText[] = "网页引擎无法启动，不能显示此页。";

// A web view as a child of parent; where the module does not load, a label saying that the
// web engine cannot start, so the window says so and everything else goes on.
QWidget* makeView(QWidget* parent, WebViewUse use);
// The view goes to url (see WebViewFactory::load); the label stays as it is.
void load(QWidget* view, const QUrl& url, bool freshPage);

} // namespace WebViews

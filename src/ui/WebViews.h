#pragma once

class QUrl;
class QWidget;

// What a web view is made for.
enum class WebViewUse {
    Documents, // the content panel: HTML, PDF in the engine's own viewer, pictures
    Guide,     // the help guide: read, not navigated away from
};

// Web views for the program's windows. The web engine runs in a process of its own beside the
// program (zkalto-web, see WebEngineProcess): each view is a WebViewHost in the window, into
// which the process puts the page's window. Linked into the program, the engine would keep some
// 100 MiB resident from the start and 400 MiB after the first page, also once the page is closed.
namespace WebViews {

// What a window shows where the web engine cannot start at all.
inline constexpr char unavailableText[] = "网页引擎无法启动，不能显示此页。";

// Starts the web view process ahead of time, so that the first document or guide does not wait
// for the engine's libraries; nothing where web views cannot be shown.
void prepare();

// A web view (a WebViewHost) as a child of parent, with no context menu. Where the engine's
// process or the page's process ends abnormally the view says so over its page until the next
// page loads. Where web views cannot be shown at all (the process's program is missing, or there
// is no X server), a label saying that the web engine cannot start, so the window says so and
// everything else goes on.
QWidget* makeView(QWidget* parent, WebViewUse use);
// The view goes to url; an empty url shows an empty page. With freshPage the view starts a page
// of its own, which forgets where the reader had scrolled. A label stays as it is.
void load(QWidget* view, const QUrl& url, bool freshPage);

} // namespace WebViews

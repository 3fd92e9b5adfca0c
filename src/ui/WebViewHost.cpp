#include "ui/WebViewHost.h"

#include "ui/WebEngineProcess.h"

#include <QLabel>
#include <QTimer>

namespace {

int nextId()
{
    static int last = 0;
    return ++last;
}

} // namespace

WebViewHost::WebViewHost(QWidget* parent, WebViewUse use)
    : QWidget(parent), m_id(nextId()), m_use(use), m_notice(new QLabel(this))
{
    // A window of its own for the view's window to live in; its parents stay as they are.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    // What shows until the page has drawn: the empty page's white.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    // The view takes presses itself; the host takes the focus for it.
    setFocusPolicy(Qt::ClickFocus);

    m_notice->setObjectName(QStringLiteral("engineFailure"));
    m_notice->setText(QString::fromUtf8(WebViews::unavailableText));
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setWordWrap(true);
    m_notice->setAutoFillBackground(true);
    // Over the view's window, which a widget drawn into the host would lie under.
    m_notice->setAttribute(Qt::WA_NativeWindow);
    m_notice->hide();
}

WebViewHost::~WebViewHost()
{
    WebEngineProcess::instance().removed(this);
}

void WebViewHost::load(const QUrl& url, bool freshPage)
{
    m_loadAsked = true;
    m_url = url;
    WebEngineProcess& process = WebEngineProcess::instance();
    if (isVisible())
        process.shown(this);
    process.send(this, {"load", freshPage ? "1" : "0", WebViewProtocol::text(url.toString())});
}

void WebViewHost::restore()
{
    if (!m_url.isEmpty())
        WebEngineProcess::instance().send(this,
                                          {"load", "0", WebViewProtocol::text(m_url.toString())});
}

void WebViewHost::pageLoaded(bool ok, const QUrl& url, const QString& title)
{
    if (!url.isEmpty() && url != QUrl(QStringLiteral("about:blank")))
        m_url = url;
    m_title = title;
    if (ok)
        sayNotice(false);
    emit loadFinished(ok);
}

void WebViewHost::pageFailed()
{
    sayNotice(true);
}

void WebViewHost::pressed()
{
    setFocus(Qt::MouseFocusReason);
}

void WebViewHost::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_loadAsked = false;
    if (!WebEngineProcess::instance().shown(this) || m_url.isEmpty())
        return;
    // A view made anew shows what the host showed, unless its window asks for a page of its own
    // as it shows (its handlers of the showing run after the host's, some on the next turn of
    // the event loop).
    QTimer::singleShot(0, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (!m_loadAsked && isVisible())
                restore();
        });
    });
}

void WebViewHost::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    WebEngineProcess::instance().hidden(this);
}

void WebViewHost::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    WebEngineProcess::instance().send(
        this, {"size", QByteArray::number(width()), QByteArray::number(height())});
    m_notice->setGeometry(rect());
}

void WebViewHost::sayNotice(bool shown)
{
    m_notice->setGeometry(rect());
    m_notice->setVisible(shown);
    if (shown)
        m_notice->raise();
}

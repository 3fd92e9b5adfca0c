#include "platform/real/PortalScreenshot.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Receives the request's Response signal: QtDBus delivers signals to slots only.
class ResponseReceiver : public QObject {
    Q_OBJECT
public:
    bool answered = false;
    uint code = 2;
    QVariantMap results;
    QEventLoop* loop = nullptr;

public slots:
    void response(uint responseCode, const QVariantMap& responseResults)
    {
        answered = true;
        code = responseCode;
        results = responseResults;
        loop->quit();
    }
};

QString uniqueToken()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("zkalto%1").arg(++counter);
}

QImage readAndRemove(const QVariantMap& results)
{
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile())
        return {};
    const QString path = uri.toLocalFile();
    QImage picture(path);
    // The portal wrote the file for this request alone.
    QFile::remove(path);
    return picture;
}

} // namespace

namespace PortalScreenshot {

QImage take(int deadlineMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {};
    // The portal answers on a request object whose path it makes from our name and the token;
    // listening there before asking means no answer can come too early to be heard.
    const QString token = uniqueToken();
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    QEventLoop loop;
    ResponseReceiver receiver;
    receiver.loop = &loop;
    if (!bus.connect(portalService, requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                     QStringLiteral("Response"), &receiver, SLOT(response(uint, QVariantMap))))
        return {};

    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false}};
    QDBusPendingCallWatcher watcher(bus.asyncCall(call, deadlineMs));
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop,
                     [&loop](QDBusPendingCallWatcher* finished) {
                         // No portal, or one that refused the call: no answer will come.
                         if (finished->isError())
                             loop.quit();
                     });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(deadlineMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    bus.disconnect(portalService, requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                   QStringLiteral("Response"), &receiver, SLOT(response(uint, QVariantMap)));
    if (!receiver.answered || receiver.code != 0)
        return {};
    return readAndRemove(receiver.results);
}

QImage cutToScreen(const QImage& whole, const QRect& desktop, const QRect& screen)
{
    if (whole.isNull() || desktop.isEmpty())
        return {};
    const QImage atDesktopSize =
        whole.size() == desktop.size()
            ? whole
            : whole.scaled(desktop.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return atDesktopSize.copy(screen.translated(-desktop.topLeft()));
}

bool isXWayland(xcb_connection_t* connection)
{
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    const char name[] = "XWAYLAND";
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
        connection, xcb_query_extension(connection, sizeof name - 1, name), nullptr);
    const bool present = reply && reply->present;
    std::free(reply);
    return present;
}

} // namespace PortalScreenshot

#include "PortalScreenshot.moc"

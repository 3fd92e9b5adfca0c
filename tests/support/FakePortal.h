#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QImage>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

// A desktop portal's Screenshot interface for tests and benchmarks, registered on a session bus
// connection of their own: it answers with a picture file, a refusal, or not at all.
enum class PortalAnswer { Picture, Refusal, Silence };

// The portal's Screenshot interface as a portal backend answers it: the request object's path is
// made from the caller's name and its token, and the answer comes as that object's Response.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    FakePortal(QDBusConnection bus, PortalAnswer answer, QString picturePath)
        : m_bus(std::move(bus)), m_answer(answer), m_picturePath(std::move(picturePath))
    {
    }
    QVariantMap lastOptions;
    // Written to the picture file at every request, as a portal writes a new file each time.
    QImage picture;
    // The answer comes after the call's own reply, as a portal answers once its backend has.
    int answerDelayMs = 50;

public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& options, const QDBusMessage& call)
    {
        lastOptions = options;
        const QString sender = call.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString path =
            QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        if (!picture.isNull())
            picture.save(m_picturePath);
        if (m_answer != PortalAnswer::Silence) {
            QDBusMessage response = QDBusMessage::createSignal(
                path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            const bool picture = m_answer == PortalAnswer::Picture;
            response << uint(picture ? 0 : 1)
                     << QVariantMap{
                            {QStringLiteral("uri"), QUrl::fromLocalFile(m_picturePath).toString()}};
            QTimer::singleShot(answerDelayMs, this, [this, response] { m_bus.send(response); });
        }
        return QDBusObjectPath(path);
    }

private:
    QDBusConnection m_bus;
    PortalAnswer m_answer;
    QString m_picturePath;
};

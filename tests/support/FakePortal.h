#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QImage>
#include <QObject>
#include <QProcess>
#include <QTemporaryFile>
#include <QUrl>
#include <QVariantMap>

// A desktop portal's Screenshot interface for tests and benchmarks, registered on a session bus
// connection of their own: it answers with a picture file, a refusal, or not at all.
// Starts a session bus of its own that starts no services by itself (the machine's portal, if
// installed, would be started on the first call to its name) and returns its address, empty
// when it does not start.
inline QByteArray startPrivateSessionBus(QProcess& bus)
{
    // The bus reads its configuration once, at its start.
    QTemporaryFile configuration;
    if (!configuration.open())
        return {};
    configuration.write("<busconfig>"
                        "<type>session</type>"
                        "<listen>unix:tmpdir=/tmp</listen>"
                        "<auth>EXTERNAL</auth>"
                        "<policy context=\"default\">"
                        "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                        "<allow eavesdrop=\"true\"/>"
                        "<allow own=\"*\"/>"
                        "</policy>"
                        "</busconfig>\n");
    configuration.close();
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--config-file=") + configuration.fileName(),
               QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
               QStringLiteral("--print-address=1")});
    if (!bus.waitForStarted() || !bus.waitForReadyRead(10000))
        return {};
    return bus.readLine().trimmed();
}

// A picture, a file that holds no picture, a refusal, or no answer at all.
enum class PortalAnswer { Picture, NoPicture, Refusal, Silence };

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
        if (m_answer == PortalAnswer::NoPicture) {
            QFile file(m_picturePath);
            if (file.open(QIODevice::WriteOnly))
                file.write("no picture");
        }
        if (m_answer != PortalAnswer::Silence) {
            QDBusMessage response = QDBusMessage::createSignal(
                path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            response << uint(m_answer == PortalAnswer::Refusal ? 1 : 0)
                     << QVariantMap{
                            {QStringLiteral("uri"), QUrl::fromLocalFile(m_picturePath).toString()}};
            // Even before the call's own reply: a caller that listened only afterwards would miss
            // the answer.
            m_bus.send(response);
        }
        return QDBusObjectPath(path);
    }

private:
    QDBusConnection m_bus;
    PortalAnswer m_answer;
    QString m_picturePath;
};

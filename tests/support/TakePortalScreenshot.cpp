// take_portal_screenshot FILE: a picture of the whole desktop through the desktop portal's
// non-interactive Screenshot on the session bus, saved as FILE (PNG). Tests run it as the user of
// a Wayland session: the portal answers programs of its own user only. Ends with 0 when the
// picture is saved, 1 on a refusal, no answer within 30 s or no picture, which it says on standard
// output.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QImage>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <cstdio>

namespace {

const QString portalName = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
constexpr int answerDeadlineMs = 30000;

// Saves the picture of the portal's answer, which comes as a signal of the request's object.
class Answer : public QObject {
    Q_OBJECT
public:
    explicit Answer(QString file) : m_file(std::move(file)) {}
public slots:
    void take(uint response, const QVariantMap& results)
    {
        const QString picture = QUrl(results.value(QStringLiteral("uri")).toString()).toLocalFile();
        const bool saved = response == 0 && QImage(picture).save(m_file, "PNG");
        if (!picture.isEmpty())
            QFile::remove(picture);
        if (!saved)
            std::printf("the portal answered %u and gave no picture\n", response);
        QCoreApplication::exit(saved ? 0 : 1);
    }

private:
    QString m_file;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: take_portal_screenshot FILE\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString token = QStringLiteral("take_portal_screenshot");
    // The portal makes the request's object from the caller's name and the token; listening
    // there before the call misses no answer.
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    Answer answer(QString::fromLocal8Bit(argv[1]));
    bus.connect(portalName, portalPath + QStringLiteral("/request/") + sender + "/" + token,
                requestInterface, QStringLiteral("Response"), &answer,
                SLOT(take(uint, QVariantMap)));
    QDBusMessage call = QDBusMessage::createMethodCall(
        portalName, portalPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
        QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), false}};
    const QDBusMessage reply = bus.call(call, QDBus::Block, answerDeadlineMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::printf("the portal refused: %s\n", qPrintable(reply.errorMessage()));
        return 1;
    }
    QTimer::singleShot(answerDeadlineMs, &application, [] {
        std::printf("the portal did not answer\n");
        QCoreApplication::exit(1);
    });
    return application.exec();
}

#include "TakePortalScreenshot.moc"

#include "platform/real/SwayOutputs.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The message types of sway's IPC that the program uses.
constexpr quint32 runCommand = 0;
constexpr quint32 getOutputs = 3;

// "i3-ipc", then the payload's length and the message's type in the machine's byte order.
constexpr char magic[] = "i3-ipc";
constexpr qsizetype magicLength = sizeof(magic) - 1;
constexpr qsizetype headerLength = magicLength + 2 * sizeof(quint32);

// sway answers at once; a compositor that hangs must not hang the program's windows with it.
constexpr int answerSeconds = 1;

bool sendAll(int socket, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t now =
            ::send(socket, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (now <= 0)
            return false;
        sent += now;
    }
    return true;
}

bool receiveAll(int socket, char* into, qsizetype length)
{
    qsizetype received = 0;
    while (received < length) {
        const ssize_t now = ::recv(socket, into + received, length - received, 0);
        if (now <= 0)
            return false;
        received += now;
    }
    return true;
}

QRect rectangleOf(const QJsonObject& output)
{
    const QJsonObject rect = output.value(QLatin1String("rect")).toObject();
    return QRect(rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
                 rect.value(QLatin1String("width")).toInt(),
                 rect.value(QLatin1String("height")).toInt());
}

} // namespace

QString SwayOutputs::socketOfThisSession()
{
    return qEnvironmentVariable("SWAYSOCK");
}

SwayOutputs::SwayOutputs(const QString& socketPath) : m_socketPath(socketPath) {}

QByteArray SwayOutputs::ask(quint32 type, const QByteArray& payload)
{
    const QByteArray path = m_socketPath.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    QByteArray answer;
    if (socket >= 0 && path.size() < qsizetype(sizeof(address.sun_path))) {
        std::memcpy(address.sun_path, path.constData(), path.size());
        const timeval bound{answerSeconds, 0};
        ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof(bound));
        ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof(bound));
        QByteArray message(magic, magicLength);
        const quint32 header[] = {quint32(payload.size()), type};
        message.append(reinterpret_cast<const char*>(header), sizeof(header));
        message.append(payload);
        char received[headerLength];
        if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
            sendAll(socket, message) && receiveAll(socket, received, headerLength) &&
            std::memcmp(received, magic, magicLength) == 0) {
            quint32 length = 0;
            std::memcpy(&length, received + magicLength, sizeof(length));
            answer.resize(length);
            if (!receiveAll(socket, answer.data(), length))
                answer.clear();
        }
    }
    if (socket >= 0)
        ::close(socket);
    if (answer.isEmpty() && !m_failureSaid) {
        m_failureSaid = true;
        std::fprintf(stderr,
                     "zkalto: sway does not answer at %s; windows may open on another output\n",
                     path.constData());
    }
    return answer;
}

SwayOutputs::Output SwayOutputs::outputShowing(const QRect& area)
{
    Output holdingCentre;
    const QJsonArray outputs = QJsonDocument::fromJson(ask(getOutputs, {})).array();
    for (const QJsonValue& value : outputs) {
        const QJsonObject output = value.toObject();
        if (!output.value(QLatin1String("active")).toBool())
            continue;
        const Output found{output.value(QLatin1String("name")).toString(),
                           output.value(QLatin1String("focused")).toBool()};
        const QRect shown = rectangleOf(output);
        if (shown == area)
            return found;
        if (holdingCentre.name.isEmpty() && shown.contains(area.center()))
            holdingCentre = found;
    }
    return holdingCentre;
}

void SwayOutputs::run(const QString& command)
{
    ask(runCommand, command.toUtf8());
}

void SwayOutputs::openWindowsOn(const QRect& area)
{
    const Output output = outputShowing(area);
    if (!output.name.isEmpty() && !output.focused)
        run(QStringLiteral("focus output \"%1\"").arg(output.name));
}

void SwayOutputs::moveWindowTo(quint64 window, const QRect& area)
{
    const Output output = outputShowing(area);
    if (!output.name.isEmpty())
        run(QStringLiteral("[id=%1] move container to output \"%2\"").arg(window).arg(output.name));
}

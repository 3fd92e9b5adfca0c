#include "app/BoardScreenChoice.h"

#include "files/RegularFile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace {

QString fromArguments(const QStringList& arguments)
{
    const QString option = QStringLiteral("--screen");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == option && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (arguments.at(i).startsWith(option + QLatin1Char('=')))
            return arguments.at(i).mid(option.size() + 1);
    }
    return {};
}

QString fromConfiguration()
{
    // Most local first: the user's file is read before the machine's.
    const QStringList files = QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation,
                                                        QStringLiteral("zkalto/zkalto.conf"));
    for (const QString& path : files) {
        constexpr qint64 maxConfigurationSize = qint64(1) << 20;
        const std::optional<QByteArray> text =
            RegularFile::readThroughLink(path, maxConfigurationSize);
        if (!text)
            continue;
        // Lines "key=value", spaces around either allowed; "#" lines and other keys are passed by.
        for (const QString& line : QString::fromUtf8(*text).split(QLatin1Char('\n'))) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (equals < 0 || line.left(equals).trimmed() != QLatin1String("screen"))
                continue;
            if (const QString name = line.mid(equals + 1).trimmed(); !name.isEmpty())
                return name;
        }
    }
    return {};
}

QScreen* screenNamed(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen;
    }
    return nullptr;
}

} // namespace

namespace BoardScreenChoice {

QString requestedName(const QStringList& arguments)
{
    if (QString name = fromArguments(arguments); !name.isEmpty())
        return name;
    if (QString name = qEnvironmentVariable("ZKALTO_SCREEN"); !name.isEmpty())
        return name;
    return fromConfiguration();
}

QScreen* resolve(const QString& name)
{
    QScreen* named = screenNamed(name);
    return named ? named : QGuiApplication::primaryScreen();
}

bool isUnknown(const QString& name)
{
    return !name.isEmpty() && !screenNamed(name);
}

} // namespace BoardScreenChoice

#include "lessons/PersonalSettings.h"

void PersonalSettings::widthUp()
{
    if (width != QLatin1String("9"))
        width = QString::number(width.toInt() + 1);
}

void PersonalSettings::widthDown()
{
    if (width != QLatin1String("1"))
        width = QString::number(width.toInt() - 1);
}

QString PersonalSettings::widthFromText(const QString& text)
{
    bool number = false;
    const int value = text.trimmed().toInt(&number);
    return number && value >= 1 && value <= 9 ? QString::number(value) : QStringLiteral("2");
}

StartupSettings StartupSettings::from(const PersonalSettings& settings)
{
    // The start-up rule knows only the grey background; the board's own rule for a colour chosen
    // on the board has further cases.
    const quint32 textBox = settings.backgroundColour == PersonalSettings::defaultBackgroundColour
                                ? textBoxOnGrey
                                : settings.backgroundColour;
    return {settings.penColour, settings.backgroundColour, settings.width, settings.width.toInt(),
            textBox};
}

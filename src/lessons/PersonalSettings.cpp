#include "lessons/PersonalSettings.h"

#include "board/model/TextPanelColour.h"

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
    const quint32 textBox = TextPanelColour::atStart(settings.backgroundColour);
    return {settings.penColour, settings.backgroundColour, settings.width, settings.width.toInt(),
            textBox};
}

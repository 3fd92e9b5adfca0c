#include "lessons/PersonalSettings.h"

#include "board/model/PenSettings.h"
#include "board/model/TextPanelColour.h"

void PersonalSettings::widthUp()
{
    width = QString::number(PenSettings::steppedWidth(width.toInt(), +1));
}

void PersonalSettings::widthDown()
{
    width = QString::number(PenSettings::steppedWidth(width.toInt(), -1));
}

QString PersonalSettings::widthFromText(const QString& text)
{
    bool number = false;
    const int value = text.trimmed().toInt(&number);
    return number && value >= PenSettings::thinnest && value <= PenSettings::widest
               ? QString::number(value)
               : QStringLiteral("2");
}

StartupSettings StartupSettings::from(const PersonalSettings& settings)
{
    const quint32 textBox = TextPanelColour::atStart(settings.backgroundColour);
    return {settings.penColour, settings.backgroundColour, settings.width, settings.width.toInt(),
            textBox};
}

#pragma once

#include <QString>

// The personal settings of one section of the settings file, as the group "个性设置" shows them:
// pen colour and background colour as 0x00BBGGRR numbers, the stroke width as the decimal text of
// the width box.
struct PersonalSettings {
    static constexpr quint32 defaultPenColour = 255;            // red
    static constexpr quint32 defaultBackgroundColour = 8421504; // grey, 0x808080

    quint32 penColour = defaultPenColour;
    quint32 backgroundColour = defaultBackgroundColour;
    QString width = QStringLiteral("2");

    // The width buttons: one step of the pen's width, up to "9" and down to "1".
    void widthUp();
    void widthDown();

    // The width as the stored text reads: a whole number from 1 to 9, the pen's widths, else "2".
    static QString widthFromText(const QString& text);

    bool operator==(const PersonalSettings&) const = default;
};

// What the board and the overlay take at start-up from the default section: the pen colour, the
// width, the board's colour, and the colour of the content panel's text box, which is the
// lighter grey 0xA5A5A5 on the grey background and the background colour itself otherwise.
struct StartupSettings {
    quint32 penColour;
    quint32 backgroundColour;
    QString widthText;
    int width;
    quint32 textBoxColour;

    static StartupSettings from(const PersonalSettings& settings);
};

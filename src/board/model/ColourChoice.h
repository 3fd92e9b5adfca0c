#pragma once

#include <QColor>

#include <optional>

class Prompter;

// A colour dialog that opens at the colour last chosen in it, and before any choice at the colour
// it is to change, as each of the program's colour dialogs does: the pen's and the background's
// on the board, the overlay's pen, the settings window's two colours.
class ColourChoice {
public:
    // Asks through prompter's colour dialog: the chosen colour, or nothing when it was cancelled.
    std::optional<QColor> choose(Prompter& prompter, const QColor& current);

private:
    QColor m_lastChosen;
};

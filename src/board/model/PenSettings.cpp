#include "board/model/PenSettings.h"

bool PenSettings::changeWidth(int step)
{
    const int width = steppedWidth(m_width, step);
    if (width == m_width)
        return false;
    m_width = width;
    return true;
}

int PenSettings::steppedWidth(int width, int step)
{
    return width == (step > 0 ? widest : thinnest) ? width : width + step;
}

bool PenSettings::chooseColour(Prompter& prompter)
{
    const auto chosen = m_dialog.choose(prompter, m_colour);
    if (chosen)
        m_colour = *chosen;
    return chosen.has_value();
}

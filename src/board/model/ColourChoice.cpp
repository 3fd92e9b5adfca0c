#include "board/model/ColourChoice.h"

#include "platform/Prompter.h"

std::optional<QColor> ColourChoice::choose(Prompter& prompter, const QColor& current)
{
    const auto chosen = prompter.chooseColour(m_lastChosen.isValid() ? m_lastChosen : current);
    if (chosen)
        m_lastChosen = *chosen;
    return chosen;
}

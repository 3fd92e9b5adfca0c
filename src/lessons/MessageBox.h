#pragma once

#include "files/ProgramNames.h"
#include "platform/Prompter.h"

// The messages of the settings and password windows come in boxes captioned with the program's
// title, as every message without a caption of its own. An empty message shows nothing.
inline void tell(Prompter& prompter, const QString& message)
{
    if (!message.isEmpty())
        prompter.inform(QString::fromLatin1(ProgramNames::title), message);
}

// A yes/no question in such a box; true for yes.
inline bool ask(Prompter& prompter, const QString& question)
{
    return prompter.askYesNo(QString::fromLatin1(ProgramNames::title), question);
}

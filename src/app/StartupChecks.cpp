#include "app/StartupChecks.h"

#include "files/ProgramNames.h"
#include "platform/Desktop.h"
#include "platform/Prompter.h"

namespace {

// Captions are compared as far as a caption buffer of the classic size reads them.
constexpr int walkCaptionLength = 11;

} // namespace

namespace StartupChecks {

void checkColourDepth(Desktop& desktop, Prompter& prompter)
{
    if (desktop.colourDepth() >= 24)
        return;
    if (prompter.askYesNo(QStringLiteral("提示信息"),
                          QStringLiteral("您的系统颜色质量设置低于24位，是否调整?")))
        desktop.switchColourDepth(24);
}

bool walkWindows(Desktop& desktop)
{
    int copies = 0;
    for (const TopLevelWindow& window : desktop.topLevelWindows()) {
        if (window.caption.isEmpty())
            continue;
        const QString caption = window.caption.left(walkCaptionLength);
        if (caption == QLatin1String(ProgramNames::title))
            ++copies;
        if (caption == QLatin1String("vTouchWatch"))
            desktop.requestClose(window.id);
    }
    return copies > 1;
}

bool closeKeyboardWindows(Desktop& desktop, int captionLength)
{
    bool found = false;
    for (const TopLevelWindow& window : desktop.topLevelWindows()) {
        if (window.caption.left(captionLength) == QLatin1String("%*Y")) {
            desktop.requestClose(window.id);
            found = true;
        }
    }
    return found;
}

} // namespace StartupChecks

#include "app/Windows.h"

#include "acquire/window/PictureImportWindow.h"
#include "acquire/window/ScannerSourceWindow.h"
#include "acquire/window/SettingsButtonWindow.h"
#include "aids/window/HelpWindow.h"
#include "aids/window/ShadeWindow.h"
#include "aids/window/TextLinePanel.h"
#include "app/ToolbarWindow.h"
#include "board/window/BoardWindow.h"
#include "lessons/window/PasswordChangeWindow.h"
#include "lessons/window/SettingsWindow.h"
#include "lessons/window/TeacherPasswordWindow.h"
#include "overlay/window/OverlayWindow.h"

QList<QWidget*> Windows::inCreationOrder() const
{
    return {toolbar,       overlay,       board,           help,
            shade,         settings,      teacherPassword, passwordChange,
            scannerSource, pictureImport, settingsButton,  textLinePanel};
}

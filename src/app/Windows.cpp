#include "app/Windows.h"

#include "acquire/PictureImportWindow.h"
#include "acquire/ScannerSourceWindow.h"
#include "acquire/SettingsButtonWindow.h"
#include "aids/HelpWindow.h"
#include "aids/ShadeWindow.h"
#include "aids/TextLinePanel.h"
#include "app/ToolbarWindow.h"
#include "board/window/BoardWindow.h"
#include "lessons/PasswordChangeWindow.h"
#include "lessons/SettingsWindow.h"
#include "lessons/TeacherPasswordWindow.h"
#include "overlay/OverlayWindow.h"

QList<QWidget*> Windows::inCreationOrder() const
{
    return {toolbar,       overlay,       board,           help,
            shade,         settings,      teacherPassword, passwordChange,
            scannerSource, pictureImport, settingsButton,  textLinePanel};
}

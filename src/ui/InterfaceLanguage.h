#pragma once

class QCoreApplication;

// The interface speaks Chinese: Qt's own dialogs (message box buttons, the colour and file
// dialogs) are translated from the distribution's Qt translations.
namespace InterfaceLanguage {

void install(QCoreApplication& application);

} // namespace InterfaceLanguage

#pragma once

#include <QList>

class BoardWindow;
class HelpWindow;
class OverlayWindow;
class PasswordChangeWindow;
class PictureImportWindow;
class ScannerSourceWindow;
class SettingsButtonWindow;
class QWidget;
class SettingsWindow;
class ShadeWindow;
class TeacherPasswordWindow;
class TextLinePanel;
class ToolbarWindow;

// The program's windows: exactly one of each, created once at start-up in this order and hidden
// and shown until the program ends. Program keeps them here; windows do not call each other.
struct Windows {
    ToolbarWindow* toolbar = nullptr;                 // TForm1
    OverlayWindow* overlay = nullptr;                 // TForm2
    BoardWindow* board = nullptr;                     // TForm3
    HelpWindow* help = nullptr;                       // TForm4
    ShadeWindow* shade = nullptr;                     // TForm5
    SettingsWindow* settings = nullptr;               // TForm6
    TeacherPasswordWindow* teacherPassword = nullptr; // TForm7
    PasswordChangeWindow* passwordChange = nullptr;   // TForm8
    ScannerSourceWindow* scannerSource = nullptr;     // TForm11
    PictureImportWindow* pictureImport = nullptr;     // TForm12
    SettingsButtonWindow* settingsButton = nullptr;   // TForm13
    TextLinePanel* textLinePanel = nullptr;           // TForm14

    QList<QWidget*> inCreationOrder() const;
};

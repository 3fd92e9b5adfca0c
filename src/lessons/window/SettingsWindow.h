#pragma once

#include "board/model/ColourChoice.h"
#include "lessons/PasswordChange.h"

#include <QDialog>

class CaptureModeChoice;
class ColourSwatch;
class LessonChoice;
class LessonTransfer;
class Prompter;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;
class TeacherSettings;

// The settings window (TForm6), 590 x 364, centred and opened modally from the board; it closes by
// "确定" and by a lesson saved or opened. Its groups: the teachers ("任课教师"), the lessons
// ("课程选择"), the personal settings ("个性设置") and the capture mode. It shows the state of
// TeacherSettings, LessonChoice and CaptureModeChoice and forwards the teacher's input to them and
// to LessonTransfer; what it needs of other windows it asks for with a signal. Coordinates of the
// controls are inside their group.
class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    SettingsWindow(TeacherSettings& teachers, LessonChoice& lessons, LessonTransfer& transfer,
                   CaptureModeChoice& captureModeChoice, Prompter& prompter);

    // "设置" on the board: no teacher is unlocked, no entry selected, the drives are looked up
    // afresh, and the window shows modally.
    void showFromBoard();

signals:
    // The chosen teacher has a personal password: the teacher password window is to ask for it.
    void teacherPasswordRequested();
    // "设置个人密码" for an unlocked teacher or "设置管理密码": the password change window is to
    // open in that mode.
    void passwordChangeRequested(PasswordChange::Mode mode);
    // "确定" stored the settings: the board's picture column is to fill itself again from the
    // current teacher's picture folder.
    void confirmed();

public:
    QGroupBox* GroupBox1; // "任课教师"
    QLineEdit* Edit1;     // the current teacher name
    QPushButton* Button1; // "添加"
    QPushButton* Button2; // "修改"
    QListWidget* ListBox1;
    QPushButton* Button3; // "删除"
    QPushButton* Button4; // "设置个人密码"
    QPushButton* Button5; // "设置管理密码"

    QGroupBox* GroupBox2; // "课程选择"
    QLabel* Label1;
    QLineEdit* Edit2; // volume number
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* Edit3; // lesson number
    QLabel* Label4;
    QListWidget* ListBox2; // volumes
    QPushButton* Button6;  // volumes "添加"
    QPushButton* Button7;  // volumes "减少"
    QListWidget* ListBox3; // lessons
    QPushButton* Button8;  // lessons "添加"
    QPushButton* Button9;  // lessons "减少"
    QLabel* Label5;
    QLabel* Label6;
    QComboBox* DriveComboBox1;
    QPushButton* BitBtn2; // "打开"
    QPushButton* BitBtn3; // "保存"
    QPushButton* BitBtn4; // "导出"

    QGroupBox* GroupBox3;      // "个性设置"
    QToolButton* SpeedButton9; // pen colour
    ColourSwatch* LCP;
    QLabel* Label7;
    QLabel* Label8;
    ColourSwatch* RCP;
    QLabel* Label9;
    QLabel* Label10;
    QLineEdit* Edit4;          // stroke width
    QToolButton* SpeedButton7; // width up
    QToolButton* SpeedButton8; // width down
    QLabel* Label11;

    QGroupBox* RadioGroup1; // capture mode
    QRadioButton* RadioButtonToBoard;
    QRadioButton* RadioButtonToFile;

    QPushButton* BitBtn1; // "确定"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void buildTeacherGroup();
    void buildLessonGroup();
    void buildPersonalGroup();
    void buildCaptureGroup();
    void showState();
    void chooseEntry(int entry);
    // "打开" and "保存": the window hides while the board shows the pages and closes when the
    // lesson went; it stays when the operation was refused.
    void transferLesson(bool save);
    // "导出": the board's pages into a PDF file the teacher names; the window stays open.
    void exportPdf();
    void choosePenColour();
    void chooseBackgroundColour();
    void confirm();

    TeacherSettings& m_teachers;
    LessonChoice& m_lessons;
    LessonTransfer& m_transfer;
    CaptureModeChoice& m_captureModeChoice;
    Prompter& m_prompter;
    QButtonGroup* m_captureChoices;
    ColourChoice m_penColourChoice;
    ColourChoice m_backgroundColourChoice;
    // Where the file dialog of "导出" opens: the folder of the last export, at first the home.
    QString m_exportDirectory;
};

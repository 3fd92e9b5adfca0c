#pragma once

#include <QDialog>

class QGroupBox;
class QPushButton;

// The settings window (TForm6): teachers, lessons and personal settings in four groups, opened
// modally from the board. "确定" is its only way to close.
class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    SettingsWindow();

    QGroupBox* GroupBox1;   // "任课教师"
    QGroupBox* GroupBox2;   // "课程选择"
    QGroupBox* GroupBox3;   // "个性设置"
    QGroupBox* RadioGroup1; // capture mode
    QPushButton* BitBtn1;   // "确定"

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
};

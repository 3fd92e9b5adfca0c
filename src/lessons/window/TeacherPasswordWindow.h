#pragma once

#include "lessons/DigitEntry.h"

#include <QDialog>

class Prompter;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TeacherSettings;

// The teacher password window (TForm7), 419 x 202, centred, modal: a raised panel with the prompt,
// a field that shows "*" for each digit and takes digits only from the pad below it (a click on
// the field empties it), "确定" and "取消". It asks for the personal password of the teacher
// chosen in the settings window and hands the digits to TeacherSettings. Coordinates are the
// window's.
class TeacherPasswordWindow : public QDialog {
    Q_OBJECT
public:
    TeacherPasswordWindow(TeacherSettings& teachers, Prompter& prompter, QWidget* parent);

    // Shows the window modally with an empty field.
    void ask();

    const DigitEntry& entry() const { return m_entry; }

    QFrame* Panel1;
    QLabel* Label1; // the prompt
    QLineEdit* Edit1;
    QList<QPushButton*> digitButtons;
    QPushButton* BitBtn1; // "确定"
    QPushButton* BitBtn2; // "取消"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void showEntry();

    TeacherSettings& m_teachers;
    Prompter& m_prompter;
    DigitEntry m_entry;
};

#pragma once

#include "lessons/PasswordChange.h"

#include <QWidget>

class Prompter;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The password change window (TForm8), 404 x 220, centred, shown over the settings window without
// blocking it: the old password, the new one and its repetition in fields that show "*" for each
// digit and take digits only from the pad (a click on a field empties it and gives it the focus),
// "确定" and "取消". It shows PasswordChange and forwards the teacher's input to it. Coordinates
// are the window's.
class PasswordChangeWindow : public QWidget {
    Q_OBJECT
public:
    PasswordChangeWindow(PasswordChange& change, Prompter& prompter, QWidget* parent);

    // Opens the window in a mode with three empty fields.
    void open(PasswordChange::Mode mode);

    QFrame* Panel1;
    QLabel* Label1; // "请输入原密码："
    QLineEdit* Edit1;
    QLabel* Label2; // "初始密码：无"
    QLabel* Label3; // "请设置新密码："
    QLineEdit* Edit2;
    QLabel* Label4; // "再次输新密码："
    QLineEdit* Edit3;
    QList<QPushButton*> digitButtons;
    QPushButton* BitBtn1; // "确定"
    QPushButton* BitBtn2; // "取消"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showState();
    QLineEdit* fieldFor(PasswordChange::Field field) const;

    PasswordChange& m_change;
    Prompter& m_prompter;
};

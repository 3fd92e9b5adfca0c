#include "lessons/window/TeacherPasswordWindow.h"

#include "lessons/MessageBox.h"
#include "lessons/TeacherSettings.h"
#include "lessons/window/DigitButtons.h"
#include "ui/SystemWindow.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

TeacherPasswordWindow::TeacherPasswordWindow(TeacherSettings& teachers, Prompter& prompter,
                                             QWidget* parent)
    : QDialog(parent), m_teachers(teachers), m_prompter(prompter)
{
    SystemWindow::setUp(this, QStringLiteral("TForm7"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::OnTop);
    setModal(true);
    setFixedSize(419, 202);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(13);
    setFont(font);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(rect());
    Label1 = new QLabel(QStringLiteral("请输入任课教师个人密码："), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(129, 11, 160, 17);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(132, 35, 163, 20);
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::NoFocus);
    Edit1->installEventFilter(this);
    digitButtons = DigitButtons::add(Panel1, {103, 151, 199, 247, 295}, 66, 105);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("确定"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(108, 156, 80, 31);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("取消"), Panel1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(237, 156, 80, 31);

    for (QPushButton* digit : digitButtons)
        connect(digit, &QPushButton::clicked, this, [this, digit] {
            m_entry.append(digit->text().front());
            showEntry();
        });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        const QString message = m_teachers.enterPassword(m_entry.digits());
        tell(m_prompter, message);
        done(message.isEmpty() ? Accepted : Rejected);
    });
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        m_teachers.cancelPassword();
        done(Rejected);
    });
}

void TeacherPasswordWindow::ask()
{
    m_entry.clear();
    showEntry();
    exec();
}

void TeacherPasswordWindow::showEntry()
{
    Edit1->setText(m_entry.shown());
}

bool TeacherPasswordWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::MouseButtonPress) {
        m_entry.clear();
        showEntry();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TeacherPasswordWindow::showEvent(QShowEvent* event)
{
    SystemWindow::centreOnScreen(this);
    QDialog::showEvent(event);
}

void TeacherPasswordWindow::reject()
{
    // Escape does nothing: "确定" and "取消" decide.
}

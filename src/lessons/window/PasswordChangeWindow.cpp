#include "lessons/window/PasswordChangeWindow.h"

#include "lessons/MessageBox.h"
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

namespace {

constexpr PasswordChange::Field fields[] = {PasswordChange::Field::Old, PasswordChange::Field::New,
                                            PasswordChange::Field::Repeat};

} // namespace

PasswordChangeWindow::PasswordChangeWindow(PasswordChange& change, Prompter& prompter,
                                           QWidget* parent)
    : QWidget(parent), m_change(change), m_prompter(prompter)
{
    SystemWindow::setUp(this, QStringLiteral("TForm8"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::OnTop);
    setFixedSize(404, 220);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(13);
    setFont(font);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(rect());
    auto label = [this](const char* name, const QString& text, QPoint at) {
        auto* label = new QLabel(text, Panel1);
        label->setObjectName(QString::fromLatin1(name));
        label->move(at);
        label->adjustSize();
        return label;
    };
    auto field = [this](const char* name, QPoint at) {
        auto* field = new QLineEdit(Panel1);
        field->setObjectName(QString::fromLatin1(name));
        field->setGeometry(QRect(at, QSize(112, 22)));
        field->setReadOnly(true);
        // Clicks give the focus (the field shows where digits go); the keyboard types nothing.
        field->setFocusPolicy(Qt::ClickFocus);
        field->installEventFilter(this);
        return field;
    };
    Label1 = label("Label1", QStringLiteral("请输入原密码："), {90, 9});
    Edit1 = field("Edit1", {186, 6});
    Label2 = label("Label2", QStringLiteral("初始密码：无"), {189, 30});
    Label3 = label("Label3", QStringLiteral("请设置新密码："), {90, 49});
    Edit2 = field("Edit2", {186, 46});
    Label4 = label("Label4", QStringLiteral("再次输新密码："), {90, 77});
    Edit3 = field("Edit3", {186, 74});
    digitButtons = DigitButtons::add(Panel1, {89, 137, 185, 233, 281}, 99, 138);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("确定"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(89, 179, 85, 31);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("取消"), Panel1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(230, 179, 85, 31);
    for (QPushButton* button : {BitBtn1, BitBtn2})
        button->setFocusPolicy(Qt::NoFocus);

    for (QPushButton* digit : digitButtons)
        connect(digit, &QPushButton::clicked, &m_change,
                [this, digit] { m_change.appendDigit(digit->text().front()); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        const QString message = m_change.confirm();
        tell(m_prompter, message);
        if (message.isEmpty())
            hide();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QWidget::hide);
    connect(&m_change, &PasswordChange::changed, this, &PasswordChangeWindow::showState);
    showState();
}

QLineEdit* PasswordChangeWindow::fieldFor(PasswordChange::Field field) const
{
    switch (field) {
    case PasswordChange::Field::Old:
        return Edit1;
    case PasswordChange::Field::New:
        return Edit2;
    case PasswordChange::Field::Repeat:
        return Edit3;
    }
    return Edit1;
}

void PasswordChangeWindow::open(PasswordChange::Mode mode)
{
    m_change.open(mode);
    show();
    raise();
    activateWindow();
}

void PasswordChangeWindow::showState()
{
    for (PasswordChange::Field field : fields)
        fieldFor(field)->setText(m_change.field(field).shown());
    fieldFor(m_change.focus())->setFocus();
}

bool PasswordChangeWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        for (PasswordChange::Field field : fields)
            if (watched == fieldFor(field)) {
                m_change.clickField(field);
                return true;
            }
    return QWidget::eventFilter(watched, event);
}

void PasswordChangeWindow::showEvent(QShowEvent* event)
{
    SystemWindow::centreOnScreen(this);
    QWidget::showEvent(event);
}

#include "lessons/SettingsWindow.h"

#include "ui/SystemWindow.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

QGroupBox* group(QWidget* parent, const char* name, const QString& title, const QRect& geometry)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

} // namespace

SettingsWindow::SettingsWindow()
{
    SystemWindow::setUp(this, QStringLiteral("TForm6"), QStringLiteral("设置"),
                        SystemWindow::Layer::OnTop);
    setModal(true);
    setFixedSize(590, 364);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(13);
    setFont(font);

    GroupBox1 = group(this, "GroupBox1", QStringLiteral("任课教师"), {7, 12, 148, 349});
    GroupBox2 = group(this, "GroupBox2", QStringLiteral("课程选择"), {162, 12, 250, 349});
    GroupBox3 = group(this, "GroupBox3", QStringLiteral("个性设置"), {419, 12, 166, 247});
    RadioGroup1 = group(this, "RadioGroup1", QString(), {419, 260, 166, 53});

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(455, 321, 85, 31);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void SettingsWindow::showEvent(QShowEvent* event)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.center() - rect().center());
    QDialog::showEvent(event);
}

void SettingsWindow::reject()
{
    // Escape does not close the window: "确定" is its only way out.
}

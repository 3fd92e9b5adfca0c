#include "acquire/window/SettingsButtonWindow.h"

#include "acquire/FolderImport.h"
#include "ui/SystemWindow.h"
#include "ui/WindowFill.h"

#include <QPainter>
#include <QPushButton>

namespace {

constexpr quint32 windowColour = 4227327; // red 255, green 128, blue 64
constexpr QPoint countAt(3, 23);

} // namespace

SettingsButtonWindow::SettingsButtonWindow(FolderImport& import) : m_import(import)
{
    SystemWindow::setUp(this, QStringLiteral("TForm13"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::OnTop);
    setFixedSize(130, 48);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);
    WindowFill::apply(this, windowColour);

    BitBtn1 = new QPushButton(QStringLiteral("设置"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(92, 0, 39, 23);
    BitBtn1->setToolTip(QStringLiteral("导入图片"));
    BitBtn1->setFocusPolicy(Qt::NoFocus);

    connect(BitBtn1, &QPushButton::clicked, this, &SettingsButtonWindow::settingsRequested);
    connect(&m_import, &FolderImport::buttonTextChanged, this,
            [this] { update(0, countAt.y(), width(), height() - countAt.y()); });
}

void SettingsButtonWindow::showEvent(QShowEvent* event)
{
    m_import.clearButtonText();
    QWidget::showEvent(event);
}

void SettingsButtonWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(Qt::black);
    painter.drawText(QRect(countAt, QSize(width() - countAt.x(), height() - countAt.y())),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_import.buttonText());
}

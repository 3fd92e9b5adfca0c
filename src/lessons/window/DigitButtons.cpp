#include "lessons/window/DigitButtons.h"

#include <QPushButton>

namespace DigitButtons {

QList<QPushButton*> add(QWidget* parent, const QList<int>& xs, int upperY, int lowerY)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(16);
    font.setBold(true);
    QList<QPushButton*> buttons;
    for (int i = 0; i < 10; ++i) {
        auto* button = new QPushButton(QString::number((i + 1) % 10), parent);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
        button->setGeometry(xs[i % 5], i < 5 ? upperY : lowerY, 31, 25);
        button->setFont(font);
        button->setFocusPolicy(Qt::NoFocus);
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, Qt::blue);
        button->setPalette(palette);
        buttons.append(button);
    }
    return buttons;
}

} // namespace DigitButtons

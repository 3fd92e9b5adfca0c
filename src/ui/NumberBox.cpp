#include "ui/NumberBox.h"

#include "board/pixels/NamedColours.h"
#include "ui/WindowFill.h"

#include <QLineEdit>

QLineEdit* addNumberBox(QWidget* parent, const QString& objectName, const QRect& geometry,
                        int pixelSize, const QString& hint)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    box->setGeometry(geometry);
    box->setReadOnly(true);
    box->setEnabled(false);
    box->setAlignment(Qt::AlignCenter);
    box->setToolTip(hint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    box->setFont(font);
    box->setFrame(false);
    WindowFill::apply(box, NamedColours::numberBoxBlue);
    QPalette palette = box->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Text, Qt::red);
    palette.setColor(QPalette::Disabled, QPalette::Base,
                     NamedColours::color(NamedColours::numberBoxBlue));
    box->setPalette(palette);
    return box;
}

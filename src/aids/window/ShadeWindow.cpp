#include "aids/window/ShadeWindow.h"

#include "platform/Desktop.h"
#include "ui/ButtonPictures.h"
#include "ui/SystemWindow.h"

#include <QToolButton>

namespace {

constexpr int buttonSide = 33;

} // namespace

ShadeWindow::ShadeWindow(Desktop& desktop) : m_desktop(desktop)
{
    SystemWindow::setUp(this, QStringLiteral("TForm5"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::OnTop);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    SpeedButton1 =
        addPictureButton(this, QStringLiteral("SpeedButton1"), {0, 0, buttonSide, buttonSide},
                         QStringLiteral("unshade"), QString());
    connect(SpeedButton1, &QToolButton::clicked, this, &ShadeWindow::closeShade);
}

void ShadeWindow::open()
{
    SystemWindow::coverScreen(this);
    SpeedButton1->move(width() - buttonSide, 0);
    show();
    raise();
    m_desktop.movePointer(pos() + QPoint(width(), 50));
}

void ShadeWindow::closeShade()
{
    hide();
    emit closed();
}

void ShadeWindow::mousePressEvent(QMouseEvent*)
{
    closeShade();
}

#include "aids/ShadeWindow.h"

#include "ui/SystemWindow.h"

ShadeWindow::ShadeWindow()
{
    SystemWindow::setUp(this, QStringLiteral("TForm5"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::OnTop);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

void ShadeWindow::open()
{
    SystemWindow::coverScreen(this);
    show();
    raise();
}

void ShadeWindow::mousePressEvent(QMouseEvent*)
{
    hide();
    emit closed();
}

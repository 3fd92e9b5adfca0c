#include "aids/ShadeWindow.h"

#include "platform/Desktop.h"
#include "ui/SystemWindow.h"

ShadeWindow::ShadeWindow(Desktop& desktop) : m_desktop(desktop)
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
    m_desktop.movePointer(QPoint(width(), 50));
}

void ShadeWindow::mousePressEvent(QMouseEvent*)
{
    hide();
    emit closed();
}

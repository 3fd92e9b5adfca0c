#include "aids/TextLinePanel.h"

#include "ui/ButtonPictures.h"
#include "ui/SystemWindow.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

TextLinePanel::TextLinePanel()
{
    SystemWindow::setUp(this, QStringLiteral("TForm14"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::OnTop);
    resize(551, 154);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 0, 513, 125);
    Memo1->setPlainText(QStringLiteral("可以在本栏内输入多行文字\n"
                                       "拖动下面的放大镜图标选中任意一行可改变待书写框内容\n"
                                       "也可以直接在待书写框内输入文字"));
    QFont memoFont(QStringLiteral("宋体"));
    memoFont.setPixelSize(15);
    Memo1->setFont(memoFont);

    Label1 = new QLabel(
        QStringLiteral("提示：为了保证正常运行，请在点击[停止]按钮前，完成最后一笔笔画。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 132, 395, 13);
    QFont tipFont(QStringLiteral("宋体"));
    tipFont.setPixelSize(12);
    Label1->setFont(tipFont);

    SpeedButton1 = addPictureButton(this, QStringLiteral("SpeedButton1"), {517, 7, 31, 30},
                                    QStringLiteral("exit"), QStringLiteral("退出"));
    SpeedButton2 = addPictureButton(this, QStringLiteral("SpeedButton2"), {517, 42, 31, 30},
                                    QStringLiteral("import"), QString());
    SpeedButton3 = addPictureButton(this, QStringLiteral("SpeedButton3"), {517, 80, 31, 30},
                                    QStringLiteral("save"), QString());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
}

void TextLinePanel::placeFor(QSize screenSize)
{
    const int left = (screenSize.width() - 552) / 2;
    if (screenSize.height() == 600) {
        setGeometry(left, 40, width(), 103);
        Memo1->resize(Memo1->width(), 86);
        Label1->move(Label1->x(), 88);
        SpeedButton3->move(SpeedButton3->x(), 72);
    } else {
        move(left, (screenSize.height() - 424) / 2 - 100);
    }
}

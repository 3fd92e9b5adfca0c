#include "aids/window/TextLinePanel.h"

#include "aids/TextLinePanelModel.h"
#include "board/pixels/NamedColours.h"
#include "ui/ButtonPictures.h"
#include "ui/SystemWindow.h"

#include <QLabel>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

TextLinePanel::TextLinePanel(TextLinePanelModel& model) : m_model(model)
{
    SystemWindow::setUp(this, QStringLiteral("TForm14"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::OnTop);
    resize(551, 154);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 0, 513, 125);
    // The text box edits the model's lines; a plain text box lays them out as plain text.
    QTextDocument* lines = m_model.lines();
    lines->setDocumentLayout(new QPlainTextDocumentLayout(lines));
    Memo1->setDocument(lines);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The tab key passes the text box by; a click still puts the cursor in it.
    Memo1->setFocusPolicy(Qt::ClickFocus);
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
    QPalette tipPalette = Label1->palette();
    tipPalette.setColor(QPalette::WindowText, NamedColours::color(NamedColours::skyBlue));
    Label1->setPalette(tipPalette);

    SpeedButton1 = addPictureButton(this, QStringLiteral("SpeedButton1"), {517, 7, 31, 30},
                                    QStringLiteral("exit"), QStringLiteral("退出"));
    SpeedButton2 = addPictureButton(this, QStringLiteral("SpeedButton2"), {517, 42, 31, 30},
                                    QStringLiteral("import"), QString());
    SpeedButton3 = addPictureButton(this, QStringLiteral("SpeedButton3"), {517, 80, 31, 30},
                                    QStringLiteral("save"), QString());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);

    connect(SpeedButton1, &QToolButton::clicked, this, [this] { m_model.close(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { m_model.load(); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { m_model.save(); });
    connect(Timer1, &QTimer::timeout, this, [this] { m_model.watchCompanion(); });
    connect(&m_model, &TextLinePanelModel::opened, this, [this] {
        show();
        Timer1->start();
    });
    connect(&m_model, &TextLinePanelModel::closed, this, [this] {
        hide();
        Timer1->stop();
    });
}

int TextLinePanel::openMark() const
{
    return m_model.openMark();
}

void TextLinePanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_model.shown();
}

void TextLinePanel::placeFor(QSize screenSize)
{
    const int left = (screenSize.width() - 552) / 2;
    if (screenSize.height() == 600) {
        SystemWindow::moveOnScreen(this, QPoint(left, 40));
        resize(width(), 103);
        Memo1->resize(Memo1->width(), 86);
        Label1->move(Label1->x(), 88);
        SpeedButton3->move(SpeedButton3->x(), 72);
    } else {
        SystemWindow::moveOnScreen(this, QPoint(left, (screenSize.height() - 424) / 2 - 100));
    }
}

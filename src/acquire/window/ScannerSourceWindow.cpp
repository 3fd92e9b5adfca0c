#include "acquire/window/ScannerSourceWindow.h"

#include "acquire/ScanSession.h"
#include "ui/SystemWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {

QFont songti(int pixelSize)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

ScannerSourceWindow::ScannerSourceWindow(ScanSession& session) : m_session(session)
{
    SystemWindow::setUp(this, QStringLiteral("TForm11"), QStringLiteral("zkalto"),
                        SystemWindow::Layer::OnTop);
    setModal(true);
    setFixedSize(335, 208);
    setFont(songti(12));

    Label1 = new QLabel(QStringLiteral("选择来源："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(6, 6);
    Label1->adjustSize();

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(2, 26, 225, 175);

    RadioButton1 = new QRadioButton(QStringLiteral("单页"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(244, 34, 79, 29);
    RadioButton2 = new QRadioButton(QStringLiteral("双页"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(244, 70, 79, 29);

    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(244, 114, 81, 31);
    BitBtn1->setFont(songti(13));
    QPalette black = BitBtn1->palette();
    black.setColor(QPalette::ButtonText, Qt::black);
    BitBtn1->setPalette(black);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(245, 162, 80, 31);
    for (QPushButton* button : {BitBtn1, BitBtn2})
        button->setAutoDefault(false);

    connect(ListBox1, &QListWidget::currentRowChanged, this,
            [this](int row) { m_session.selectSource(row); });
    connect(RadioButton1, &QRadioButton::clicked, this,
            [this] { m_session.setPageMode(ScanPageMode::Single); });
    connect(RadioButton2, &QRadioButton::clicked, this,
            [this] { m_session.setPageMode(ScanPageMode::Double); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        m_session.confirm();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &ScannerSourceWindow::reject);
    connect(&m_session, &ScanSession::sourcesChanged, this, &ScannerSourceWindow::showSources);
    connect(&m_session, &ScanSession::changed, this, &ScannerSourceWindow::showChoices);
    showSources();
}

void ScannerSourceWindow::showModal()
{
    SystemWindow::centreOnScreen(this);
    exec();
}

void ScannerSourceWindow::reject()
{
    m_session.cancel();
    QDialog::reject();
}

void ScannerSourceWindow::showSources()
{
    const QSignalBlocker blocker(ListBox1);
    ListBox1->clear();
    ListBox1->addItems(m_session.sourceNames());
    showChoices();
}

void ScannerSourceWindow::showChoices()
{
    if (ListBox1->currentRow() != m_session.selectedSource()) {
        const QSignalBlocker blocker(ListBox1);
        ListBox1->setCurrentRow(m_session.selectedSource());
    }
    const bool single = m_session.pageMode() == ScanPageMode::Single;
    RadioButton1->setChecked(single);
    RadioButton2->setChecked(!single);
}

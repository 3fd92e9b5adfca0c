#include "aids/window/HelpWindow.h"

#include "board/pixels/ColourRef.h"
#include "files/RegularFile.h"
#include "ui/SystemWindow.h"
#include "ui/WebViews.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QUrl>

namespace {

constexpr quint32 orange = 4227327;
// The guide is a thousand times smaller.
constexpr qint64 maxDocumentSize = qint64(64) << 20;
const QRect browserPlace(0, 46, 791, 389);

QLabel* caption(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                int pixelSize)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

} // namespace

HelpWindow::HelpWindow(const QString& documentPath) : m_documentPath(documentPath)
{
    SystemWindow::setUp(this, QStringLiteral("TForm4"), QStringLiteral("帮助"),
                        SystemWindow::Layer::OnTop);
    setModal(true);
    setFixedSize(792, 516);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ColourRef::toColor(orange));
    setPalette(palette);
    setAutoFillBackground(true);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);

    Label1 = caption(this, "Label1", QStringLiteral("电子白板 使用帮助"), {0, 0, 792, 46}, 24);
    Label2 = caption(this, "Label2",
                     QStringLiteral("用鼠标滚轮或右边的滚动条翻看说明，看完后点“确定”关闭。"),
                     {0, 435, 792, 49}, 16);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(353, 484, 81, 29);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void HelpWindow::makeWebBrowser()
{
    WebBrowser1 = WebViews::makeView(this, WebViewUse::Guide);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setGeometry(browserPlace);
    WebBrowser1->show();
}

void HelpWindow::showEvent(QShowEvent* event)
{
    SystemWindow::centreOnScreen(this);
    QDialog::showEvent(event);
    // Starting the web engine runs events of its own; the window is up and modal first.
    QTimer::singleShot(0, this, &HelpWindow::showGuide);
}

void HelpWindow::showGuide()
{
    if (!isVisible())
        return;
    if (!WebBrowser1)
        makeWebBrowser();
    // A page of its own for every opening: going to the same address again in a page that has
    // shown the guide would bring back the place the reader had scrolled to.
    // The web view reads the document itself: only a regular file goes to it. A missing one gets
    // the view's own message; a pipe or a device under the name would keep it reading forever.
    const bool readable = !QFileInfo::exists(m_documentPath) ||
                          RegularFile::isRegularThroughLink(m_documentPath, maxDocumentSize);
    WebViews::load(WebBrowser1, readable ? QUrl::fromLocalFile(m_documentPath) : QUrl(), true);
}

void HelpWindow::reject()
{
    // Escape does not close the window: "确定" is its only way out.
}

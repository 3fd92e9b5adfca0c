#include "ui/WebViews.h"

#include "ui/WebEngineProcess.h"
#include "ui/WebViewHost.h"

#include <QLabel>

namespace WebViews {

void prepare()
{
    WebEngineProcess::instance().prepare();
}

QWidget* makeView(QWidget* parent, WebViewUse use)
{
    if (WebEngineProcess::available())
        return new WebViewHost(parent, use);
    qWarning("zkalto: web views cannot be shown: zkalto-web is missing beside the program, or "
             "the program does not run on an X server");
    auto* label = new QLabel(QString::fromUtf8(unavailableText), parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    return label;
}

void load(QWidget* view, const QUrl& url, bool freshPage)
{
    if (auto* host = qobject_cast<WebViewHost*>(view))
        host->load(url, freshPage);
}

} // namespace WebViews

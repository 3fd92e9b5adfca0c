#include "ui/Hints.h"

#include <QApplication>
#include <QEvent>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

namespace {

// Makes each hint window transparent for input as it shows.
class PassThroughHints : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow() && widget->windowType() == Qt::ToolTip) {
                widget->setAttribute(Qt::WA_TransparentForMouseEvents);
                if (QWindow* window = widget->windowHandle())
                    window->setFlag(Qt::WindowTransparentForInput);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

namespace Hints {

void install(QApplication& application)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(20);
    QToolTip::setFont(font);
    application.installEventFilter(new PassThroughHints(&application));
}

} // namespace Hints

#include "ui/Hints.h"

#include <QApplication>
#include <QEvent>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

namespace {

// Makes each hint window transparent for input whenever it is exposed on the screen. The flag
// becomes an empty input shape of the native window, and the hint's native window can be made anew
// after it was shown, losing the shape while the flag still reads as set: the flags are handed to
// the native window again each time, so the shape holds on the window that shows.
class PassThroughHints : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow() && widget->windowType() == Qt::ToolTip)
                widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        } else if (event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->type() == Qt::ToolTip && window->isExposed()) {
                window->setFlag(Qt::WindowTransparentForInput, false);
                window->setFlag(Qt::WindowTransparentForInput, true);
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

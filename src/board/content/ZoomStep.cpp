#include "board/content/ZoomStep.h"

#include "board/pixels/Rounding.h"

namespace ZoomStep {

float nextFactor(float factor, bool enlarge)
{
    return enlarge ? factor * factorStep : factor / factorStep;
}

QSize sizeAt(QSize source, float factor)
{
    return {roundHalfToEven(double(source.width()) * double(factor)),
            roundHalfToEven(double(source.height()) * double(factor))};
}

bool fitsScreens(QSize source, float factor, QSize screen)
{
    constexpr double largestInScreens = 4;
    const double area =
        double(source.width()) * double(factor) * double(source.height()) * double(factor);
    return area <= largestInScreens * double(screen.width()) * double(screen.height());
}

QPoint placed(QPoint topLeft, QSize size, QSize screen, bool enlarge)
{
    int left = topLeft.x();
    int top = topLeft.y();
    if (enlarge) {
        if (left + size.width() > screen.width())
            left = screen.width() - size.width();
        if (left < 0)
            left = left / 2;
        if (top + size.height() > screen.height())
            top = screen.height() - size.height();
        if (top < 0)
            top = top / 2;
    } else {
        if (left < 0 && size.width() < screen.width())
            left = 0;
        if (top < 0 && size.height() < screen.height())
            top = 0;
    }
    return {left, top};
}

} // namespace ZoomStep

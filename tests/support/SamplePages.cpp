#include "SamplePages.h"

#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace {

const QColor Background(128, 128, 128);

// A few hand-written strokes in board colours, aliased as the board draws them.
QImage strokes(QSize size, QRandomGenerator& random)
{
    QImage page(size, QImage::Format_RGB32);
    page.fill(Background);
    QPainter painter(&page);
    const QColor inks[] = {Qt::red, Qt::blue, Qt::black, Qt::white, Qt::yellow};
    // Below the board's strip, on pages high enough to have one.
    const int top = size.height() > 80 ? 40 : 0;
    for (int stroke = 0; stroke < 8; ++stroke) {
        painter.setPen(QPen(inks[random.bounded(5)], 2 + random.bounded(3), Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        QPoint at(random.bounded(size.width()), top + random.bounded(size.height() - top));
        QPolygon line{at};
        for (int step = 0; step < 60; ++step) {
            at += QPoint(random.bounded(-12, 13), random.bounded(-8, 9));
            at.setX(std::clamp(at.x(), 0, size.width() - 1));
            at.setY(std::clamp(at.y(), top, size.height() - 1));
            line << at;
        }
        painter.drawPolyline(line);
    }
    return page;
}

// Smooth light with fine sensor noise: nothing repeats exactly, neighbours are close.
void paintPhoto(QImage& image, const QRect& area, QRandomGenerator& random)
{
    const double fx = 0.004 + random.bounded(0.01), fy = 0.003 + random.bounded(0.01);
    const double phase = random.bounded(6.0);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const double u = x * fx + phase, v = y * fy;
            const double light =
                0.5 + 0.25 * std::sin(u) * std::cos(v) + 0.2 * std::sin(u * 3.1 + v);
            const int grain = int(random.bounded(9)) - 4;
            const int r = std::clamp(int(230 * light) + grain, 0, 255);
            const int g = std::clamp(int(190 * light + 30 * std::sin(v * 2)) + grain, 0, 255);
            const int b = std::clamp(int(150 * (1 - light) + 60) + grain, 0, 255);
            line[x] = qRgb(r, g, b);
        }
    }
}

// Lines of glyph-like marks with anti-aliased edges, as text looks on a screen.
void paintText(QImage& image, const QRect& area, QRandomGenerator& random)
{
    for (int baseline = area.top() + 16; baseline < area.bottom() - 4; baseline += 18) {
        int x = area.left() + 8;
        const int end = area.right() - 8 - random.bounded(std::max(1, area.width() / 3));
        while (x < end) {
            const int wordLength = 2 + random.bounded(8);
            for (int letter = 0; letter < wordLength && x < end; ++letter, x += 8) {
                for (int dy = -10; dy < 0; ++dy)
                    for (int dx = 0; dx < 7; ++dx)
                        if (random.bounded(3) == 0) {
                            const int ink = random.bounded(2) ? 0 : 96 + random.bounded(128);
                            image.setPixel(x + dx, baseline + dy, qRgb(ink, ink, ink));
                        }
            }
            x += 6;
        }
    }
}

// A desktop: photo wallpaper, a task bar with icons, two windows with title bars and text, one of
// them showing a picture.
QImage snapshot(QSize size, QRandomGenerator& random)
{
    QImage page(size, QImage::Format_RGB32);
    paintPhoto(page, page.rect(), random);
    QPainter painter(&page);
    const int w = size.width(), h = size.height();
    const QRect taskBar(0, h - 40, w, 40);
    painter.fillRect(taskBar, QColor(32, 40, 52));
    for (int icon = 0; icon < 12; ++icon) {
        QLinearGradient shade(0, h - 34, 0, h - 6);
        shade.setColorAt(0, QColor::fromHsv(icon * 30, 160, 240));
        shade.setColorAt(1, QColor::fromHsv(icon * 30, 220, 120));
        painter.fillRect(8 + icon * 40, h - 34, 28, 28, shade);
    }
    const QRect windows[] = {QRect(w / 12, h / 10, w / 2, h * 2 / 3),
                             QRect(w * 5 / 12, h / 5, w / 2, h * 3 / 5)};
    for (const QRect& frame : windows) {
        painter.fillRect(frame, QColor(240, 240, 240));
        QLinearGradient title(frame.topLeft(), frame.topRight());
        title.setColorAt(0, QColor(40, 90, 170));
        title.setColorAt(1, QColor(120, 170, 230));
        painter.fillRect(frame.left(), frame.top(), frame.width(), 28, title);
        painter.setPen(QColor(160, 160, 160));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        painter.fillRect(frame.left() + 1, frame.top() + 28, frame.width() - 2, 30,
                         QColor(225, 228, 232));
        const QRect client = frame.adjusted(4, 62, -4, -4);
        painter.fillRect(client, Qt::white);
        painter.end();
        paintText(page, client.adjusted(0, 0, -client.width() / 3, 0), random);
        painter.begin(&page);
    }
    painter.end();
    const QRect picture = windows[1].adjusted(windows[1].width() * 2 / 3, 80, -12, -60);
    paintPhoto(page, picture, random);
    return page;
}

// Colour = pixel index times an odd number modulo 2^24: all distinct up to 2^24 pixels.
QImage everyPixelDifferent(QSize size)
{
    QImage page(size, QImage::Format_RGB32);
    quint32 index = 0;
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(page.scanLine(y));
        for (int x = 0; x < size.width(); ++x, ++index)
            line[x] = 0xff000000u | ((index * 0x9E3779B1u) & 0xffffffu);
    }
    return page;
}

} // namespace

namespace SamplePages {

QImage make(Kind kind, QSize size, quint32 seed)
{
    QRandomGenerator random(seed);
    switch (kind) {
    case Kind::Empty: {
        QImage page(size, QImage::Format_RGB32);
        page.fill(Background);
        return page;
    }
    case Kind::Strokes:
        return strokes(size, random);
    case Kind::Photo: {
        QImage page(size, QImage::Format_RGB32);
        paintPhoto(page, page.rect(), random);
        return page;
    }
    case Kind::Snapshot:
        return snapshot(size, random);
    case Kind::EveryPixelDifferent:
        return everyPixelDifferent(size);
    }
    return {};
}

const char* nameOf(Kind kind)
{
    switch (kind) {
    case Kind::Empty:
        return "empty";
    case Kind::Strokes:
        return "strokes";
    case Kind::Photo:
        return "photo";
    case Kind::Snapshot:
        return "snapshot";
    case Kind::EveryPixelDifferent:
        return "every pixel different";
    }
    return "";
}

} // namespace SamplePages

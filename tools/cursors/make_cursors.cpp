// Draws the board's tool cursors and writes them as the program's cursor files (".cut", the
// Windows .cur layout described in docs/cursors.md) into the directory given as the argument.
// Each cursor is a black shape on a transparent 32 x 32 picture; every transparent pixel next to
// a black one then turns white, so the cursor shows on dark and light boards alike.

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <cstdio>
#include <functional>

namespace {

constexpr int Side = 32;
const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);

struct Design {
    QString fileName;
    QPoint hotSpot;
    std::function<void(QPainter&)> draw;
};

// The thin cross of the shape tools; its centre is the hot spot.
const QPoint CrossCentre(11, 11);

void drawCross(QPainter& painter)
{
    painter.drawLine(CrossCentre.x() - 10, CrossCentre.y(), CrossCentre.x() + 10, CrossCentre.y());
    painter.drawLine(CrossCentre.x(), CrossCentre.y() - 10, CrossCentre.x(), CrossCentre.y() + 10);
}

// A pencil from its tip at the lower left up to the right.
const QPoint PencilTip(1, 30);

void drawPencil(QPainter& painter)
{
    QTransform along;
    along.translate(PencilTip.x() + 0.5, PencilTip.y() + 0.5);
    along.rotate(-45);
    const QPolygonF outline({{0, 0}, {8, -4}, {30, -4}, {30, 4}, {8, 4}});
    painter.setBrush(Qt::black);
    painter.drawPolygon(along.map(outline));
    // The wood of the cone and the band before the eraser end, left white inside the shape.
    painter.setPen(QPen(Qt::white, 1));
    painter.drawLine(along.map(QLineF(8, -3, 8, 3)));
    painter.drawLine(along.map(QLineF(25, -3, 25, 3)));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawPoint(PencilTip);
}

// The eraser block; its top-left corner is the hot spot.
const QRect EraserBlock(1, 1, 20, 14);

void drawEraser(QPainter& painter)
{
    painter.fillRect(EraserBlock, Qt::black);
    painter.fillRect(EraserBlock.adjusted(2, 2, -2, -6), Qt::white);
}

void drawDottedSquare(QPainter& painter, const QRect& square)
{
    int step = 0;
    auto dot = [&](int x, int y) {
        if (step++ % 4 < 2)
            painter.drawPoint(x, y);
    };
    for (int x = square.left(); x < square.right(); ++x)
        dot(x, square.top());
    for (int y = square.top(); y < square.bottom(); ++y)
        dot(square.right(), y);
    for (int x = square.right(); x > square.left(); --x)
        dot(x, square.bottom());
    for (int y = square.bottom(); y > square.top(); --y)
        dot(square.left(), y);
}

QList<Design> designs()
{
    return {
        {"Text_Hnd.cut", PencilTip, drawPencil},
        {"Sonic cross2.cut", CrossCentre,
         [](QPainter& p) {
             drawCross(p);
             p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
             p.drawLine(19, 29, 29, 19);
         }},
        {"Sonic cross3.cut", CrossCentre,
         [](QPainter& p) {
             drawCross(p);
             p.drawRect(19, 19, 10, 10);
         }},
        {"prcs_mox1.cut", CrossCentre,
         [](QPainter& p) {
             drawCross(p);
             p.drawEllipse(QPoint(24, 24), 5, 5);
         }},
        {"Altr_Fsh.cut", EraserBlock.topLeft(), drawEraser},
        {"prcs_mox2.cut", CrossCentre,
         [](QPainter& p) {
             drawCross(p);
             drawDottedSquare(p, QRect(17, 17, 13, 13));
         }},
    };
}

QImage drawCursor(const Design& design)
{
    QImage shape(Side, Side, QImage::Format_ARGB32);
    shape.fill(Qt::transparent);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(Qt::black, 1));
        design.draw(painter);
    }
    QImage outlined = shape;
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            if (qAlpha(shape.pixel(x, y)) != 0)
                continue;
            bool nextToBlack = false;
            for (int dy = -1; dy <= 1 && !nextToBlack; ++dy) {
                for (int dx = -1; dx <= 1 && !nextToBlack; ++dx) {
                    const QPoint n(x + dx, y + dy);
                    nextToBlack = shape.rect().contains(n) && shape.pixel(n) == Black;
                }
            }
            if (nextToBlack)
                outlined.setPixel(x, y, White);
        }
    }
    return outlined;
}

// ICONDIR, one ICONDIRENTRY with the hot spot, then a BITMAPINFOHEADER of double height, the
// colour pixels bottom-up as B, G, R, A and the one-bit AND mask (set = transparent).
QByteArray curFile(const QImage& picture, QPoint hotSpot)
{
    constexpr quint32 HeaderSize = 40;
    constexpr quint32 ColourBytes = Side * Side * 4;
    constexpr quint32 MaskStride = ((Side + 31) / 32) * 4;
    constexpr quint32 MaskBytes = MaskStride * Side;
    constexpr quint32 ImageBytes = HeaderSize + ColourBytes + MaskBytes;
    constexpr quint32 ImageOffset = 6 + 16;

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(2) << quint16(1);
    out << quint8(Side) << quint8(Side) << quint8(0) << quint8(0) << quint16(hotSpot.x())
        << quint16(hotSpot.y()) << ImageBytes << ImageOffset;
    out << HeaderSize << qint32(Side) << qint32(2 * Side) << quint16(1) << quint16(32) << quint32(0)
        << (ColourBytes + MaskBytes) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int y = Side - 1; y >= 0; --y) {
        for (int x = 0; x < Side; ++x) {
            const QRgb pixel = picture.pixel(x, y);
            out << quint8(qBlue(pixel)) << quint8(qGreen(pixel)) << quint8(qRed(pixel))
                << quint8(qAlpha(pixel));
        }
    }
    for (int y = Side - 1; y >= 0; --y) {
        QByteArray row(MaskStride, '\0');
        for (int x = 0; x < Side; ++x) {
            if (qAlpha(picture.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.writeRawData(row.constData(), row.size());
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_cursors <output directory>\n");
        return 2;
    }
    const QDir target(QString::fromLocal8Bit(argv[1]));
    for (const Design& design : designs()) {
        const QImage picture = drawCursor(design);
        if (picture.pixel(design.hotSpot) != Black) {
            std::fprintf(stderr, "%s: the hot spot is off the shape\n",
                         qPrintable(design.fileName));
            return 1;
        }
        QFile file(target.filePath(design.fileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(curFile(picture, design.hotSpot)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}

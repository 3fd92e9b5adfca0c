#include "board/store/PictureTileCodec.h"

#include "SamplePages.h"

#include <QRandomGenerator>
#include <QtTest>

#include <zstd.h>

#include <vector>

namespace {

constexpr quint32 Outside = 0x5a5a5a5au; // the canvas around the tile, never written
constexpr int Margin = 3;

// A tile's pixels inside a canvas wider than the tile, so that the stride differs from the width.
struct Canvas {
    int width, height;
    qsizetype stride;
    std::vector<quint32> pixels;
    Canvas(int tileWidth, int tileHeight)
        : width(tileWidth), height(tileHeight), stride(tileWidth + 2 * Margin),
          pixels(size_t(stride) * size_t(tileHeight + 2 * Margin), Outside)
    {
    }
    quint32* tile() { return pixels.data() + Margin * stride + Margin; }
};

// The forms of a code, its first byte.
constexpr char Predicted = 0, Plain = 1;

// Planes as the codec writes them, compressed as it compresses them, after the form's byte.
QByteArray compressed(const QByteArray& planes, char form = Predicted)
{
    QByteArray out(qsizetype(ZSTD_compressBound(size_t(planes.size()))), Qt::Uninitialized);
    out.resize(qsizetype(ZSTD_compress(out.data(), size_t(out.size()), planes.constData(),
                                       size_t(planes.size()), 1)));
    return QByteArray(1, form) + out;
}

// A scanner's noise: each channel on its own around a light grey.
QImage scannerNoise()
{
    QImage image(64, 64, QImage::Format_RGB32);
    QRandomGenerator random(4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y,
                           qRgb(236 + random.bounded(-3, 4), 234 + random.bounded(-3, 4),
                                228 + random.bounded(-3, 4)));
    return image;
}

// The planes of an opaque 8 x 8 tile: 64 bytes of G, 64 pair symbols, then escaped pairs.
constexpr int Side = 8, Pixels = Side * Side;
constexpr char NoChromaDifference = char(7 * 15 + 7), Escape = char(225);
QByteArray planes(char symbol = NoChromaDifference)
{
    return QByteArray(Pixels, 0) + QByteArray(Pixels, symbol);
}

} // namespace

class PictureTileCodecTest : public QObject {
    Q_OBJECT
private slots:
    void roundTripsEveryByteWithinTheTile_data();
    void roundTripsEveryByteWithinTheTile();
    void readsTheFormItWrites();
    void refusesCodesNotOfTheTile_data();
    void refusesCodesNotOfTheTile();
};

void PictureTileCodecTest::roundTripsEveryByteWithinTheTile_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<bool>("opaque");
    QTest::addColumn<int>("form"); // the form the code must have, -1 for either
    const QImage photo = SamplePages::make(SamplePages::Kind::Photo, QSize(64, 64));
    QImage noise(64, 64, QImage::Format_ARGB32);
    QRandomGenerator random(3);
    for (int y = 0; y < 64; ++y)
        random.fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), 64);
    QImage opaqueNoise = noise.convertToFormat(QImage::Format_RGB32);
    QTest::newRow("photo, whole tile") << photo << true << int(Predicted);
    QTest::newRow("scanner noise") << scannerNoise() << true << int(Plain);
    QTest::newRow("scanner noise with alpha") << scannerNoise() << false << int(Plain);
    QTest::newRow("photo, one pixel") << photo.copy(0, 0, 1, 1) << true << -1;
    QTest::newRow("photo, edge column") << photo.copy(0, 0, 1, 64) << true << -1;
    QTest::newRow("photo, edge row") << photo.copy(0, 0, 64, 1) << true << -1;
    QTest::newRow("photo, 33 x 29") << photo.copy(5, 7, 33, 29) << true << -1;
    // Every pair of colour differences beyond the pair symbols: each one escaped.
    QTest::newRow("opaque noise") << opaqueNoise << true << -1;
    QTest::newRow("noise with alpha") << noise << false << -1;
    QTest::newRow("noise with alpha, 17 x 5") << noise.copy(0, 0, 17, 5) << false << -1;
    QTest::newRow("photo kept with alpha") << photo << false << -1;
}

void PictureTileCodecTest::roundTripsEveryByteWithinTheTile()
{
    QFETCH(QImage, picture);
    QFETCH(bool, opaque);
    QFETCH(int, form);
    const int width = picture.width(), height = picture.height();
    const auto* pixels = reinterpret_cast<const quint32*>(picture.constBits());
    const qsizetype stride = picture.bytesPerLine() / 4;
    QByteArray code("kept");
    const qsizetype length = PictureTileCodec::encode(pixels, stride, width, height, opaque, code);
    QCOMPARE(code.size(), 4 + length);
    QVERIFY(code.startsWith("kept"));
    if (form >= 0)
        QCOMPARE(int(code[4]), form);

    Canvas canvas(width, height);
    QVERIFY(PictureTileCodec::decode(QByteArrayView(code).sliced(4), canvas.tile(), canvas.stride,
                                     width, height, opaque));
    for (int y = -Margin; y < height + Margin; ++y)
        for (int x = -Margin; x < width + Margin; ++x) {
            const quint32 got = canvas.tile()[y * canvas.stride + x];
            const bool inside = x >= 0 && y >= 0 && x < width && y < height;
            QCOMPARE(got, inside ? pixels[y * stride + x] : Outside);
        }
}

void PictureTileCodecTest::readsTheFormItWrites()
{
    // No difference anywhere: every pixel is the first one's prediction, opaque black.
    QByteArray withEscape = planes();
    withEscape[Pixels + 9] = Escape;
    withEscape += QByteArray("\x05\xfe", 2); // R - G 5, B - G -2 at pixel (1, 1)
    Canvas canvas(Side, Side);
    QVERIFY(PictureTileCodec::decode(compressed(withEscape), canvas.tile(), canvas.stride, Side,
                                     Side, true));
    QCOMPARE(canvas.tile()[0], 0xff000000u);
    // Pixel (1, 1) differs by R 5 and B -2 from its left neighbour; the pixels after it on its
    // row are predicted from it.
    QCOMPARE(canvas.tile()[canvas.stride + 1], 0xff0500feu);
    QCOMPARE(canvas.tile()[canvas.stride + Side - 1], 0xff0500feu);
    QCOMPARE(canvas.tile()[2 * canvas.stride + 1], 0xff000000u);
}

void PictureTileCodecTest::refusesCodesNotOfTheTile_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QSize>("tile");
    const QSize tile(Side, Side);
    QTest::newRow("no bytes") << QByteArray() << tile;
    QTest::newRow("not zstd") << QByteArray(1, Predicted) + "ZKCP and more" << tile;
    QTest::newRow("planes for another size") << compressed(planes()) << QSize(Side, Side + 1);
    QTest::newRow("planes cut short") << compressed(planes().chopped(1)) << tile;
    QTest::newRow("a symbol beyond the escape") << compressed(planes(char(226))) << tile;
    QByteArray escaped = planes();
    escaped[Pixels + 3] = Escape;
    QTest::newRow("an escape without its bytes") << compressed(escaped) << tile;
    QTest::newRow("an escape with one byte") << compressed(escaped + "\x01") << tile;
    QTest::newRow("bytes after the last escape") << compressed(escaped + "\x01\x02\x03") << tile;
    QTest::newRow("escaped bytes without an escape") << compressed(planes() + "\x01\x02") << tile;
    QTest::newRow("a tile larger than any") << compressed(planes()) << QSize(65, 1);
    QTest::newRow("a form of no kind") << compressed(planes(), 2) << tile;
    QTest::newRow("plain planes cut short")
        << compressed(QByteArray(Pixels * 3 - 1, 0), Plain) << tile;
    QTest::newRow("plain planes too long") << compressed(QByteArray(Pixels * 4, 0), Plain) << tile;
}

void PictureTileCodecTest::refusesCodesNotOfTheTile()
{
    QFETCH(QByteArray, code);
    QFETCH(QSize, tile);
    Canvas canvas(std::min(tile.width(), 64), tile.height());
    QVERIFY(!PictureTileCodec::decode(code, canvas.tile(), canvas.stride, tile.width(),
                                      tile.height(), true));
    // Nothing outside the tile was written.
    for (int x = 0; x < canvas.stride; ++x)
        QCOMPARE(canvas.pixels[size_t(x)], Outside);
}

QTEST_GUILESS_MAIN(PictureTileCodecTest)
#include "PictureTileCodecTest.moc"

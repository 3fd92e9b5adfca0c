#include "board/codec/ImageCodec.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <sys/stat.h>

Q_DECLARE_METATYPE(Interpolation)

namespace {

QImage checkerboard(int size, int cell, QRgb even, QRgb odd)
{
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, ((x / cell + y / cell) % 2) ? odd : even);
    return image;
}

QImage noise(int width, int height, QImage::Format format, quint32 seed)
{
    QImage image(width, height, format);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           format == QImage::Format_RGB32 ? random.generate() | 0xff000000u
                                                          : random.generate());
    return image;
}

QImage solid(int width, int height, QImage::Format format, QRgb colour)
{
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}

QImage drawn(const QImage& source, const QSize& size, Interpolation mode)
{
    QImage target = ImageCodec::createBitmap(size.width(), size.height());
    ImageCodec::drawScaled(target, QRectF(QPointF(), size), source, source.rect(), mode);
    return target;
}

const Interpolation AllModes[] = {Interpolation::LowQuality, Interpolation::HighQuality,
                                  Interpolation::HighQualityBicubic};

const char* modeName(Interpolation mode)
{
    switch (mode) {
    case Interpolation::LowQuality:
        return "mode 1";
    case Interpolation::HighQuality:
        return "mode 2";
    case Interpolation::HighQualityBicubic:
        return "mode 7";
    }
    return "";
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The scaled draw in its three modes, BMP and PNG round trips, encoders, the "tmp.bmt" copy.
class ImageCodecTest : public QObject {
    Q_OBJECT

private slots:
    void enlargeCheckerboard_data();
    void enlargeCheckerboard();
    void shrinkFineCheckerboard_data();
    void shrinkFineCheckerboard();
    void shrinkToOnePixelAveragesRamp_data();
    void shrinkToOnePixelAveragesRamp();
    void unscaledDrawCopies_data();
    void unscaledDrawCopies();
    void solidColourStaysSolid_data();
    void solidColourStaysSolid();
    void transparentSurroundLeavesNoFringe_data();
    void transparentSurroundLeavesNoFringe();
    void bicubicOvershootKeepsPremultipliedValid();
    void drawsBetweenFormats_data();
    void drawsBetweenFormats();
    void drawIntoItselfReadsOriginal();
    void sampleMapping_data();
    void sampleMapping();
    void fractionalDestinationCoverage_data();
    void fractionalDestinationCoverage();
    void bmpStreamRoundTrip_data();
    void bmpStreamRoundTrip();
    void pngRoundTrip_data();
    void pngRoundTrip();
    void encoderWritesFormat_data();
    void encoderWritesFormat();
    void loadFileReadsByContent_data();
    void loadFileReadsByContent();
    void loadFileFailureIsNull_data();
    void loadFileFailureIsNull();
    void scaledCopyGoesThroughTmpBmt();
    void scaledCopyKeepsPictureWhenUnwritable();
};

void ImageCodecTest::enlargeCheckerboard_data()
{
    QTest::addColumn<Interpolation>("mode");
    QTest::addColumn<bool>("sameAsMode1");
    QTest::addColumn<bool>("overshoots");
    QTest::newRow("mode 1: bilinear") << Interpolation::LowQuality << true << false;
    QTest::newRow("mode 2: no prefilter when enlarging")
        << Interpolation::HighQuality << true << false;
    QTest::newRow("mode 7: sharper, overshoots at steps")
        << Interpolation::HighQualityBicubic << false << true;
}

// A 4x enlargement of 2-pixel grey squares (64 and 192).
void ImageCodecTest::enlargeCheckerboard()
{
    QFETCH(Interpolation, mode);
    QFETCH(bool, sameAsMode1);
    QFETCH(bool, overshoots);
    const QImage source = checkerboard(16, 2, qRgb(64, 64, 64), qRgb(192, 192, 192));
    const QImage result = drawn(source, QSize(64, 64), mode);
    const QImage bilinear = drawn(source, QSize(64, 64), Interpolation::LowQuality);

    int low = 255;
    int high = 0;
    double difference = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const QRgb p = result.pixel(x, y);
            QCOMPARE(qAlpha(p), 255);
            low = std::min(low, qGreen(p));
            high = std::max(high, qGreen(p));
            difference += std::abs(qGreen(p) - qGreen(bilinear.pixel(x, y)));
        }
    }
    difference /= 64 * 64;
    if (sameAsMode1)
        QCOMPARE(difference, 0.0);
    else
        QVERIFY2(difference > 3.0, qPrintable(QString::number(difference)));
    if (overshoots) {
        QVERIFY2(high >= 198 && low <= 58, qPrintable(QStringLiteral("%1..%2").arg(low).arg(high)));
    } else {
        QCOMPARE(low, 64);
        QCOMPARE(high, 192);
    }
}

void ImageCodecTest::shrinkFineCheckerboard_data()
{
    QTest::addColumn<Interpolation>("mode");
    QTest::addColumn<QRectF>("sourceRect");
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("minDeviation");
    QTest::addColumn<double>("maxDeviation");
    // 4:1 starting half a pixel in: every destination pixel's centre falls on a source centre.
    const QRectF centred(0.5, 0.5, 60, 60);
    QTest::newRow("4:1 on centres, mode 1 aliases")
        << Interpolation::LowQuality << centred << 15 << 127.5 << 127.5;
    QTest::newRow("4:1 on centres, mode 2 even grey")
        << Interpolation::HighQuality << centred << 15 << 0.0 << 0.5;
    QTest::newRow("4:1 on centres, mode 7 even grey")
        << Interpolation::HighQualityBicubic << centred << 15 << 0.0 << 0.5;
    QTest::newRow("4:1 aligned, mode 2 even grey")
        << Interpolation::HighQuality << QRectF(0, 0, 64, 64) << 16 << 0.0 << 0.5;
    QTest::newRow("3:1, mode 1 aliases")
        << Interpolation::LowQuality << QRectF(0, 0, 63, 63) << 21 << 127.5 << 127.5;
    QTest::newRow("3:1, mode 2 near grey")
        << Interpolation::HighQuality << QRectF(0, 0, 63, 63) << 21 << 0.0 << 2.0;
    QTest::newRow("3:1, mode 7 near grey")
        << Interpolation::HighQualityBicubic << QRectF(0, 0, 63, 63) << 21 << 0.0 << 1.0;
}

// One-pixel black and white squares: the prefilter gives grey, point sampling keeps the pattern.
void ImageCodecTest::shrinkFineCheckerboard()
{
    QFETCH(Interpolation, mode);
    QFETCH(QRectF, sourceRect);
    QFETCH(int, size);
    QFETCH(double, minDeviation);
    QFETCH(double, maxDeviation);
    const QImage source = checkerboard(64, 1, qRgb(0, 0, 0), qRgb(255, 255, 255));
    QImage target = ImageCodec::createBitmap(size, size);
    ImageCodec::drawScaled(target, QRectF(0, 0, size, size), source, sourceRect, mode);

    // The outer two pixels read clamped edge pixels, which tips the balance there.
    double lowest = 255;
    double highest = 0;
    for (int y = 2; y < size - 2; ++y) {
        for (int x = 2; x < size - 2; ++x) {
            const double deviation = std::abs(qRed(target.pixel(x, y)) - 127.5);
            lowest = std::min(lowest, deviation);
            highest = std::max(highest, deviation);
        }
    }
    QVERIFY2(lowest >= minDeviation && highest <= maxDeviation,
             qPrintable(QStringLiteral("%1..%2").arg(lowest).arg(highest)));
}

void ImageCodecTest::shrinkToOnePixelAveragesRamp_data()
{
    QTest::addColumn<Interpolation>("mode");
    QTest::addColumn<QSize>("size");
    for (const Interpolation mode :
         {Interpolation::HighQuality, Interpolation::HighQualityBicubic}) {
        QTest::addRow("%s, 600 rows", modeName(mode)) << mode << QSize(1, 600);
        QTest::addRow("%s, 600 columns", modeName(mode)) << mode << QSize(600, 1);
    }
}

// Hundreds of taps for one pixel: a symmetric filter over a linear ramp gives its middle value.
void ImageCodecTest::shrinkToOnePixelAveragesRamp()
{
    QFETCH(Interpolation, mode);
    QFETCH(QSize, size);
    QImage ramp(size, QImage::Format_RGB32);
    const int length = std::max(size.width(), size.height());
    for (int i = 0; i < length; ++i) {
        const int level = i * 255 / (length - 1);
        ramp.setPixel(size.width() > 1 ? i : 0, size.height() > 1 ? i : 0,
                      qRgb(level, level, level));
    }
    const int value = qGreen(drawn(ramp, QSize(1, 1), mode).pixel(0, 0));
    QVERIFY2(value == 127 || value == 128, qPrintable(QString::number(value)));
}

void ImageCodecTest::unscaledDrawCopies_data()
{
    QTest::addColumn<Interpolation>("mode");
    QTest::addColumn<QRect>("sourceRect");
    for (const Interpolation mode : AllModes) {
        QTest::addRow("%s, whole image", modeName(mode)) << mode << QRect(0, 0, 37, 23);
        QTest::addRow("%s, inner part", modeName(mode)) << mode << QRect(5, 3, 20, 11);
    }
}

void ImageCodecTest::unscaledDrawCopies()
{
    QFETCH(Interpolation, mode);
    QFETCH(QRect, sourceRect);
    const QImage source = noise(37, 23, QImage::Format_RGB32, 7);
    QImage target = ImageCodec::createBitmap(sourceRect.width(), sourceRect.height());
    ImageCodec::drawScaled(target, QRectF(QPointF(), sourceRect.size()), source, sourceRect, mode);
    QCOMPARE(target, source.copy(sourceRect).convertToFormat(QImage::Format_ARGB32));
}

void ImageCodecTest::solidColourStaysSolid_data()
{
    QTest::addColumn<Interpolation>("mode");
    QTest::addColumn<QImage>("source");
    QTest::addColumn<QSize>("size");
    const QImage opaque = solid(40, 30, QImage::Format_RGB32, qRgb(0x33, 0x66, 0xcc));
    const QImage translucent = solid(40, 30, QImage::Format_ARGB32, qRgba(255, 0, 0, 128));
    for (const Interpolation mode : AllModes) {
        QTest::addRow("%s, opaque, 2.25x", modeName(mode)) << mode << opaque << QSize(90, 68);
        QTest::addRow("%s, opaque, 0.37x", modeName(mode)) << mode << opaque << QSize(15, 11);
        QTest::addRow("%s, translucent, 2.25x", modeName(mode))
            << mode << translucent << QSize(90, 68);
        QTest::addRow("%s, translucent, 0.37x", modeName(mode))
            << mode << translucent << QSize(15, 11);
    }
}

void ImageCodecTest::solidColourStaysSolid()
{
    QFETCH(Interpolation, mode);
    QFETCH(QImage, source);
    QFETCH(QSize, size);
    const QImage result = drawn(source, size, mode);
    const QRgb colour = source.pixel(0, 0);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            QCOMPARE(result.pixel(x, y), colour);
}

void ImageCodecTest::transparentSurroundLeavesNoFringe_data()
{
    QTest::addColumn<Interpolation>("mode");
    QTest::addColumn<QSize>("size");
    for (const Interpolation mode : AllModes) {
        QTest::addRow("%s, enlarged", modeName(mode)) << mode << QSize(37, 37);
        QTest::addRow("%s, shrunk", modeName(mode)) << mode << QSize(5, 5);
    }
}

// Red square on transparent white: partly transparent result pixels are still pure red.
void ImageCodecTest::transparentSurroundLeavesNoFringe()
{
    QFETCH(Interpolation, mode);
    QFETCH(QSize, size);
    QImage source = solid(12, 12, QImage::Format_ARGB32, qRgba(255, 255, 255, 0));
    for (int y = 4; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            source.setPixel(x, y, qRgb(255, 0, 0));
    const QImage result = drawn(source, size, mode);

    int partial = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb p = result.pixel(x, y);
            if (qAlpha(p) == 0)
                continue;
            partial += qAlpha(p) < 255;
            QCOMPARE(p & 0x00ffffffu, 0x00ff0000u);
        }
    }
    QVERIFY(partial > 0);
}

// Black, white, then transparent: the cubic lifts white past the falling alpha between the last
// two, and a premultiplied pixel must never have a channel above its alpha.
void ImageCodecTest::bicubicOvershootKeepsPremultipliedValid()
{
    QImage source = ImageCodec::createBitmap(4, 1);
    source.setPixel(0, 0, qRgb(0, 0, 0));
    source.setPixel(1, 0, qRgb(255, 255, 255));
    QImage target(32, 1, QImage::Format_ARGB32_Premultiplied);
    target.fill(0);
    ImageCodec::drawScaled(target, QRectF(0, 0, 32, 1), source, source.rect(),
                           Interpolation::HighQualityBicubic);
    for (int x = 0; x < 32; ++x) {
        const QRgb p = target.pixel(x, 0);
        QVERIFY2(qRed(p) <= qAlpha(p) && qGreen(p) <= qAlpha(p) && qBlue(p) <= qAlpha(p),
                 qPrintable(QString::number(p, 16)));
    }
}

void ImageCodecTest::drawsBetweenFormats_data()
{
    QTest::addColumn<QImage>("source");
    QTest::addColumn<QImage::Format>("targetFormat");
    QTest::addColumn<QRgb>("expected");
    const QRgb green = qRgb(0, 200, 0);
    const QRgb red = qRgba(255, 0, 0, 128);
    const QRgb redOverBlue = qRgb(128, 0, 127);
    const struct {
        const char* name;
        QImage image;
        QRgb expected;
    } sources[] = {
        {"RGB32", solid(6, 4, QImage::Format_RGB32, green), green},
        {"RGB888", solid(6, 4, QImage::Format_RGB888, green), green},
        {"ARGB32", solid(6, 4, QImage::Format_ARGB32, red), redOverBlue},
        {"premultiplied", solid(6, 4, QImage::Format_ARGB32_Premultiplied, red), redOverBlue},
    };
    const std::pair<const char*, QImage::Format> targets[] = {
        {"RGB32", QImage::Format_RGB32},
        {"ARGB32", QImage::Format_ARGB32},
        {"premultiplied", QImage::Format_ARGB32_Premultiplied},
        {"RGB888", QImage::Format_RGB888},
    };
    for (const auto& source : sources)
        for (const auto& [name, format] : targets)
            QTest::addRow("%s onto %s", source.name, name)
                << source.image << format << source.expected;
}

// Opaque green, or half-transparent red over blue, in every pairing of formats.
void ImageCodecTest::drawsBetweenFormats()
{
    QFETCH(QImage, source);
    QFETCH(QImage::Format, targetFormat);
    QFETCH(QRgb, expected);
    QImage target = solid(15, 10, targetFormat, qRgb(0, 0, 255));
    ImageCodec::drawScaled(target, QRectF(0, 0, 15, 10), source, source.rect(),
                           Interpolation::HighQualityBicubic);
    QCOMPARE(target.format(), targetFormat);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 15; ++x)
            QCOMPARE(target.pixel(x, y), expected);
}

// Enlarging the top half of a picture over itself: rows already written must not be read.
void ImageCodecTest::drawIntoItselfReadsOriginal()
{
    QImage image(1, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        image.setPixel(0, y, qRgb(y * 16, 0, 0));
    const QImage original = image.copy();
    QImage expected = original.copy();
    ImageCodec::drawScaled(expected, QRectF(0, 0, 1, 16), original, QRectF(0, 0, 1, 8),
                           Interpolation::LowQuality);
    ImageCodec::drawScaled(image, QRectF(0, 0, 1, 16), image, QRectF(0, 0, 1, 8),
                           Interpolation::LowQuality);
    QCOMPARE(image, expected);
}

void ImageCodecTest::sampleMapping_data()
{
    QTest::addColumn<Interpolation>("mode");
    QTest::addColumn<QRectF>("sourceRect");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("expected");
    // Destination centre (x + 0.5) maps to 0.25 x in the 2-pixel source: -0.375, -0.125 clamp to
    // the black pixel, then 0.125, 0.375, 0.625, 0.875 between the two, then white.
    const QList<int> ramp{0, 0, 32, 96, 159, 223, 255, 255};
    QTest::newRow("4x, mode 1") << Interpolation::LowQuality << QRectF(0, 0, 2, 1) << 8 << ramp;
    QTest::newRow("4x, mode 2") << Interpolation::HighQuality << QRectF(0, 0, 2, 1) << 8 << ramp;
    // Keys' cubic (a = -0.5) at the same places: steeper, and it undershoots into the clamp.
    QTest::newRow("4x, mode 7") << Interpolation::HighQualityBicubic << QRectF(0, 0, 2, 1) << 8
                                << QList<int>{0, 0, 21, 88, 167, 234, 255, 255};
    QTest::newRow("half-pixel source offset")
        << Interpolation::LowQuality << QRectF(0.5, 0, 1, 1) << 1 << QList<int>{128};
    QTest::newRow("half-pixel source start, 2x")
        << Interpolation::LowQuality << QRectF(0.5, 0, 1.5, 1) << 3 << QList<int>{64, 191, 255};
    QTest::newRow("pixel outside the source rect does not bleed in")
        << Interpolation::HighQualityBicubic << QRectF(0, 0, 1, 1) << 4 << QList<int>{0, 0, 0, 0};
}

// A black pixel beside a white one, drawn into one destination row.
void ImageCodecTest::sampleMapping()
{
    QFETCH(Interpolation, mode);
    QFETCH(QRectF, sourceRect);
    QFETCH(int, width);
    QFETCH(QList<int>, expected);
    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(0, 0, 0));
    source.setPixel(1, 0, qRgb(255, 255, 255));
    QImage target = ImageCodec::createBitmap(width, 1);
    ImageCodec::drawScaled(target, QRectF(0, 0, width, 1), source, sourceRect, mode);
    QList<int> values;
    for (int x = 0; x < width; ++x)
        values << qGreen(target.pixel(x, 0));
    QCOMPARE(values, expected);
}

void ImageCodecTest::fractionalDestinationCoverage_data()
{
    QTest::addColumn<QRectF>("destination");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<double>("coverage");
    const QRectF inside(1.5, 2.25, 3, 2.5); // x 1.5 .. 4.5, y 2.25 .. 4.75
    QTest::newRow("left edge") << inside << QPoint(1, 3) << 0.5;
    QTest::newRow("right edge") << inside << QPoint(4, 3) << 0.5;
    QTest::newRow("top edge") << inside << QPoint(2, 2) << 0.75;
    QTest::newRow("bottom edge") << inside << QPoint(3, 4) << 0.75;
    QTest::newRow("top left corner") << inside << QPoint(1, 2) << 0.375;
    QTest::newRow("interior") << inside << QPoint(2, 3) << 1.0;
    QTest::newRow("left of it") << inside << QPoint(0, 3) << 0.0;
    QTest::newRow("below it") << inside << QPoint(2, 5) << 0.0;
    const QRectF overhanging(-2.5, -1.75, 5, 4); // clipped at the target's top left
    QTest::newRow("clipped, corner pixel") << overhanging << QPoint(0, 0) << 1.0;
    QTest::newRow("clipped, right edge") << overhanging << QPoint(2, 1) << 0.5;
    QTest::newRow("clipped, bottom edge") << overhanging << QPoint(1, 2) << 0.25;
}

// Opaque white over a blue RGB32 target: each pixel takes white in proportion to its coverage.
void ImageCodecTest::fractionalDestinationCoverage()
{
    QFETCH(QRectF, destination);
    QFETCH(QPoint, pixel);
    QFETCH(double, coverage);
    const QImage source = solid(4, 4, QImage::Format_RGB32, qRgb(255, 255, 255));
    for (const Interpolation mode : AllModes) {
        QImage target = solid(8, 8, QImage::Format_RGB32, qRgb(0, 0, 255));
        ImageCodec::drawScaled(target, destination, source, source.rect(), mode);
        const QRgb p = target.pixel(pixel);
        const int mixed = int(std::lround(255 * coverage));
        QVERIFY2(std::abs(qRed(p) - mixed) <= 1 && std::abs(qGreen(p) - mixed) <= 1 &&
                     qBlue(p) == 255 && qAlpha(p) == 255,
                 qPrintable(QStringLiteral("%1: %2").arg(modeName(mode)).arg(p, 8, 16)));
    }
}

void ImageCodecTest::bmpStreamRoundTrip_data()
{
    QTest::addColumn<QImage>("image");
    QTest::newRow("RGB32") << noise(31, 17, QImage::Format_RGB32, 1);
    QTest::newRow("RGB32, padded rows") << noise(3, 5, QImage::Format_RGB32, 2);
    QTest::newRow("ARGB32 keeps alpha") << noise(31, 17, QImage::Format_ARGB32, 3);
    QTest::newRow("blank bitmap") << ImageCodec::createBitmap(6, 4);
}

void ImageCodecTest::bmpStreamRoundTrip()
{
    QFETCH(QImage, image);
    const QByteArray stream = ImageCodec::bmpStream(image);
    QVERIFY(stream.startsWith("BM"));
    const QImage loaded = ImageCodec::loadBmpStream(stream);
    QCOMPARE(loaded.format(), image.format());
    QCOMPARE(loaded, image);
}

void ImageCodecTest::pngRoundTrip_data()
{
    QTest::addColumn<QImage>("image");
    QTest::newRow("RGB32") << noise(45, 29, QImage::Format_RGB32, 4);
    QTest::newRow("ARGB32") << noise(45, 29, QImage::Format_ARGB32, 5);
}

void ImageCodecTest::pngRoundTrip()
{
    QFETCH(QImage, image);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.png"));
    QVERIFY(ImageCodec::savePng(image, path));
    QVERIFY(fileBytes(path).startsWith("\x89PNG"));
    const QImage loaded = ImageCodec::loadFile(path);
    QCOMPARE(loaded.format(), image.format());
    QCOMPARE(loaded, image);
}

void ImageCodecTest::encoderWritesFormat_data()
{
    QTest::addColumn<QString>("mimeType");
    QTest::addColumn<QString>("encoder");
    QTest::addColumn<QByteArray>("signature");
    QTest::newRow("png") << "image/png"
                         << "png" << QByteArray("\x89PNG");
    QTest::newRow("bmp") << "image/bmp"
                         << "bmp" << QByteArray("BM");
    QTest::newRow("upper case") << "IMAGE/PNG"
                                << "png" << QByteArray("\x89PNG");
    QTest::newRow("jpeg has none") << "image/jpeg"
                                   << "" << QByteArray();
    QTest::newRow("bare extension") << "png"
                                    << "" << QByteArray();
    QTest::newRow("empty") << ""
                           << "" << QByteArray();
}

// Each encoder writes its format; without one nothing is written.
void ImageCodecTest::encoderWritesFormat()
{
    QFETCH(QString, mimeType);
    QFETCH(QString, encoder);
    QFETCH(QByteArray, signature);
    QCOMPARE(ImageCodec::encoderFor(mimeType), encoder);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out"));
    const QImage image = noise(9, 7, QImage::Format_RGB32, 6);
    QCOMPARE(ImageCodec::save(image, path, ImageCodec::encoderFor(mimeType)), !signature.isEmpty());
    QCOMPARE(QFile::exists(path), !signature.isEmpty());
    if (!signature.isEmpty()) {
        QVERIFY(fileBytes(path).startsWith(signature));
        QCOMPARE(ImageCodec::loadFile(path), image);
    }
}

void ImageCodecTest::loadFileReadsByContent_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << QByteArray("png") << "a.png";
    QTest::newRow("bmp") << QByteArray("bmp") << "a.bmp";
    QTest::newRow("jpeg") << QByteArray("jpg") << "a.jpg";
    QTest::newRow("bmp named .bmt") << QByteArray("bmp") << "tmp.bmt";
    QTest::newRow("png named .jpg") << QByteArray("png") << "b.jpg";
}

void ImageCodecTest::loadFileReadsByContent()
{
    QFETCH(QByteArray, format);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QImage image = checkerboard(24, 8, qRgb(250, 250, 250), qRgb(10, 10, 10));
    QVERIFY(image.save(path, format.constData()));
    const QImage loaded = ImageCodec::loadFile(path);
    QCOMPARE(loaded.size(), image.size());
    QCOMPARE(loaded.format(), QImage::Format_RGB32);
    QVERIFY(std::abs(qGreen(loaded.pixel(12, 12)) - 250) <= 8); // lossy for JPEG
}

void ImageCodecTest::loadFileFailureIsNull_data()
{
    QTest::addColumn<QByteArray>("content"); // a null array: no file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("text") << QByteArray("not a picture");
    QTest::newRow("truncated png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0", 18);
    QTest::newRow("truncated bmp")
        << ImageCodec::bmpStream(noise(8, 8, QImage::Format_RGB32, 8)).left(40);
}

void ImageCodecTest::loadFileFailureIsNull()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.png"));
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QVERIFY(ImageCodec::loadFile(path).isNull());
}

void ImageCodecTest::scaledCopyGoesThroughTmpBmt()
{
    QTemporaryDir dir;
    const QString programDirectory = dir.path() + QLatin1Char('/');
    const QString tmp = programDirectory + QStringLiteral("tmp.bmt");
    const QImage source = noise(40, 30, QImage::Format_RGB32, 9);

    // Part of the bitmap stays transparent: the file keeps that too.
    const QRectF destination(2.5, 3, 50, 30);
    const QImage first =
        ImageCodec::scaledCopy(source, source.rect(), QSize(60, 40), destination,
                               Interpolation::HighQualityBicubic, programDirectory);
    QImage expected = ImageCodec::createBitmap(60, 40);
    ImageCodec::drawScaled(expected, destination, source, source.rect(),
                           Interpolation::HighQualityBicubic);
    QCOMPARE(first, expected);
    QCOMPARE(ImageCodec::loadFile(tmp), first);
    QCOMPARE(qAlpha(first.pixel(0, 0)), 0);

    const QImage second =
        ImageCodec::scaledCopy(source, QRectF(10, 10, 20, 10), QSize(13, 7), QRectF(0, 0, 13, 7),
                               Interpolation::LowQuality, programDirectory);
    QCOMPARE(second.size(), QSize(13, 7));
    QCOMPARE(ImageCodec::loadFile(tmp), second);

    // A named pipe put under the name is replaced, not written into (which would wait forever).
    QVERIFY(QFile::remove(tmp));
    QCOMPARE(mkfifo(QFile::encodeName(tmp).constData(), 0600), 0);
    const QImage third =
        ImageCodec::scaledCopy(source, source.rect(), QSize(60, 40), destination,
                               Interpolation::HighQualityBicubic, programDirectory);
    QCOMPARE(third, expected);
    QVERIFY(QFileInfo(tmp).isFile());
    QCOMPARE(QDir(programDirectory).entryList(QDir::Files), QStringList{"tmp.bmt"});
}

void ImageCodecTest::scaledCopyKeepsPictureWhenUnwritable()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("absent/"));
    const QImage source = solid(10, 10, QImage::Format_RGB32, qRgb(1, 2, 3));
    const QImage copy =
        ImageCodec::scaledCopy(source, source.rect(), QSize(5, 5), QRectF(0, 0, 5, 5),
                               Interpolation::HighQuality, missing);
    QCOMPARE(copy, solid(5, 5, QImage::Format_ARGB32, qRgb(1, 2, 3)));
    QVERIFY(!QFile::exists(missing + QStringLiteral("tmp.bmt")));
}

QTEST_GUILESS_MAIN(ImageCodecTest)
#include "ImageCodecTest.moc"

#include "board/codec/PngCodec.h"
#include "board/codec/ImageCodec.h"

#include "SamplePages.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <array>
#include <functional>
#include <sys/stat.h>

Q_DECLARE_METATYPE(PngStatus)

namespace {

const QSize Screen(1024, 768);

quint32 crc32(const QByteArray& bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffu;
    for (char byte : bytes)
        c = table[(c ^ uchar(byte)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// Hand-made PNG files: chunks with right (or wrong) checksums, rows with any filter.
QByteArray chunk(const QByteArray& type, const QByteArray& body)
{
    return be32(quint32(body.size())) + type + body + be32(crc32(type + body));
}

QByteArray header(quint32 width, quint32 height, int depth, int colourType, int interlace = 0)
{
    return be32(width) + be32(height) + char(depth) + char(colourType) + '\0' + '\0' +
           char(interlace);
}

QByteArray zlib(const QByteArray& raw)
{
    return qCompress(raw, 6).mid(4); // qCompress puts the length before the zlib stream
}

const QByteArray Signature("\x89PNG\r\n\x1a\n", 8);

QByteArray pngOf(const QByteArray& ihdr, const QByteArray& raw, const QByteArray& before = {})
{
    return Signature + chunk("IHDR", ihdr) + before + chunk("IDAT", zlib(raw)) + chunk("IEND", {});
}

// Filters one row of bytes (step bytes a pixel) with filter type, the row above given.
QByteArray filtered(const QByteArray& row, const QByteArray& above, int step, int type)
{
    QByteArray out(1, char(type));
    const auto at = [](const QByteArray& bytes, int i) { return i < 0 ? 0 : int(uchar(bytes[i])); };
    for (int i = 0; i < row.size(); ++i) {
        const int x = uchar(row[i]), a = at(row, i - step), b = at(above, i),
                  c = at(above, i - step);
        int predictor = 0;
        if (type == 1)
            predictor = a;
        else if (type == 2)
            predictor = b;
        else if (type == 3)
            predictor = (a + b) / 2;
        else if (type == 4) {
            const int p = a + b - c, pa = qAbs(p - a), pb = qAbs(p - b), pc = qAbs(p - c);
            predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        }
        out += char(uchar(x - predictor));
    }
    return out;
}

// The picture as the pixels a PNG of it holds: opaque pictures RGB32, others ARGB32.
QImage asRead(const QImage& image)
{
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    bool opaque = true;
    for (int y = 0; y < argb.height() && opaque; ++y)
        for (int x = 0; x < argb.width() && opaque; ++x)
            opaque = qAlpha(argb.pixel(x, y)) == 255;
    return opaque ? argb.convertToFormat(QImage::Format_RGB32) : argb;
}

// A picture made of samples: sample(x, y, channel) in 0 .. 2^depth - 1, rows packed at depth,
// filtered with the five filters in turn, optionally interlaced (Adam7). Gives the file and the
// picture a reader should see.
struct Built {
    QByteArray png;
    QImage expected;
};

Built build(int width, int height, int depth, int colourType,
            const std::function<int(int, int, int)>& sample, const QByteArray& before = {},
            bool interlaced = false, const std::function<QRgb(const QList<int>&)>& colour = {})
{
    const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    const int step = std::max(1, channels * depth / 8);
    QImage expected(width, height, QImage::Format_ARGB32);
    const int maximum = (1 << depth) - 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            QList<int> s;
            for (int c = 0; c < channels; ++c)
                s << sample(x, y, c);
            if (colour)
                expected.setPixel(x, y, colour(s));
            else {
                const auto v = [&](int c) { return s[c] * 255 / maximum; };
                expected.setPixel(x, y,
                                  channels == 1   ? qRgb(v(0), v(0), v(0))
                                  : channels == 2 ? qRgba(v(0), v(0), v(0), v(1))
                                  : channels == 3 ? qRgb(v(0), v(1), v(2))
                                                  : qRgba(v(0), v(1), v(2), v(3)));
            }
        }
    // Adam7 passes: start and step of columns and rows; one pass of everything otherwise.
    const QList<std::array<int, 4>> passes =
        interlaced
            ? QList<std::array<int, 4>>{{0, 8, 0, 8}, {4, 8, 0, 8}, {0, 4, 4, 8}, {2, 4, 0, 4},
                                        {0, 2, 2, 4}, {1, 2, 0, 2}, {0, 1, 1, 2}}
            : QList<std::array<int, 4>>{{0, 1, 0, 1}};
    QByteArray raw;
    int filter = 0;
    for (const auto& [x0, dx, y0, dy] : passes) {
        QByteArray above;
        for (int y = y0; y < height; y += dy) {
            QByteArray row;
            int bits = 0, pending = 0;
            for (int x = x0; x < width; x += dx)
                for (int c = 0; c < channels; ++c) {
                    const int value = sample(x, y, c);
                    if (depth == 16)
                        row += char(uchar(value >> 8));
                    pending = (pending << std::min(depth, 8)) | (value & 0xff);
                    bits += std::min(depth, 8);
                    if (bits % 8 == 0) {
                        row += char(uchar(pending));
                        pending = 0;
                    }
                }
            if (bits % 8 != 0)
                row += char(uchar(pending << (8 - bits % 8)));
            if (row.isEmpty())
                continue;
            if (above.isEmpty())
                above = QByteArray(row.size(), '\0');
            raw += filtered(row, above, step, filter++ % 5);
            above = row;
        }
    }
    return {pngOf(header(width, height, depth, colourType, interlaced), raw, before),
            asRead(expected)};
}

QString md5OfRgba(const QImage& image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    QCryptographicHash hash(QCryptographicHash::Md5);
    for (int y = 0; y < rgba.height(); ++y)
        hash.addData(QByteArrayView(rgba.constScanLine(y), rgba.width() * 4));
    return QString::fromLatin1(hash.result().toHex());
}

QImage withTransparency(QSize size, int colours)
{
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgba(40 * (x % colours), 255 - y % 7, 3, 255 - 60 * (x % 4)));
    return image;
}

QImage noise(QSize size, QImage::Format format)
{
    QImage image(size, format);
    QRandomGenerator random(4);
    for (int y = 0; y < size.height(); ++y)
        random.fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), size.width());
    return format == QImage::Format_RGB32 ? image.convertToFormat(QImage::Format_RGB32) : image;
}

int colourTypeOf(const QByteArray& png)
{
    return png.size() > 25 ? uchar(png[25]) : -1;
}

} // namespace

// The PNG writer and reader: pixel-exact round trips, other decoders agree, and files that lie
// about themselves or end early are refused.
class PngCodecTest : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void otherDecodersAgree();
    void readsEveryKindOfPng_data();
    void readsEveryKindOfPng();
    void refusesHostileFiles_data();
    void refusesHostileFiles();
    void refusesEveryTruncation_data();
    void refusesEveryTruncation();
    void survivesDamagedImageData();
    void readChecksTheFileFirst();
    void savesManyFilesAtOnce();
};

void PngCodecTest::roundTrip_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<bool>("palette");
    for (SamplePages::Kind kind : SamplePages::AllKinds) {
        const bool fewColours =
            kind == SamplePages::Kind::Empty || kind == SamplePages::Kind::Strokes;
        QTest::addRow("%s", SamplePages::nameOf(kind))
            << SamplePages::make(kind, Screen) << fewColours;
    }
    QTest::newRow("one pixel") << SamplePages::make(SamplePages::Kind::Photo, {1, 1}) << true;
    QTest::newRow("odd size") << SamplePages::make(SamplePages::Kind::Strokes, {37, 5}) << true;
    QImage exactly256(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i)
        exactly256.setPixel(i % 16, i / 16, qRgb(i, 255 - i, i / 2));
    QTest::newRow("256 colours") << exactly256 << true;
    QImage colours257 = exactly256.copy(0, 0, 17, 16);
    colours257.setPixel(16, 15, qRgb(1, 1, 1));
    QTest::newRow("257 colours") << colours257 << false;
    QTest::newRow("transparency, few colours") << withTransparency({50, 30}, 5) << true;
    QTest::newRow("transparency, noise") << noise({45, 29}, QImage::Format_ARGB32) << false;
    QTest::newRow("alpha channel, all opaque")
        << SamplePages::make(SamplePages::Kind::Photo, {60, 40})
               .convertToFormat(QImage::Format_ARGB32)
        << false;
    QTest::newRow("premultiplied")
        << withTransparency({20, 20}, 3).convertToFormat(QImage::Format_ARGB32_Premultiplied)
        << true;
    QTest::newRow("grey") << SamplePages::make(SamplePages::Kind::Photo, {30, 20})
                                 .convertToFormat(QImage::Format_Grayscale8)
                          << true;
}

void PngCodecTest::roundTrip()
{
    QFETCH(QImage, image);
    QFETCH(bool, palette);
    const QByteArray png = PngCodec::encode(image);
    QVERIFY(png.startsWith(Signature));
    QCOMPARE(colourTypeOf(png) == 3, palette);
    const QImage expected = asRead(image);

    const PngPicture ours = PngCodec::decode(png, image.size());
    QCOMPARE(ours.status, PngStatus::Read);
    QCOMPARE(ours.image.format(), expected.format());
    QCOMPARE(ours.image, expected);

    const QImage qt = ImageCodec::normalised(QImage::fromData(png, "PNG"));
    QCOMPARE(qt.format(), expected.format());
    QCOMPARE(qt, expected);
}

// pngcheck validates every file's structure; PIL decodes every file to the same pixels.
void PngCodecTest::otherDecodersAgree()
{
    QTemporaryDir dir;
    QStringList paths;
    QStringList expected;
    QList<QImage> images;
    for (SamplePages::Kind kind : SamplePages::AllKinds)
        images << SamplePages::make(kind, Screen);
    images << withTransparency({50, 30}, 5) << noise({45, 29}, QImage::Format_ARGB32);
    for (const QImage& image : images) {
        const QString path = dir.filePath(QStringLiteral("%1.png").arg(paths.size()));
        QVERIFY(PngCodec::save(image, path));
        paths << path;
        const QImage rgba = asRead(image);
        expected
            << QStringLiteral("%1 %2 %3").arg(rgba.width()).arg(rgba.height()).arg(md5OfRgba(rgba));
    }

    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pngcheck")).isEmpty(),
             "pngcheck is installed by scripts/install-dependencies.sh");
    QProcess pngcheck;
    pngcheck.start(QStringLiteral("pngcheck"), QStringList{QStringLiteral("-q")} + paths);
    QVERIFY(pngcheck.waitForFinished(60000));
    QVERIFY2(pngcheck.exitCode() == 0, pngcheck.readAllStandardOutput().constData());

    const QString script = QStringLiteral(
        "import sys, hashlib\n"
        "from PIL import Image\n"
        "for path in sys.argv[1:]:\n"
        "    image = Image.open(path)\n"
        "    image.load()\n"
        "    rgba = image.convert('RGBA')\n"
        "    print(image.size[0], image.size[1], hashlib.md5(rgba.tobytes()).hexdigest())\n");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral("-c"), script} + paths);
    QVERIFY2(python.waitForFinished(60000), "python3-pil is installed by the dependency script");
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QStringList lines =
        QString::fromLatin1(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, expected);
}

// Files other writers make: every colour type and bit depth, every filter, transparency chunks,
// 16-bit samples and interlacing; read as Qt's reader reads them (which makes the transparent
// grey of a grey picture transparent black).
void PngCodecTest::readsEveryKindOfPng_data()
{
    QTest::addColumn<QByteArray>("png");
    QTest::addColumn<QImage>("expected");
    const auto wave = [](int x, int y, int c) { return (x * 7 + y * 13 + c * 50) % 256; };
    for (int depth : {1, 2, 4, 8}) {
        const Built grey =
            build(19, 7, depth, 0, [&](int x, int y, int) { return (x + y) % (1 << depth); });
        QTest::addRow("grey, %d bits", depth) << grey.png << grey.expected;
        QByteArray palette;
        QList<QRgb> entries;
        for (int i = 0; i < (1 << depth); ++i) {
            entries << qRgb(i * 10, 200 - i * 5, 7 * i);
            palette += char(i * 10) + QByteArray(1, char(200 - i * 5)) + char(7 * i);
        }
        const Built indexed = build(
            21, 6, depth, 3, [&](int x, int y, int) { return (x * 3 + y) % (1 << depth); },
            chunk("PLTE", palette), false, [&](const QList<int>& s) { return entries[s[0]]; });
        QTest::addRow("palette, %d bits", depth) << indexed.png << indexed.expected;
    }
    const Built rgb = build(33, 9, 8, 2, wave);
    QTest::newRow("RGB") << rgb.png << rgb.expected;
    const Built rgba = build(33, 9, 8, 6, wave);
    QTest::newRow("RGBA") << rgba.png << rgba.expected;
    const Built greyAlpha = build(12, 12, 8, 4, wave);
    QTest::newRow("grey and alpha") << greyAlpha.png << greyAlpha.expected;

    const Built greyKey = build(
        10, 4, 8, 0, [](int x, int, int) { return x * 20; }, chunk("tRNS", QByteArray("\0\x28", 2)),
        false,
        [](const QList<int>& s) {
            return s[0] == 40 ? qRgba(0, 0, 0, 0) : qRgb(s[0], s[0], s[0]);
        });
    QTest::newRow("grey with a transparent value") << greyKey.png << greyKey.expected;
    const Built rgbKey = build(
        10, 4, 8, 2, [](int x, int, int c) { return c == 0 ? x * 20 : 5; },
        chunk("tRNS", QByteArray("\0\x3c\0\x05\0\x05", 6)), false,
        [](const QList<int>& s) { return qRgba(s[0], s[1], s[2], s[0] == 60 ? 0 : 255); });
    QTest::newRow("RGB with a transparent colour") << rgbKey.png << rgbKey.expected;
    const Built paletteAlpha = build(
        8, 8, 8, 3, [](int x, int, int) { return x % 3; },
        chunk("PLTE", QByteArray("\xff\0\0\0\xff\0\0\0\xff", 9)) +
            chunk("tRNS", QByteArray("\x80\0", 2)),
        false,
        [](const QList<int>& s) {
            const QRgb colours[] = {qRgba(255, 0, 0, 128), qRgba(0, 255, 0, 0), qRgb(0, 0, 255)};
            return colours[s[0]];
        });
    QTest::newRow("palette with transparency") << paletteAlpha.png << paletteAlpha.expected;

    const Built interlaced = build(23, 17, 8, 2, wave, {}, true);
    QTest::newRow("interlaced") << interlaced.png << interlaced.expected;
    const Built wide =
        build(9, 5, 16, 2, [](int x, int y, int c) { return (x + y + c) % 16 * 4369; });
    QTest::newRow("16 bits") << wide.png << wide.expected;
}

void PngCodecTest::readsEveryKindOfPng()
{
    QFETCH(QByteArray, png);
    QFETCH(QImage, expected);
    const QImage qt = ImageCodec::normalised(QImage::fromData(png, "PNG"));
    QCOMPARE(qt, expected); // the hand-made file is right
    const PngPicture ours = PngCodec::decode(png, Screen);
    QCOMPARE(ours.status, PngStatus::Read);
    QCOMPARE(ours.image.format(), expected.format());
    QCOMPARE(ours.image, expected);
}

void PngCodecTest::refusesHostileFiles_data()
{
    QTest::addColumn<QByteArray>("png");
    QTest::addColumn<PngStatus>("status");
    const QByteArray row = QByteArray(1, '\0') + QByteArray(3 * 4, '\x40');
    QByteArray rows;
    for (int y = 0; y < 3; ++y)
        rows += row;
    const QByteArray good = pngOf(header(4, 3, 8, 2), rows);
    QCOMPARE(PngCodec::decode(good, Screen).status, PngStatus::Read);
    const auto rgb = [&](quint32 w, quint32 h, int interlace = 0) {
        return pngOf(header(w, h, 8, 2, interlace), rows);
    };

    QTest::newRow("not a PNG") << QByteArray("GIF89a, a picture of another kind")
                               << PngStatus::NotPng;
    QTest::newRow("empty") << QByteArray() << PngStatus::Truncated;
    QTest::newRow("signature only") << Signature << PngStatus::Truncated;
    QTest::newRow("one pixel wider than the screen") << rgb(1025, 3) << PngStatus::TooLarge;
    QTest::newRow("one pixel higher than the screen") << rgb(4, 769) << PngStatus::TooLarge;
    QTest::newRow("2^31 - 1 wide") << rgb(0x7fffffff, 3) << PngStatus::TooLarge;
    QTest::newRow("2^31 - 1 square, interlaced")
        << rgb(0x7fffffff, 0x7fffffff, 1) << PngStatus::TooLarge;
    QTest::newRow("2^32 - 1 high") << rgb(4, 0xffffffff) << PngStatus::Corrupt;
    QTest::newRow("zero wide") << rgb(0, 3) << PngStatus::Corrupt;
    QTest::newRow("3 bits a sample") << pngOf(header(4, 3, 3, 0), rows) << PngStatus::Corrupt;
    QTest::newRow("16-bit palette") << pngOf(header(4, 3, 16, 3), rows) << PngStatus::Corrupt;
    QTest::newRow("colour type 5") << pngOf(header(4, 3, 8, 5), rows) << PngStatus::Corrupt;
    QByteArray badCrc = good;
    badCrc[8 + 8 + 13] = char(badCrc[8 + 8 + 13] ^ 1);
    QTest::newRow("header checksum wrong") << badCrc << PngStatus::Corrupt;
    QTest::newRow("first chunk not the header")
        << Signature + chunk("IDAT", zlib(rows)) + chunk("IHDR", header(4, 3, 8, 2)) +
               chunk("IEND", {})
        << PngStatus::Corrupt;
    QTest::newRow("chunk of 2^31 bytes") << Signature + chunk("IHDR", header(4, 3, 8, 2)) +
                                                be32(0x80000000u) + "IDAT" + QByteArray(8, 'x')
                                         << PngStatus::Corrupt;
    QTest::newRow("chunk longer than the file")
        << Signature + chunk("IHDR", header(4, 3, 8, 2)) + be32(0x7fffffffu) + "IDAT" +
               QByteArray(100, 'x')
        << PngStatus::Truncated;
    QTest::newRow("no end chunk") << good.left(good.size() - 12) << PngStatus::Truncated;
    QTest::newRow("no image data")
        << Signature + chunk("IHDR", header(4, 3, 8, 2)) + chunk("IEND", {}) << PngStatus::Corrupt;
    QTest::newRow("palette picture without palette")
        << pngOf(header(4, 3, 8, 3), QByteArray(15, '\0')) << PngStatus::Corrupt;
    QTest::newRow("index beyond the palette")
        << pngOf(header(4, 3, 8, 3), QByteArray(15, '\x02'), chunk("PLTE", QByteArray(6, '\x10')))
        << PngStatus::Corrupt;
    QByteArray badFilter = rows;
    badFilter[row.size()] = 5;
    QTest::newRow("filter type 5") << pngOf(header(4, 3, 8, 2), badFilter) << PngStatus::Corrupt;
    QTest::newRow("fewer rows than the height")
        << pngOf(header(4, 3, 8, 2), rows.left(2 * row.size())) << PngStatus::Corrupt;
    QTest::newRow("image data not deflated")
        << Signature + chunk("IHDR", header(4, 3, 8, 2)) + chunk("IDAT", "not a zlib stream") +
               chunk("IEND", {})
        << PngStatus::Corrupt;
    QTest::newRow("unknown critical chunk")
        << Signature + chunk("IHDR", header(4, 3, 8, 2)) + chunk("ZZZZ", "?") +
               chunk("IDAT", zlib(rows)) + chunk("IEND", {})
        << PngStatus::Corrupt;
}

void PngCodecTest::refusesHostileFiles()
{
    QFETCH(QByteArray, png);
    QFETCH(PngStatus, status);
    const PngPicture picture = PngCodec::decode(png, Screen);
    QCOMPARE(picture.status, status);
    QVERIFY(picture.image.isNull());
}

void PngCodecTest::refusesEveryTruncation_data()
{
    QTest::addColumn<QByteArray>("png");
    QTest::newRow("palette") << PngCodec::encode(
        SamplePages::make(SamplePages::Kind::Strokes, {300, 200}));
    QTest::newRow("truecolour") << PngCodec::encode(
        SamplePages::make(SamplePages::Kind::Photo, {40, 30}));
    QTest::newRow("Qt's writer") << [] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        SamplePages::make(SamplePages::Kind::Snapshot, {64, 48}).save(&buffer, "PNG");
        return png;
    }();
}

void PngCodecTest::refusesEveryTruncation()
{
    QFETCH(QByteArray, png);
    QCOMPARE(PngCodec::decode(png, Screen).status, PngStatus::Read);
    for (qsizetype size = 0; size < png.size(); ++size) {
        const PngPicture picture = PngCodec::decode(QByteArrayView(png).first(size), Screen);
        if (picture.status != PngStatus::Truncated)
            QFAIL(qPrintable(QStringLiteral("cut at %1 of %2 bytes").arg(size).arg(png.size())));
    }
}

// Damage inside the image data, with the checksum made right again, reaches the inflater and
// the filters: every result is a picture of the right size or a refusal.
void PngCodecTest::survivesDamagedImageData()
{
    const QByteArray png =
        PngCodec::encode(SamplePages::make(SamplePages::Kind::Snapshot, {120, 90}));
    const qsizetype idat = png.indexOf("IDAT");
    const qsizetype length = qFromBigEndian<quint32>(png.constData() + idat - 4);
    QRandomGenerator random(3);
    int refused = 0;
    for (int trial = 0; trial < 400; ++trial) {
        QByteArray damaged = png;
        for (int hits = 1 + random.bounded(3); hits > 0; --hits) {
            const qsizetype at = idat + 4 + random.bounded(int(length));
            damaged[at] = char(damaged[at] ^ (1 << random.bounded(8)));
        }
        const QByteArray body = damaged.mid(idat, length + 4);
        damaged.replace(idat + 4 + length, 4, be32(crc32(body)));
        const PngPicture picture = PngCodec::decode(damaged, Screen);
        if (picture.status == PngStatus::Read)
            QCOMPARE(picture.image.size(), QSize(120, 90));
        else
            ++refused;
    }
    QVERIFY(refused > 0);
}

void PngCodecTest::readChecksTheFileFirst()
{
    QTemporaryDir dir;
    QCOMPARE(PngCodec::read(dir.filePath(QStringLiteral("missing.png")), Screen).status,
             PngStatus::CannotOpen);

    const QImage page = SamplePages::make(SamplePages::Kind::Strokes, Screen);
    const QString path = dir.filePath(QStringLiteral("page.png"));
    QVERIFY(PngCodec::save(page, path));
    const PngPicture read = PngCodec::read(path, Screen);
    QCOMPARE(read.status, PngStatus::Read);
    QCOMPARE(read.image, page);
    QCOMPARE(PngCodec::read(path, Screen - QSize(1, 0)).status, PngStatus::TooLarge);

    // A file far larger than any picture within the bound is not read at all.
    const QString huge = dir.filePath(QStringLiteral("huge.png"));
    QVERIFY(QFile::copy(path, huge));
    QVERIFY(QFile::resize(huge, qint64(64) * 1024 * 1024)); // sparse: nothing is written

    QCOMPARE(PngCodec::read(huge, QSize(64, 64)).status, PngStatus::TooLarge);

    // A named pipe under a picture's name is not waited on; nor is a directory read.
    const QString pipe = dir.filePath(QStringLiteral("pipe.png"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    QCOMPARE(PngCodec::read(pipe, Screen).status, PngStatus::CannotOpen);
    QCOMPARE(PngCodec::read(dir.path(), Screen).status, PngStatus::CannotOpen);
}

void PngCodecTest::savesManyFilesAtOnce()
{
    QTemporaryDir dir;
    QList<PngFile> files;
    for (int n = 1; n <= 12; ++n) {
        const SamplePages::Kind kind = SamplePages::AllKinds[n % 5];
        files.append({dir.filePath(QStringLiteral("%1.png").arg(n)), [kind, n] {
                          return SamplePages::make(kind, {320, 240}, n);
                      }});
    }
    files[5].path = dir.filePath(QStringLiteral("no such directory/6.png"));
    const QList<bool> written = PngCodec::saveAll(files);
    QCOMPARE(written.size(), 12);
    for (int n = 1; n <= 12; ++n) {
        QCOMPARE(written[n - 1], n != 6);
        if (n == 6)
            continue;
        const PngPicture read = PngCodec::read(files[n - 1].path, {320, 240});
        QCOMPARE(read.status, PngStatus::Read);
        QCOMPARE(read.image, SamplePages::make(SamplePages::AllKinds[n % 5], {320, 240}, n));
    }
    QVERIFY(PngCodec::saveAll({}).isEmpty());
}

QTEST_GUILESS_MAIN(PngCodecTest)
#include "PngCodecTest.moc"

#include "board/store/CompactPage.h"

#include "SamplePages.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstring>

namespace {

// Compares every byte of every pixel, the top byte of RGB32 pixels included.
bool sameBytes(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) != 0)
            return false;
    return true;
}

// Random 32-bit values, top bytes included, in an RGB32 image: pixels only raw writes produce.
QImage rawNoise(QSize size, QImage::Format format)
{
    QImage image(size, format);
    QRandomGenerator random(9);
    for (int y = 0; y < size.height(); ++y)
        random.fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), size.width());
    return image;
}

// The CRC-32 the byte form ends with (the gzip polynomial, reflected).
quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// The byte form with a change made inside it and its CRC made right again: damage only the
// checks of sizes, lengths and places can catch.
QByteArray changedWithRightCrc(QByteArray bytes, qsizetype at, QByteArrayView replacement)
{
    bytes.chop(4);
    bytes.replace(at, replacement.size(), replacement.toByteArray());
    const quint32 crc = qToLittleEndian(crc32(bytes));
    return bytes.append(reinterpret_cast<const char*>(&crc), 4);
}

QByteArray le32(quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&le), 4);
}

// Where the first tile of a form is listed in the byte form of a page of size: after the 20
// bytes of the header, nine bytes a tile (form, value, length); -1 when no tile has the form.
constexpr qsizetype headerBytes = 20;
constexpr quint8 lz4Rgb = 1, pictureRgb = 5, pictureArgb = 6;
qsizetype tileCount(QSize size)
{
    return qsizetype((size.width() + 63) / 64) * ((size.height() + 63) / 64);
}
qsizetype firstTileOfForm(const QByteArray& bytes, quint8 form, QSize size)
{
    for (qsizetype at = headerBytes; at < headerBytes + tileCount(size) * 9; at += 9)
        if (quint8(bytes[at]) == form)
            return at;
    return -1;
}

// A photo with an alpha channel that changes smoothly, as a picture with soft edges has.
QImage softAlphaPhoto(QSize size, QImage::Format format)
{
    const QImage photo = SamplePages::make(SamplePages::Kind::Photo, size);
    QImage image(size, format);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const QRgb colour = photo.pixel(x, y);
            const QRgb pixel = qRgba(qRed(colour), qGreen(colour), qBlue(colour),
                                     (x + y) * 255 / (size.width() + size.height()));
            line[x] = format == QImage::Format_ARGB32_Premultiplied ? qPremultiply(pixel) : pixel;
        }
    }
    return image;
}

} // namespace

class CompactPageTest : public QObject {
    Q_OBJECT
private slots:
    void roundTripsEveryByte_data();
    void roundTripsEveryByte();
    void decodesIntoAnImageOthersShare();
    void filledPageNeedsNoImage();
    void decodesOnlyTheTilesThatDiffer_data();
    void decodesOnlyTheTilesThatDiffer();
    void picturesMoveOutOfMemory();
    void boardPagesAreSmall_data();
    void boardPagesAreSmall();
    void damagedBytesAreRefused_data();
    void damagedBytesAreRefused();
};

void CompactPageTest::roundTripsEveryByte_data()
{
    QTest::addColumn<QImage>("image");
    // A form some tile must have (0: any), so that each form is seen to round-trip.
    QTest::addColumn<quint8>("form");
    for (SamplePages::Kind kind : SamplePages::AllKinds) {
        const bool picture = kind == SamplePages::Kind::Photo ||
                             kind == SamplePages::Kind::Snapshot ||
                             kind == SamplePages::Kind::EveryPixelDifferent;
        const quint8 form = picture ? pictureRgb : kind == SamplePages::Kind::Strokes ? lz4Rgb : 0;
        QTest::addRow("%s 1024x768", SamplePages::nameOf(kind))
            << SamplePages::make(kind, QSize(1024, 768)) << form;
        // Tiles cut at the right and bottom edges.
        QTest::addRow("%s 1001x701", SamplePages::nameOf(kind))
            << SamplePages::make(kind, QSize(1001, 701), 3) << form;
    }
    QTest::newRow("one pixel") << SamplePages::make(SamplePages::Kind::Photo, QSize(1, 1))
                               << quint8(0);
    QTest::newRow("one tile and a column")
        << SamplePages::make(SamplePages::Kind::Photo, QSize(65, 3)) << pictureRgb;
    QTest::newRow("RGB32 with raw top bytes")
        << rawNoise(QSize(200, 130), QImage::Format_RGB32) << quint8(0);
    QTest::newRow("ARGB32") << rawNoise(QSize(130, 70), QImage::Format_ARGB32) << quint8(0);
    QImage oneTransparentPixel = SamplePages::make(SamplePages::Kind::Empty, QSize(128, 64))
                                     .convertToFormat(QImage::Format_ARGB32);
    oneTransparentPixel.setPixel(100, 10, 0x00808080u);
    QTest::newRow("ARGB32, one pixel transparent") << oneTransparentPixel << quint8(0);
    QTest::newRow("ARGB32 photo, soft alpha, 201x131")
        << softAlphaPhoto(QSize(201, 131), QImage::Format_ARGB32) << pictureArgb;
    QTest::newRow("premultiplied photo, soft alpha, 201x131")
        << softAlphaPhoto(QSize(201, 131), QImage::Format_ARGB32_Premultiplied) << pictureArgb;
    // One pixel's top byte not 0xff keeps all four bytes of its tile.
    QImage photoWithRawTopByte = SamplePages::make(SamplePages::Kind::Photo, QSize(130, 70));
    reinterpret_cast<quint32*>(photoWithRawTopByte.scanLine(5))[70] = 0x12345678u;
    QTest::newRow("RGB32 photo, one raw top byte") << photoWithRawTopByte << pictureArgb;
}

void CompactPageTest::roundTripsEveryByte()
{
    QFETCH(QImage, image);
    QFETCH(quint8, form);
    const CompactPage page(image);
    QCOMPARE(page.size(), image.size());
    QVERIFY(sameBytes(page.toImage(), image));
    // And through its byte form, as a backup file keeps it.
    const QByteArray bytes = page.toBytes();
    if (form != 0)
        QVERIFY(firstTileOfForm(bytes, form, image.size()) >= 0);
    const auto read = CompactPage::fromBytes(bytes, image.size());
    QVERIFY(read);
    QCOMPARE(read->format(), image.format());
    QVERIFY(sameBytes(read->toImage(), image));

    const auto raw = [&](QPoint p) {
        return reinterpret_cast<const QRgb*>(image.constScanLine(p.y()))[p.x()];
    };
    QRandomGenerator random(5);
    const QPoint corner(image.width() - 1, image.height() - 1);
    for (QPoint p : {QPoint(0, 0), corner, QPoint(corner.x(), 0), QPoint(0, corner.y())})
        QCOMPARE(page.pixel(p), raw(p));
    for (int i = 0; i < 50; ++i) {
        const QPoint p(random.bounded(image.width()), random.bounded(image.height()));
        QCOMPARE(page.pixel(p), raw(p));
    }
}

void CompactPageTest::decodesIntoAnImageOthersShare()
{
    const QSize size(300, 200);
    const CompactPage strokes(SamplePages::make(SamplePages::Kind::Strokes, size));
    const QImage photo = SamplePages::make(SamplePages::Kind::Photo, size);

    // A target of the right size is decoded into in place.
    QImage target = SamplePages::make(SamplePages::Kind::Snapshot, size);
    const uchar* pixels = target.constBits();
    strokes.decodeInto(target);
    QCOMPARE(target.constBits(), pixels);
    QVERIFY(sameBytes(target, strokes.toImage()));

    // A target that shares its pixels leaves the other image as it was.
    QImage shared = photo;
    strokes.decodeInto(shared);
    QVERIFY(sameBytes(shared, strokes.toImage()));
    QVERIFY(sameBytes(photo, SamplePages::make(SamplePages::Kind::Photo, size)));

    // A target of another size becomes the page's size.
    QImage small(10, 10, QImage::Format_RGB32);
    strokes.decodeInto(small);
    QCOMPARE(small.size(), size);
}

void CompactPageTest::filledPageNeedsNoImage()
{
    QImage expected(1920, 1080, QImage::Format_RGB32);
    expected.fill(QColor(10, 200, 30));
    const CompactPage page =
        CompactPage::filled(expected.size(), QImage::Format_RGB32, expected.pixel(0, 0));
    QVERIFY(sameBytes(page.toImage(), expected));
    QVERIFY(page.memoryBytes() < 8 * 1024);
    QVERIFY(CompactPage().isNull());
    QVERIFY(CompactPage().toImage().isNull());
}

void CompactPageTest::decodesOnlyTheTilesThatDiffer_data()
{
    QTest::addColumn<QImage>("shown");
    QTest::addColumn<QImage>("page");
    QTest::addColumn<QList<QRect>>("written");
    const QSize size(1001, 701); // the last column and row of tiles are cut
    const QImage strokes = SamplePages::make(SamplePages::Kind::Strokes, size, 1);
    const QImage photo = SamplePages::make(SamplePages::Kind::Photo, size, 2);

    QTest::newRow("the same page") << strokes << strokes << QList<QRect>();
    // One pixel in a one-colour tile, a line over two neighbouring tiles, one pixel of a picture.
    QImage written = strokes;
    written.setPixel(70, 70, 0xff123456u);
    for (int x = 60; x < 140; ++x)
        written.setPixel(x, 650, 0xff000000u);
    QTest::newRow("a page written on")
        << strokes << written << QList<QRect>{QRect(64, 64, 64, 64), QRect(0, 640, 192, 61)};
    QImage corner = photo;
    corner.setPixel(1000, 700, corner.pixel(1000, 700) ^ 0x010101u);
    QTest::newRow("one pixel of a picture, in the cut corner")
        << photo << corner << QList<QRect>{QRect(960, 640, 41, 61)};
    QImage otherBackground(size, QImage::Format_RGB32);
    otherBackground.fill(Qt::darkGreen);
    QList<QRect> everyRow;
    for (int top = 0; top < size.height(); top += 64)
        everyRow << QRect(0, top, size.width(), std::min(64, size.height() - top));
    QTest::newRow("another background") << strokes << otherBackground << everyRow;
    QTest::newRow("nothing known shown")
        << QImage() << strokes << QList<QRect>{QRect(QPoint(0, 0), size)};
}

void CompactPageTest::decodesOnlyTheTilesThatDiffer()
{
    QFETCH(QImage, shown);
    QFETCH(QImage, page);
    QFETCH(QList<QRect>, written);
    QImage target =
        shown.isNull() ? SamplePages::make(SamplePages::Kind::Photo, page.size()) : shown.copy();
    // A mark where the window differs from what it is known to show: it stays where no tile is
    // written, which tells a tile left alone from one written again.
    const QPoint mark(500, 300);
    target.setPixel(mark, 0xffabcdefu);
    const CompactPage compact(page);
    CompactPage shownCompact = shown.isNull() ? CompactPage() : CompactPage(shown);
    const QList<QRect> rects = compact.decodeChangesInto(target, shownCompact);
    QCOMPARE(rects, written);
    QVERIFY(shownCompact.isCopyOf(compact)); // what the target shows now
    const bool markWritten =
        std::any_of(rects.begin(), rects.end(), [&](const QRect& r) { return r.contains(mark); });
    QCOMPARE(target.pixel(mark), markWritten ? page.pixel(mark) : 0xffabcdefu);
    target.setPixel(mark, page.pixel(mark));
    QVERIFY(sameBytes(target, page));
}

void CompactPageTest::picturesMoveOutOfMemory()
{
    const QSize size(1920, 1080);
    const QImage photo = SamplePages::make(SamplePages::Kind::Photo, size);
    const QImage strokes = SamplePages::make(SamplePages::Kind::Strokes, size);
    QVERIFY(CompactPage(photo).isPicture());
    QVERIFY(CompactPage(SamplePages::make(SamplePages::Kind::Snapshot, size)).isPicture());
    QVERIFY(!CompactPage(strokes).isPicture());

    QTemporaryDir folder;
    const CompactPage page(photo);
    const CompactPage copy = page;
    const QByteArray bytes = page.toBytes();
    page.moveOutOfMemory(folder.path());
    // Every copy lets its bytes go, and keeps being the same page.
    QVERIFY2(copy.memoryBytes() < 16 * 1024, QByteArray::number(copy.memoryBytes()).constData());
    QVERIFY(copy.isCopyOf(page));
    QVERIFY(sameBytes(copy.toImage(), photo));
    QCOMPARE(copy.pixel(QPoint(1919, 1079)), photo.pixel(1919, 1079));
    QCOMPARE(copy.toBytes(), bytes);
    QImage target = strokes.copy();
    CompactPage shown(strokes);
    QVERIFY(!copy.decodeChangesInto(target, shown).isEmpty());
    QVERIFY(sameBytes(target, photo));
    // Compared with a page whose bytes are still in memory, tile by tile.
    QVERIFY(CompactPage(photo).decodeChangesInto(target, shown).isEmpty());
    // No file is left in the folder: it has no name.
    QVERIFY(QDir(folder.path()).isEmpty());
}

void CompactPageTest::boardPagesAreSmall_data()
{
    QTest::addColumn<SamplePages::Kind>("kind");
    QTest::addColumn<qsizetype>("atMost");
    const qsizetype full = 1920 * 1080 * 4;
    QTest::newRow("empty") << SamplePages::Kind::Empty << qsizetype(8 * 1024);
    QTest::newRow("strokes") << SamplePages::Kind::Strokes << qsizetype(64 * 1024);
    // Pictures keep their noise, which no lossless codec drops: about 6 bits a pixel of a photo.
    QTest::newRow("snapshot") << SamplePages::Kind::Snapshot << full * 17 / 100;
    QTest::newRow("photo") << SamplePages::Kind::Photo << full * 27 / 100;
    // Its colours step evenly from pixel to pixel, which prediction from a neighbour finds.
    QTest::newRow("every pixel different") << SamplePages::Kind::EveryPixelDifferent << full / 10;
}

void CompactPageTest::boardPagesAreSmall()
{
    QFETCH(SamplePages::Kind, kind);
    QFETCH(qsizetype, atMost);
    const CompactPage page(SamplePages::make(kind, QSize(1920, 1080)));
    QVERIFY2(page.memoryBytes() <= atMost, QByteArray::number(page.memoryBytes()).constData());
}

void CompactPageTest::damagedBytesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Strokes on a background: one-colour tiles and compressed ones.
    const QByteArray whole =
        CompactPage(SamplePages::make(SamplePages::Kind::Strokes, QSize(300, 200))).toBytes();
    QVERIFY(CompactPage::fromBytes(whole, QSize(300, 200)));
    // The CRC is made right the way the page makes it: only the change itself can be refused.
    QVERIFY(CompactPage::fromBytes(changedWithRightCrc(whole, 0, "ZKCP"), QSize(300, 200)));
    const QSize size(300, 200);
    const qsizetype lz4Tile = firstTileOfForm(whole, lz4Rgb, size);
    QVERIFY(lz4Tile > 0);
    const qsizetype rowsStart = headerBytes + tileCount(size) * 9;
    // A photo: every tile in the picture codec, the first one's code right after its row's length.
    const QByteArray photo =
        CompactPage(SamplePages::make(SamplePages::Kind::Photo, size)).toBytes();
    QCOMPARE(quint8(photo[headerBytes]), pictureRgb);
    const qsizetype firstCode = rowsStart + 4;

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut in the header") << whole.first(10);
    QTest::newRow("cut in the tiles") << whole.first(rowsStart - 5);
    QTest::newRow("cut in the rows") << whole.first(whole.size() / 2);
    QTest::newRow("without its CRC") << whole.first(whole.size() - 4);
    QByteArray flipped = whole;
    flipped[whole.size() - 40] = char(flipped[whole.size() - 40] ^ 0x10);
    QTest::newRow("one bit of a row changed") << flipped;
    QTest::newRow("not a page") << changedWithRightCrc(whole, 0, "ZKXX");
    QTest::newRow("larger than the screen") << changedWithRightCrc(whole, 8, le32(301));
    QTest::newRow("no pixels") << changedWithRightCrc(whole, 12, le32(0));
    QTest::newRow("a format of 16 bits")
        << changedWithRightCrc(whole, 16, le32(QImage::Format_RGB16));
    QTest::newRow("a tile of no known form") << changedWithRightCrc(whole, lz4Tile, "\x07");
    QTest::newRow("a tile beyond its row")
        << changedWithRightCrc(whole, lz4Tile + 1, le32(0x00ffff00));
    QTest::newRow("a compressed tile that gives too few pixels")
        << changedWithRightCrc(whole, lz4Tile + 5, le32(3));
    QTest::newRow("a row longer than the file")
        << changedWithRightCrc(whole, rowsStart, le32(0x7fffffff));
    QTest::newRow("bytes after the last row")
        << changedWithRightCrc(whole, whole.size() - 4, "more");
    QTest::newRow("a byte form of an older version") << changedWithRightCrc(whole, 4, le32(1));
    QTest::newRow("a picture tile cut short")
        << changedWithRightCrc(photo, headerBytes + 5, le32(100));
    QTest::newRow("a picture tile longer than its pixels")
        << changedWithRightCrc(photo, headerBytes + 5, le32(64 * 64 * 3 + 1));
    QTest::newRow("a picture tile whose code is not zstd's")
        << changedWithRightCrc(photo, firstCode, "ZKCP");
    QTest::newRow("a picture tile taken for one with alpha")
        << changedWithRightCrc(photo, headerBytes, QByteArray(1, char(pictureArgb)));
}

void CompactPageTest::damagedBytesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!CompactPage::fromBytes(bytes, QSize(300, 200)));
}

QTEST_GUILESS_MAIN(CompactPageTest)
#include "CompactPageTest.moc"

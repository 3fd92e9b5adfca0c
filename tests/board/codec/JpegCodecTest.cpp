// JPEG reading: the DCT scale chosen for a size asked for, the pixels at each scale and in each
// colour space, and refusals of hostile headers and damaged data before or instead of decoding.

#include "PictureFiles.h"

#include "board/codec/ImageCodec.h"
#include "board/codec/JpegCodec.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(PictureStatus)

namespace {

// Left half red, right half blue: colours survive JPEG well away from the edge.
QImage halves(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < size.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), size.width() / 2, qRgb(255, 0, 0));
    return image;
}

QByteArray jpegOf(const QImage& image, bool progressive = false)
{
    return PictureFiles::encoded(image, "jpeg", progressive);
}

// One colour in printers' inks, written as Adobe programs write CMYK: inverted samples and an
// Adobe marker.
QByteArray cmykJpeg(QSize size, int c, int m, int y, int k)
{
    std::vector<JSAMPLE> row;
    for (int x = 0; x < size.width(); ++x)
        row.insert(row.end(),
                   {JSAMPLE(255 - c), JSAMPLE(255 - m), JSAMPLE(255 - y), JSAMPLE(255 - k)});
    return PictureFiles::libjpegFile(size, JCS_CMYK, 4, 95, [&](int) { return row.data(); });
}

bool near(QRgb actual, QRgb expected, int tolerance = 24)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

} // namespace

class JpegCodecTest : public QObject {
    Q_OBJECT
private slots:
    void scaleCoversSizeAsked_data();
    void scaleCoversSizeAsked();
    void coloursAtEveryScale_data();
    void coloursAtEveryScale();
    void cmykComesOutRgb();
    void refusals_data();
    void refusals();
    void loadFileReadsJpegContentThroughCodec();
};

void JpegCodecTest::scaleCoversSizeAsked_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("atLeast");
    QTest::addColumn<bool>("progressive");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<QSize>("decoded");
    QTest::newRow("photo to a thumbnail")
        << QSize(4000, 3000) << QSize(100, 75) << false << 8 << QSize(500, 375);
    QTest::newRow("exactly an eighth")
        << QSize(800, 600) << QSize(100, 75) << false << 8 << QSize(100, 75);
    QTest::newRow("an eighth rounds up")
        << QSize(793, 600) << QSize(100, 75) << false << 8 << QSize(100, 75);
    QTest::newRow("just short of an eighth")
        << QSize(792, 594) << QSize(100, 75) << false << 4 << QSize(198, 149);
    QTest::newRow("height decides")
        << QSize(1600, 700) << QSize(100, 100) << false << 4 << QSize(400, 175);
    QTest::newRow("a half") << QSize(300, 200) << QSize(100, 67) << false << 2 << QSize(150, 100);
    QTest::newRow("small picture whole")
        << QSize(150, 150) << QSize(100, 100) << false << 1 << QSize(150, 150);
    QTest::newRow("nothing asked: whole")
        << QSize(640, 480) << QSize() << false << 1 << QSize(640, 480);
    QTest::newRow("progressive") << QSize(1200, 900) << QSize(100, 75) << true << 8
                                 << QSize(150, 113);
}

void JpegCodecTest::scaleCoversSizeAsked()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, atLeast);
    QFETCH(bool, progressive);
    QFETCH(int, denominator);
    QFETCH(QSize, decoded);
    QCOMPARE(JpegCodec::scaleDenominator(picture, atLeast), denominator);
    const QByteArray jpeg = jpegOf(halves(picture), progressive);
    const PictureRead header = JpegCodec::readHeader(jpeg);
    QCOMPARE(header.status, PictureStatus::Read);
    QCOMPARE(header.size, picture);
    QVERIFY(header.image.isNull());
    const PictureRead read = JpegCodec::decode(jpeg, atLeast);
    QCOMPARE(read.status, PictureStatus::Read);
    QCOMPARE(read.size, picture);
    QCOMPARE(read.image.size(), decoded);
    QCOMPARE(read.reduction, denominator);
    QCOMPARE(read.image.format(), QImage::Format_RGB32);
}

void JpegCodecTest::coloursAtEveryScale_data()
{
    QTest::addColumn<bool>("grey");
    QTest::addColumn<QSize>("atLeast");
    for (const bool grey : {false, true})
        for (const int width : {0, 200, 100, 50}) {
            const QByteArray name =
                QByteArray(grey ? "grey" : "colour") + " at " + QByteArray::number(width);
            QTest::newRow(name.constData()) << grey << QSize(width, width / 2);
        }
}

void JpegCodecTest::coloursAtEveryScale()
{
    QFETCH(bool, grey);
    QFETCH(QSize, atLeast);
    QImage picture = halves(QSize(400, 200));
    if (grey)
        picture = picture.convertToFormat(QImage::Format_Grayscale8);
    const PictureRead read = JpegCodec::decode(jpegOf(picture), atLeast);
    QCOMPARE(read.status, PictureStatus::Read);
    const QImage& image = read.image;
    QCOMPARE(image.format(), QImage::Format_RGB32);
    const int quarter = image.width() / 4;
    const QRgb left = picture.pixel(100, 100);
    const QRgb right = picture.pixel(300, 100);
    QVERIFY2(near(image.pixel(quarter, image.height() / 2), left),
             qPrintable(QColor(image.pixel(quarter, image.height() / 2)).name()));
    QVERIFY(near(image.pixel(3 * quarter, image.height() / 2), right));
    QCOMPARE(qAlpha(image.pixel(0, 0)), 255);
}

void JpegCodecTest::cmykComesOutRgb()
{
    // Orange in inks: no cyan, half magenta, full yellow.
    const QByteArray jpeg = cmykJpeg(QSize(64, 32), 0, 128, 255, 0);
    for (const QSize atLeast : {QSize(), QSize(8, 4)}) {
        const PictureRead read = JpegCodec::decode(jpeg, atLeast);
        QCOMPARE(read.status, PictureStatus::Read);
        QCOMPARE(read.image.size(), atLeast.isEmpty() ? QSize(64, 32) : QSize(8, 4));
        QVERIFY2(near(read.image.pixel(4, 2), qRgb(255, 127, 0), 6),
                 qPrintable(QColor(read.image.pixel(4, 2)).name()));
    }
}

void JpegCodecTest::refusals_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<PictureStatus>("header");   // what reading the header alone says
    QTest::addColumn<PictureStatus>("decoding"); // what decoding says
    const QByteArray photo = jpegOf(halves(QSize(320, 240)));
    const QByteArray progressive = jpegOf(halves(QSize(320, 240)), true);
    const PictureStatus read = PictureStatus::Read;

    QTest::newRow("claims 60000 x 60000") << PictureFiles::withClaimedSize(photo, 60000, 60000)
                                          << PictureStatus::TooLarge << PictureStatus::TooLarge;
    // Just beyond 2^27 pixels: small enough to allocate, so only the header check refuses it.
    QTest::newRow("claims one row beyond the limit")
        << PictureFiles::withClaimedSize(photo, 16384, 8193) << PictureStatus::TooLarge
        << PictureStatus::TooLarge;
    QTest::newRow("claims the limit, data of a small picture")
        << PictureFiles::withClaimedSize(photo, 16384, 8192) << read << PictureStatus::Corrupt;
    QTest::newRow("cut in the picture data")
        << photo.left(photo.size() / 2) << read << PictureStatus::Truncated;
    QTest::newRow("progressive cut between scans")
        << progressive.left(progressive.size() * 2 / 3) << read << PictureStatus::Truncated;
    QTest::newRow("without its end marker") << photo.chopped(2) << read << PictureStatus::Truncated;
    QTest::newRow("cut in the header")
        << photo.left(100) << PictureStatus::Truncated << PictureStatus::Truncated;
    QByteArray interrupted = photo;
    interrupted.replace(photo.size() / 2, 2, "\xff\xd9");
    QTest::newRow("end marker inside the picture data")
        << interrupted << read << PictureStatus::Corrupt;
    QTest::newRow("start of image only")
        << QByteArray("\xff\xd8\xff", 3) << PictureStatus::Truncated << PictureStatus::Truncated;
    QTest::newRow("not a jpeg") << QByteArray("GIF89a....") << PictureStatus::NotPicture
                                << PictureStatus::NotPicture;
    QTest::newRow("empty") << QByteArray("") << PictureStatus::NotPicture
                           << PictureStatus::NotPicture;
}

void JpegCodecTest::refusals()
{
    QFETCH(QByteArray, data);
    QFETCH(PictureStatus, header);
    QFETCH(PictureStatus, decoding);
    QVERIFY(!data.isNull()); // the fixture was made
    QCOMPARE(JpegCodec::readHeader(data).status, header);
    for (const QSize atLeast : {QSize(), QSize(100, 100)}) {
        const PictureRead read = JpegCodec::decode(data, atLeast);
        QCOMPARE(read.status, decoding);
        QVERIFY(read.image.isNull());
    }
}

void JpegCodecTest::loadFileReadsJpegContentThroughCodec()
{
    // Clip-art files are JPEG content named ".jt". A damaged one loads as nothing, where Qt's own
    // reader would fill the missing part with grey.
    QTemporaryDir dir;
    const QByteArray photo = jpegOf(halves(QSize(320, 240)));
    const QString whole = dir.filePath(QStringLiteral("w3.jt"));
    const QString cut = dir.filePath(QStringLiteral("w4.jt"));
    QVERIFY(PictureFiles::write(whole, photo));
    QVERIFY(PictureFiles::write(cut, photo.left(photo.size() / 2)));
    QCOMPARE(ImageCodec::loadFile(whole).size(), QSize(320, 240));
    QVERIFY(!QImage(cut).isNull());
    QVERIFY(ImageCodec::loadFile(cut).isNull());
    QCOMPARE(ImageCodec::readPicture(cut).status, PictureStatus::Truncated);
    const PictureRead thumbnail =
        ImageCodec::readPicture(whole, [](QSize) { return QSize(40, 30); });
    QCOMPARE(thumbnail.size, QSize(320, 240));
    QCOMPARE(thumbnail.image.size(), QSize(40, 30));
    QCOMPARE(thumbnail.reduction, 8);
}

QTEST_GUILESS_MAIN(JpegCodecTest)
#include "JpegCodecTest.moc"

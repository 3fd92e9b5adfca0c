// Thumbnails of picture files: where the picture lands in the square, its coverage at fractional
// edges, the file "tmp.bmt" it passes through, and failures that leave no picture.

#include "PictureFiles.h"

#include "board/codec/ImageCodec.h"
#include "board/content/PictureThumbnail.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(PictureStatus)

using namespace PictureFiles;

namespace {

// How much of pixel row (or column) i the span [from, to) covers.
double coverage(int i, double from, double to)
{
    return std::clamp(std::min(to, i + 1.0) - std::max(from, double(i)), 0.0, 1.0);
}

} // namespace

class PictureThumbnailTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_directory.isValid()); }
    void destination_data();
    void destination();
    void drawsPictureInPlace_data();
    void drawsPictureInPlace();
    void failures_data();
    void failures();

private:
    QString programDirectory() const { return m_directory.path() + QLatin1Char('/'); }
    QTemporaryDir m_directory;
};

void PictureThumbnailTest::destination_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRectF>("rectangle");
    QTest::addColumn<QSize>("needed");
    QTest::newRow("wide") << QSize(400, 100) << QRectF(0, 37.5, 100, 25) << QSize(100, 25);
    QTest::newRow("tall") << QSize(100, 400) << QRectF(37.5, 0, 25, 100) << QSize(25, 100);
    QTest::newRow("square") << QSize(300, 300) << QRectF(0, 0, 100, 100) << QSize(100, 100);
    QTest::newRow("12-megapixel photo")
        << QSize(4000, 3000) << QRectF(0, 12.5, 100, 75) << QSize(100, 75);
    // In single precision s = 100 / 3 is 33.33333206, short of a third.
    QTest::newRow("thirds") << QSize(3, 2) << QRectF(0, 16.666666030883789, 100, 66.666664123535156)
                            << QSize(100, 67);
}

void PictureThumbnailTest::destination()
{
    QFETCH(QSize, picture);
    QFETCH(QRectF, rectangle);
    QFETCH(QSize, needed);
    const QRectF actual = PictureThumbnail::destination(picture);
    QVERIFY2(std::abs(actual.x() - rectangle.x()) < 1e-9 &&
                 std::abs(actual.y() - rectangle.y()) < 1e-9 &&
                 std::abs(actual.width() - rectangle.width()) < 1e-9 &&
                 std::abs(actual.height() - rectangle.height()) < 1e-9,
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(actual.x(), 0, 'f', 8)
                            .arg(actual.y(), 0, 'f', 8)
                            .arg(actual.width(), 0, 'f', 8)
                            .arg(actual.height(), 0, 'f', 8)));
    QCOMPARE(PictureThumbnail::sizeNeeded(picture), needed);
}

void PictureThumbnailTest::drawsPictureInPlace_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("picture");
    QTest::newRow("wide png") << QByteArray("png") << QSize(400, 100);
    QTest::newRow("tall gif") << QByteArray("gif")
                              << QSize(100, 400); // tests/data: Qt writes no GIF
    QTest::newRow("square bmp") << QByteArray("bmp") << QSize(250, 250);
    QTest::newRow("12-megapixel jpeg") << QByteArray("jpeg") << QSize(4000, 3000);
    QTest::newRow("odd jpeg, reduced by 4") << QByteArray("jpeg") << QSize(700, 333);
    QTest::newRow("tiny png enlarged") << QByteArray("png") << QSize(4, 3);
}

void PictureThumbnailTest::drawsPictureInPlace()
{
    QFETCH(QByteArray, format);
    QFETCH(QSize, picture);
    const QColor colour(30, 160, 90);
    QString path = m_directory.filePath(QStringLiteral("picture.") + format);
    if (format == "gif")
        path = QStringLiteral(ZKALTO_TEST_DATA "/pictures/tall.gif");
    else
        QVERIFY(write(path, encoded(solid(picture, colour), format.constData())));

    const PictureRead made = PictureThumbnail::make(path, programDirectory());
    QCOMPARE(made.status, PictureStatus::Read);
    QCOMPARE(made.size, picture);
    const QImage& thumbnail = made.image;
    QCOMPARE(thumbnail.size(), QSize(100, 100));
    QCOMPARE(thumbnail.format(), QImage::Format_ARGB32);

    // Opaque where the picture lies, transparent black beside it, in proportion at its edges.
    const QRectF place = PictureThumbnail::destination(picture);
    for (int i = 0; i < 100; ++i) {
        const QRgb down = thumbnail.pixel(50, i);
        const QRgb across = thumbnail.pixel(i, 50);
        const int downAlpha = qRound(255 * coverage(i, place.top(), place.bottom()));
        const int acrossAlpha = qRound(255 * coverage(i, place.left(), place.right()));
        QVERIFY2(std::abs(qAlpha(down) - downAlpha) <= 2, qPrintable(QString::number(i)));
        QVERIFY2(std::abs(qAlpha(across) - acrossAlpha) <= 2, qPrintable(QString::number(i)));
        if (qAlpha(down) == 0)
            QCOMPARE(down, 0u);
        if (qAlpha(down) == 255)
            QVERIFY2(std::abs(qGreen(down) - colour.green()) <= 6, qPrintable(QString::number(i)));
    }
    // It came back from "tmp.bmt" in the program directory.
    QCOMPARE(ImageCodec::loadFile(programDirectory() + QStringLiteral("tmp.bmt"))
                 .convertToFormat(QImage::Format_ARGB32),
             thumbnail);
}

void PictureThumbnailTest::failures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<PictureStatus>("status");
    const QByteArray jpeg = encoded(solid(QSize(640, 480), Qt::red), "jpeg");
    QTest::newRow("missing") << "gone.png" << QByteArray() << PictureStatus::CannotOpen;
    QTest::newRow("truncated jpeg")
        << "cut.jpg" << jpeg.left(jpeg.size() / 2) << PictureStatus::Truncated;
    QTest::newRow("jpeg claiming 60000 x 60000")
        << "bomb.jpg" << withClaimedSize(jpeg, 60000, 60000) << PictureStatus::TooLarge;
    QTest::newRow("gif claiming 60000 x 60000")
        << "bomb.gif" << gifHeader(60000, 60000) << PictureStatus::TooLarge;
    // Qt's reader gives no size for it and reads nothing.
    QTest::newRow("bmp claiming 30000 x 30000")
        << "bomb.bmp" << bmpHeader(30000, 30000) << PictureStatus::Corrupt;
    QTest::newRow("text named .png")
        << "note.png" << QByteArray("not a picture") << PictureStatus::NotPicture;
    QTest::newRow("bmp without its pixels")
        << "short.bmp" << bmpHeader(64, 64) << PictureStatus::Corrupt;
}

void PictureThumbnailTest::failures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(PictureStatus, status);
    const QString path = m_directory.filePath(name);
    if (!content.isNull())
        QVERIFY(write(path, content));
    const PictureRead made = PictureThumbnail::make(path, programDirectory());
    QCOMPARE(made.status, status);
    QVERIFY(made.image.isNull());
}

QTEST_GUILESS_MAIN(PictureThumbnailTest)
#include "PictureThumbnailTest.moc"

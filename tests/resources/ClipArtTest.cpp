#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTest>

// The clip-art of the palette's physics and chemistry sets: each picture is a JPEG file under its
// exact name in db/pic/ beside the program, a drawing in dark strokes on white paper at a size
// that suits the board, and its 50 x 50 preview compiled into the program shows the same drawing
// centred and fitted.
class ClipArtTest : public QObject {
    Q_OBJECT

private slots:
    void pictureAndPreview_data();
    void pictureAndPreview();
};

namespace {

const QString ProgramDir = QStringLiteral(ZKALTO_PROGRAM_DIR);

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 96;
}

// JPEG leaves faint noise beside strokes; paper is what is nearly white.
bool isPaper(QRgb pixel, int level)
{
    return qRed(pixel) >= level && qGreen(pixel) >= level && qBlue(pixel) >= level;
}

QRect drawingBounds(const QImage& image, int paperLevel)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!isPaper(image.pixel(x, y), paperLevel))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

qsizetype inkPixels(const QImage& image)
{
    qsizetype count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += isInk(image.pixel(x, y)) ? 1 : 0;
    return count;
}

} // namespace

void ClipArtTest::pictureAndPreview_data()
{
    QTest::addColumn<QString>("name");

    for (int i = 0; i <= 20; ++i)
        QTest::newRow(qPrintable(QStringLiteral("physics w%1").arg(i)))
            << QStringLiteral("w%1").arg(i);
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14, 15, 18})
        QTest::newRow(qPrintable(QStringLiteral("chemistry h%1").arg(i)))
            << QStringLiteral("h%1").arg(i);
}

void ClipArtTest::pictureAndPreview()
{
    QFETCH(QString, name);

    const QString path = QDir(ProgramDir).filePath(QStringLiteral("db/pic/%1.jt").arg(name));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xFF\xD8\xFF"));
    QVERIFY(bytes.endsWith("\xFF\xD9"));

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage picture = reader.read().convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!picture.isNull(), qPrintable(reader.errorString()));

    // Placed unscaled: seen from the back of a room, and leaving room on a 1024 x 768 board.
    const int longer = qMax(picture.width(), picture.height());
    QVERIFY2(longer >= 200 && longer <= 320, qPrintable(QString::number(longer)));
    const QRect whole = picture.rect();
    for (const QPoint corner :
         {whole.topLeft(), whole.topRight(), whole.bottomLeft(), whole.bottomRight()})
        QVERIFY(isPaper(picture.pixel(corner), 240));
    QVERIFY2(inkPixels(picture) >= picture.width() * picture.height() / 100,
             "a drawing in dark strokes");

    const QImage preview =
        QImage(QStringLiteral(":/clipart/%1.png").arg(name)).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(preview.size(), QSize(50, 50));
    QVERIFY(inkPixels(preview) >= 25);
    const QRect drawn = drawingBounds(preview, 248);
    QVERIFY2(qAbs(drawn.left() - (49 - drawn.right())) <= 1, "centred across");
    QVERIFY2(qAbs(drawn.top() - (49 - drawn.bottom())) <= 1, "centred down");
    QVERIFY2(qMax(drawn.width(), drawn.height()) >= 44, "fitted");
    // Same proportions as the picture's drawing, to a pixel or two of rounding and stroke growth.
    const QRect inked = drawingBounds(picture, 200);
    const double scale =
        double(qMax(drawn.width(), drawn.height())) / qMax(inked.width(), inked.height());
    QVERIFY2(qAbs(drawn.width() - inked.width() * scale) <= 2.5 &&
                 qAbs(drawn.height() - inked.height() * scale) <= 2.5,
             "the preview shows the same drawing");
}

QTEST_MAIN(ClipArtTest)
#include "ClipArtTest.moc"

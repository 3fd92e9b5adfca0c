#include "board/pixels/RasterCopy.h"

#include <QtTest>

namespace {

const QRgb untouched = qRgb(1, 2, 3);

// A source whose every pixel tells where it came from.
QImage numbered(QSize size, QImage::Format format)
{
    QImage image(size, format);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(10 + x, 100 + y, 200));
    return image;
}

// What a copy clipped like a blit leaves in a target of targetSize: each target pixel takes the
// source pixel at the same offset from the corners, where that pixel lies in both the source
// rectangle and the source.
QImage expectedCopy(const QImage& source, const QRect& sourceRect, QSize targetSize,
                    QPoint targetTopLeft)
{
    QImage expected(targetSize, QImage::Format_RGB32);
    expected.fill(untouched);
    for (int y = 0; y < targetSize.height(); ++y) {
        for (int x = 0; x < targetSize.width(); ++x) {
            const QPoint from = QPoint(x, y) - targetTopLeft + sourceRect.topLeft();
            if (sourceRect.contains(from) && source.rect().contains(from))
                expected.setPixel(x, y, source.pixel(from));
        }
    }
    return expected;
}

} // namespace

class RasterCopyTest : public QObject {
    Q_OBJECT
private slots:
    void copyClipsToBothImages_data();
    void copyClipsToBothImages();
    void fillClipsToTheImage_data();
    void fillClipsToTheImage();
    void stretchTakesThePixelUnderEachCentre_data();
    void stretchTakesThePixelUnderEachCentre();
    void copyChangesCopiesAndReportsOnlyChangedBlocks_data();
    void copyChangesCopiesAndReportsOnlyChangedBlocks();
};

void RasterCopyTest::copyClipsToBothImages_data()
{
    QTest::addColumn<QRect>("sourceRect");
    QTest::addColumn<QPoint>("targetTopLeft");
    QTest::addColumn<int>("sourceFormat");
    const int rgb = QImage::Format_RGB32;
    // The source is 10 x 10, the target 8 x 6.
    QTest::newRow("inside both") << QRect(2, 3, 4, 2) << QPoint(1, 1) << rgb;
    QTest::newRow("whole source onto the corner") << QRect(0, 0, 10, 10) << QPoint(0, 0) << rgb;
    QTest::newRow("source rectangle left of and above the source")
        << QRect(-3, -2, 6, 5) << QPoint(0, 0) << rgb;
    QTest::newRow("source rectangle past the source's far edges")
        << QRect(7, 8, 6, 6) << QPoint(2, 2) << rgb;
    QTest::newRow("target corner left of and above the target")
        << QRect(0, 0, 5, 5) << QPoint(-2, -3) << rgb;
    QTest::newRow("past the target's far edges") << QRect(0, 0, 6, 6) << QPoint(5, 4) << rgb;
    QTest::newRow("clipped on every side at once")
        << QRect(-5, -5, 20, 20) << QPoint(-1, -1) << rgb;
    QTest::newRow("entirely off the source") << QRect(20, 20, 4, 4) << QPoint(0, 0) << rgb;
    QTest::newRow("entirely off the target") << QRect(0, 0, 4, 4) << QPoint(8, 0) << rgb;
    QTest::newRow("empty rectangle") << QRect(2, 2, 0, 3) << QPoint(0, 0) << rgb;
    QTest::newRow("another format, clipped")
        << QRect(-2, 1, 8, 8) << QPoint(3, -1) << int(QImage::Format_ARGB32);
}

void RasterCopyTest::copyClipsToBothImages()
{
    QFETCH(QRect, sourceRect);
    QFETCH(QPoint, targetTopLeft);
    QFETCH(int, sourceFormat);
    const QImage source = numbered(QSize(10, 10), QImage::Format(sourceFormat));
    QImage target(8, 6, QImage::Format_RGB32);
    target.fill(untouched);
    RasterCopy::copy(source, sourceRect, target, targetTopLeft);
    QCOMPARE(target, expectedCopy(source.convertToFormat(QImage::Format_RGB32), sourceRect,
                                  target.size(), targetTopLeft));
}

void RasterCopyTest::fillClipsToTheImage_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::newRow("inside") << QRect(1, 1, 3, 2);
    QTest::newRow("over the corner") << QRect(-2, -2, 4, 4);
    QTest::newRow("past the far edges") << QRect(6, 4, 10, 10);
    QTest::newRow("outside") << QRect(9, 0, 3, 3);
    QTest::newRow("empty") << QRect(2, 2, 0, 0);
}

void RasterCopyTest::fillClipsToTheImage()
{
    QFETCH(QRect, rect);
    QImage target(8, 6, QImage::Format_RGB32);
    target.fill(untouched);
    RasterCopy::fill(target, rect, Qt::red);
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x)
            QCOMPARE(target.pixel(x, y), rect.contains(x, y) ? qRgb(255, 0, 0) : untouched);
}

void RasterCopyTest::stretchTakesThePixelUnderEachCentre_data()
{
    // The source is 10 x 10 and numbered; the target 8 x 6. Expected: for each target column and
    // row, the source column and row it shows, -1 where the target is left alone.
    QTest::addColumn<QRect>("sourceRect");
    QTest::addColumn<QRect>("targetRect");
    QTest::addColumn<QList<int>>("columns");
    QTest::addColumn<QList<int>>("rows");
    using L = QList<int>;
    QTest::newRow("halving: every second pixel")
        << QRect(0, 0, 8, 6) << QRect(0, 0, 4, 3) << L{1, 3, 5, 7, -1, -1, -1, -1}
        << L{1, 3, 5, -1, -1, -1};
    QTest::newRow("doubling: each pixel twice") << QRect(2, 3, 4, 3) << QRect(0, 0, 8, 6)
                                                << L{2, 2, 3, 3, 4, 4, 5, 5} << L{3, 3, 4, 4, 5, 5};
    QTest::newRow("three onto two") << QRect(0, 0, 3, 3) << QRect(1, 1, 2, 2)
                                    << L{-1, 0, 2, -1, -1, -1, -1, -1} << L{-1, 0, 2, -1, -1, -1};
    QTest::newRow("equal sizes copy") << QRect(4, 4, 3, 2) << QRect(5, 4, 3, 2)
                                      << L{-1, -1, -1, -1, -1, 4, 5, 6} << L{-1, -1, -1, -1, 4, 5};
    QTest::newRow("clipped by the target: the rest keeps its samples")
        << QRect(0, 0, 8, 8) << QRect(-4, 2, 16, 16) << L{2, 2, 3, 3, 4, 4, 5, 5}
        << L{-1, -1, 0, 0, 1, 1};
}

void RasterCopyTest::stretchTakesThePixelUnderEachCentre()
{
    QFETCH(QRect, sourceRect);
    QFETCH(QRect, targetRect);
    QFETCH(QList<int>, columns);
    QFETCH(QList<int>, rows);
    const QImage source = numbered(QSize(10, 10), QImage::Format_RGB32);
    QImage target(8, 6, QImage::Format_RGB32);
    target.fill(untouched);
    RasterCopy::stretch(source, sourceRect, target, targetRect);
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            const bool drawn = columns[x] >= 0 && rows[y] >= 0;
            QCOMPARE(target.pixel(x, y), drawn ? source.pixel(columns[x], rows[y]) : untouched);
        }
    }
}

void RasterCopyTest::copyChangesCopiesAndReportsOnlyChangedBlocks_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<QPoint>>("changedPixels");
    QTest::addColumn<QList<QRect>>("reported");

    const QSize page(200, 150); // blocks of 64 x 64; the last column and row are narrower
    QTest::newRow("nothing changed") << page << QList<QPoint>{} << QList<QRect>{};
    QTest::newRow("one pixel inside a block")
        << page << QList<QPoint>{{70, 70}} << QList<QRect>{{64, 64, 64, 64}};
    QTest::newRow("the last pixel, in the narrow corner block")
        << page << QList<QPoint>{{199, 149}} << QList<QRect>{{192, 128, 8, 22}};
    QTest::newRow("neighbouring blocks in a row make one rectangle")
        << page << QList<QPoint>{{0, 0}, {130, 5}, {199, 63}}
        << QList<QRect>{{0, 0, 64, 64}, {128, 0, 72, 64}};
    QTest::newRow("blocks in different rows stay apart")
        << page << QList<QPoint>{{10, 10}, {10, 100}}
        << QList<QRect>{{0, 0, 64, 64}, {0, 64, 64, 64}};
    QTest::newRow("an image smaller than a block")
        << QSize(5, 3) << QList<QPoint>{{4, 2}} << QList<QRect>{{0, 0, 5, 3}};
}

void RasterCopyTest::copyChangesCopiesAndReportsOnlyChangedBlocks()
{
    QFETCH(QSize, size);
    QFETCH(QList<QPoint>, changedPixels);
    QFETCH(QList<QRect>, reported);

    QImage target = numbered(size, QImage::Format_RGB32);
    QImage source = target.copy();
    for (const QPoint& point : changedPixels)
        source.setPixel(point, qRgb(255, 0, 0));

    QCOMPARE(RasterCopy::copyChanges(source, target), reported);
    QCOMPARE(target, source);
}

QTEST_GUILESS_MAIN(RasterCopyTest)
#include "RasterCopyTest.moc"

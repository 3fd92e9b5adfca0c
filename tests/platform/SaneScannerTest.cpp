// SaneScanner on the real SANE library with its test backend, configured in a directory of the
// test's own: the device list, pages of every frame layout the backend can make, and a library
// that cannot be loaded.

#include "SaneTestBackend.h"

#include "platform/real/SaneScanner.h"

#include <QtTest>

class SaneScannerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listsOnlyTheTestDevice();
    void deliversPagesAt150Dpi_data();
    void deliversPagesAt150Dpi();
    void noDeviceWithoutBackends();
    void libraryThatCannotBeLoaded_data();
    void libraryThatCannotBeLoaded();

private:
    // The pages one acquisition from the test device delivers.
    QList<QImage> scan(SaneScanner& scanner);

    std::unique_ptr<SaneTestBackend> m_backend;
};

void SaneScannerTest::initTestCase()
{
    m_backend = std::make_unique<SaneTestBackend>();
}

QList<QImage> SaneScannerTest::scan(SaneScanner& scanner)
{
    QList<QImage> pages;
    if (!scanner.load() || !scanner.acquire(QStringLiteral("test:0"), 150,
                                            [&pages](const QImage& page) { pages.append(page); }))
        return {};
    return pages;
}

void SaneScannerTest::listsOnlyTheTestDevice()
{
    QVERIFY(m_backend->configure(true));
    SaneScanner scanner;
    QVERIFY(scanner.sources().isEmpty());
    QVERIFY(scanner.load());
    const QList<ScanSource> sources = scanner.sources();
    QCOMPARE(sources.size(), 1);
    QCOMPARE(sources.first().device, QStringLiteral("test:0"));
    QCOMPARE(sources.first().model, QStringLiteral("frontend-tester"));
    // Loading again reloads the manager.
    QVERIFY(scanner.load());
    QCOMPARE(scanner.sources().size(), 1);
    scanner.unload();
    QVERIFY(scanner.sources().isEmpty());
}

void SaneScannerTest::deliversPagesAt150Dpi_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<QSize>("size"); // a height of -1 is not checked
    const QByteArray colours = "test-picture \"Color pattern\"\n";
    // The default area is 80 x 100 mm: 472 x 590 pixels at 150 dpi.
    QTest::newRow("one RGB frame") << colours << QByteArray() << QSize(472, 590);
    QTest::newRow("one frame per colour")
        << colours << QByteArray("three-pass true\n") << QSize(472, 590);
    // The backend draws its colour pattern differently at 16 bits; its grid is the same.
    QTest::newRow("16 bits a sample")
        << QByteArray("test-picture Grid\n") << QByteArray("depth 16\n") << QSize(472, 590);
    QTest::newRow("lines longer than their pixels")
        << colours << QByteArray("ppl-loss 7\n") << QSize(465, 590);
    // A hand scanner is 11 cm wide and knows its height only at the end.
    QTest::newRow("height unknown in advance")
        << colours << QByteArray("hand-scanner true\n") << QSize(649, -1);
}

void SaneScannerTest::deliversPagesAt150Dpi()
{
    QFETCH(QByteArray, picture);
    QFETCH(QByteArray, options);
    QFETCH(QSize, size);
    SaneScanner scanner;
    QVERIFY(m_backend->configure(true, picture));
    const QList<QImage> reference = scan(scanner);
    QCOMPARE(reference.size(), 1);
    QVERIFY(m_backend->configure(true, picture + options));
    const QList<QImage> pages = scan(scanner);
    QCOMPARE(pages.size(), 1);
    const QImage& page = pages.first();
    QCOMPARE(page.width(), size.width());
    if (size.height() >= 0)
        QCOMPARE(page.height(), size.height());
    QCOMPARE(page.dotsPerMeterX(), 5906);
    QCOMPARE(page.dotsPerMeterY(), 5906);
    // The mode is colour: the pattern has pixels that are not grey.
    bool coloured = false;
    for (int y = 0; y < page.height() && !coloured; y += 7) {
        for (int x = 0; x < page.width() && !coloured; ++x) {
            const QRgb pixel = page.pixel(x, y);
            coloured = qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel);
        }
    }
    QCOMPARE(coloured, picture.contains("Color"));
    // Every layout gives the pixels of the plain one.
    const QRect common = page.rect().intersected(reference.first().rect());
    QCOMPARE(page.copy(common), reference.first().copy(common));
}

void SaneScannerTest::noDeviceWithoutBackends()
{
    QVERIFY(m_backend->configure(false));
    SaneScanner scanner;
    QVERIFY(scanner.load());
    QVERIFY(scanner.sources().isEmpty());
}

void SaneScannerTest::libraryThatCannotBeLoaded_data()
{
    QTest::addColumn<QString>("library");
    QTest::newRow("no such library") << QStringLiteral("zkalto-no-such-library");
    QTest::newRow("a library without SANE in it") << QStringLiteral("z");
}

void SaneScannerTest::libraryThatCannotBeLoaded()
{
    QFETCH(QString, library);
    QVERIFY(m_backend->configure(true));
    SaneScanner scanner(library, 1);
    QVERIFY(!scanner.load());
    QVERIFY(scanner.sources().isEmpty());
    QVERIFY(!scanner.acquire(QStringLiteral("test:0"), 150, [](const QImage&) {}));
}

QTEST_GUILESS_MAIN(SaneScannerTest)
#include "SaneScannerTest.moc"

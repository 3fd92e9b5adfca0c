#include "board/tools/CursorFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

// Cursor files: the files delivered beside the program load with their hot spot on the drawn
// shape, anything damaged loads as nothing, and the cursor slots fall back to the arrow.
class CursorFileTest : public QObject {
    Q_OBJECT

private slots:
    void deliveredCursorLoads_data();
    void deliveredCursorLoads();
    void damagedFileGivesNothing_data();
    void damagedFileGivesNothing();
    void missingFileGivesNothing();
    void maskMakesTransparentWithoutAlpha();
    void slotLoadsByBareNameFromCurrentDirectory();
    void slotWithoutCursorShowsArrow_data();
    void slotWithoutCursorShowsArrow();
};

namespace {

const QString ProgramDir = QStringLiteral(ZKALTO_PROGRAM_DIR);

QByteArray delivered(const QString& name)
{
    QFile file(QDir(ProgramDir).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Offsets in a file with one directory entry and the picture right after it.
constexpr int EntryWidth = 6;
constexpr int HotSpotX = 10;
constexpr int ImageSize = 14;
constexpr int ImageOffset = 18;
constexpr int Info = 22;
constexpr int InfoHeight = Info + 8;
constexpr int InfoBitCount = Info + 14;

QByteArray patched16(QByteArray bytes, int at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

QByteArray patched32(QByteArray bytes, int at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

// A restoring guard for the process's current directory.
class CurrentDir {
public:
    explicit CurrentDir(const QString& path) : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(path);
    }
    ~CurrentDir() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

} // namespace

void CursorFileTest::deliveredCursorLoads_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QPoint>("hotSpot");

    QTest::newRow("pen: pencil tip") << "Text_Hnd.cut" << QPoint(1, 30);
    QTest::newRow("line: cross centre") << "Sonic cross2.cut" << QPoint(11, 11);
    QTest::newRow("rectangle: cross centre") << "Sonic cross3.cut" << QPoint(11, 11);
    QTest::newRow("ellipse: cross centre") << "prcs_mox1.cut" << QPoint(11, 11);
    QTest::newRow("eraser: block corner") << "Altr_Fsh.cut" << QPoint(1, 1);
    QTest::newRow("range: cross centre") << "prcs_mox2.cut" << QPoint(11, 11);
}

void CursorFileTest::deliveredCursorLoads()
{
    QFETCH(QString, fileName);
    QFETCH(QPoint, hotSpot);

    const std::optional<QCursor> cursor = CursorFile::load(QDir(ProgramDir).filePath(fileName));
    QVERIFY(cursor);
    QCOMPARE(cursor->shape(), Qt::BitmapCursor);
    QCOMPARE(cursor->hotSpot(), hotSpot);
    QCOMPARE(cursor->pixmap().size(), QSize(32, 32));

    const QByteArray bytes = delivered(fileName);
    const std::optional<CursorFile::Picture> picture = CursorFile::decode(bytes);
    QVERIFY(picture);
    QCOMPARE(picture->hotSpot, hotSpot);
    // The hot spot is on the black shape, and the shape has its white outline.
    QCOMPARE(picture->image.pixel(hotSpot), qRgb(0, 0, 0));
    int black = 0, white = 0, clear = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb p = picture->image.pixel(x, y);
            black += p == qRgb(0, 0, 0) ? 1 : 0;
            white += p == qRgb(255, 255, 255) ? 1 : 0;
            clear += qAlpha(p) == 0 ? 1 : 0;
        }
    }
    QVERIFY(black > 20);
    QVERIFY(white > black / 2);
    QVERIFY(clear > 32 * 32 / 2);

    // The file is a real .cur: Qt's own reader sees the same picture.
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "cur");
    const QImage qtImage = reader.read();
    QVERIFY2(!qtImage.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(qtImage.convertToFormat(QImage::Format_ARGB32), picture->image);
}

void CursorFileTest::damagedFileGivesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray good = delivered("Text_Hnd.cut");
    QVERIFY(CursorFile::decode(good));

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated directory") << good.left(12);
    QTest::newRow("truncated before the picture") << good.left(Info + 20);
    QTest::newRow("truncated in the mask") << good.left(good.size() - 1);
    QTest::newRow("icon, not cursor") << patched16(good, 2, 1);
    QTest::newRow("no entries") << patched16(good, 4, 0);
    QTest::newRow("offset past the end") << patched32(good, ImageOffset, quint32(good.size()));
    QTest::newRow("offset near 4 GB") << patched32(good, ImageOffset, 0xFFFFFFF0u);
    QTest::newRow("offset inside the directory") << patched32(good, ImageOffset, 4);
    QTest::newRow("offset shifted by one") << patched32(good, ImageOffset, Info + 1);
    QTest::newRow("size past the end") << patched32(good, ImageSize, quint32(good.size()));
    QTest::newRow("size near 4 GB") << patched32(good, ImageSize, 0xFFFFFFFFu);
    QTest::newRow("hot spot outside") << patched16(good, HotSpotX, 32);
    QTest::newRow("width differs from entry") << [&] {
        QByteArray bytes = good;
        bytes[EntryWidth] = char(16);
        return bytes;
    }();
    QTest::newRow("odd bitmap height") << patched32(good, InfoHeight, 63);
    QTest::newRow("top-down bitmap") << patched32(good, InfoHeight, quint32(-64));
    QTest::newRow("huge bitmap") << patched32(patched32(good, Info + 4, 0x40000000u), InfoHeight,
                                              0x80000000u);
    QTest::newRow("8 bits per pixel") << patched16(good, InfoBitCount, 8);
    QTest::newRow("compressed") << patched32(good, Info + 16, 1);
    QTest::newRow("header larger than the picture") << patched32(good, Info, 0x10000u);
}

void CursorFileTest::damagedFileGivesNothing()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!CursorFile::decode(bytes));

    QTemporaryDir dir;
    QFile file(dir.filePath("damaged.cut"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QVERIFY(!CursorFile::load(file.fileName()));
}

void CursorFileTest::missingFileGivesNothing()
{
    QTemporaryDir dir;
    QVERIFY(!CursorFile::load(dir.filePath("Text_Hnd.cut")));
}

void CursorFileTest::maskMakesTransparentWithoutAlpha()
{
    // A writer without alpha leaves every alpha byte zero; the AND mask then decides.
    QByteArray bytes = delivered("Altr_Fsh.cut");
    const std::optional<CursorFile::Picture> original = CursorFile::decode(bytes);
    QVERIFY(original);
    const int colour = Info + 40;
    for (int i = colour + 3; i < colour + 32 * 32 * 4; i += 4)
        bytes[i] = 0;
    const std::optional<CursorFile::Picture> decoded = CursorFile::decode(bytes);
    QVERIFY(decoded);
    QCOMPARE(decoded->image, original->image);
}

void CursorFileTest::slotLoadsByBareNameFromCurrentDirectory()
{
    const CurrentDir inProgramDir(ProgramDir);
    CursorSlots cursorSlots;
    cursorSlots.loadFromFile(3, "Altr_Fsh.cut");
    QCOMPARE(cursorSlots.cursor(3).shape(), Qt::BitmapCursor);
    QCOMPARE(cursorSlots.cursor(3).hotSpot(), QPoint(1, 1));
    QCOMPARE(cursorSlots.cursor(4).shape(), Qt::ArrowCursor);
}

void CursorFileTest::slotWithoutCursorShowsArrow_data()
{
    QTest::addColumn<QStringList>("loads");

    QTest::newRow("never loaded") << QStringList();
    QTest::newRow("missing file") << QStringList{"nosuch.cut"};
    QTest::newRow("missing file after a good one") << QStringList{"Text_Hnd.cut", "nosuch.cut"};
    QTest::newRow("not a cursor file") << QStringList{"."};
}

void CursorFileTest::slotWithoutCursorShowsArrow()
{
    QFETCH(QStringList, loads);

    const CurrentDir inProgramDir(ProgramDir);
    CursorSlots cursorSlots;
    for (const QString& fileName : loads)
        cursorSlots.loadFromFile(1, fileName);
    QCOMPARE(cursorSlots.cursor(1).shape(), Qt::ArrowCursor);
}

QTEST_MAIN(CursorFileTest)
#include "CursorFileTest.moc"

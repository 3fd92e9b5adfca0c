// The picture column: which list entry a click at a height names, rows kept from an earlier fill
// and the height and tag the palette sets.

#include "board/content/PictureColumn.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QImage thumbnailOf(QColor colour)
{
    QImage image(PictureColumn::thumbnailSize, PictureColumn::thumbnailSize, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// A column holding a, b, c in rows 0 to 2.
void fillThree(PictureColumn& column)
{
    column.appendPicture(QStringLiteral("/p/a.png"), thumbnailOf(Qt::red));
    column.appendPicture(QStringLiteral("/p/b.png"), QImage()); // a file that could not be read
    column.appendPicture(QStringLiteral("/p/c.png"), thumbnailOf(Qt::blue));
}

} // namespace

class PictureColumnTest : public QObject {
    Q_OBJECT
private slots:
    void entryAtHeight_data();
    void entryAtHeight();
    void rowsAndEntriesStayTogether();
    void refillKeepsLaterRows();
    void heightAndTag();
};

void PictureColumnTest::entryAtHeight_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("entry"); // empty: no entry
    QTest::newRow("above the column") << -1 << QString();
    QTest::newRow("top of the first") << 0 << QStringLiteral("/p/a.png");
    QTest::newRow("gap below the first") << 104 << QStringLiteral("/p/a.png");
    QTest::newRow("top of the second") << 105 << QStringLiteral("/p/b.png");
    QTest::newRow("last row of the last") << 314 << QStringLiteral("/p/c.png");
    QTest::newRow("below the last") << 315 << QString();
    QTest::newRow("far below") << 105000 << QString();
}

void PictureColumnTest::entryAtHeight()
{
    QFETCH(int, y);
    QFETCH(QString, entry);
    PictureColumn column;
    fillThree(column);
    const std::optional<QString> found = column.entryAt(y);
    QCOMPARE(found.has_value(), !entry.isEmpty());
    if (found)
        QCOMPARE(*found, entry);
}

void PictureColumnTest::rowsAndEntriesStayTogether()
{
    PictureColumn column;
    QSignalSpy rows(&column, &PictureColumn::rowsChanged);
    fillThree(column);
    QCOMPARE(column.rowCount(), 3);
    QCOMPARE(column.pictureCount(), 3);
    QCOMPARE(column.thumbnail(0).pixel(50, 50), QColor(Qt::red).rgb());
    QCOMPARE(column.thumbnail(0).format(), QImage::Format_ARGB32);
    QVERIFY(column.thumbnail(1).isNull());
    QCOMPARE(column.thumbnail(2).pixel(0, 99), QColor(Qt::blue).rgb());
    QVERIFY(column.thumbnail(3).isNull());
    QCOMPARE(rows.count(), 3);
    QCOMPARE(rows.at(2), (QList<QVariant>{2, 2}));

    // The palette reopened: the count starts again, but the next picture still goes after the
    // last entry, where the column shows it.
    column.resetPictureCount();
    QCOMPARE(column.appendPicture(QStringLiteral("/p/d.png"), thumbnailOf(Qt::green)), 3);
    QCOMPARE(column.pictureCount(), 4);
    QCOMPARE(column.entryAt(3 * 105 + 50), QStringLiteral("/p/d.png"));
    QCOMPARE(column.thumbnail(3).pixel(0, 0), QColor(Qt::green).rgb());
}

void PictureColumnTest::refillKeepsLaterRows()
{
    PictureColumn column;
    fillThree(column);
    column.clearPictureList();
    QVERIFY(column.pictureList().isEmpty());
    QCOMPARE(column.entryAt(0), std::nullopt);

    // A refill with one picture overwrites row 0; rows 1 and 2 stay for the height to hide.
    QCOMPARE(column.appendPicture(QStringLiteral("/q/x.png"), thumbnailOf(Qt::yellow)), 0);
    QCOMPARE(column.pictureList(), QStringList{QStringLiteral("/q/x.png")});
    QCOMPARE(column.thumbnail(0).pixel(0, 0), QColor(Qt::yellow).rgb());
    QCOMPARE(column.rowCount(), 3);
    QCOMPARE(column.thumbnail(2).pixel(0, 0), QColor(Qt::blue).rgb());
    QCOMPARE(column.entryAt(105), std::nullopt);
}

void PictureColumnTest::heightAndTag()
{
    PictureColumn column;
    QCOMPARE(column.height(), 0);
    QCOMPARE(column.tag(), 0);
    QSignalSpy heights(&column, &PictureColumn::heightChanged);
    column.setHeight(625);
    column.setHeight(625);
    QCOMPARE(column.height(), 625);
    QCOMPARE(heights.count(), 1);
    QCOMPARE(heights.at(0).at(0).toInt(), 625);
    column.setTag(-1);
    QCOMPARE(column.tag(), -1);
}

QTEST_GUILESS_MAIN(PictureColumnTest)
#include "PictureColumnTest.moc"

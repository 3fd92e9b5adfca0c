#include "board/model/ClipArtPalette.h"
#include "board/content/PictureColumn.h"
#include "board/model/BoardModel.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The palette of a board on a screen of size, with a program directory of its own.
struct Palette {
    QTemporaryDir dir;
    QString directory = dir.path() + QLatin1Char('/');
    ScriptedPrompter prompter;
    BoardModel board;
    PictureColumn column;
    ClipArtPalette palette{board, column, directory};

    explicit Palette(QSize screen = QSize(1024, 768)) : board(screen, directory, prompter)
    {
        board.makeCurrentPageReady();
        board.showOnWindow();
    }

    // A picture file of size under name in the program directory; its path.
    QString write(const QString& name, QSize size, const char* format)
    {
        const QString path = directory + name;
        QDir().mkpath(QFileInfo(path).path());
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        if (!image.save(path, format))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // The floating picture a press and release on the board at point gives.
    QRect placeAt(QPoint point)
    {
        board.press(point);
        board.release(point);
        return board.floatingPicture().isShown() ? board.floatingPicture().geometry() : QRect();
    }
};

const SetPicture* setPicture(const QString& name)
{
    for (const SetPicture& picture : ClipArtPalette::setPictures())
        if (picture.name == name)
            return &picture;
    return nullptr;
}

} // namespace

class ClipArtPaletteTest : public QObject {
    Q_OBJECT
private slots:
    void geometryFollowsTheScreen_data();
    void geometryFollowsTheScreen();
    void openingShowsThePhysicsSetInThePanelsPlace();
    void tabsShowOneThingAtATime();
    void otherTabFillsTheColumnOnceUntilAskedAgain();
    void eachSetPictureLoadsItsFile_data();
    void eachSetPictureLoadsItsFile();
    void columnReleaseChoosesTheEntryUnderIt_data();
    void columnReleaseChoosesTheEntryUnderIt();
};

void ClipArtPaletteTest::geometryFollowsTheScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("palette");
    QTest::addColumn<QRect>("scrollBox");
    QTest::addColumn<QPoint>("settingsButton");
    QTest::newRow("1024 x 768") << QSize(1024, 768) << QRect(1, 40, 138, 728)
                                << QRect(-1, 22, 138, 663) << QPoint(3, 725);
    QTest::newRow("1920 x 1080") << QSize(1920, 1080) << QRect(1, 40, 138, 1040)
                                 << QRect(-1, 22, 138, 975) << QPoint(3, 1037);
}

void ClipArtPaletteTest::geometryFollowsTheScreen()
{
    QFETCH(QSize, screen);
    QFETCH(QRect, palette);
    QFETCH(QRect, scrollBox);
    QFETCH(QPoint, settingsButton);
    Palette fixture(screen);
    fixture.palette.open();
    QCOMPARE(fixture.palette.geometry(), palette);
    QCOMPARE(fixture.palette.scrollBoxGeometry(), scrollBox);
    QCOMPARE(fixture.palette.closeButtonLeft(), 115);
    QCOMPARE(fixture.palette.settingsButtonPlace(), settingsButton);
}

void ClipArtPaletteTest::openingShowsThePhysicsSetInThePanelsPlace()
{
    Palette fixture;
    fixture.column.appendPicture(fixture.write(QStringLiteral("a.png"), {10, 10}, "PNG"), {});
    QCOMPARE(fixture.column.pictureCount(), 1);
    fixture.board.panel().open();
    QVERIFY(fixture.board.contentPanel().shown);
    QVERIFY(!fixture.palette.isShown());

    QSignalSpy changed(&fixture.palette, &ClipArtPalette::changed);
    fixture.palette.open();
    QVERIFY(fixture.palette.isShown());
    QVERIFY(!changed.isEmpty());
    QVERIFY(fixture.palette.isSetShown(ClipArtSet::Physics));
    QVERIFY(!fixture.palette.isSetShown(ClipArtSet::Chemistry));
    QVERIFY(!fixture.palette.isColumnShown());
    QVERIFY(!fixture.palette.isSettingsButtonShown());
    QCOMPARE(fixture.column.pictureCount(), 0);
    QCOMPARE(fixture.palette.clipArtDirectory(), fixture.directory + QStringLiteral("db/pic/"));
    // The content panel closed as its close button closes it: the page has no panel now.
    QVERIFY(!fixture.board.contentPanel().shown);
    QCOMPARE(fixture.board.pages().current().contentKind, ContentKind::None);
}

void ClipArtPaletteTest::tabsShowOneThingAtATime()
{
    Palette fixture;
    ClipArtPalette& palette = fixture.palette;
    palette.open();

    palette.showColumn();
    QVERIFY(palette.isColumnShown());
    QVERIFY(palette.isSettingsButtonShown());
    QVERIFY(!palette.isSetShown(ClipArtSet::Physics));
    QVERIFY(!palette.isSetShown(ClipArtSet::Chemistry));

    palette.showSet(ClipArtSet::Chemistry);
    QVERIFY(palette.isSetShown(ClipArtSet::Chemistry));
    QVERIFY(!palette.isSetShown(ClipArtSet::Physics));
    QVERIFY(!palette.isColumnShown());
    QVERIFY(!palette.isSettingsButtonShown());

    palette.showColumn();
    palette.showSet(ClipArtSet::Physics);
    QVERIFY(palette.isSetShown(ClipArtSet::Physics));
    QVERIFY(!palette.isSetShown(ClipArtSet::Chemistry));
    QVERIFY(!palette.isSettingsButtonShown());

    // Closing on the column takes its settings button away too.
    palette.showColumn();
    palette.close();
    QVERIFY(!palette.isShown());
    QVERIFY(!palette.isSettingsButtonShown());
    // Opening again starts on the physics set.
    palette.open();
    QVERIFY(palette.isSetShown(ClipArtSet::Physics));
    QVERIFY(!palette.isColumnShown());
}

void ClipArtPaletteTest::otherTabFillsTheColumnOnceUntilAskedAgain()
{
    Palette fixture;
    ClipArtPalette& palette = fixture.palette;
    PictureColumn& column = fixture.column;
    QSignalSpy fills(&palette, &ClipArtPalette::columnFillRequested);
    // The fill answers as the import does: the column takes the pictures' height and is filled.
    connect(&palette, &ClipArtPalette::columnFillRequested, &column, [&column] {
        column.setHeight(3 * PictureColumn::rowHeight);
        column.setTag(1);
    });
    palette.open();

    // Before the first import the column reaches to just above the scroll box's bottom.
    QSignalSpy heights(&column, &PictureColumn::heightChanged);
    palette.showColumn();
    QCOMPARE(fills.size(), 1);
    QCOMPARE(heights.first().first().toInt(), 663 - 5);
    QCOMPARE(column.height(), 315);

    palette.showSet(ClipArtSet::Physics);
    palette.showColumn();
    QCOMPARE(fills.size(), 1);
    QCOMPARE(column.height(), 315);

    // Confirmed settings: the next "其它" imports again, over the column as it stands.
    column.setTag(-1);
    heights.clear();
    palette.showColumn();
    QCOMPARE(fills.size(), 2);
    QVERIFY(heights.isEmpty());
    QCOMPARE(column.tag(), 1);
}

void ClipArtPaletteTest::eachSetPictureLoadsItsFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("set");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QString>("file");
    const int physics = int(ClipArtSet::Physics);
    const int chemistry = int(ClipArtSet::Chemistry);
    const struct {
        const char* name;
        int set;
        QPoint position;
        const char* file;
    } rows[] = {
        {"Image5", physics, {5, 1}, "w0.jt"},        {"Image13", physics, {62, 1}, "w1.jt"},
        {"Image6", physics, {5, 63}, "w2.jt"},       {"Image14", physics, {62, 63}, "w3.jt"},
        {"Image7", physics, {5, 125}, "w4.jt"},      {"Image15", physics, {62, 125}, "w5.jt"},
        {"Image8", physics, {5, 187}, "w6.jt"},      {"Image16", physics, {62, 187}, "w7.jt"},
        {"Image9", physics, {5, 249}, "w8.jt"},      {"Image17", physics, {62, 249}, "w9.jt"},
        {"Image10", physics, {5, 311}, "w10.jt"},    {"Image18", physics, {62, 311}, "w11.jt"},
        {"Image11", physics, {5, 373}, "w12.jt"},    {"Image19", physics, {65, 373}, "w13.jt"},
        {"Image12", physics, {5, 436}, "w14.jt"},    {"Image20", physics, {62, 436}, "w15.jt"},
        {"Image21", physics, {5, 493}, "w16.jt"},    {"Image22", physics, {63, 496}, "w17.jt"},
        {"Image23", physics, {5, 553}, "w18.jt"},    {"Image24", physics, {63, 556}, "w19.jt"},
        {"Image25", physics, {5, 603}, "w20.jt"},    {"Image29", chemistry, {3, 1}, "h1.jt"},
        {"Image37", chemistry, {60, 1}, "h2.jt"},    {"Image30", chemistry, {3, 63}, "h3.jt"},
        {"Image38", chemistry, {60, 63}, "h4.jt"},   {"Image31", chemistry, {3, 125}, "h5.jt"},
        {"Image39", chemistry, {60, 125}, "h6.jt"},  {"Image32", chemistry, {3, 187}, "h7.jt"},
        {"Image40", chemistry, {61, 185}, "h8.jt"},  {"Image33", chemistry, {3, 250}, "h9.jt"},
        {"Image41", chemistry, {62, 250}, "h10.jt"}, {"Image42", chemistry, {3, 309}, "h13.jt"},
        {"Image43", chemistry, {61, 308}, "h14.jt"}, {"Image44", chemistry, {3, 367}, "h15.jt"},
        {"Image45", chemistry, {63, 370}, "h18.jt"},
    };
    QCOMPARE(ClipArtPalette::setPictures().size(), qsizetype(std::size(rows)));
    for (const auto& row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << row.set << row.position
                                << QString::fromLatin1(row.file);
}

void ClipArtPaletteTest::eachSetPictureLoadsItsFile()
{
    QFETCH(QString, name);
    QFETCH(int, set);
    QFETCH(QPoint, position);
    QFETCH(QString, file);
    const SetPicture* picture = setPicture(name);
    QVERIFY(picture);
    QCOMPARE(int(picture->set), set);
    QCOMPARE(picture->position, position);

    // Every file of both sets is there, each of its own size; the picture must load its own.
    Palette fixture;
    QSize expected;
    int n = 0;
    for (const SetPicture& each : ClipArtPalette::setPictures()) {
        const QSize size(20 + n, 10 + n);
        ++n;
        fixture.write(QStringLiteral("db/pic/") + each.file, size, "JPEG");
        if (each.file == file)
            expected = size;
    }
    QVERIFY(expected.isValid());
    fixture.palette.open();
    QVERIFY(fixture.palette.chooseSetPicture(*picture));
    QCOMPARE(fixture.board.pendingPlacement(), PendingPlacement::ClipArt);
    QCOMPARE(fixture.placeAt(QPoint(200, 300)), QRect(QPoint(200, 300), expected));
}

void ClipArtPaletteTest::columnReleaseChoosesTheEntryUnderIt_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("entry");
    QTest::newRow("top of the first") << 0 << 0;
    QTest::newRow("gap under the first") << 104 << 0;
    QTest::newRow("top of the second") << 105 << 1;
    QTest::newRow("gap under the last") << 209 << 1;
    QTest::newRow("below the last") << 210 << -1;
    QTest::newRow("above the column") << -1 << -1;
}

void ClipArtPaletteTest::columnReleaseChoosesTheEntryUnderIt()
{
    QFETCH(int, y);
    QFETCH(int, entry);
    Palette fixture;
    const QSize sizes[] = {{30, 20}, {40, 25}};
    for (int k = 0; k < 2; ++k)
        fixture.column.appendPicture(
            fixture.write(QStringLiteral("folder/%1.png").arg(k), sizes[k], "PNG"), {});
    fixture.palette.open();
    fixture.palette.showColumn();

    QCOMPARE(fixture.palette.chooseColumnEntry(y), entry >= 0);
    const QRect placed = fixture.placeAt(QPoint(300, 200));
    QCOMPARE(placed, entry >= 0 ? QRect(QPoint(300, 200), sizes[entry]) : QRect());
}

QTEST_GUILESS_MAIN(ClipArtPaletteTest)
#include "ClipArtPaletteTest.moc"

// The picture import window (TForm12) and the settings button window (TForm13) in the running
// program: their layout, "设置" opening the import window, choosing a drive and a folder, "导入"
// with its texts drawn and gone at the next opening, "默认文件夹" with "确定" storing the folder
// for the teacher, and the palette's fill of the column from that folder.

#include "PictureFiles.h"
#include "ProgramFixture.h"
#include "WhenShown.h"

#include "acquire/FolderImport.h"
#include "acquire/window/PictureImportWindow.h"
#include "acquire/window/SettingsButtonWindow.h"
#include "app/ToolbarWindow.h"
#include "board/window/BoardWindow.h"
#include "board/window/ContentPanel.h"
#include "board/window/PalettePanel.h"
#include "lessons/PictureImportSession.h"
#include "lessons/ProfileFile.h"
#include "lessons/TeacherSettings.h"
#include "lessons/window/SettingsWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using namespace PictureFiles;

namespace {

QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

// Pixels of another colour than the window's own within rect: drawn text.
int inkIn(const QImage& picture, const QRect& rect, QColor background)
{
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ink += QColor(picture.pixel(x, y)) != background;
    return ink;
}

// The running program with a picture folder of three pictures and a file the mask leaves out.
struct ImportFixture : ProgramFixture {
    QTemporaryDir pictures;

    ImportFixture()
    {
        write(pictures.filePath("b.png"), encoded(solid(QSize(40, 30), Qt::red), "png"));
        write(pictures.filePath("a.jpg"), encoded(solid(QSize(64, 48), Qt::blue), "jpeg"));
        write(pictures.filePath("C.BMP"), encoded(solid(QSize(20, 60), Qt::green), "bmp"));
        write(pictures.filePath("readme.txt"), "not a picture");
        start();
    }
    PictureImportWindow* window() const { return windows().pictureImport; }
    FolderImport& import() { return program->folderImport(); }
    bool waitForImport()
    {
        return QTest::qWaitFor([this] { return !import().isRunning(); }, 30000);
    }
    QString storedFolder(const QString& section) const
    {
        return ProfileFile(settingsFile()).readString(section, QStringLiteral("dcu"), QString());
    }
};

} // namespace

class PictureImportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void layout();
    void settingsButtonOpensImportWindow();
    void choosesDriveAndFolder();
    void importsFolderWithTextsThatVanish();
    void storesDefaultFolder_data();
    void storesDefaultFolder();
    void refusedWriteKeepsWindowOpen();
    void paletteFillsColumnFromTeachersFolder();
    void otherTabFillsColumnOnce();
};

void PictureImportWindowTest::layout()
{
    ImportFixture fixture;
    PictureImportWindow* window = fixture.window();
    QCOMPARE(window->objectName(), QStringLiteral("TForm12"));
    QCOMPARE(window->windowTitle(), QStringLiteral("导入图片"));
    QVERIFY(!(window->windowFlags() & Qt::FramelessWindowHint));
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(window->isModal());
    QCOMPARE(window->size(), QSize(450, 251));
    QCOMPARE(window->font().family(), QStringLiteral("宋体"));
    QCOMPARE(window->font().pixelSize(), 12);
    const QList<std::pair<QWidget*, QRect>> places = {
        {window->DriveComboBox1, {8, 6, 145, 18}},  {window->DirectoryListBox1, {8, 28, 145, 189}},
        {window->FileListBox1, {249, 4, 196, 211}}, {window->BitBtn1, {162, 6, 80, 35}},
        {window->BitBtn2, {162, 55, 80, 35}},       {window->CheckBox1, {162, 106, 79, 25}},
        {window->BitBtn3, {162, 166, 80, 35}},
    };
    for (const auto& [widget, place] : places) {
        QCOMPARE(widget->geometry(), place);
        QCOMPARE(window->findChild<QWidget*>(widget->objectName()), widget);
    }
    QCOMPARE(window->BitBtn1->text(), QStringLiteral("浏览"));
    QCOMPARE(window->BitBtn1->toolTip(), QStringLiteral("导入指定的一个图像文件"));
    QCOMPARE(window->BitBtn2->text(), QStringLiteral("导入"));
    QCOMPARE(window->BitBtn2->toolTip(), QStringLiteral("导入指定文件夹的所有图像文件"));
    QCOMPARE(window->BitBtn3->text(), QStringLiteral("确定"));
    for (QPushButton* button : {window->BitBtn1, window->BitBtn2, window->BitBtn3})
        QVERIFY(!button->icon().isNull());
    QCOMPARE(window->CheckBox1->text(), QStringLiteral("默认文件夹"));
    QVERIFY(!window->CheckBox1->isChecked());
    QVERIFY(window->ListBox1->isHidden());
    // The folder lists open at the working directory.
    QCOMPARE(fixture.import().folder(), QDir::currentPath());

    SettingsButtonWindow* button = fixture.windows().settingsButton;
    QCOMPARE(button->objectName(), QStringLiteral("TForm13"));
    QVERIFY(button->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(button->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(button->size(), QSize(130, 48));
    QCOMPARE(button->BitBtn1->text(), QStringLiteral("设置"));
    QCOMPARE(button->BitBtn1->geometry(), QRect(92, 0, 39, 23));
    button->show();
    const QImage face = button->grab().toImage();
    QCOMPARE(QColor(face.pixel(40, 10)), QColor(255, 128, 64));
    QCOMPARE(QColor(face.pixel(125, 40)), QColor(255, 128, 64));
}

void PictureImportWindowTest::settingsButtonOpensImportWindow()
{
    ImportFixture fixture;
    PictureImportWindow* window = fixture.window();
    bool looked = false;
    whenShown(window, [&] {
        QCOMPARE(QApplication::activeModalWidget(), window);
        QCOMPARE(window->pos(), QPoint((1024 - 450) / 2, (768 - 251) / 2));
        looked = true;
        window->close();
    });
    fixture.windows().settingsButton->show();
    QTest::mouseClick(fixture.windows().settingsButton->BitBtn1, Qt::LeftButton);
    QVERIFY(looked);
    QVERIFY(!window->isVisible());
}

void PictureImportWindowTest::choosesDriveAndFolder()
{
    ImportFixture fixture;
    QTemporaryDir driveD;
    QDir(driveD.path()).mkpath(QStringLiteral("photos/trip"));
    write(driveD.filePath("photos/trip/x.gif"), QByteArray("GIF89a"));
    fixture.drives->setDrives({{QLatin1Char('C'), DriveKind::Fixed, QString(), fixture.driveC()},
                               {QLatin1Char('D'), DriveKind::Removable, QStringLiteral("DATA"),
                                driveD.path() + QStringLiteral("/")}});
    PictureImportWindow* window = fixture.window();
    fixture.import().setFolder(fixture.pictures.path());
    window->show();
    // The tree shows the open folder, chosen, once the folders on its way are read.
    QTreeView* tree = window->DirectoryListBox1;
    QVERIFY(QTest::qWaitFor(
        [&] { return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())); }));
    QCOMPARE(tree->currentIndex().data().toString(), QDir(fixture.pictures.path()).dirName());
    QCOMPARE(itemTexts(window->FileListBox1), (QStringList{"a.jpg", "b.png", "C.BMP"}));
    QVERIFY(!window->FileListBox1->item(0)->icon().isNull());
    QCOMPARE(window->DriveComboBox1->count(), 2);
    QCOMPARE(window->DriveComboBox1->itemText(0), QStringLiteral("c:"));
    QCOMPARE(window->DriveComboBox1->itemText(1), QStringLiteral("d: [DATA]"));

    // Drive D: its root is the open folder.
    window->DriveComboBox1->setCurrentIndex(1);
    emit window->DriveComboBox1->activated(1);
    QCOMPARE(fixture.import().folder(), driveD.path());
    QCOMPARE(window->DriveComboBox1->currentIndex(), 1);
    QVERIFY(window->FileListBox1->count() == 0);

    // A single click on a folder of the tree opens it.
    auto* folders = qobject_cast<QFileSystemModel*>(window->DirectoryListBox1->model());
    QVERIFY(folders);
    const QString photos = driveD.filePath(QStringLiteral("photos"));
    QModelIndex photosIndex;
    QVERIFY(QTest::qWaitFor([&] {
        photosIndex = folders->index(photos);
        window->DirectoryListBox1->scrollTo(photosIndex);
        return window->DirectoryListBox1->visualRect(photosIndex).isValid();
    }));
    QTest::mouseClick(window->DirectoryListBox1->viewport(), Qt::LeftButton, {},
                      window->DirectoryListBox1->visualRect(photosIndex).center());
    QCOMPARE(fixture.import().folder(), photos);
    window->DirectoryListBox1->expand(photosIndex);
    const QString trip = driveD.filePath(QStringLiteral("photos/trip"));
    QModelIndex tripIndex;
    QVERIFY(QTest::qWaitFor([&] {
        tripIndex = folders->index(trip);
        window->DirectoryListBox1->scrollTo(tripIndex);
        return window->DirectoryListBox1->visualRect(tripIndex).isValid();
    }));
    QTest::mouseClick(window->DirectoryListBox1->viewport(), Qt::LeftButton, {},
                      window->DirectoryListBox1->visualRect(tripIndex).center());
    QCOMPARE(fixture.import().folder(), trip);
    QCOMPARE(itemTexts(window->FileListBox1), QStringList{"x.gif"});
    QCOMPARE(window->DirectoryListBox1->currentIndex(), tripIndex);
    window->close();
}

void PictureImportWindowTest::importsFolderWithTextsThatVanish()
{
    ImportFixture fixture;
    PictureImportWindow* window = fixture.window();
    fixture.import().setFolder(fixture.pictures.path());
    fixture.program->pictureColumn().setTag(1);
    window->show();
    const QColor face = window->palette().color(QPalette::Window);
    const QRect textLines(6, 220, 300, 28);
    QCOMPARE(inkIn(window->grab().toImage(), textLines, face), 0);

    QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
    QVERIFY(fixture.waitForImport());
    const QStringList expected = {fixture.pictures.filePath("a.jpg"),
                                  fixture.pictures.filePath("b.png"),
                                  fixture.pictures.filePath("C.BMP")};
    QCOMPARE(fixture.program->pictureColumn().pictureList(), expected);
    QCOMPARE(itemTexts(window->ListBox1), expected);
    QCOMPARE(fixture.import().totalText(), QStringLiteral("总共有3个图像文件。  "));
    QCOMPARE(fixture.import().importedText(), QStringLiteral("已导入3个图像文件。  "));
    const QImage drawn = window->grab().toImage();
    QVERIFY(inkIn(drawn, QRect(6, 220, 300, 14), face) > 20);
    QVERIFY(inkIn(drawn, QRect(6, 236, 300, 14), face) > 20);

    // Opened again, the window shows no old texts; the list stays.
    window->close();
    window->show();
    QCOMPARE(inkIn(window->grab().toImage(), textLines, face), 0);
    QCOMPARE(itemTexts(window->ListBox1), expected);

    // Imported again without one picture, the list is replaced, not kept or grown.
    QVERIFY(QFile::remove(fixture.pictures.filePath("C.BMP")));
    QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
    QVERIFY(fixture.waitForImport());
    QCOMPARE(itemTexts(window->ListBox1), expected.first(2));
    window->close();
}

void PictureImportWindowTest::storesDefaultFolder_data()
{
    QTest::addColumn<QString>("teacher");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("section");
    QTest::newRow("no teacher") << QString() << true << QStringLiteral("教师0");
    QTest::newRow("a teacher") << QStringLiteral("张老师") << true << QStringLiteral("张老师");
    QTest::newRow("box not ticked") << QStringLiteral("张老师") << false << QString();
}

void PictureImportWindowTest::storesDefaultFolder()
{
    QFETCH(QString, teacher);
    QFETCH(bool, ticked);
    QFETCH(QString, section);
    ImportFixture fixture;
    fixture.program->teachers().setCurrentTeacherName(teacher);
    PictureImportWindow* window = fixture.window();
    fixture.import().setFolder(fixture.pictures.path());
    window->show();
    if (ticked)
        QTest::mouseClick(window->CheckBox1, Qt::LeftButton);
    QCOMPARE(fixture.program->pictureImport().defaultFolder(), ticked);
    QTest::mouseClick(window->BitBtn3, Qt::LeftButton);
    QVERIFY(!window->isVisible());
    for (const QString& name : {QStringLiteral("教师0"), QStringLiteral("张老师")})
        QCOMPARE(fixture.storedFolder(name), name == section ? fixture.pictures.path() : QString());
    // The box keeps its state for the next opening.
    window->show();
    QCOMPARE(window->CheckBox1->isChecked(), ticked);
    window->close();
    QVERIFY(fixture.prompter->questions().isEmpty());
}

void PictureImportWindowTest::refusedWriteKeepsWindowOpen()
{
    ImportFixture fixture;
    // A directory where the settings file should be: nothing can be written there.
    QVERIFY(QDir().mkpath(fixture.settingsFile()));
    PictureImportWindow* window = fixture.window();
    window->show();
    QTest::mouseClick(window->CheckBox1, Qt::LeftButton);
    QTest::mouseClick(window->BitBtn3, Qt::LeftButton);
    QVERIFY(window->isVisible());
    QCOMPARE(fixture.prompter->questions().size(), 1);
    QCOMPARE(fixture.prompter->questions().constFirst().text,
             QStringLiteral("Unable to write to ") + fixture.settingsFile());
    window->close();
}

void PictureImportWindowTest::paletteFillsColumnFromTeachersFolder()
{
    ImportFixture fixture;
    ProfileFile(fixture.settingsFile())
        .writeString(QStringLiteral("教师0"), QStringLiteral("dcu"), fixture.pictures.path());
    PictureColumn& column = fixture.program->pictureColumn();
    SettingsButtonWindow* button = fixture.windows().settingsButton;
    button->show();
    const QColor orange(255, 128, 64);
    const QRect countLine(3, 23, 127, 25);

    fixture.program->pictureImport().fillColumn();
    QCOMPARE(column.tag(), 1);
    QCOMPARE(fixture.import().folder(), fixture.pictures.path());
    QVERIFY(fixture.waitForImport());
    QCOMPARE(column.pictureList().size(), 3);
    QCOMPARE(column.height(), 3 * 105);
    QCOMPARE(fixture.import().buttonText(), QStringLiteral("已导入3个文件。  "));
    QVERIFY(inkIn(button->grab().toImage(), countLine, orange) > 20);
    button->hide();
    button->show();
    QCOMPARE(inkIn(button->grab().toImage(), countLine, orange), 0);

    // The settings confirmed for another teacher whose folder is gone: the next fill empties
    // the column and asks nothing.
    emit fixture.windows().settings->confirmed();
    QCOMPARE(column.tag(), -1);
    fixture.program->teachers().setCurrentTeacherName(QStringLiteral("李老师"));
    ProfileFile(fixture.settingsFile())
        .writeString(QStringLiteral("李老师"), QStringLiteral("dcu"),
                     fixture.pictures.filePath(QStringLiteral("gone")));
    fixture.program->pictureImport().fillColumn();
    QVERIFY(fixture.waitForImport());
    QCOMPARE(column.tag(), 1);
    QVERIFY(column.pictureList().isEmpty());
    QCOMPARE(column.height(), 0);
    QCOMPARE(fixture.import().buttonText(), QStringLiteral("已导入0个文件。  "));
    QVERIFY(fixture.prompter->questions().isEmpty());
}

void PictureImportWindowTest::otherTabFillsColumnOnce()
{
    ImportFixture fixture;
    ProfileFile(fixture.settingsFile())
        .writeString(QStringLiteral("教师0"), QStringLiteral("dcu"), fixture.pictures.path());
    QSignalSpy imports(&fixture.import(), &FolderImport::finished);
    BoardWindow* board = fixture.windows().board;
    fixture.windows().toolbar->show();
    QTest::mouseClick(fixture.windows().toolbar->SpeedButton4, Qt::LeftButton);
    QTest::mouseClick(board->SpeedButton18, Qt::LeftButton);
    QTest::mouseClick(board->Panel4->SpeedButton32, Qt::LeftButton);

    // "其它": the column fills from the teacher's folder, counted on the settings button window.
    QTest::mouseClick(board->Panel9->BitBtn3, Qt::LeftButton);
    QVERIFY(fixture.waitForImport());
    QCOMPARE(imports.count(), 1);
    QCOMPARE(fixture.program->pictureColumn().pictureList().size(), 3);
    QCOMPARE(fixture.program->pictureColumn().tag(), 1);
    QVERIFY(fixture.windows().settingsButton->isVisible());
    QCOMPARE(fixture.import().buttonText(), QStringLiteral("已导入3个文件。  "));

    // Shown again, the column is not filled again; after the settings were confirmed it is.
    QTest::mouseClick(board->Panel9->BitBtn1, Qt::LeftButton);
    QTest::mouseClick(board->Panel9->BitBtn3, Qt::LeftButton);
    QVERIFY(fixture.waitForImport());
    QCOMPARE(imports.count(), 1);
    emit fixture.windows().settings->confirmed();
    QTest::mouseClick(board->Panel9->BitBtn1, Qt::LeftButton);
    QTest::mouseClick(board->Panel9->BitBtn3, Qt::LeftButton);
    QVERIFY(fixture.waitForImport());
    QCOMPARE(imports.count(), 2);
    QCOMPARE(fixture.program->pictureColumn().pictureList().size(), 3);
}

QTEST_MAIN(PictureImportWindowTest)
#include "PictureImportWindowTest.moc"

#include "board/window/PalettePanel.h"
#include "board/codec/ImageCodec.h"
#include "board/content/PictureColumn.h"
#include "board/model/BoardModel.h"
#include "board/model/ClipArtPalette.h"
#include "board/model/ThumbnailStripModel.h"
#include "board/tools/CursorFile.h"
#include "board/window/BoardWindow.h"
#include "board/window/ContentPanel.h"
#include "board/window/PictureColumnView.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {
const QSize screen(1024, 768);
// The clip-art delivered beside the program.
const QString programDirectory = QStringLiteral(ZKALTO_PROGRAM_DIR "/");
} // namespace

class PalettePanelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void contentPanelButtonOpensThePaletteInItsPlace();
    void controlsStandInPlace_data();
    void controlsStandInPlace();
    void setPicturesShowTheirPreviewsInPlace();
    void tabsAndCloseButton();
    void setPictureChoosesItsClipArt_data();
    void setPictureChoosesItsClipArt();
    void pressesOnThePaletteNeverDraw_data();
    void pressesOnThePaletteNeverDraw();
    void columnShowsItsThumbnailsAndChoosesOnRelease();
    void settingsButtonFollowsTheColumnAndTheBoard();

private:
    void openPalette();
    QWidget* child(const QString& name) { return m_board->findChild<QWidget*>(name); }
    PalettePanel* palette() { return m_board->Panel9; }
    // A press and release on the board's page at point.
    void clickPage(QPoint point) { QTest::mouseClick(m_board, Qt::LeftButton, {}, point); }
    QString writePicture(const QString& name, QSize size, const QColor& colour);

    QTemporaryDir m_directory;
    ScriptedPrompter* m_prompter = nullptr;
    CursorSlots* m_cursors = nullptr;
    PictureColumn* m_column = nullptr;
    BoardModel* m_model = nullptr;
    ClipArtPalette* m_palette = nullptr;
    ThumbnailStripModel* m_thumbnails = nullptr;
    BoardWindow* m_board = nullptr;
};

void PalettePanelTest::init()
{
    QDir::setCurrent(programDirectory);
    m_cursors = new CursorSlots;
    m_prompter = new ScriptedPrompter;
    m_column = new PictureColumn;
    m_model = new BoardModel(screen, m_directory.path() + QLatin1Char('/'), *m_prompter);
    m_palette = new ClipArtPalette(*m_model, *m_column, programDirectory);
    m_thumbnails = new ThumbnailStripModel(*m_model);
    m_board = new BoardWindow(*m_model, *m_palette, *m_thumbnails, *m_cursors, *m_column);
    m_board->openFromDesktop();
    QVERIFY(QTest::qWaitForWindowExposed(m_board));
}

void PalettePanelTest::cleanup()
{
    delete m_board;
    delete m_thumbnails;
    delete m_palette;
    delete m_model;
    delete m_column;
    delete m_cursors;
    QVERIFY(m_prompter->unexpected().isEmpty());
    delete m_prompter;
}

void PalettePanelTest::openPalette()
{
    QTest::mouseClick(m_board->SpeedButton18, Qt::LeftButton);
    QTest::mouseClick(m_board->Panel4->SpeedButton32, Qt::LeftButton);
    QVERIFY(palette()->isVisible());
}

QString PalettePanelTest::writePicture(const QString& name, QSize size, const QColor& colour)
{
    const QString path = m_directory.filePath(name);
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    if (!image.save(path, "PNG"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void PalettePanelTest::contentPanelButtonOpensThePaletteInItsPlace()
{
    QVERIFY(!palette()->isVisible());
    QTest::mouseClick(m_board->SpeedButton18, Qt::LeftButton);
    QVERIFY(m_board->Panel4->isVisible());
    QTest::mouseClick(m_board->Panel4->SpeedButton32, Qt::LeftButton);
    QVERIFY(palette()->isVisible());
    QVERIFY(!m_board->Panel4->isVisible());
    QCOMPARE(m_model->pages().current().contentKind, ContentKind::None);
}

void PalettePanelTest::controlsStandInPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("palette") << "Panel9" << QRect(1, 40, 138, 728) << "";
    QTest::newRow("close") << "SpeedButton33" << QRect(115, 0, 22, 20) << "";
    QTest::newRow("physics tab") << "BitBtn1" << QRect(0, 0, 37, 21) << "物理";
    QTest::newRow("chemistry tab") << "BitBtn2" << QRect(38, 0, 37, 21) << "化学";
    QTest::newRow("other tab") << "BitBtn3" << QRect(76, 0, 37, 21) << "其它";
    QTest::newRow("scroll box") << "ScrollBox1" << QRect(-1, 22, 138, 663) << "";
    QTest::newRow("physics set") << "Panel8" << QRect(0, 3, 116, 700) << "";
    QTest::newRow("chemistry set") << "Panel10" << QRect(6, 3, 116, 650) << "";
}

void PalettePanelTest::controlsStandInPlace()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    openPalette();
    QWidget* control = child(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    if (auto* tab = qobject_cast<QPushButton*>(control)) {
        QCOMPARE(tab->text(), text);
        QCOMPARE(tab->font().family(), QStringLiteral("宋体"));
        QCOMPARE(tab->font().pixelSize(), 12);
    }
    if (auto* close = qobject_cast<QToolButton*>(control))
        QVERIFY(!close->icon().isNull());
}

void PalettePanelTest::setPicturesShowTheirPreviewsInPlace()
{
    QCOMPARE(palette()->setPictures.size(), ClipArtPalette::setPictures().size());
    for (const SetPicture& picture : ClipArtPalette::setPictures()) {
        auto* image = palette()->findChild<QLabel*>(picture.name);
        QVERIFY2(image, qPrintable(picture.name));
        QCOMPARE(image->parentWidget(),
                 picture.set == ClipArtSet::Physics ? palette()->Panel8 : palette()->Panel10);
        QCOMPARE(image->geometry(), QRect(picture.position, QSize(50, 50)));
        QCOMPARE(image->pixmap().size(), QSize(50, 50));
    }
}

void PalettePanelTest::tabsAndCloseButton()
{
    openPalette();
    PalettePanel* panel = palette();
    QScrollBar* scrollBar = panel->ScrollBox1->verticalScrollBar();
    QVERIFY(scrollBar->hasTracking());
    QVERIFY(panel->Panel8->isVisible());
    QVERIFY(!panel->Panel10->isVisible());
    QVERIFY(!panel->Image26->isVisible());
    // The scroll box reaches to the bottom of the physics set.
    QCOMPARE(panel->ScrollBox1->widget()->height(), 703);

    QTest::mouseClick(panel->BitBtn2, Qt::LeftButton);
    QVERIFY(!panel->Panel8->isVisible());
    QVERIFY(panel->Panel10->isVisible());
    QCOMPARE(panel->ScrollBox1->widget()->height(), 653);

    // The first "其它" gives the column the scroll box's height less 5; an import makes it longer
    // and the scroll box follows.
    QTest::mouseClick(panel->BitBtn3, Qt::LeftButton);
    QVERIFY(!panel->Panel10->isVisible());
    QVERIFY(panel->Image26->isVisible());
    QCOMPARE(panel->Image26->geometry(), QRect(10, 0, 100, 658));
    m_column->setHeight(20 * PictureColumn::rowHeight);
    QCOMPARE(panel->Image26->height(), 2100);
    QCOMPARE(panel->ScrollBox1->widget()->height(), 2100);

    QTest::mouseClick(panel->BitBtn1, Qt::LeftButton);
    QVERIFY(panel->Panel8->isVisible());
    QVERIFY(!panel->Image26->isVisible());

    QTest::mouseClick(panel->SpeedButton33, Qt::LeftButton);
    QVERIFY(!panel->isVisible());
}

void PalettePanelTest::setPictureChoosesItsClipArt_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tab");
    QTest::addColumn<bool>("onPress");
    QTest::newRow("press on a physics picture") << "Image14"
                                                << "BitBtn1" << true;
    QTest::newRow("press on a chemistry picture") << "Image45"
                                                  << "BitBtn2" << true;
    QTest::newRow("click on the first chemistry picture") << "Image29"
                                                          << "BitBtn2" << false;
}

void PalettePanelTest::setPictureChoosesItsClipArt()
{
    QFETCH(QString, name);
    QFETCH(QString, tab);
    QFETCH(bool, onPress);
    openPalette();
    QTest::mouseClick(child(tab), Qt::LeftButton);
    QWidget* image = child(name);
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(25, 25));
    QCOMPARE(m_model->pendingPlacement(),
             onPress ? PendingPlacement::ClipArt : PendingPlacement::None);
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(25, 25));
    QCOMPARE(m_model->pendingPlacement(), PendingPlacement::ClipArt);

    // The delivered file floats where the board is pressed next, at its own size.
    const auto* picture = [&name] {
        for (const SetPicture& each : ClipArtPalette::setPictures())
            if (each.name == name)
                return &each;
        return static_cast<const SetPicture*>(nullptr);
    }();
    const QImage file =
        ImageCodec::loadFile(programDirectory + QStringLiteral("db/pic/") + picture->file);
    QVERIFY(!file.isNull());
    clickPage(QPoint(200, 300));
    QVERIFY(m_board->Image2->isVisible());
    QCOMPARE(m_board->Image2->geometry(), QRect(QPoint(200, 300), file.size()));
    QCOMPARE(m_model->floatingPicture().picture(), file);

    // Pressed elsewhere, it goes into the page whole.
    clickPage(QPoint(900, 700));
    QVERIFY(!m_board->Image2->isVisible());
    QCOMPARE(m_model->pages().currentPageImage().copy(QRect(QPoint(200, 300), file.size())),
             file.convertToFormat(m_model->pages().currentPageImage().format()));
}

void PalettePanelTest::pressesOnThePaletteNeverDraw_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QPoint>("point");
    QTest::newRow("palette face") << "Panel9"
                                  << "BitBtn1" << QPoint(130, 5);
    QTest::newRow("scroll box") << "ScrollBox1"
                                << "BitBtn2" << QPoint(120, 660);
    QTest::newRow("physics set") << "Panel8"
                                 << "BitBtn1" << QPoint(58, 60);
    QTest::newRow("set picture") << "Image14"
                                 << "BitBtn1" << QPoint(25, 25);
    QTest::newRow("picture column") << "Image26"
                                    << "BitBtn3" << QPoint(50, 300);
}

void PalettePanelTest::pressesOnThePaletteNeverDraw()
{
    QFETCH(QString, name);
    QFETCH(QString, tab);
    QFETCH(QPoint, point);
    openPalette();
    QTest::mouseClick(child(tab), Qt::LeftButton);
    const QImage page = m_model->pages().currentPageImage().copy();
    const QImage window = m_model->screen().image().copy();
    const PageState state = m_model->pages().current().state;

    // A drag from the palette out onto the page.
    QWidget* widget = child(name);
    QVERIFY(widget);
    QTest::mousePress(widget, Qt::LeftButton, {}, point);
    QTest::mouseMove(m_board, QPoint(400, 300));
    QTest::mouseMove(m_board, QPoint(500, 350));
    QTest::mouseRelease(m_board, Qt::LeftButton, {}, QPoint(500, 350));
    QCOMPARE(m_model->pages().currentPageImage(), page);
    QCOMPARE(m_model->screen().image(), window);
    QCOMPARE(m_model->pages().current().state, state);
}

void PalettePanelTest::columnShowsItsThumbnailsAndChoosesOnRelease()
{
    QImage red(PictureColumn::thumbnailSize, PictureColumn::thumbnailSize, QImage::Format_ARGB32);
    red.fill(Qt::red);
    m_column->appendPicture(writePicture(QStringLiteral("a.png"), {30, 20}, Qt::red), red);
    // A picture whose thumbnail could not be made keeps its row empty.
    m_column->appendPicture(writePicture(QStringLiteral("b.png"), {40, 25}, Qt::blue), {});
    openPalette();
    QTest::mouseClick(palette()->BitBtn3, Qt::LeftButton);
    PictureColumnView* column = palette()->Image26;

    const QImage shown = column->grab().toImage();
    const QColor windowColour = column->palette().color(QPalette::Base);
    QCOMPARE(shown.pixelColor(50, 50), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(50, 102), windowColour);
    QCOMPARE(shown.pixelColor(50, 150), windowColour);

    // A thumbnail written while the column shows appears at once.
    QImage green = red;
    green.fill(Qt::green);
    m_column->appendPicture(writePicture(QStringLiteral("c.png"), {10, 10}, Qt::green), green);
    QCOMPARE(column->grab().toImage().pixelColor(50, 260), QColor(Qt::green));

    // A release on the second row chooses its picture; below the last one nothing.
    QTest::mouseClick(column, Qt::LeftButton, {}, QPoint(50, 150));
    QCOMPARE(m_model->pendingPlacement(), PendingPlacement::PictureAtPress);
    clickPage(QPoint(300, 200));
    QCOMPARE(m_model->floatingPicture().geometry(), QRect(300, 200, 40, 25));
    QTest::mouseClick(column, Qt::LeftButton, {}, QPoint(50, 3 * PictureColumn::rowHeight + 10));
    QCOMPARE(m_model->pendingPlacement(), PendingPlacement::None);
}

void PalettePanelTest::settingsButtonFollowsTheColumnAndTheBoard()
{
    QSignalSpy reports(palette(), &PalettePanel::settingsButtonChanged);
    auto last = [&reports] { return std::pair(reports.last()[0].toBool(), reports.last()[1]); };
    const QVariant place = QPoint(3, 725);
    openPalette();
    QCOMPARE(last(), std::pair(false, place));

    QTest::mouseClick(palette()->BitBtn3, Qt::LeftButton);
    QCOMPARE(last(), std::pair(true, place));
    // The board leaves for the desktop and comes back with the palette on its column.
    m_board->hide();
    QCOMPARE(last(), std::pair(false, place));
    m_board->show();
    QCOMPARE(last(), std::pair(true, place));

    QTest::mouseClick(palette()->BitBtn2, Qt::LeftButton);
    QCOMPARE(last(), std::pair(false, place));
    QTest::mouseClick(palette()->BitBtn3, Qt::LeftButton);
    QTest::mouseClick(palette()->SpeedButton33, Qt::LeftButton);
    QCOMPARE(last(), std::pair(false, place));
}

QTEST_MAIN(PalettePanelTest)
#include "PalettePanelTest.moc"

#include "board/window/ThumbnailStrip.h"
#include "board/content/PictureColumn.h"
#include "board/model/BoardModel.h"
#include "board/model/ClipArtPalette.h"
#include "board/model/ThumbnailStripModel.h"
#include "board/tools/CursorFile.h"
#include "board/window/BoardWindow.h"
#include "board/window/ThumbnailPicture.h"
#include "platform/fakes/ScriptedPrompter.h"
#include "ui/GestureScrollBar.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {
const QSize screen(1024, 768);
} // namespace

class ThumbnailStripTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void headerControlsStandInPlace_data();
    void headerControlsStandInPlace();
    void buttonsOpenPlaceAndCloseTheStrip();
    void scrollSteps_data();
    void scrollSteps();
    void endOfAScrollGestureRunsTheSmoothPass();
    void releaseOnTheThumbnailsPicksAPage_data();
    void releaseOnTheThumbnailsPicksAPage();
    void newPagesWidenTheScrollRange();

private:
    // Writes pages pages in colours of their own and goes back to page 1.
    void writePages(int pages);
    ThumbnailStrip* strip() const { return m_board->Panel5; }

    QTemporaryDir m_directory;
    ScriptedPrompter* m_prompter = nullptr;
    CursorSlots* m_cursors = nullptr;
    PictureColumn m_pictureColumn;
    BoardModel* m_model = nullptr;
    ClipArtPalette* m_palette = nullptr;
    ThumbnailStripModel* m_thumbnails = nullptr;
    BoardWindow* m_board = nullptr;
};

void ThumbnailStripTest::init()
{
    m_cursors = new CursorSlots;
    m_prompter = new ScriptedPrompter;
    m_model = new BoardModel(screen, m_directory.path() + QLatin1Char('/'), *m_prompter);
    m_palette =
        new ClipArtPalette(*m_model, m_pictureColumn, QStringLiteral(ZKALTO_PROGRAM_DIR "/"));
    m_thumbnails = new ThumbnailStripModel(*m_model);
    m_board = new BoardWindow(*m_model, *m_palette, *m_thumbnails, *m_cursors, m_pictureColumn);
    m_board->openFromDesktop();
    QVERIFY(QTest::qWaitForWindowExposed(m_board));
}

void ThumbnailStripTest::cleanup()
{
    delete m_board;
    delete m_thumbnails;
    delete m_palette;
    delete m_model;
    delete m_cursors;
    QVERIFY(m_prompter->unexpected().isEmpty());
    delete m_prompter;
}

void ThumbnailStripTest::writePages(int pages)
{
    for (int n = 1; n <= pages; ++n) {
        if (n > 1)
            m_model->turnRight();
        m_model->pages().currentPageImage().fill(QColor(20 * n, 100, 200));
        m_model->pages().current().state = PageState::WrittenOn;
    }
    m_model->goToPage(1);
}

void ThumbnailStripTest::headerControlsStandInPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("header picture") << "Image4" << QRect(0, 0, 233, 18);
    QTest::newRow("lower-half view") << "SpeedButton28" << QRect(12, -2, 25, 20);
    QTest::newRow("two-page view") << "SpeedButton27" << QRect(40, -2, 29, 20);
    QTest::newRow("move up") << "SpeedButton37" << QRect(82, -5, 23, 23);
    QTest::newRow("move down") << "SpeedButton38" << QRect(82, -5, 23, 23);
    QTest::newRow("position box") << "Edit3" << QRect(118, 0, 19, 21);
    QTest::newRow("no action") << "SpeedButton39" << QRect(154, 0, 19, 19);
    QTest::newRow("collapse") << "SpeedButton29" << QRect(197, -2, 18, 19);
    QTest::newRow("close") << "SpeedButton30" << QRect(214, -2, 20, 19);
}

void ThumbnailStripTest::headerControlsStandInPlace()
{
    QFETCH(QString, name);
    auto* control = strip()->Panel7->findChild<QWidget*>(name);
    QVERIFY(control);
    QTEST(control->geometry(), "geometry");
}

void ThumbnailStripTest::buttonsOpenPlaceAndCloseTheStrip()
{
    writePages(3);
    m_model->goToPage(2);
    QVERIFY(!strip()->isVisible());
    QTest::mouseClick(m_board->SpeedButton1, Qt::LeftButton);
    QVERIFY(strip()->isVisible());
    QCOMPARE(strip()->geometry(), QRect(0, 366, 1024, 402));
    QCOMPARE(strip()->Panel6->geometry(), QRect(0, 0, 1024, 18));
    QCOMPARE(strip()->Panel7->geometry(), QRect(790, 0, 234, 18));
    QCOMPARE(strip()->ScrollBar1->geometry(), QRect(0, 0, 790, 18));
    QCOMPARE(strip()->Image3->geometry(), QRect(0, 18, 1024, 384));
    QCOMPARE(strip()->Edit3->text(), QStringLiteral(" 2"));
    QCOMPARE(strip()->ScrollBar1->value(), 2);
    QCOMPARE(strip()->ScrollBar1->maximum(), 3);
    QVERIFY(strip()->SpeedButton37->isVisible());
    QVERIFY(!strip()->SpeedButton38->isVisible());

    QTest::mouseClick(strip()->SpeedButton37, Qt::LeftButton);
    QCOMPARE(strip()->geometry(), QRect(0, 41, 1024, 402));
    QVERIFY(!strip()->SpeedButton37->isVisible());
    QVERIFY(strip()->SpeedButton38->isVisible());
    QTest::mouseClick(strip()->SpeedButton29, Qt::LeftButton);
    QCOMPARE(strip()->geometry(), QRect(0, 41, 1024, 384));
    QCOMPARE(strip()->Panel6->height(), 1);
    QCOMPARE(strip()->Image3->geometry(), QRect(0, 0, 1024, 384));
    QTest::mouseClick(m_board->SpeedButton1, Qt::LeftButton);
    QTest::mouseClick(strip()->SpeedButton30, Qt::LeftButton);
    QVERIFY(!strip()->isVisible());
    QCOMPARE(m_model->pages().currentPage(), 2);
}

void ThumbnailStripTest::scrollSteps_data()
{
    QTest::addColumn<bool>("lowerHalf");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("to");
    const int arrowRight = QAbstractSlider::SliderSingleStepAdd;
    const int arrowLeft = QAbstractSlider::SliderSingleStepSub;
    const int trackRight = QAbstractSlider::SliderPageStepAdd;
    // Five pages.
    QTest::newRow("two-page view: the arrow moves a spread") << false << 1 << arrowRight << 3;
    QTest::newRow("two-page view: back a spread") << false << 4 << arrowLeft << 2;
    QTest::newRow("two-page view: the track moves one page") << false << 1 << trackRight << 2;
    QTest::newRow("two-page view: the arrow stops at the last page")
        << false << 4 << arrowRight << 5;
    QTest::newRow("lower-half view: the arrow moves one page") << true << 1 << arrowRight << 2;
    QTest::newRow("lower-half view: the track moves one page") << true << 3 << trackRight << 4;
}

void ThumbnailStripTest::scrollSteps()
{
    QFETCH(bool, lowerHalf);
    QFETCH(int, from);
    QFETCH(int, action);
    QFETCH(int, to);
    writePages(5);
    QTest::mouseClick(m_board->SpeedButton1, Qt::LeftButton);
    if (lowerHalf)
        QTest::mouseClick(strip()->SpeedButton28, Qt::LeftButton);
    strip()->ScrollBar1->setValue(from);
    strip()->ScrollBar1->triggerAction(QAbstractSlider::SliderAction(action));
    QCOMPARE(m_thumbnails->position(), to);
    QCOMPARE(strip()->Edit3->text(), QLatin1Char(' ') + QString::number(to));
    // The quick pass shows the page at once.
    QCOMPARE(m_thumbnails->picture().pixelColor(10, 10), QColor(20 * to, 100, 200));
}

void ThumbnailStripTest::endOfAScrollGestureRunsTheSmoothPass()
{
    writePages(4);
    QTest::mouseClick(m_board->SpeedButton1, Qt::LeftButton);
    m_thumbnails->waitForWorkers();
    QSignalSpy finished(m_thumbnails, &ThumbnailStripModel::smoothPassFinished);
    // A click on the right arrow: one step, and the gesture ends at the release.
    GestureScrollBar* bar = strip()->ScrollBar1;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 5, bar->height() / 2));
    QCOMPARE(m_thumbnails->position(), 3);
    QVERIFY(m_thumbnails->smoothPassPending());
    QVERIFY(finished.wait(10000));
}

void ThumbnailStripTest::releaseOnTheThumbnailsPicksAPage_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("page");
    QTest::newRow("left button on the left page") << int(Qt::LeftButton) << QPoint(100, 100) << 2;
    QTest::newRow("right button on the right page")
        << int(Qt::RightButton) << QPoint(800, 100) << 3;
}

void ThumbnailStripTest::releaseOnTheThumbnailsPicksAPage()
{
    QFETCH(int, button);
    QFETCH(QPoint, point);
    writePages(4);
    m_model->goToPage(2);
    QTest::mouseClick(m_board->SpeedButton1, Qt::LeftButton);
    QTest::mouseClick(strip()->Image3, Qt::MouseButton(button), {}, point);
    QTEST(m_model->pages().currentPage(), "page");
    QTEST(m_board->Edit2->text().toInt(), "page");
    QVERIFY(!strip()->isVisible());
}

void ThumbnailStripTest::newPagesWidenTheScrollRange()
{
    writePages(2);
    QTest::mouseClick(m_board->SpeedButton1, Qt::LeftButton);
    QCOMPARE(strip()->ScrollBar1->maximum(), 2);
    m_model->goToPage(2);
    QTest::mouseClick(m_board->SpeedButton12, Qt::LeftButton);
    QCOMPARE(m_model->pages().pageCount(), 3);
    QCOMPARE(strip()->ScrollBar1->maximum(), 3);
}

QTEST_MAIN(ThumbnailStripTest)
#include "ThumbnailStripTest.moc"

// Documents in the content panel on a real X display with a real web view: chosen through the
// panel's open button, shown in the view made for the first of them, kept by the page through
// page turns and stamped into the page like text.

#include "ProgramFixture.h"

#include "board/model/BoardModel.h"
#include "board/window/BoardWindow.h"
#include "board/window/ContentPanel.h"

#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {

const QString webPage = QStringLiteral(ZKALTO_TEST_DATA "/documents/lesson.htm");
// The page's own colours: the band of its heading and its background.
const QColor headingBlue(0x1e, 0x90, 0xff);
const QColor moccasin(0xff, 0xe4, 0xb5);

void writePicture(const QString& path)
{
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(headingBlue);
    QVERIFY(picture.save(path));
}

void writePdf(const QString& path)
{
    QPdfWriter pdf(path);
    QPainter painter(&pdf);
    painter.setFont(QFont(QStringLiteral("宋体"), 40));
    painter.drawText(QPointF(500, 1000), QStringLiteral("第一课 春天"));
}

int pixelsOf(const QImage& image, const QRect& rect, const QColor& colour)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

// Opens the board and, through its content panel's "打开", the sample web page; whether it loaded.
bool documentOpenedOnTheBoard(ProgramFixture& fixture)
{
    BoardWindow* board = fixture.windows().board;
    board->openFromDesktop();
    if (!QTest::qWaitForWindowExposed(board))
        return false;
    QTest::mouseClick(board->SpeedButton18, Qt::LeftButton);
    fixture.prompter->answerOpenFile(webPage);
    QTest::mouseClick(board->Panel4->SpeedButton26, Qt::LeftButton);
    QSignalSpy loaded(board->Panel4->WebBrowser1, SIGNAL(loadFinished(bool)));
    return loaded.wait(20000);
}

} // namespace

class DocumentViewTest : public QObject {
    Q_OBJECT
private slots:
    void documentShowsInTheView_data();
    void documentShowsInTheView();
    void pageKeepsItsDocumentAndStampsIt();
    void documentFollowsThePanel();
};

void DocumentViewTest::documentShowsInTheView_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("web page") << "htm";
    QTest::newRow("picture") << "png";
    QTest::newRow("PDF") << "pdf";
}

void DocumentViewTest::documentShowsInTheView()
{
    QFETCH(QString, kind);
    QTemporaryDir documents;
    QString path = webPage;
    if (kind == QLatin1String("png")) {
        path = documents.filePath(QStringLiteral("图片.png"));
        writePicture(path);
    } else if (kind == QLatin1String("pdf")) {
        path = documents.filePath(QStringLiteral("教案.pdf"));
        writePdf(path);
    }
    ProgramFixture fixture;
    fixture.start();
    BoardWindow* board = fixture.windows().board;
    board->openFromDesktop();
    QVERIFY(QTest::qWaitForWindowExposed(board));
    ContentPanel* panel = board->Panel4;
    QTest::mouseClick(board->SpeedButton18, Qt::LeftButton);
    QVERIFY(!panel->WebBrowser1);

    fixture.prompter->answerOpenFile(path);
    QTest::mouseClick(panel->SpeedButton26, Qt::LeftButton);
    QVERIFY(panel->WebBrowser1);
    // The program loads the web engine only now, as it does for a teacher: this test does not link
    // it.
    QWidget* view = panel->WebBrowser1;
    QSignalSpy loaded(view, SIGNAL(loadFinished(bool)));
    QVERIFY(loaded.wait(20000));
    QVERIFY(loaded.last().first().toBool());
    QCOMPARE(view->property("url").toUrl(), QUrl::fromLocalFile(path));
    QVERIFY(view->isVisible());
    QVERIFY(!panel->RichEdit1->isVisible());
    QCOMPARE(view->geometry(), QRect(0, 20, 368, 703));
    QCOMPARE(fixture.program->board().pages().current().contentKind, ContentKind::WebDocument);
    if (kind == QLatin1String("htm"))
        QCOMPARE(view->property("title").toString(), QStringLiteral("第一课 春天"));
    QVERIFY(fixture.prompter->unexpected().isEmpty());
}

void DocumentViewTest::pageKeepsItsDocumentAndStampsIt()
{
    ProgramFixture fixture;
    fixture.start();
    QVERIFY(documentOpenedOnTheBoard(fixture));
    BoardWindow* board = fixture.windows().board;
    BoardModel& model = fixture.program->board();
    ContentPanel* panel = board->Panel4;

    // To a new page and back: the page shows its document again where it was.
    QTest::mouseClick(board->SpeedButton12, Qt::LeftButton);
    QCOMPARE(model.pages().currentPage(), 2);
    QVERIFY(!panel->isVisible());
    QTest::mouseClick(board->SpeedButton11, Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QVERIFY(panel->WebBrowser1->isVisible());
    QCOMPARE(panel->WebBrowser1->property("url").toUrl(), QUrl::fromLocalFile(webPage));
    QCOMPARE(panel->geometry(), QRect(0, 41, 368, 723));

    // Entering the document view shows the title bar, leaving it hides it again.
    board->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(board));
    panel->WebBrowser1->clearFocus();
    QTRY_VERIFY(!panel->Image1->isVisible());
    panel->WebBrowser1->setFocus();
    QTRY_VERIFY(panel->Image1->isVisible());
    panel->WebBrowser1->clearFocus();
    QTRY_VERIFY(!panel->Image1->isVisible());

    // The renderer has drawn the page once its heading's colour is on the screen.
    QVERIFY(QTest::qWaitFor(
        [&] { return pixelsOf(panel->picture(), QRect(0, 20, 368, 100), headingBlue) > 1000; },
        20000));
    QTest::mouseClick(panel->SpeedButton41, Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    const QImage page = model.pages().currentPageImage();
    const QRect under(0, 41, 368, 723);
    QVERIFY(pixelsOf(page, under, headingBlue) > 1000);
    QVERIFY(pixelsOf(page, under, moccasin) > 10000);
    QCOMPARE(model.pages().current().contentKind, ContentKind::None);
    QVERIFY(fixture.prompter->unexpected().isEmpty());
}

// The document is drawn in a window of the web view process inside the panel: it keeps to the
// panel's place and size on the screen as the panel changes them.
void DocumentViewTest::documentFollowsThePanel()
{
    ProgramFixture fixture;
    fixture.start();
    QVERIFY(documentOpenedOnTheBoard(fixture));
    BoardWindow* board = fixture.windows().board;
    ContentPanel* panel = board->Panel4;

    for (QToolButton* button : {panel->SpeedButton21, panel->SpeedButton22}) {
        const QRect before = panel->geometry();
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(panel->geometry() != before);
        QVERIFY(panel->WebBrowser1->isVisible());
        // The whole view, its far corner too, shows the page: its background, and its heading
        // along the top.
        // (As much of it as the board shows: at full size the panel reaches below the screen.)
        const QRect view =
            panel->WebBrowser1->geometry().intersected(QRect(-panel->pos(), board->size()));
        const QRect farCorner(view.center(), view.bottomRight());
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         const QImage screen = panel->picture();
                         return pixelsOf(screen, farCorner, moccasin) ==
                                    farCorner.width() * farCorner.height() &&
                                pixelsOf(screen, QRect(view.topLeft(), QSize(view.width(), 20)),
                                         headingBlue) > view.width() * 10;
                     },
                     20000),
                 qPrintable(QStringLiteral("panel at %1,%2 %3x%4")
                                .arg(panel->x())
                                .arg(panel->y())
                                .arg(panel->width())
                                .arg(panel->height())));
    }
}

QTEST_MAIN(DocumentViewTest)
#include "DocumentViewTest.moc"

// The content panel on the board model: opening, page turns that keep each page's panel, stamps
// and closing, moving and sizing, the font dialog, pasting and a text file that cannot be kept.

#include "board/content/ContentPanelModel.h"
#include "board/content/RichTextReader.h"
#include "board/model/BoardModel.h"
#include "files/ProgramRun.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QTemporaryDir>
#include <QTextCursor>

#include <QtTest>

namespace {

const QSize screen(1024, 768);
const QColor grey(128, 128, 128);
const QRect opened(0, 41, 368, 723);

// A board on a grey page 1 written on, with its program directory of its own.
struct Board {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    BoardModel model{screen, directory.path() + QLatin1Char('/'), prompter};
    PageStore& pages = model.pages();
    ContentPanelModel& panel = model.panel();

    Board()
    {
        model.makeCurrentPageReady();
        model.showOnWindow();
        pages.current().state = PageState::WrittenOn;
    }

    void type(const QString& text)
    {
        QTextCursor cursor(panel.text());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    }
    QString text() { return panel.text()->toPlainText(); }
    QImage page() { return pages.currentPageImage(); }
    // The text kept in page n's text file.
    QString keptText(int n)
    {
        QTextDocument kept;
        RichTextReader::read(pages.pageText(n).value_or(QByteArray()), kept);
        return kept.toPlainText();
    }
    void writeOnPage(QPoint from, QPoint to)
    {
        model.press(from);
        model.move(to);
        model.release(to);
    }
};

QImage solid(QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Pixels of rect in image that differ from colour.
int countNot(const QImage& image, const QRect& rect, const QColor& colour)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixelColor(x, y) != colour;
    return count;
}

// What a page shows in its panel, for a table.
struct PagePanel {
    ContentKind kind = ContentKind::None;
    QRect bounds;
    QString text;
};

} // namespace

Q_DECLARE_METATYPE(QList<PagePanel>)

class ContentPanelModelTest : public QObject {
    Q_OBJECT
private slots:
    void openingTwiceTogglesTheTitleBarAndKeepsTheText();
    void pageTurnsKeepEachPagesPanel_data();
    void pageTurnsKeepEachPagesPanel();
    void pageOfTextWithoutAKeptTextOpensEmpty();
    void closeAfterAnUnderlayStampRestoresThePage();
    void stampIntoThePageAfterTheThumbnailStampKeepsThePanel();
    void titleBarPressWipesTheThumbnailStamp();
    void dragsMoveAndResize_data();
    void dragsMoveAndResize();
    void fullAndNormalSize();
    void normalSizeRestoresOnlyTheSavedPagesOwnPixels();
    void fontDialog();
    void pasteShowsTheTextAndClearsTheView();
    void textFileThatCannotBeWrittenIsReported();
};

void ContentPanelModelTest::openingTwiceTogglesTheTitleBarAndKeepsTheText()
{
    Board board;
    board.pages.current().state = PageState::Cleared;
    board.panel.open();
    const ContentPanelState& state = board.panel.state();
    QVERIFY(state.shown);
    QVERIFY(state.titleBarShown);
    QVERIFY(state.textShown);
    QCOMPARE(state.bounds, opened);
    QCOMPARE(board.pages.current().contentKind, ContentKind::Text);
    QCOMPARE(board.pages.current().state, PageState::WrittenOn);
    QCOMPARE(board.pages.savedPageImage(), board.page());
    QCOMPARE(board.text(), QString());
    board.type(QStringLiteral("同学们好"));
    board.panel.pressTitleBar({100, 10});
    board.panel.dragTitleBar({150, 30});

    board.panel.open();
    QVERIFY(state.shown);
    QVERIFY(!state.titleBarShown);
    QCOMPARE(state.bounds, opened.translated(50, 20));
    QCOMPARE(board.text(), QStringLiteral("同学们好"));
    QVERIFY(board.prompter.unexpected().isEmpty());
}

void ContentPanelModelTest::pageTurnsKeepEachPagesPanel_data()
{
    QTest::addColumn<QList<PagePanel>>("pages");
    const PagePanel text1{ContentKind::Text, {0, 41, 368, 723}, QStringLiteral("第一页")};
    const PagePanel text2{ContentKind::Text, {200, 100, 400, 300}, QStringLiteral("第二页\n二")};
    const PagePanel document{ContentKind::WebDocument, {50, 60, 500, 600}, {}};
    const PagePanel none;
    QTest::newRow("text, document, nothing") << QList<PagePanel>{text1, document, none};
    QTest::newRow("nothing, text, text") << QList<PagePanel>{none, text2, text1};
    QTest::newRow("document, text, document") << QList<PagePanel>{document, text2, document};
}

void ContentPanelModelTest::pageTurnsKeepEachPagesPanel()
{
    QFETCH(QList<PagePanel>, pages);
    Board board;
    const QUrl view = QUrl::fromLocalFile(QStringLiteral("/lessons/plan.htm"));
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            board.writeOnPage({600, 300}, {700, 320});
            board.model.turnRight();
            QVERIFY(!board.panel.state().shown);
            QCOMPARE(board.text(), QString());
        }
        const PagePanel& page = pages[i];
        if (page.kind == ContentKind::None)
            continue;
        board.panel.open();
        board.type(page.text);
        if (page.kind == ContentKind::WebDocument)
            board.panel.showDocument(view);
        // The bounds the page keeps are where the panel was left.
        board.panel.pressTitleBar({0, 0});
        board.panel.dragTitleBar(page.bounds.topLeft() - board.panel.state().bounds.topLeft());
        board.panel.pressTextArea({board.panel.state().bounds.width() - 1, 300});
        board.panel.dragTextArea({page.bounds.width() - 1, 300});
        board.panel.pressTextArea({10, board.panel.state().bounds.height() - 1});
        board.panel.dragTextArea({10, page.bounds.height() - 1});
        QCOMPARE(board.panel.state().bounds, page.bounds);
    }
    // Back to the first page and forward again.
    for (int n : {2, 1, 2, 3}) {
        if (n < board.pages.currentPage())
            board.model.turnLeft();
        else
            board.model.turnRight();
        QCOMPARE(board.pages.currentPage(), n);
        const PagePanel& page = pages[n - 1];
        const ContentPanelState& state = board.panel.state();
        QCOMPARE(board.pages.current().contentKind, page.kind);
        QCOMPARE(state.shown, page.kind != ContentKind::None);
        QVERIFY(!state.titleBarShown);
        if (page.kind == ContentKind::None)
            continue;
        QCOMPARE(state.bounds, page.bounds);
        QCOMPARE(state.textShown, page.kind == ContentKind::Text);
        if (page.kind == ContentKind::Text)
            QCOMPARE(board.text(), page.text);
        else
            QCOMPARE(state.document, view);
    }
    QCOMPARE(board.pages.pageCount(), 3);
}

void ContentPanelModelTest::pageOfTextWithoutAKeptTextOpensEmpty()
{
    Board board;
    board.panel.open();
    board.type(QStringLiteral("第一页"));
    board.model.turnRight();
    board.model.turnLeft();
    // Page 2 shows text but has no text file: it does not show page 1's text.
    board.pages.page(2).contentKind = ContentKind::Text;
    board.model.turnRight();
    QVERIFY(board.panel.state().shown);
    QCOMPARE(board.text(), QString());
    board.model.turnLeft();
    QCOMPARE(board.text(), QStringLiteral("第一页"));
}

void ContentPanelModelTest::closeAfterAnUnderlayStampRestoresThePage()
{
    Board board;
    board.writeOnPage({100, 300}, {200, 300});
    const QImage beforeOpening = board.page();
    board.panel.open();
    board.type(QStringLiteral("板书"));
    const QImage picture = solid(opened.size(), Qt::yellow);
    board.panel.stampAsUnderlay(picture);
    QVERIFY(!board.panel.state().shown);
    QVERIFY(!board.panel.state().titleBarShown);
    QVERIFY(board.pages.underlayActive());
    QCOMPARE(countNot(board.page(), opened, Qt::yellow), 0);
    QCOMPARE(board.model.screen().image(), board.page());
    const QImage& underlay = board.pages.underlayImage();
    QCOMPARE(underlay.size(), screen);
    QCOMPARE(countNot(underlay, opened, Qt::yellow), 0);
    QCOMPARE(underlay.pixelColor(700, 300), grey);
    QCOMPARE(board.keptText(1), QStringLiteral("板书"));
    QCOMPARE(board.pages.current().contentKind, ContentKind::Text);

    // The eraser now brings the stamp back instead of the background.
    board.model.chooseTool(ToolMode::Eraser);
    board.writeOnPage({100, 300}, {120, 300});
    QCOMPARE(board.page().pixelColor(100, 300), QColor(Qt::yellow));

    board.panel.open(); // the page has its panel: it shows again
    QVERIFY(board.panel.state().shown);
    board.panel.close();
    QVERIFY(!board.panel.state().shown);
    QVERIFY(!board.pages.underlayActive());
    QCOMPARE(board.page().copy(opened), beforeOpening.copy(opened));
    QCOMPARE(board.model.screen().image().copy(opened), beforeOpening.copy(opened));
    QCOMPARE(board.pages.current().contentKind, ContentKind::None);
    QCOMPARE(board.keptText(1), QStringLiteral("板书"));
    // Opened again, the panel brings the text back.
    board.panel.open();
    QCOMPARE(board.text(), QStringLiteral("板书"));
}

void ContentPanelModelTest::stampIntoThePageAfterTheThumbnailStampKeepsThePanel()
{
    Board board;
    board.panel.open();
    board.type(QStringLiteral("写在页上"));
    board.pages.current().panelStamped = true;
    board.panel.stampAndClose(solid(opened.size(), Qt::cyan));
    QCOMPARE(countNot(board.page(), opened, Qt::cyan), 0);
    QCOMPARE(board.model.screen().image(), board.page());
    QVERIFY(!board.pages.current().panelStamped);
    QVERIFY(!board.panel.state().shown);
    QCOMPARE(board.pages.current().contentKind, ContentKind::None);
    QCOMPARE(board.panel.state().document, QUrl());
    QCOMPARE(board.keptText(1), QStringLiteral("写在页上"));
}

void ContentPanelModelTest::titleBarPressWipesTheThumbnailStamp()
{
    Board board;
    board.panel.open();
    QImage& page = board.pages.currentPageImage();
    page.fill(Qt::red);
    page.setPixelColor(screen.width() - 1, 38, grey);
    board.pages.current().panelStamped = true;
    board.panel.pressTitleBar({100, 10});
    QCOMPARE(countNot(page, opened, grey), 0);
    QCOMPARE(page.pixelColor(500, 300), QColor(Qt::red));
    QVERIFY(board.pages.current().panelStamped);

    // A press inside the text box is for the text: the page stays.
    page.fill(Qt::red);
    page.setPixelColor(screen.width() - 1, 38, grey);
    QVERIFY(!board.panel.pressTextArea({100, 300}));
    QCOMPARE(page.pixelColor(100, 300), QColor(Qt::red));
}

void ContentPanelModelTest::dragsMoveAndResize_data()
{
    QTest::addColumn<bool>("onTitleBar");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("grip");
    QTest::addColumn<QRect>("bounds");
    const int move = int(PanelGrip::Move);
    QTest::newRow("title bar moves")
        << true << QPoint(100, 10) << QPoint(150, 40) << move << QRect(50, 71, 368, 723);
    QTest::newRow("title bar stays below the strip")
        << true << QPoint(100, 10) << QPoint(100, -300) << move << QRect(0, 40, 368, 723);
    QTest::newRow("title bar stays on the screen")
        << true << QPoint(100, 10) << QPoint(2000, 2000) << move << QRect(984, 748, 368, 723);
    QTest::newRow("title bar's right edge widens")
        << true << QPoint(365, 10) << QPoint(465, 50) << int(PanelGrip::ResizeWidth)
        << QRect(0, 41, 468, 723);
    QTest::newRow("right edge narrows, never to nothing")
        << false << QPoint(366, 300) << QPoint(-500, 300) << int(PanelGrip::ResizeWidth)
        << QRect(0, 41, 20, 723);
    QTest::newRow("bottom edge") << false << QPoint(100, 720) << QPoint(300, 520)
                                 << int(PanelGrip::ResizeHeight) << QRect(0, 41, 368, 523);
    QTest::newRow("corner") << false << QPoint(366, 721) << QPoint(466, 621)
                            << int(PanelGrip::ResizeBoth) << QRect(0, 41, 468, 623);
    QTest::newRow("inside the text selects text")
        << false << QPoint(100, 300) << QPoint(300, 500) << int(PanelGrip::Text) << opened;
}

void ContentPanelModelTest::dragsMoveAndResize()
{
    QFETCH(bool, onTitleBar);
    QFETCH(QPoint, press);
    QFETCH(QPoint, to);
    QFETCH(int, grip);
    QFETCH(QRect, bounds);
    Board board;
    board.panel.open();
    // Ink on the window under the panel, which the page does not hold.
    const_cast<ScreenImage&>(board.model.screen()).fill(opened, Qt::magenta);
    if (onTitleBar) {
        QCOMPARE(int(board.panel.hoverTitleBar(press)), grip);
        board.panel.pressTitleBar(press);
        board.panel.dragTitleBar(to);
    } else {
        QCOMPARE(int(board.panel.hoverTextArea(press)), grip);
        QCOMPARE(board.panel.pressTextArea(press), grip != int(PanelGrip::Text));
        board.panel.dragTextArea(to);
    }
    QCOMPARE(int(board.panel.grip()), grip);
    QCOMPARE(board.panel.state().bounds, bounds);
    // Where the panel no longer covers the page, the page shows.
    const QImage& shown = board.model.screen().image();
    for (QPoint corner : {opened.topLeft(), opened.bottomRight(), QPoint(366, 300)})
        if (!bounds.contains(corner))
            QCOMPARE(shown.pixelColor(corner), grey);
}

void ContentPanelModelTest::fullAndNormalSize()
{
    Board board;
    board.panel.open();
    board.writeOnPage({600, 300}, {700, 300});
    const QImage written = board.page();
    board.panel.fullSize();
    QCOMPARE(board.panel.state().bounds, QRect(0, 41, 1024, 768));
    QCOMPARE(board.pages.savedPageImage(), written);
    // The thumbnail view stamps the full panel into the page.
    board.pages.currentPageImage().fill(Qt::cyan);
    board.panel.normalSize();
    QCOMPARE(board.panel.state().bounds, QRect(0, 41, 368, 728));
    QCOMPARE(board.page().copy(0, 41, 1024, 727), written.copy(0, 41, 1024, 727));
    board.panel.widen();
    QCOMPARE(board.panel.state().bounds, QRect(0, 41, 388, 728));
}

void ContentPanelModelTest::normalSizeRestoresOnlyTheSavedPagesOwnPixels()
{
    Board board;
    board.panel.open(); // the saved page image is page 1's
    board.model.turnRight();
    board.pages.current().contentKind = ContentKind::Text;
    board.model.turnLeft();
    board.model.turnRight();
    QCOMPARE(board.pages.currentPage(), 2);
    board.writeOnPage({600, 300}, {700, 300});
    board.pages.currentPageImage().fill(Qt::cyan);
    // Writing on page 2 right of the panel stays; page 1's pixels never come onto page 2.
    board.panel.normalSize();
    QCOMPARE(countNot(board.page(), board.page().rect(), Qt::cyan), 0);
}

void ContentPanelModelTest::fontDialog()
{
    Board board;
    board.panel.open();
    board.type(QStringLiteral("一二三四"));
    QFont chosen(QStringLiteral("楷体"));
    chosen.setPointSize(20);
    chosen.setBold(true);
    QFont applied(QStringLiteral("宋体"));
    applied.setPointSize(28);
    QSignalSpy typing(&board.panel, &ContentPanelModel::typingFontChosen);

    // The selection "二三": Apply gives the whole text the font, OK the selection.
    board.prompter.answerFont(chosen, {applied});
    board.panel.chooseFont(3, 1);
    const QString asked = board.prompter.questions().last().text;
    QVERIFY(asked.startsWith(QStringLiteral("隶书,36,")));
    auto fontAt = [&](int position) {
        QTextCursor cursor(board.panel.text());
        cursor.setPosition(position + 1);
        return cursor.charFormat().font();
    };
    QCOMPARE(fontAt(0).family(), QStringLiteral("宋体"));
    QCOMPARE(fontAt(1).family(), QStringLiteral("楷体"));
    QCOMPARE(fontAt(2).pointSize(), 20);
    QVERIFY(fontAt(2).bold());
    QCOMPARE(fontAt(3).pointSize(), 28);
    QCOMPARE(typing.size(), 1); // the font applied is for what is typed next too

    // No selection: what is typed next.
    board.prompter.answerFont(chosen);
    board.panel.chooseFont(4, 4);
    QCOMPARE(typing.size(), 2);
    QCOMPARE(typing.last().first().value<QTextCharFormat>().font().family(),
             QStringLiteral("楷体"));
    // Cancelled: nothing changes.
    board.panel.chooseFont(0, 4);
    QCOMPARE(fontAt(0).family(), QStringLiteral("宋体"));
    QCOMPARE(typing.size(), 2);
}

void ContentPanelModelTest::pasteShowsTheTextAndClearsTheView()
{
    Board board;
    board.panel.open();
    board.panel.showDocument(QUrl::fromLocalFile(QStringLiteral("/lessons/plan.htm")));
    QVERIFY(!board.panel.state().textShown);
    QCOMPARE(board.pages.current().contentKind, ContentKind::WebDocument);
    board.panel.prepareForPaste();
    QVERIFY(board.panel.state().textShown);
    QCOMPARE(board.panel.state().document, QUrl());
    QCOMPARE(board.pages.current().contentKind, ContentKind::Text);
}

void ContentPanelModelTest::textFileThatCannotBeWrittenIsReported()
{
    ScriptedPrompter prompter;
    BoardModel model(screen, QStringLiteral("/nonexistent/zkalto/"), prompter);
    model.panel().open();
    model.panel().close();
    QCOMPARE(prompter.questions().size(), 1);
    QCOMPARE(prompter.questions().first().kind, ScriptedPrompter::Kind::Inform);
    QCOMPARE(prompter.questions().first().text,
             QStringLiteral("本页的文字无法保存到文件 /nonexistent/zkalto/texts-%1/1")
                 .arg(ProgramRun::current().name()));
}

QTEST_MAIN(ContentPanelModelTest)
#include "ContentPanelModelTest.moc"

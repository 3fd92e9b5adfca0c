// The content panel on the board window: its place and buttons, typing through the input method,
// pasting, stamping, dragging, its requests, and presses that never reach the page.

#include "board/window/ContentPanel.h"
#include "board/content/PictureColumn.h"
#include "board/content/RichTextReader.h"
#include "board/model/BoardModel.h"
#include "board/model/ClipArtPalette.h"
#include "board/model/ThumbnailStripModel.h"
#include "board/tools/CursorFile.h"
#include "board/window/BoardWindow.h"
#include "board/window/LongWordWrap.h"
#include "board/window/PalettePanel.h"
#include "platform/fakes/ScriptedPrompter.h"
#include "ui/WebViews.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {
const QSize screen(1024, 768);
const QColor grey(128, 128, 128);
} // namespace

class ContentPanelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void panelOpensAtItsPlace();
    void titleBarButtonsStandOnTheirIcons_data();
    void titleBarButtonsStandOnTheirIcons();
    void buttonsAskForWhatOthersProvide_data();
    void buttonsAskForWhatOthersProvide();
    void textTypedThroughTheInputMethodIsKeptInTheBrushScript();
    void pasteButtonPastesTheClipboard();
    void textBoxWrapsAnywhereOnlyAroundOverlongWords_data();
    void textBoxWrapsAnywhereOnlyAroundOverlongWords();
    void stampIntoThePageCopiesThePanelAndCloses();
    void documentSaysSoWithoutTheWebEngine();
    void titleBarDragMovesThePanel();
    void pressesOnThePanelNeverReachThePage_data();
    void pressesOnThePanelNeverReachThePage();

private:
    void open() { QTest::mouseClick(m_board->SpeedButton18, Qt::LeftButton); }
    QImage page() const { return m_model->pages().currentPageImage(); }

    // Each test's page text files are its own.
    std::unique_ptr<QTemporaryDir> m_directory;
    ScriptedPrompter* m_prompter = nullptr;
    CursorSlots* m_cursors = nullptr;
    PictureColumn m_pictureColumn;
    BoardModel* m_model = nullptr;
    ClipArtPalette* m_palette = nullptr;
    ThumbnailStripModel* m_thumbnails = nullptr;
    BoardWindow* m_board = nullptr;
    ContentPanel* m_panel = nullptr;
};

void ContentPanelTest::init()
{
    QDir::setCurrent(QStringLiteral(ZKALTO_PROGRAM_DIR));
    m_cursors = new CursorSlots;
    m_prompter = new ScriptedPrompter;
    m_directory = std::make_unique<QTemporaryDir>();
    m_model = new BoardModel(screen, m_directory->path() + QLatin1Char('/'), *m_prompter);
    m_palette =
        new ClipArtPalette(*m_model, m_pictureColumn, QStringLiteral(ZKALTO_PROGRAM_DIR "/"));
    m_thumbnails = new ThumbnailStripModel(*m_model);
    m_board = new BoardWindow(*m_model, *m_palette, *m_thumbnails, *m_cursors, m_pictureColumn);
    m_panel = m_board->Panel4;
    m_board->openFromDesktop();
    QVERIFY(QTest::qWaitForWindowExposed(m_board));
}

void ContentPanelTest::cleanup()
{
    QVERIFY(m_prompter->unexpected().isEmpty());
    delete m_board;
    delete m_thumbnails;
    delete m_palette;
    delete m_model;
    delete m_prompter;
    delete m_cursors;
}

void ContentPanelTest::panelOpensAtItsPlace()
{
    QVERIFY(!m_panel->isVisible());
    open();
    QVERIFY(m_panel->isVisible());
    QCOMPARE(m_panel->objectName(), QStringLiteral("Panel4"));
    QCOMPARE(m_panel->geometry(), QRect(0, 41, 368, 723));
    QCOMPARE(m_panel->palette().color(QPalette::Window), QColor(0, 128, 128));
    QVERIFY(m_panel->Image1->isVisible());
    QCOMPARE(m_panel->Image1->geometry(), QRect(0, 0, 368, 20));
    QCOMPARE(m_panel->Image1->pixmap().size(), QSize(363, 20));
    QCOMPARE(m_panel->RichEdit1->geometry(), QRect(0, 20, 368, 703));
    QVERIFY(m_panel->RichEdit1->isVisible());
    QCOMPARE(m_panel->RichEdit1->frameShape(), QFrame::NoFrame);
    const QFont font = m_panel->RichEdit1->document()->defaultFont();
    QCOMPARE(font.family(), QStringLiteral("隶书"));
    QCOMPARE(font.pixelSize(), 48);
    QCOMPARE(m_panel->RichEdit1->palette().color(QPalette::Text), QColor(Qt::black));
    QVERIFY(m_panel->RichEdit1->acceptRichText());
    QVERIFY(m_panel->RichEdit1->testAttribute(Qt::WA_InputMethodEnabled));
    // The web engine starts with the first document, not with the board.
    QVERIFY(!m_panel->WebBrowser1);
    QVERIFY(!m_board->findChild<QWidget*>(QStringLiteral("WebBrowser1")));

    // A second "导入" hides the title bar: the text box fills the panel.
    open();
    QVERIFY(!m_panel->Image1->isVisible());
    QCOMPARE(m_panel->RichEdit1->geometry(), QRect(0, 0, 368, 723));
}

void ContentPanelTest::titleBarButtonsStandOnTheirIcons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("picture"); // a glyph of its own, or a hot area over the title bar's
    QTest::newRow("font") << "SpeedButton16" << QRect(9, 2, 19, 18) << true;
    QTest::newRow("normal size") << "SpeedButton22" << QRect(30, 0, 20, 20) << false;
    QTest::newRow("full screen") << "SpeedButton21" << QRect(91, 0, 22, 20) << false;
    QTest::newRow("open") << "SpeedButton26" << QRect(129, 6, 20, 14) << true;
    QTest::newRow("scan") << "SpeedButton34" << QRect(154, 4, 20, 18) << true;
    QTest::newRow("clip-art") << "SpeedButton32" << QRect(177, 4, 20, 18) << true;
    QTest::newRow("paste") << "SpeedButton23" << QRect(201, 4, 22, 16) << true;
    QTest::newRow("stamp as underlay") << "SpeedButton31" << QRect(239, 1, 22, 18) << true;
    QTest::newRow("stamp and close") << "SpeedButton41" << QRect(265, 1, 22, 18) << true;
    QTest::newRow("wider") << "SpeedButton20" << QRect(292, 0, 17, 20) << false;
    QTest::newRow("hide the title bar") << "SpeedButton24" << QRect(325, 0, 18, 18) << false;
    QTest::newRow("close") << "SpeedButton19" << QRect(343, 0, 19, 18) << false;
}

void ContentPanelTest::titleBarButtonsStandOnTheirIcons()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(bool, picture);
    open();
    auto* button = m_panel->findChild<QToolButton*>(name);
    QVERIFY(button);
    QCOMPARE(button->parentWidget(), m_panel->Image1);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(!button->icon().isNull(), picture);
    QVERIFY(button->isVisible());
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
}

void ContentPanelTest::buttonsAskForWhatOthersProvide_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("request");
    // The board answers the clip-art request itself: its palette opens in the panel's place.
    QTest::addColumn<bool>("panelStays");
    QTest::newRow("open") << "SpeedButton26"
                          << "documentRequested" << true;
    QTest::newRow("scan") << "SpeedButton34"
                          << "scanRequested" << true;
    QTest::newRow("clip-art") << "SpeedButton32"
                              << "clipArtRequested" << false;
}

void ContentPanelTest::buttonsAskForWhatOthersProvide()
{
    QFETCH(QString, name);
    QFETCH(QString, request);
    QFETCH(bool, panelStays);
    open();
    QSignalSpy documents(m_panel, &ContentPanel::documentRequested);
    QSignalSpy scans(m_panel, &ContentPanel::scanRequested);
    QSignalSpy clipArt(m_panel, &ContentPanel::clipArtRequested);
    QTest::mouseClick(m_panel->findChild<QToolButton*>(name), Qt::LeftButton);
    QCOMPARE(documents.size(), request == QLatin1String("documentRequested") ? 1 : 0);
    QCOMPARE(scans.size(), request == QLatin1String("scanRequested") ? 1 : 0);
    QCOMPARE(clipArt.size(), request == QLatin1String("clipArtRequested") ? 1 : 0);
    QCOMPARE(m_panel->isVisible(), panelStays);
    QCOMPARE(m_board->Panel9->isVisible(), !panelStays);
}

void ContentPanelTest::textTypedThroughTheInputMethodIsKeptInTheBrushScript()
{
    open();
    QTextEdit* text = m_panel->RichEdit1;
    text->setFocus();
    // What an input method sends: first the text being composed, then the committed text.
    QInputMethodEvent composing(QStringLiteral("tongxue"), {});
    QCoreApplication::sendEvent(text, &composing);
    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("同学们好"));
    QCoreApplication::sendEvent(text, &committed);
    QTest::keyClicks(text, QStringLiteral(" ok"));
    QCOMPARE(text->toPlainText(), QStringLiteral("同学们好 ok"));

    QTest::mouseClick(m_board->SpeedButton12, Qt::LeftButton); // the page is written on
    QCOMPARE(m_model->pages().currentPage(), 2);
    QVERIFY(!m_panel->isVisible());
    const QByteArray kept = m_model->pages().pageText(1).value();
    // The brush script's name in GBK, 48 pixels as 36 points.
    QVERIFY(kept.contains("\\fcharset134 \\'c1\\'a5\\'ca\\'e9;"));
    QVERIFY(kept.contains("\\fs72 "));
    QTest::mouseClick(m_board->SpeedButton11, Qt::LeftButton);
    QVERIFY(m_panel->isVisible());
    QCOMPARE(text->toPlainText(), QStringLiteral("同学们好 ok"));
}

void ContentPanelTest::pasteButtonPastesTheClipboard()
{
    open();
    QGuiApplication::clipboard()->setText(QStringLiteral("粘贴的课文"));
    QTest::mouseClick(m_panel->SpeedButton23, Qt::LeftButton);
    QCOMPARE(m_panel->RichEdit1->toPlainText(), QStringLiteral("粘贴的课文"));
    QVERIFY(m_panel->RichEdit1->isVisible());
    QCOMPARE(m_model->pages().current().contentKind, ContentKind::Text);
}

void ContentPanelTest::textBoxWrapsAnywhereOnlyAroundOverlongWords_data()
{
    QTest::addColumn<QString>("earlier"); // the page text shown before
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("anywhere");
    const QString longest(LongWordWrap::longestWord, QLatin1Char('a'));
    QString hangul;
    for (int n = 0; n <= LongWordWrap::longestWord; ++n)
        hangul += QChar(char16_t(0xAC00 + n));
    QTest::newRow("a long Chinese paragraph") << QString() << QString(5000, u'课') << false;
    QTest::newRow("English words")
        << QString() << QStringLiteral("Spring is here. ").repeated(300) << false;
    QTest::newRow("a word of the longest length") << QString() << longest + " b" << false;
    QTest::newRow("letters beyond it") << QString() << longest + "b" << true;
    QTest::newRow("Hangul without a space") << QString() << hangul << true;
    QTest::newRow("emoji without a space")
        << QString() << QStringLiteral("😀").repeated(LongWordWrap::longestWord + 1) << true;
    QTest::newRow("the next page's text after a long word")
        << hangul << QStringLiteral("课文 text") << false;
}

void ContentPanelTest::textBoxWrapsAnywhereOnlyAroundOverlongWords()
{
    QFETCH(QString, earlier);
    QFETCH(QString, text);
    QFETCH(bool, anywhere);
    // Page texts as the writer gives characters GBK lacks: a \uN escape each.
    const auto richText = [](const QString& characters) {
        QByteArray file = "{\\rtf1 ";
        for (QChar c : characters)
            file += "\\u" + QByteArray::number(qint16(c.unicode())) + '?';
        return file + '}';
    };
    open();
    RichTextReader::read(richText(earlier), *m_model->panelText());
    RichTextReader::read(richText(text), *m_model->panelText());
    QCOMPARE(m_panel->RichEdit1->toPlainText(), text);
    QCOMPARE(m_panel->RichEdit1->wordWrapMode(),
             anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void ContentPanelTest::stampIntoThePageCopiesThePanelAndCloses()
{
    m_model->setTextPanelColour(0xA5A5A5);
    open();
    m_panel->RichEdit1->setPlainText(QStringLiteral("写在黑板上"));
    QTest::mouseClick(m_panel->SpeedButton41, Qt::LeftButton);
    QVERIFY(!m_panel->isVisible());
    QCOMPARE(m_model->pages().current().contentKind, ContentKind::None);
    // The text box's grey with the writing in black now lies in the page, title bar left out.
    const QRect panel(0, 41, 368, 723);
    QCOMPARE(page().pixelColor(2, 42), QColor(165, 165, 165));
    int ink = 0;
    for (int y = 41; y < 200; ++y)
        for (int x = 0; x < 368; ++x)
            ink += qGray(page().pixel(x, y)) < 60;
    QVERIFY(ink > 200);
    QCOMPARE(page().pixelColor(500, 300), grey);
    QCOMPARE(m_model->screen().image().copy(panel), page().copy(panel));
}

void ContentPanelTest::titleBarDragMovesThePanel()
{
    open();
    QLabel* title = m_panel->Image1;
    QTest::mouseMove(title, QPoint(364, 10));
    QCOMPARE(title->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(title, QPoint(60, 10));
    QCOMPARE(title->cursor().shape(), Qt::SizeAllCursor);
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(60, 10));
    QTest::mouseMove(title, QPoint(160, 60));
    QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(160, 60));
    QCOMPARE(m_panel->geometry(), QRect(100, 91, 368, 723));
    QCOMPARE(m_model->contentPanel().bounds, QRect(100, 91, 368, 723));
}

void ContentPanelTest::pressesOnThePanelNeverReachThePage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("button");
    const int left = Qt::LeftButton;
    QTest::newRow("title bar") << "Image1" << QPoint(70, 10) << left;
    QTest::newRow("title bar, right button") << "Image1" << QPoint(70, 10) << int(Qt::RightButton);
    QTest::newRow("title bar's right edge") << "Image1" << QPoint(366, 10) << left;
    QTest::newRow("text") << "RichEdit1" << QPoint(100, 300) << left;
    QTest::newRow("text, right button") << "RichEdit1" << QPoint(100, 300) << int(Qt::RightButton);
    QTest::newRow("text box's right edge") << "RichEdit1" << QPoint(366, 300) << left;
    QTest::newRow("text box's corner") << "RichEdit1" << QPoint(366, 700) << left;
    QTest::newRow("wider") << "SpeedButton20" << QPoint(5, 5) << left;
    QTest::newRow("hide the title bar, right button")
        << "SpeedButton24" << QPoint(5, 5) << int(Qt::RightButton);
}

void ContentPanelTest::pressesOnThePanelNeverReachThePage()
{
    QFETCH(QString, name);
    QFETCH(QPoint, at);
    QFETCH(int, button);
    open();
    auto* target = m_panel->findChild<QWidget*>(name);
    QVERIFY(target);
    if (auto* text = qobject_cast<QTextEdit*>(target))
        target = text->viewport();
    const QImage before = page();
    m_model->pages().scratchImage().fill(Qt::yellow);
    // A touch that jitters by two pixels, then a drag down onto the page.
    QTest::mousePress(target, Qt::MouseButton(button), {}, at);
    QTest::mouseMove(target, at + QPoint(2, 1));
    QTest::mouseRelease(target, Qt::MouseButton(button), {}, at + QPoint(2, 1));
    QTest::mousePress(target, Qt::MouseButton(button), {}, at);
    QTest::mouseMove(m_board, QPoint(700, 300));
    QTest::mouseRelease(m_board, Qt::MouseButton(button), {}, QPoint(700, 300));

    QCOMPARE(page(), before);
    QCOMPARE(m_model->pages().scratchImage().pixelColor(500, 500), QColor(Qt::yellow));
    QCOMPARE(m_model->strokeBox(), StrokeBox());
}

// This test's program has no web view module beside it: the panel says the page cannot show.
void ContentPanelTest::documentSaysSoWithoutTheWebEngine()
{
    open();
    m_model->panel().showDocument(
        QUrl::fromLocalFile(QStringLiteral(ZKALTO_TEST_DATA "/documents/lesson.htm")));
    auto* notice = qobject_cast<QLabel*>(m_panel->WebBrowser1);
    QVERIFY(notice);
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QString::fromUtf8(WebViews::unavailableText));
}

QTEST_MAIN(ContentPanelTest)
#include "ContentPanelTest.moc"

// Documents chosen for the content panel: the chooser, and where each kind of file goes — the
// panel's view, a conversion to PDF, the desktop's presentation program or registered
// application — with the message when the desktop has none.

#include "board/content/DocumentOpener.h"
#include "board/model/BoardModel.h"
#include "platform/fakes/FakeDocumentConverter.h"
#include "platform/fakes/FakeLauncher.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString programDirectory = QStringLiteral("/opt/zkalto/");

struct Opening {
    ScriptedPrompter prompter;
    FakeLauncher launcher;
    FakeDocumentConverter converter;
    BoardModel board{QSize(1024, 768), QStringLiteral("/tmp/"), prompter};
    ContentPanelModel& panel = board.panel();
    DocumentOpener opener{panel, prompter, launcher, converter, programDirectory};
    QSignalSpy leaving{&opener, &DocumentOpener::leaveBoardRequested};

    Opening() { panel.open(); }
};

} // namespace

class DocumentOpenerTest : public QObject {
    Q_OBJECT
private slots:
    void chooserKeepsItsFilterAndDefaultName();
    void eachKindOfFileGoesWhereItShows_data();
    void eachKindOfFileGoesWhereItShows();
    void onlyTheLatestConversionIsShown();
};

void DocumentOpenerTest::chooserKeepsItsFilterAndDefaultName()
{
    Opening opening;
    opening.opener.choose(); // cancelled
    QCOMPARE(opening.prompter.questions().size(), 1);
    const ScriptedPrompter::Question asked = opening.prompter.questions().first();
    QCOMPARE(asked.kind, ScriptedPrompter::Kind::OpenFile);
    QCOMPARE(asked.text, QStringLiteral("/opt/zkalto/dream[1].swf"));
    QVERIFY(asked.filter.startsWith(
        QStringLiteral("swf files (*.swf);;htm files(*.htm);;*.pps;;*.ppt;;*.doc;;*.xls")));
    QVERIFY(opening.panel.state().textShown);
    QCOMPARE(opening.board.pages().current().contentKind, ContentKind::Text);

    opening.prompter.answerOpenFile(QStringLiteral("/lessons/plan.htm"));
    opening.opener.choose();
    QCOMPARE(opening.panel.state().document,
             QUrl::fromLocalFile(QStringLiteral("/lessons/plan.htm")));
}

void DocumentOpenerTest::eachKindOfFileGoesWhereItShows_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("suite");        // an office suite is installed
    QTest::addColumn<QString>("converted"); // what the suite gives: a PDF, "" for a failure
    QTest::addColumn<bool>("registered");   // the desktop has an application for it
    QTest::addColumn<QString>("shown");     // what the panel's view shows; empty: the text box
    QTest::addColumn<bool>("leaves");       // the board closes first
    QTest::addColumn<bool>("handedOver");   // the desktop is asked to open it
    QTest::addColumn<bool>("message");
    const QString pdf = QStringLiteral("/tmp/converted/plan.pdf");
    QTest::newRow("web page") << "/l/plan.htm" << false << "" << true << "/l/plan.htm" << false
                              << false << false;
    QTest::newRow("web archive, upper case")
        << "/l/PLAN.MHT" << false << "" << true << "/l/PLAN.MHT" << false << false << false;
    QTest::newRow("picture") << "/l/photo.jpg" << false << "" << true << "/l/photo.jpg" << false
                             << false << false;
    QTest::newRow("PDF") << "/l/paper.pdf" << true << "" << true << "/l/paper.pdf" << false << false
                         << false;
    QTest::newRow("presentation") << "/l/talk.ppt" << true << "" << true << "" << true << true
                                  << false;
    QTest::newRow("slide show") << "/l/talk.pps" << false << "" << true << "" << true << true
                                << false;
    QTest::newRow("presentation without a program")
        << "/l/talk.ppt" << false << "" << false << "" << true << true << true;
    QTest::newRow("upper-case slide show is converted, the board stays")
        << "/l/TALK.PPS" << true << pdf << true << pdf << false << false << false;
    QTest::newRow("word processor file converted")
        << "/l/plan.doc" << true << pdf << true << pdf << false << false << false;
    QTest::newRow("spreadsheet without a suite")
        << "/l/marks.xlsx" << false << "" << true << "" << false << true << false;
    QTest::newRow("conversion fails")
        << "/l/plan.docx" << true << "" << true << "" << false << true << false;
    QTest::newRow("conversion fails, no program")
        << "/l/plan.docx" << true << "" << false << "" << false << true << true;
    QTest::newRow("Flash movie") << "/l/dream[1].swf" << true << "" << true << "" << false << true
                                 << false;
    QTest::newRow("Flash movie without a player")
        << "/l/dream[1].swf" << false << "" << false << "" << false << true << true;
}

void DocumentOpenerTest::eachKindOfFileGoesWhereItShows()
{
    QFETCH(QString, file);
    QFETCH(bool, suite);
    QFETCH(QString, converted);
    QFETCH(bool, registered);
    QFETCH(QString, shown);
    QFETCH(bool, leaves);
    QFETCH(bool, handedOver);
    QFETCH(bool, message);
    Opening opening;
    opening.converter.setAvailable(suite);
    opening.launcher.setOpenSucceeds(registered);
    opening.opener.open(file);
    if (!opening.converter.requests().isEmpty()) {
        QCOMPARE(opening.converter.requests().size(), 1);
        QCOMPARE(opening.converter.requests().first().document, file);
        QVERIFY(opening.panel.state().documentPending);
        opening.converter.finish(0, converted);
        QVERIFY(!opening.panel.state().documentPending);
    }

    const ContentPanelState& state = opening.panel.state();
    QCOMPARE(state.document.toLocalFile(), shown);
    QCOMPARE(state.textShown, shown.isEmpty());
    QCOMPARE(opening.board.pages().current().contentKind,
             shown.isEmpty() ? ContentKind::Text : ContentKind::WebDocument);
    QCOMPARE(opening.leaving.size(), leaves ? 1 : 0);
    QCOMPARE(opening.launcher.openedDocuments(), handedOver ? QStringList{file} : QStringList());
    const QList<ScriptedPrompter::Question> asked = opening.prompter.questions();
    QCOMPARE(asked.size(), message ? 1 : 0);
    if (message)
        QCOMPARE(asked.first().text, QStringLiteral("没有可以打开这个文件的程序：") + file);
}

void DocumentOpenerTest::onlyTheLatestConversionIsShown()
{
    Opening opening;
    opening.converter.setAvailable(true);
    opening.opener.open(QStringLiteral("/l/first.doc"));
    opening.opener.open(QStringLiteral("/l/second.xls"));
    const auto& requests = opening.converter.requests();
    QCOMPARE(requests.size(), 2);
    // Each conversion writes into a directory of its own.
    QVERIFY(requests[0].outputDirectory != requests[1].outputDirectory);
    QVERIFY(QFileInfo(requests[1].outputDirectory).isDir());
    opening.converter.finish(1, QStringLiteral("/tmp/2/second.pdf"));
    opening.converter.finish(0, QStringLiteral("/tmp/1/first.pdf"));
    QCOMPARE(opening.panel.state().document,
             QUrl::fromLocalFile(QStringLiteral("/tmp/2/second.pdf")));
    QVERIFY(!opening.panel.state().documentPending);
}

QTEST_MAIN(DocumentOpenerTest)
#include "DocumentOpenerTest.moc"

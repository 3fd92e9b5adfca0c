// The help window on a real X display with a real web view in the web view process: the help
// document built beside the program, and a document that is missing; the process's life and
// death, and presses through the X server.

#include "DisplayProbe.h"
#include "ProcessTree.h"
#include "ProgramFixture.h"

#include "aids/window/HelpWindow.h"
#include "app/ToolbarWindow.h"
#include "ui/WebEngineProcess.h"
#include "ui/WebViewHost.h"
#include "ui/WebViews.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/stat.h>

namespace {

const QString builtGuide = QStringLiteral(ZKALTO_PROGRAM_DIR "/zkthelp.mht");

// Runs a script in the page's own world: the archive's page itself runs no scripts.
QVariant evaluate(WebViewHost* view, const QString& script)
{
    QVariant result;
    bool done = false;
    WebEngineProcess::instance().runScript(view, script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    // A script that never answers gives a null value, which the caller's comparison reports.
    static_cast<void>(QTest::qWaitFor([&] { return done; }, 10000));
    return result;
}

// Waits for the guide's page to load in the help window's view.
WebViewHost* loadedGuide(HelpWindow& help)
{
    auto* view = qobject_cast<WebViewHost*>(help.WebBrowser1);
    if (!view)
        return nullptr;
    QSignalSpy loaded(view, &WebViewHost::loadFinished);
    if (!loaded.wait(20000) || !loaded.last().first().toBool())
        return nullptr;
    return view;
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void windowStandsAsGiven();
    void opensAtTheTopEveryTime_data();
    void opensAtTheTopEveryTime();
    void documentThatIsNoFileIsNotRead();
    void saysSoWhenThePageProcessFails_data();
    void saysSoWhenThePageProcessFails();
    void processEndsWithTheLastViewAndComesBack();
    void pressesAndTheWheelReachThePage();
    void contentsLinksGoToTheirPlace();
    void toolbarOpensHelpModally();

private:
    // Opens the window modally, runs whileOpen inside its loop, then presses "确定".
    void openAndClose(HelpWindow& help, const std::function<void()>& whileOpen);
};

void HelpWindowTest::openAndClose(HelpWindow& help, const std::function<void()>& whileOpen)
{
    bool wasModal = false;
    QTimer::singleShot(0, &help, [&] {
        wasModal = help.isVisible() && QApplication::activeModalWidget() == &help;
        // Goes on either way, so the window is closed; whileOpen fails without the view.
        static_cast<void>(QTest::qWaitFor([&] { return help.WebBrowser1 != nullptr; }));
        whileOpen();
        QTest::mouseClick(help.BitBtn1, Qt::LeftButton);
    });
    help.exec();
    QVERIFY(wasModal);
    QVERIFY(!help.isVisible());
}

void HelpWindowTest::windowStandsAsGiven()
{
    HelpWindow help(builtGuide);
    QCOMPARE(help.objectName(), QStringLiteral("TForm4"));
    QCOMPARE(help.windowTitle(), QStringLiteral("帮助"));
    QVERIFY(help.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(help.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(help.size(), QSize(792, 516));
    QCOMPARE(help.palette().color(QPalette::Window), QColor(255, 128, 64));
    QCOMPARE(help.font().pixelSize(), 12);
    QCOMPARE(help.BitBtn1->text(), QStringLiteral("确定"));
    QCOMPARE(help.BitBtn1->geometry(), QRect(353, 484, 81, 29));
    QVERIFY(!help.BitBtn1->icon().isNull());
    QVERIFY(help.Label1->geometry().bottom() < 46);
    QVERIFY(help.Label2->geometry().top() >= 435 && help.Label2->geometry().bottom() < 484);
    // Start-up does not pay for the web engine: the view comes with the first opening.
    QVERIFY(!help.WebBrowser1);
    QVERIFY(!help.findChild<WebViewHost*>());

    openAndClose(help, [&] {
        QVERIFY(help.WebBrowser1);
        QCOMPARE(help.WebBrowser1->objectName(), QStringLiteral("WebBrowser1"));
        QCOMPARE(help.WebBrowser1->geometry(), QRect(0, 46, 791, 389));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(help.geometry().center(), screen.center());
    });
    // Escape does not close it: "确定" is the only way out.
    QTimer::singleShot(0, &help, [&] {
        QTest::keyClick(&help, Qt::Key_Escape);
        QVERIFY(help.isVisible());
        QTest::mouseClick(help.BitBtn1, Qt::LeftButton);
    });
    help.exec();
    QVERIFY(!help.isVisible());
}

void HelpWindowTest::opensAtTheTopEveryTime_data()
{
    QTest::addColumn<QString>("document");
    QTest::newRow("the guide") << builtGuide;
    QTest::newRow("missing document") << QStringLiteral("/nonexistent/zkthelp.mht");
}

void HelpWindowTest::opensAtTheTopEveryTime()
{
    QFETCH(QString, document);
    const bool present = QFileInfo::exists(document);
    HelpWindow help(document);
    for (int opening = 1; opening <= 2; ++opening) {
        openAndClose(help, [&] {
            auto* view = qobject_cast<WebViewHost*>(help.WebBrowser1);
            QVERIFY(view);
            QSignalSpy loaded(view, &WebViewHost::loadFinished);
            QVERIFY(loaded.wait(20000));
            QCOMPARE(loaded.last().first().toBool(), present);
            QCOMPARE(view->url(), QUrl::fromLocalFile(document));
            if (!present)
                return;
            QCOMPARE(view->title(), QStringLiteral("电子白板 使用帮助"));
            // Every button picture of the guide comes out of the archive and shows.
            const QVariantList pictures =
                evaluate(view, QStringLiteral("Array.from(document.images).map("
                                              "i => i.complete && i.naturalWidth > 0)"))
                    .toList();
            QVERIFY(pictures.size() > 50);
            QVERIFY(!pictures.contains(false));
            // At the beginning, also once the renderer has answered: no earlier place comes back.
            QCOMPARE(evaluate(view, QStringLiteral("window.scrollY")).toInt(), 0);
            // The reader goes down the guide before closing it.
            evaluate(view, QStringLiteral("window.scrollTo(0, 3000)"));
            QTRY_VERIFY(evaluate(view, QStringLiteral("window.scrollY")).toInt() > 0);
        });
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("opening %1").arg(opening)));
    }
}

void HelpWindowTest::documentThatIsNoFileIsNotRead()
{
    // A named pipe without a writer: reading it would never end.
    QTemporaryDir directory;
    const QString document = directory.filePath(QStringLiteral("zkthelp.mht"));
    QCOMPARE(::mkfifo(QFile::encodeName(document).constData(), 0600), 0);
    HelpWindow help(document);
    openAndClose(help, [&] {
        QSignalSpy loaded(qobject_cast<WebViewHost*>(help.WebBrowser1), &WebViewHost::loadFinished);
        QVERIFY(loaded.wait(20000));
        QVERIFY(help.WebBrowser1->property("url").toUrl() != QUrl::fromLocalFile(document));
    });
}

void HelpWindowTest::saysSoWhenThePageProcessFails_data()
{
    QTest::addColumn<bool>("wholeProcess");
    QTest::newRow("the page's process") << false;
    QTest::newRow("the web view process") << true;
}

void HelpWindowTest::saysSoWhenThePageProcessFails()
{
    QFETCH(bool, wholeProcess);
    HelpWindow help(builtGuide);
    openAndClose(help, [&] {
        WebViewHost* view = loadedGuide(help);
        QVERIFY(view);
        auto* notice = view->findChild<QLabel*>(QStringLiteral("engineFailure"));
        QVERIFY(notice);
        QVERIFY(!notice->isVisible());

        if (wholeProcess)
            QCOMPARE(::kill(pid_t(WebEngineProcess::instance().processId()), SIGKILL), 0);
        else // The engine's debugging address ends the page's process as a failure would.
            WebViews::load(view, QUrl(QStringLiteral("chrome://crash")), false);
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 20000);
        QCOMPARE(notice->text(), QString::fromUtf8(WebViews::unavailableText));
        QCOMPARE(notice->geometry(), view->rect());

        // The window goes on: the guide shows again and the notice goes.
        WebViews::load(view, QUrl::fromLocalFile(builtGuide), true);
        QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), 20000);
        QCOMPARE(evaluate(view, QStringLiteral("document.title")).toString(),
                 QStringLiteral("电子白板 使用帮助"));
    });
}

void HelpWindowTest::processEndsWithTheLastViewAndComesBack()
{
    HelpWindow help(builtGuide);
    QList<qint64> shownBy;
    openAndClose(help, [&] {
        QVERIFY(loadedGuide(help));
        shownBy = ProcessTree::of(WebEngineProcess::instance().processId());
        // The process and the engine's own processes.
        QVERIFY(shownBy.size() > 1);
    });
    // Closed: the process goes with its page's memory, the engine's processes with it, and
    // another, without a page, waits for the next opening.
    for (qint64 pid : shownBy)
        QTRY_VERIFY_WITH_TIMEOUT(!ProcessTree::isRunning(pid), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(WebEngineProcess::instance().processId() != 0, 20000);
    const qint64 waiting = WebEngineProcess::instance().processId();
    QVERIFY(!shownBy.contains(waiting));
    QCOMPARE(ProcessTree::of(waiting).size(), 1);

    openAndClose(help, [&] {
        QVERIFY(loadedGuide(help));
        QCOMPARE(WebEngineProcess::instance().processId(), waiting);
    });
    QTRY_VERIFY_WITH_TIMEOUT(!ProcessTree::isRunning(waiting), 20000);
}

// Presses and the wheel go from the X server to the page's own window, as a teacher's do.
void HelpWindowTest::pressesAndTheWheelReachThePage()
{
    DisplayProbe probe(qgetenv("DISPLAY"));
    QVERIFY(probe.isOpen());
    HelpWindow help(builtGuide);
    openAndClose(help, [&] {
        WebViewHost* view = loadedGuide(help);
        QVERIFY(view);
        const QPoint page = view->mapToGlobal(QPoint(0, 0));
        // The arrow at the foot of the page's scroll bar.
        const int scrollBar =
            view->width() -
            evaluate(view, QStringLiteral("document.documentElement.clientWidth")).toInt();
        QVERIFY(scrollBar > 0);
        probe.click(page + QPoint(view->width() - scrollBar / 2, view->height() - scrollBar / 2));
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(view, QStringLiteral("window.scrollY")).toInt() > 0,
                                 20000);

        evaluate(view, QStringLiteral("window.scrollTo(0, 0)"));
        QTRY_COMPARE(evaluate(view, QStringLiteral("window.scrollY")).toInt(), 0);
        probe.click(page + QPoint(view->width() / 2, view->height() / 2), 5);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(view, QStringLiteral("window.scrollY")).toInt() > 0,
                                 20000);
    });
}

// A press on a line of the contents scrolls the guide to its section, in the archive: the archive's
// made-up address is never left for.
void HelpWindowTest::contentsLinksGoToTheirPlace()
{
    DisplayProbe probe(qgetenv("DISPLAY"));
    QVERIFY(probe.isOpen());
    HelpWindow help(builtGuide);
    openAndClose(help, [&] {
        WebViewHost* view = loadedGuide(help);
        QVERIFY(view);
        // The contents' line of the lessons' section, brought to the middle of the view.
        const QVariantList link =
            evaluate(view, QStringLiteral("(() => { const link = document.querySelector("
                                          "'a[href=\"#lessons\"]');"
                                          "  link.scrollIntoView({block: 'center'});"
                                          "  const r = link.getBoundingClientRect();"
                                          "  return [r.left + r.width / 2, r.top + r.height / 2];"
                                          "})()"))
                .toList();
        QCOMPARE(link.size(), 2);
        const QPoint onLink(link[0].toInt(), link[1].toInt());
        QVERIFY(view->rect().contains(onLink));
        // Where the section's heading is in the view (null once the guide is left).
        const QString sectionTop = QStringLiteral(
            "document.getElementById('lessons')?.getBoundingClientRect().top ?? null");
        QVERIFY(evaluate(view, sectionTop).toInt() > view->height());
        probe.click(view->mapToGlobal(onLink));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QVariant top = evaluate(view, sectionTop);
                return !top.isNull() && std::abs(top.toDouble()) <= 1;
            }(),
            20000);
        QCOMPARE(view->url(), QUrl::fromLocalFile(builtGuide));
        QCOMPARE(view->title(), QStringLiteral("电子白板 使用帮助"));
    });
}

void HelpWindowTest::toolbarOpensHelpModally()
{
    ProgramFixture fixture;
    fixture.start();
    ToolbarWindow* toolbar = fixture.windows().toolbar;
    HelpWindow* help = fixture.windows().help;
    QCOMPARE(help->documentPath(), fixture.programFilesDirectory() + QStringLiteral("zkthelp.mht"));
    toolbar->show();
    bool wasModal = false;
    QTimer::singleShot(0, help, [&] {
        wasModal = help->isVisible() && QApplication::activeModalWidget() == help;
        QTest::mouseClick(help->BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(toolbar->SpeedButton2, Qt::LeftButton);
    QVERIFY(wasModal);
    QVERIFY(!help->isVisible());
    QVERIFY(toolbar->isVisible());
}

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"

#include "../lessons/LessonSamples.h"
#include "FileContents.h"

#include "board/codec/PngCodec.h"
#include "files/FileWrite.h"
#include "lessons/LessonStore.h"
#include "lessons/LessonWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>

namespace {

const QSize pageSize(320, 200);
const QString lesson = QStringLiteral("李213");

struct Ran {
    int status;
    QString out;
    QString err;
};

// A save of version v of the lesson, stopped right after its commit when stopAtCommit.
void save(const LessonStore& store, int version, int pages, bool stopAtCommit = false,
          const QString& name = lesson)
{
    store.makeDirectory();
    LessonWriter writer(store, name, pages);
    if (stopAtCommit)
        writer.setCheckpoint([](const QString& step) {
            if (step == QLatin1String("committed"))
                throw std::runtime_error("killed");
        });
    for (int n = 1; n <= pages; ++n)
        writer.add(n, LessonSamples::page(version, n, pageSize));
    try {
        QCOMPARE(writer.finish(), QString());
    } catch (const std::runtime_error&) {
    }
}

// The files a save writes before its commit: version v's pages under their temporary names.
void writeUncommitted(const LessonStore& store, int version, int pages)
{
    for (int n = 1; n <= pages; ++n) {
        const LessonPage page = LessonSamples::page(version, n, pageSize);
        const QByteArray contents[] = {PngCodec::encode(page.picture), "[edit]\r\nvis=0\r\n",
                                       page.text};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(FileWrite::create(LessonStore::savingPath(
                                           store.pathOf(lesson, n, LessonStore::pageFiles[i])),
                                       contents[i]),
                     0);
    }
}

} // namespace

class LessonToolTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_e;
    std::unique_ptr<QTemporaryDir> m_f;

    QString root(const QTemporaryDir& drive) const { return drive.path() + QLatin1Char('/'); }
    LessonStore storeE() const { return LessonStore(LessonStore::directoryOn(root(*m_e))); }
    LessonStore storeF() const { return LessonStore(LessonStore::directoryOn(root(*m_f))); }

    Ran run(const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ZKALTO_DRIVES"),
                           QStringLiteral("E=%1;F=removable:%2").arg(m_e->path(), m_f->path()));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto-lesson"), arguments);
        if (!process.waitForFinished(300'000))
            qWarning() << "zkalto-lesson did not end" << arguments;
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // The lesson on E as it opens: its page count and whether its pages are version v's.
    void verifyLesson(const LessonStore& store, const QString& name, int version, int pages)
    {
        const LessonStore::Lesson opened = store.look(name);
        QCOMPARE(opened.pageCount, pages);
        QVERIFY(!opened.readsSaving);
        for (int n = 1; n <= pages; ++n) {
            const LessonPage page = store.readPage(opened, n, pageSize);
            const LessonPage expected = LessonSamples::page(version, n, pageSize);
            QVERIFY2(page.picture == expected.picture, qPrintable(QString::number(n)));
            QCOMPARE(page.text, expected.text);
        }
    }

    const QStringList lessonE = {QStringLiteral("--drive"),   QStringLiteral("E"),
                                 QStringLiteral("--teacher"), QStringLiteral("李"),
                                 QStringLiteral("--volume"),  QStringLiteral("2"),
                                 QStringLiteral("--lesson"),  QStringLiteral("13")};

private slots:
    void init()
    {
        m_e = std::make_unique<QTemporaryDir>();
        m_f = std::make_unique<QTemporaryDir>();
        save(storeE(), 1, 3);
    }

    void help()
    {
        const Ran ran = run({QStringLiteral("--help")});
        QCOMPARE(ran.status, 0);
        QVERIFY(ran.out.contains(QStringLiteral("Usage: zkalto-lesson")));
    }

    void list()
    {
        const Ran ran = run({QStringLiteral("list")});
        QCOMPARE(ran.status, 0);
        QVERIFY2(ran.out.contains(QStringLiteral("E: ")), qPrintable(ran.out));
        QVERIFY2(ran.out.contains(
                     QStringLiteral("李213  李 第 2 册 第 13 课 或 第 21 册 第 3 课  3 pages")),
                 qPrintable(ran.out));
    }

    void exportPdf()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("poppler-utils is not installed");
        const QString pdf = m_f->filePath(QStringLiteral("第2册第13课"));
        const Ran ran = run(QStringList{QStringLiteral("export")} + lessonE + QStringList{pdf});
        QCOMPARE(ran.status, 0);
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf + QStringLiteral(".pdf")});
        QVERIFY(info.waitForFinished(120'000));
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("240 x 150 pts")), qPrintable(text));
    }

    // Each kind of fault, made in the store, and the exit status check gives for it.
    void check_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        QTest::newRow("none") << "none" << 0;
        QTest::newRow("picture missing") << "picture missing" << 4;
        QTest::newRow("page beyond the count") << "page beyond" << 4;
        QTest::newRow("picture damaged") << "picture damaged" << 8;
        QTest::newRow("picture a link") << "picture link" << 4;
        QTest::newRow("killed after commit") << "after commit" << 16;
        QTest::newRow("killed before commit") << "before commit" << 16;
        QTest::newRow("replaced file not removed") << "old left" << 16;
        QTest::newRow("damaged and killed") << "damaged and killed" << 8 + 16;
        QTest::newRow("store folders are links") << "folders linked" << 2;
    }
    void check()
    {
        QFETCH(QString, fault);
        QFETCH(int, status);
        const LessonStore store = storeE();
        const QString picture2 = store.pathOf(lesson, 2, LessonStore::PageFile::Picture);
        if (fault == QLatin1String("picture missing"))
            QVERIFY(QFile::remove(picture2));
        if (fault == QLatin1String("page beyond"))
            FileContents::write(store.pathOf(lesson, 9, LessonStore::PageFile::Text), "x");
        if (fault == QLatin1String("picture damaged") ||
            fault == QLatin1String("damaged and killed"))
            FileContents::write(picture2, QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(100, 'x'));
        if (fault == QLatin1String("picture link")) {
            QVERIFY(QFile::rename(picture2, m_f->filePath(QStringLiteral("elsewhere.pte"))));
            QVERIFY(QFile::link(m_f->filePath(QStringLiteral("elsewhere.pte")), picture2));
        }
        if (fault == QLatin1String("old left"))
            FileContents::write(LessonStore::replacedPath(picture2), "old");
        if (fault == QLatin1String("after commit"))
            save(store, 2, 4, true);
        if (fault == QLatin1String("before commit") || fault == QLatin1String("damaged and killed"))
            writeUncommitted(store, 2, 2);
        if (fault == QLatin1String("folders linked")) {
            const QString data = store.directory().chopped(1);
            QVERIFY(QDir().rename(data, m_f->filePath(QStringLiteral("data"))));
            QVERIFY(QFile::link(m_f->filePath(QStringLiteral("data")), data));
        }
        const Ran ran =
            run({QStringLiteral("check"), QStringLiteral("--drive"), QStringLiteral("E")});
        QVERIFY2(ran.status == status, qPrintable(ran.out + ran.err));
    }

    // A save killed after its commit is put in place (the new lesson), one killed before it is
    // rolled back (the old lesson), as opening it in the program would; then nothing is left.
    void repair_data()
    {
        QTest::addColumn<bool>("committed");
        QTest::addColumn<bool>("neighbour");
        QTest::newRow("killed after commit") << true << false;
        QTest::newRow("killed before commit") << false << false;
        // "李2131.pte.saving" also reads as page 31 of 李21, which repair finishes too.
        QTest::newRow("killed after commit, beside 李21") << true << true;
    }
    void repair()
    {
        QFETCH(bool, committed);
        QFETCH(bool, neighbour);
        const LessonStore store = storeE();
        if (neighbour) { // first in the index
            QVERIFY(QDir(store.directory()).removeRecursively());
            save(store, 5, 2, false, QStringLiteral("李21"));
            save(store, 1, 3);
        }
        if (committed)
            save(store, 2, 4, true);
        else
            writeUncommitted(store, 2, 4);
        const Ran ran =
            run({QStringLiteral("repair"), QStringLiteral("--drive"), QStringLiteral("E")});
        QVERIFY2(ran.status == 0, qPrintable(ran.out + ran.err));
        verifyLesson(store, lesson, committed ? 2 : 1, committed ? 4 : 3);
        if (neighbour)
            verifyLesson(store, QStringLiteral("李21"), 5, 2);
        if (QTest::currentTestFailed())
            return;
        const QStringList left = QDir(store.directory()).entryList({QStringLiteral("*.saving")});
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
        const Ran checked =
            run({QStringLiteral("check"), QStringLiteral("--drive"), QStringLiteral("E")});
        QVERIFY2(checked.status == 0, qPrintable(checked.out));
    }

    void copy()
    {
        const QStringList toF = {QStringLiteral("copy")};
        const QStringList target = {QStringLiteral("--to-drive"), QStringLiteral("F"),
                                    QStringLiteral("--to-teacher"), QStringLiteral("王")};
        Ran ran = run(toF + lessonE + target);
        QVERIFY2(ran.status == 0, qPrintable(ran.out + ran.err));
        verifyLesson(storeF(), QStringLiteral("王213"), 1, 3);
        QVERIFY(QDir(storeF().directory()).entryList({QStringLiteral("*.saving")}).isEmpty());
        // A lesson that is there is replaced only when asked.
        save(storeE(), 3, 2);
        ran = run(toF + lessonE + target);
        QCOMPARE(ran.status, 1);
        verifyLesson(storeF(), QStringLiteral("王213"), 1, 3);
        ran = run(toF + lessonE + target + QStringList{QStringLiteral("--replace")});
        QVERIFY2(ran.status == 0, qPrintable(ran.out + ran.err));
        verifyLesson(storeF(), QStringLiteral("王213"), 3, 2);
    }

    // Input that would lead out of the store, or names nothing, is refused and nothing written.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        const QString e = QStringLiteral("E");
        auto lessonOf = [](const QString& teacher) {
            return QStringList{QStringLiteral("--drive"),   QStringLiteral("E"),
                               QStringLiteral("--teacher"), teacher,
                               QStringLiteral("--volume"),  QStringLiteral("2"),
                               QStringLiteral("--lesson"),  QStringLiteral("13")};
        };
        const QString out = QStringLiteral("/tmp/zkalto-lesson-refused.pdf");
        QTest::newRow("teacher with /")
            << QStringList{"export"} + lessonOf("李/..") + QStringList{out} << 1;
        QTest::newRow("teacher ..")
            << QStringList{"export"} + lessonOf("..") + QStringList{out} << 1;
        QTest::newRow("name with /")
            << QStringList{"export", "--drive", e, "--name", "../李213", out} << 1;
        QTest::newRow("name with [")
            << QStringList{"check", "--drive", e, "--name", "李[2]13"} << 1;
        QTest::newRow("volume 0") << QStringList{"export", "--drive",  e,   "--teacher",
                                                 "李",     "--volume", "0", "--lesson",
                                                 "13",     out}
                                  << 1;
        QTest::newRow("no lesson") << QStringList{"export", "--drive", e, out} << 1;
        QTest::newRow("no file") << QStringList{"export"} + lessonOf("李") << 1;
        QTest::newRow("unknown command") << QStringList{"remove"} << 1;
        QTest::newRow("unknown option") << QStringList{"list", "--force"} << 1;
        QTest::newRow("missing drive") << QStringList{"list", "--drive", "Q"} << 2;
        QTest::newRow("missing lesson")
            << QStringList{"export"} + lessonOf("张") + QStringList{out} << 2;
        QTest::newRow("copy onto itself") << QStringList{"copy"} + lessonOf("李") << 1;
        QTest::newRow("copy by name to parts")
            << QStringList{"copy", "--drive", e, "--name", "李213", "--to-teacher", "王"} << 1;
    }
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        const QStringList before = QDir(storeE().directory()).entryList(QDir::Files);
        const Ran ran = run(arguments);
        QVERIFY2(ran.status == status, qPrintable(QString::number(ran.status) + ran.err));
        QVERIFY(!ran.err.isEmpty());
        QCOMPARE(QDir(storeE().directory()).entryList(QDir::Files), before);
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/zkalto-lesson-refused.pdf")));
    }

    // The store's folder replaced by a link to a store elsewhere: nothing is read or written
    // through it.
    void linkedStore()
    {
        const QString data = storeF().directory().chopped(1);
        QDir().mkpath(QFileInfo(data).path());
        QVERIFY(QFile::link(storeE().directory().chopped(1), data));
        QCOMPARE(run(QStringList{QStringLiteral("export"), QStringLiteral("--drive"),
                                 QStringLiteral("F"), QStringLiteral("--name"), lesson,
                                 m_e->filePath(QStringLiteral("out.pdf"))})
                     .status,
                 2);
        QCOMPARE(run(QStringList{QStringLiteral("copy")} + lessonE +
                     QStringList{QStringLiteral("--to-drive"), QStringLiteral("F"),
                                 QStringLiteral("--to-teacher"), QStringLiteral("王")})
                     .status,
                 1);
        QVERIFY(!QFile::exists(
            storeE().pathOf(QStringLiteral("王213"), 1, LessonStore::PageFile::Picture)));
    }
};

QTEST_GUILESS_MAIN(LessonToolTest)
#include "LessonToolTest.moc"

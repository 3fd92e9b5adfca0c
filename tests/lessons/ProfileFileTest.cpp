#include "lessons/ProfileFile.h"
#include "FileContents.h"
#include "text/Gbk.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString fixture = QStringLiteral(ZKALTO_TEST_DATA "/lessons/teachers-gbk.sec");

} // namespace

class ProfileFileTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void readInteger_data();
    void readInteger();
    void namesMatchIgnoringAsciiCaseOnly_data();
    void namesMatchIgnoringAsciiCaseOnly();
    void stringsAreReadUpTo2047Bytes_data();
    void stringsAreReadUpTo2047Bytes();
    void readsTheHandWrittenGbkFile();
    void writesTheHandWrittenGbkFileByteForByte();
    void writesChangeOnlyTheirLine_data();
    void writesChangeOnlyTheirLine();
    void eraseSectionRemovesEveryLineOfIt();
    void documentWritesWhatOneKeyCallsWrite();
    void refusedWritesLeaveTheOldFile_data();
    void refusedWritesLeaveTheOldFile();
    void settingsNameThatIsNoFileReadsAsDefaults_data();
    void settingsNameThatIsNoFileReadsAsDefaults();

private:
    QString path() const { return m_directory->filePath(QStringLiteral("datb.sec")); }
    std::unique_ptr<QTemporaryDir> m_directory;
};

void ProfileFileTest::init()
{
    m_directory = std::make_unique<QTemporaryDir>();
    QVERIFY(m_directory->isValid());
}

void ProfileFileTest::readInteger_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("value");
    const int fallback = 255;
    QTest::newRow("decimal") << QByteArray("frn=8421504") << 8421504;
    QTest::newRow("0x hexadecimal is red") << QByteArray("frn=0x0000FF") << 255;
    QTest::newRow("0X upper case") << QByteArray("frn=0X10") << 16;
    QTest::newRow("dollar hexadecimal") << QByteArray("frn=$FF00") << 0xFF00;
    QTest::newRow("negative") << QByteArray("frn=-5") << -5;
    QTest::newRow("spaces around") << QByteArray("frn =  42 ") << 42;
    QTest::newRow("letters read as the default") << QByteArray("frn=abc") << fallback;
    QTest::newRow("number then letters") << QByteArray("frn=12abc") << fallback;
    QTest::newRow("empty value") << QByteArray("frn=") << fallback;
    QTest::newRow("prefix without digits") << QByteArray("frn=0x") << fallback;
    QTest::newRow("decimal beyond 32 bits") << QByteArray("frn=2147483648") << fallback;
    QTest::newRow("lowest 32-bit value") << QByteArray("frn=-2147483648") << INT_MIN;
    QTest::newRow("all 32 bits in hexadecimal") << QByteArray("frn=$FFFFFFFF") << -1;
    QTest::newRow("hexadecimal beyond 32 bits") << QByteArray("frn=$100000000") << fallback;
    QTest::newRow("missing key") << QByteArray("blk=1") << fallback;
}

void ProfileFileTest::readInteger()
{
    QFETCH(QByteArray, line);
    QFETCH(int, value);
    FileContents::write(path(), "[tec]\r\n" + line + "\r\n");
    QCOMPARE(ProfileFile(path()).readInteger("tec", "frn", 255), value);
}

void ProfileFileTest::namesMatchIgnoringAsciiCaseOnly_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::addColumn<bool>("same");
    QTest::newRow("Anna and ANNA share a section") << "Anna"
                                                   << "ANNA" << true;
    QTest::newRow("Chinese with ASCII letters") << "李Anna"
                                                << "李aNNA" << true;
    QTest::newRow("Greek letters keep their case") << "Ωmega"
                                                   << "ωmega" << false;
    // Second bytes 0x41 "A" and 0x61 "a": alike only to a byte-wise comparison.
    QTest::newRow("GBK second bytes that look like letters") << "張傾"
                                                             << "張僡" << false;
}

void ProfileFileTest::namesMatchIgnoringAsciiCaseOnly()
{
    QFETCH(QString, written);
    QFETCH(QString, read);
    QFETCH(bool, same);
    const ProfileFile file(path());
    QVERIFY(file.writeInteger(written, "Frn", 7));
    QCOMPARE(file.readInteger(read, "fRN", 0), same ? 7 : 0);
    QVERIFY(file.writeInteger(read, "FRN", 9));
    QCOMPARE(file.readInteger(written, "frn", 0), same ? 9 : 7);
}

void ProfileFileTest::stringsAreReadUpTo2047Bytes_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("read");
    const QString ascii = QString(2050, QLatin1Char('x'));
    QTest::newRow("ASCII") << ascii << ascii.left(2047);
    QTest::newRow("exactly 2047") << ascii.left(2047) << ascii.left(2047);
    // 1100 characters of two bytes: 1023 fit, the 1024th would be cut in half.
    const QString chinese = QString(1100, QChar(0x674E));
    QTest::newRow("never half a character") << chinese << chinese.left(1023);
}

void ProfileFileTest::stringsAreReadUpTo2047Bytes()
{
    QFETCH(QString, value);
    QFETCH(QString, read);
    const ProfileFile file(path());
    QVERIFY(file.writeString("tec", "dcu", value));
    QCOMPARE(file.readString("tec", "dcu", QString()), read);
}

void ProfileFileTest::readsTheHandWrittenGbkFile()
{
    const ProfileFile file(fixture);
    QCOMPARE(file.readInteger("tec", "mum", 1), 2);
    QCOMPARE(file.readString("tec", "te1", QString()), QStringLiteral("教师甲"));
    QCOMPARE(file.readString("tec", "te2", QString()), QStringLiteral("李廬"));
    QCOMPARE(file.readInteger(QStringLiteral("教师甲"), "ke", 1), 12);
    // 廬 ends with the byte of "]": the section name is not cut there.
    QCOMPARE(file.readInteger(QStringLiteral("李廬"), "frn", 255), 16711680);
    QCOMPARE(file.readInteger(QStringLiteral("教师0"), "blk", 8421504), 16777215);
    QCOMPARE(file.readString(QStringLiteral("教师0"), "dcu", "none"), QStringLiteral("none"));
}

void ProfileFileTest::writesTheHandWrittenGbkFileByteForByte()
{
    const ProfileFile file(path());
    const QString first = QStringLiteral("教师甲");
    const QString second = QStringLiteral("李廬");
    const QString defaults = QStringLiteral("教师0");
    QVERIFY(file.writeInteger("tec", "mum", 2));
    QVERIFY(file.writeString("tec", "te1", first));
    QVERIFY(file.writeString("tec", "te2", second));
    QVERIFY(file.writeString("tec", "drive", "D"));
    QVERIFY(file.writeString("tec", "te0", defaults));
    for (const auto& [key, value] : QList<std::pair<QString, QString>>{{"ce", "3"},
                                                                       {"ke", "12"},
                                                                       {"frn", "255"},
                                                                       {"blk", "8421504"},
                                                                       {"bh", "2"},
                                                                       {"ma", "0"}})
        QVERIFY(file.writeString(first, key, value));
    QVERIFY(file.writeInteger(second, "frn", 16711680));
    for (const auto& [key, value] : QList<std::pair<QString, int>>{
             {"ce", 1}, {"ke", 1}, {"frn", 16711680}, {"blk", 16777215}, {"bh", 3}})
        QVERIFY(file.writeInteger(defaults, key, value));
    QCOMPARE(FileContents::of(path()), FileContents::of(fixture));
}

void ProfileFileTest::writesChangeOnlyTheirLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    // A comment, a line in no known form and bytes that are no GBK stay as they are.
    const QByteArray kept = "; kept\r\n[tec]\r\nmum=1\r\nnot a key\r\nte1=\xff\xfe\r\n\r\n";
    QTest::newRow("existing key replaced in place, spelled as written")
        << kept + "[a]\r\nFRN=1\r\nblk=2\r\n"
        << "A"
        << "frn"
        << "5" << kept + "[a]\r\nfrn=5\r\nblk=2\r\n";
    QTest::newRow("new key after the section's last line, before its blank lines")
        << kept + "[a]\r\nfrn=1\r\n\r\n[b]\r\n"
        << "a"
        << "bh"
        << "3" << kept + "[a]\r\nfrn=1\r\nbh=3\r\n\r\n[b]\r\n";
    QTest::newRow("new section at the end") << kept << "教师0"
                                            << "bh"
                                            << "3" << kept + "[\xbd\xcc\xca\xa6\x30]\r\nbh=3\r\n";
    QTest::newRow("file of bare line feeds keeps them") << QByteArray("[a]\nfrn=1\n") << "a"
                                                        << "bh"
                                                        << "3" << QByteArray("[a]\nfrn=1\nbh=3\n");
    QTest::newRow("last line without a line end") << QByteArray("[a]\r\nfrn=1") << "a"
                                                  << "frn"
                                                  << "2" << QByteArray("[a]\r\nfrn=2\r\n");
    QTest::newRow("first of two sections of one name")
        << QByteArray("[a]\r\nx=1\r\n[A]\r\nx=2\r\n") << "a"
        << "x"
        << "3" << QByteArray("[a]\r\nx=3\r\n[A]\r\nx=2\r\n");
}

void ProfileFileTest::writesChangeOnlyTheirLine()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    FileContents::write(path(), before);
    QVERIFY(ProfileFile(path()).writeString(section, key, value));
    QCOMPARE(FileContents::of(path()), after);
    QCOMPARE(ProfileFile(path()).readString(section, key, QString()), value);
}

void ProfileFileTest::eraseSectionRemovesEveryLineOfIt()
{
    FileContents::write(path(), "[tec]\r\nmum=2\r\n[Anna]\r\nma=12\r\n; note\r\n\r\n[b]\r\nma=1\r\n"
                                "[ANNA]\r\nce=4\r\n");
    const ProfileFile file(path());
    QVERIFY(file.eraseSection("anna"));
    QCOMPARE(FileContents::of(path()), QByteArray("[tec]\r\nmum=2\r\n[b]\r\nma=1\r\n"));
    QCOMPARE(file.readString("Anna", "ma", "0"), QStringLiteral("0"));
    QVERIFY2(file.eraseSection("missing"), "erasing what is not there succeeds");
}

void ProfileFileTest::documentWritesWhatOneKeyCallsWrite()
{
    struct Step {
        bool erase;
        QString section, key, value;
    };
    // Keys added and then replaced in one document, sections added, erased and added again, a
    // key written with blanks around it while the bare name stands earlier in its section.
    const QList<Step> steps = {
        {false, "tec", "te1", "A"},  {false, "tec", "te2", "B"},
        {false, "tec", "TE1", "C"},  {false, "anna", "frn", "5"},
        {false, "new", "bh", "3"},   {false, "NEW", "ce", "4"},
        {false, "new", "bh", "6"},   {true, "Anna", {}, {}},
        {false, "Anna", "ma", "12"}, {false, "b", " x ", "9"},
        {false, "b", "x", "7"},      {false, QStringLiteral("教师0"), "bh", "3"},
        {true, "missing", {}, {}},   {false, "tec", "te2", "D"},
    };
    const QByteArray before = "; c\r\n[tec]\r\nmum=1\r\n\r\n[Anna]\r\nFRN=1\r\n[b]\r\nx=1\r\n"
                              "[ANNA]\r\nfrn=2\r\n";
    const QString keyByKey = m_directory->filePath("key by key.sec");
    FileContents::write(keyByKey, before);
    FileContents::write(path(), before);
    const ProfileFile file(keyByKey);
    ProfileDocument document = ProfileFile(path()).load();
    for (const Step& step : steps) {
        if (step.erase) {
            QVERIFY(file.eraseSection(step.section));
            QVERIFY(document.eraseSection(step.section));
            continue;
        }
        QVERIFY(file.writeString(step.section, step.key, step.value));
        QVERIFY(document.writeString(step.section, step.key, step.value));
        QCOMPARE(document.readString(step.section, step.key, "none"),
                 file.readString(step.section, step.key, "none"));
    }
    QCOMPARE(FileContents::of(path()), before);
    QVERIFY(document.save());
    QCOMPARE(FileContents::of(path()), FileContents::of(keyByKey));
    QCOMPARE(ProfileFile(path()).readString("b", "x", "none"), QStringLiteral("7"));
    QCOMPARE(ProfileFile(path()).readString("anna", "frn", "none"), QStringLiteral("none"));
}

void ProfileFileTest::refusedWritesLeaveTheOldFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("read-only directory") << "read-only directory";
    QTest::newRow("disk full (file size limit)") << "file size limit";
    QTest::newRow("line break in a value") << "line break";
    QTest::newRow("] in a section name") << "bracket";
    QTest::newRow("character GBK does not have") << "not GBK";
}

void ProfileFileTest::refusedWritesLeaveTheOldFile()
{
    QFETCH(QString, how);
    const QByteArray old = "[tec]\r\nmum=1\r\nte1=Anna\r\n";
    FileContents::write(path(), old);
    const ProfileFile file(path());
    QString section = "tec";
    QString value = QString(4096, QLatin1Char('x'));
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit oldLimit = limit;
    if (how == "read-only directory") {
        QVERIFY(QFile::setPermissions(m_directory->path(), QFile::ReadOwner | QFile::ExeOwner));
        if (::access(QFile::encodeName(m_directory->path()).constData(), W_OK) == 0) {
            QFile::setPermissions(m_directory->path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user writes into read-only directories (root)");
        }
    } else if (how == "file size limit") {
        // The temporary file cannot grow beyond 16 bytes: as when the disk is full.
        std::signal(SIGXFSZ, SIG_IGN);
        limit.rlim_cur = 16;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    } else if (how == "line break") {
        value = "Anna\nte2=Mallory";
    } else if (how == "bracket") {
        section = "a]b";
    } else {
        value = QStringLiteral("Anna 😀");
    }
    const bool written = file.writeString(section, "te1", value);
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    QFile::setPermissions(m_directory->path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QCOMPARE(FileContents::of(path()), old);
    QCOMPARE(QDir(m_directory->path()).entryList(QDir::Files), QStringList{"datb.sec"});
    QCOMPARE(file.writeFailure(), "Unable to write to " + path());
}

void ProfileFileTest::settingsNameThatIsNoFileReadsAsDefaults_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("named pipe without a writer") << true;
    QTest::newRow("link to an endless device") << false;
}

void ProfileFileTest::settingsNameThatIsNoFileReadsAsDefaults()
{
    QFETCH(bool, fifo);
    if (fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path()));
    const ProfileFile file(path());
    QCOMPARE(file.readInteger("tec", "frn", 255), 255);
    QCOMPARE(file.readString("tec", "te1", "Anna"), QStringLiteral("Anna"));
    if (fifo) {
        QVERIFY2(!file.writeString("tec", "te1", "Anna"), "nothing is written in its place");
        return;
    }
    // A link reads as a missing file: a write replaces the link itself, never what it points to.
    QVERIFY(file.writeString("tec", "te1", "Anna"));
    QVERIFY(!QFileInfo(path()).isSymLink());
    QCOMPARE(FileContents::of(path()), QByteArray("[tec]\r\nte1=Anna\r\n"));
}

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "ProfileFileTest.moc"

#include "lessons/TeacherSettings.h"
#include "FileContents.h"
#include "lessons/AdministratorPassword.h"
#include "lessons/PasswordChange.h"
#include "lessons/PasswordScramble.h"
#include "lessons/PersonalSettings.h"
#include "lessons/SettingsLocation.h"
#include "platform/real/MountDrives.h"
#include "text/Gbk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Counts, from the directory's inotify events, how often the settings file was opened and how
// often it was written: replaced by a rename, or written in place.
class FileEvents {
public:
    explicit FileEvents(const QString& directory)
        : m_descriptor(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        // The closes and the renames' first halves stand between two opens or two renames: the
        // kernel merges an event into one just like it that is still unread.
        inotify_add_watch(m_descriptor, QFile::encodeName(directory).constData(),
                          IN_OPEN | IN_CLOSE_NOWRITE | IN_CLOSE_WRITE | IN_MOVED_FROM |
                              IN_MOVED_TO);
    }
    ~FileEvents() { ::close(m_descriptor); }
    FileEvents(const FileEvents&) = delete;
    FileEvents& operator=(const FileEvents&) = delete;

    // The opens and writes of the file called name since the last call.
    std::pair<int, int> take(const QByteArray& name)
    {
        int opens = 0;
        int writes = 0;
        alignas(inotify_event) char buffer[64 * 1024];
        ssize_t length = 0;
        while ((length = ::read(m_descriptor, buffer, sizeof buffer)) > 0) {
            for (char* at = buffer; at < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0 && name == event->name) {
                    opens += (event->mask & IN_OPEN) != 0;
                    writes += (event->mask & (IN_MOVED_TO | IN_CLOSE_WRITE)) != 0;
                }
                at += sizeof(inotify_event) + event->len;
            }
        }
        return {opens, writes};
    }

private:
    int m_descriptor;
};

const QString badNameMessage =
    QStringLiteral("教师姓名不能含有 [ ] = / \\ 和控制字符，不能只由点组成，前后不能有空格！");

} // namespace

// The settings directory lies on a C of the test's own (pinned drives, no mount table), so each
// test starts from its own settings file.
class TeacherSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void settingsDriveIsFixedEThenFixedDThenC_data();
    void settingsDriveIsFixedEThenFixedDThenC();
    void teacherListAsStored_data();
    void teacherListAsStored();
    void firstStartWithoutAFile();
    void defaultEntryShowsTheDefaultSection();
    void teacherWithAPasswordIsAskedForIt();
    void addRefusesEmptyAndListedNames();
    void badNamesAreRefusedAndNothingIsWritten_data();
    void badNamesAreRefusedAndNothingIsWritten();
    void renameKeepsBothSectionsWithSettingsAndPassword();
    void renameToAnotherTeachersNameIsRefused();
    void guardedOperationsNeedAnUnlockedTeacher();
    void deleteTheSecondOfThree();
    void confirmStoresListSectionAndDrive();
    void confirmWithoutTeacherStoresTheDefaultSection();
    void refusedWriteIsReported();
    void refusedActionLeavesFileAndListAsTheyWere();
    void eachOperationReadsOnceAndWritesAtMostOnce_data();
    void eachOperationReadsOnceAndWritesAtMostOnce();
    void damagedCountsStayWithinTheLists_data();
    void damagedCountsStayWithinTheLists();
    void lessonSavedForUnstoredTeacherStoresTheList();
    void scramble_data();
    void scramble();
    void personalPasswordChange_data();
    void personalPasswordChange();
    void administratorPasswordChange_data();
    void administratorPasswordChange();
    void administratorCopyGoesToTheWritablePlace();
    void startupSettings_data();
    void startupSettings();
    void widthButtonsStopAtOneAndNine();

private:
    QString root() const { return m_directory->path() + QStringLiteral("/C/"); }
    QString settingsPath() const
    {
        return root() + QStringLiteral("Program files/Common files/system/datb.sec");
    }
    // Writes the settings file in GBK.
    void putSettings(const QString& text);
    std::unique_ptr<TeacherSettings> start();

    std::unique_ptr<QTemporaryDir> m_directory;
};

void TeacherSettingsTest::init()
{
    m_directory = std::make_unique<QTemporaryDir>();
    QVERIFY(m_directory->isValid());
}

void TeacherSettingsTest::putSettings(const QString& text)
{
    QVERIFY(QDir().mkpath(QFileInfo(settingsPath()).path()));
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(*Gbk::encode(text));
}

std::unique_ptr<TeacherSettings> TeacherSettingsTest::start()
{
    MountDrives drives(
        {m_directory->filePath("none"), m_directory->filePath("none"), "/", root(), {}});
    return std::make_unique<TeacherSettings>(SettingsLocation::find(drives));
}

void TeacherSettingsTest::settingsDriveIsFixedEThenFixedDThenC_data()
{
    QTest::addColumn<QString>("pins");
    QTest::addColumn<QString>("letter");
    QTest::newRow("E fixed, also D and C") << "E=fixed:%1/e;D=fixed:%1/d"
                                           << "E";
    QTest::newRow("E removable, D fixed") << "E=removable:%1/e;D=%1/d"
                                          << "D";
    QTest::newRow("E network, D fixed") << "E=network:%1/e;D=%1/d"
                                        << "D";
    QTest::newRow("neither E nor D fixed") << "E=removable:%1/e;D=network:%1/d"
                                           << "C";
    QTest::newRow("no E, no D") << ""
                                << "C";
    QTest::newRow("E pinned to a missing directory") << "E=%1/missing;D=removable:%1/d"
                                                     << "C";
}

void TeacherSettingsTest::settingsDriveIsFixedEThenFixedDThenC()
{
    QFETCH(QString, pins);
    QFETCH(QString, letter);
    const QString base = m_directory->path();
    QVERIFY(QDir(base).mkpath("e") && QDir(base).mkpath("d"));
    MountDrives drives(
        {base + "/none", base + "/none", "/", base + "/c", QString(pins).replace("%1", base)});

    const SettingsLocation location = SettingsLocation::find(drives);
    QCOMPARE(location.driveLetter, letter[0]);
    const QString expected = base + '/' + letter.toLower() + "/Program files/Common files/system/";
    QCOMPARE(location.directory, expected);
    QVERIFY2(QFileInfo(expected).isDir(), "the three directories are created");
    QCOMPARE(location.filePath(), expected + "datb.sec");
}

void TeacherSettingsTest::teacherListAsStored_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("list");
    QTest::newRow("missing te2 while mum is 3") << QString("[tec]\r\nmum=3\r\nte1=A\r\nte3=C\r\n")
                                                << QStringList{"默认", "A", "教师2", "C"};
    QTest::newRow("mum 0") << QString("[tec]\r\nmum=0\r\nte1=A\r\n") << QStringList{"默认"};
    QTest::newRow("mum negative") << QString("[tec]\r\nmum=-4\r\n") << QStringList{"默认"};
    QTest::newRow("mum not a number")
        << QString("[tec]\r\nmum=x\r\nte1=A\r\n") << QStringList{"默认", "A"};
}

void TeacherSettingsTest::teacherListAsStored()
{
    QFETCH(QString, file);
    QFETCH(QStringList, list);
    putSettings(file);
    QCOMPARE(start()->teacherList(), list);
}

void TeacherSettingsTest::firstStartWithoutAFile()
{
    auto teachers = start();
    QCOMPARE(teachers->teacherList(), QStringList({"默认", "教师1"}));
    QCOMPARE(teachers->lessonDrive(), QLatin1Char('C'));
    QCOMPARE(teachers->startupSettings(), PersonalSettings());
    QCOMPARE(teachers->currentTeacherName(), QString());
    QVERIFY(!teachers->teacherUnlocked());
    QVERIFY2(!QFile::exists(settingsPath()), "reading creates no file");

    QCOMPARE(teachers->choose(1), TeacherSettings::Choice::Loaded);
    QVERIFY(teachers->teacherUnlocked());
    QCOMPARE(teachers->currentTeacherName(), QStringLiteral("教师1"));
    QCOMPARE(teachers->storedPassword(), QStringLiteral("0"));
}

void TeacherSettingsTest::defaultEntryShowsTheDefaultSection()
{
    putSettings("[tec]\r\nmum=1\r\nte1=A\r\n[A]\r\nce=5\r\nfrn=1\r\n"
                "[教师0]\r\nce=2\r\nke=3\r\nfrn=4\r\nblk=5\r\nbh=6\r\n");
    auto teachers = start();
    QCOMPARE(teachers->volumeCount(), 2);
    teachers->choose(1);
    QCOMPARE(teachers->volumeCount(), 5);
    QCOMPARE(teachers->personalSettings().penColour, 1u);

    QCOMPARE(teachers->choose(0), TeacherSettings::Choice::Loaded);
    QCOMPARE(teachers->currentTeacherName(), QString());
    QVERIFY(!teachers->teacherUnlocked());
    QCOMPARE(teachers->volumeCount(), 2);
    QCOMPARE(teachers->lessonCount(), 3);
    QCOMPARE(teachers->personalSettings(), (PersonalSettings{4, 5, "6"}));
    QCOMPARE(teachers->currentSection(), QStringLiteral("教师0"));
}

void TeacherSettingsTest::teacherWithAPasswordIsAskedForIt()
{
    // "ma" 278 is the password 2.
    putSettings("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n[A]\r\nma=278\r\nce=7\r\n");
    auto teachers = start();
    QCOMPARE(teachers->choose(1), TeacherSettings::Choice::PasswordNeeded);
    QVERIFY(!teachers->teacherUnlocked());
    QCOMPARE(teachers->enterPassword("3"), QStringLiteral("密码错误！"));
    QCOMPARE(teachers->currentTeacherName(), QString());
    QCOMPARE(teachers->selectedEntry(), -1);
    QVERIFY(!teachers->teacherUnlocked());

    QCOMPARE(teachers->choose(1), TeacherSettings::Choice::PasswordNeeded);
    QCOMPARE(teachers->enterPassword("2"), QString());
    QVERIFY(teachers->teacherUnlocked());
    QCOMPARE(teachers->currentTeacherName(), QStringLiteral("A"));
    QCOMPARE(teachers->volumeCount(), 7);
    QCOMPARE(teachers->storedPassword(), QStringLiteral("278"));

    QCOMPARE(teachers->choose(1), TeacherSettings::Choice::PasswordNeeded);
    teachers->cancelPassword();
    QCOMPARE(teachers->currentTeacherName(), QString());
    QCOMPARE(teachers->selectedEntry(), -1);
    QVERIFY(!teachers->teacherUnlocked());
}

void TeacherSettingsTest::addRefusesEmptyAndListedNames()
{
    auto teachers = start();
    QCOMPARE(teachers->add(), QStringLiteral("请输入教师姓名！"));
    teachers->setCurrentTeacherName(QStringLiteral("默认"));
    QCOMPARE(teachers->add(), QStringLiteral("教师名列表中已存在！"));
    teachers->setCurrentTeacherName(QStringLiteral("王老师"));
    QCOMPARE(teachers->add(), QString());
    QCOMPARE(teachers->add(), QStringLiteral("教师名列表中已存在！"));
    QCOMPARE(teachers->teacherList(), QStringList({"默认", "教师1", "王老师"}));
    QVERIFY2(!QFile::exists(settingsPath()), "adding writes nothing");
}

void TeacherSettingsTest::badNamesAreRefusedAndNothingIsWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("[") << "a[b" << badNameMessage;
    QTest::newRow("]") << "a]b" << badNameMessage;
    QTest::newRow("=") << "a=b" << badNameMessage;
    QTest::newRow("line break") << "a\nte2=b" << badNameMessage;
    QTest::newRow("tab") << "a\tb" << badNameMessage;
    QTest::newRow("/") << "../x" << badNameMessage;
    QTest::newRow("\\") << "a\\b" << badNameMessage;
    QTest::newRow("dots only") << ".." << badNameMessage;
    QTest::newRow("leading space") << " a" << badNameMessage;
    QTest::newRow("trailing ideographic space") << QStringLiteral("a　") << badNameMessage;
    QTest::newRow("the teacher list's section") << "TEC"
                                                << "这个名称由系统使用，不能作为教师姓名！";
    QTest::newRow("the default section") << "教师0"
                                         << "这个名称由系统使用，不能作为教师姓名！";
    QTest::newRow("not in GBK") << QStringLiteral("A😀") << "教师姓名含有无法保存的字符！";
    QTest::newRow("too long for a file name") << QString(70, QChar(0x674E)) << "教师姓名太长！";
}

void TeacherSettingsTest::badNamesAreRefusedAndNothingIsWritten()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    putSettings("[tec]\r\nmum=1\r\nte1=A\r\n");
    const QByteArray before = FileContents::of(settingsPath());
    auto teachers = start();

    teachers->setCurrentTeacherName(name);
    QCOMPARE(teachers->add(), message);
    teachers->choose(1);
    teachers->setCurrentTeacherName(name);
    QCOMPARE(teachers->rename(), message);
    QCOMPARE(teachers->teacherList(), QStringList({"默认", "A"}));
    // "确定" with the name typed and no entry selected.
    teachers->prepareToShow();
    teachers->setCurrentTeacherName(name);
    const TeacherSettings::Confirmation confirmation = teachers->confirm();
    QVERIFY(!confirmation.closes);
    QCOMPARE(confirmation.message, message);
    QCOMPARE(FileContents::of(settingsPath()), before);
}

void TeacherSettingsTest::renameKeepsBothSectionsWithSettingsAndPassword()
{
    putSettings("[tec]\r\nmum=1\r\nte1=A\r\n[A]\r\nce=3\r\nke=4\r\nfrn=5\r\nblk=6\r\nbh=7\r\n"
                "ma=12\r\n");
    auto teachers = start();
    teachers->choose(1);
    QCOMPARE(teachers->enterPassword("1"), QString());
    // A new password in the same visit goes with the new name.
    QCOMPARE(teachers->changePersonalPassword("1", "45", "45"), QString());
    teachers->setCurrentTeacherName("B");
    QCOMPARE(teachers->rename(), QString());

    QCOMPARE(teachers->teacherList(), QStringList({"默认", "B"}));
    const ProfileFile& file = teachers->settingsFile();
    QCOMPARE(file.readString("A", "ma", "none"), QStringLiteral("556780"));
    for (const auto& [key, value] : QList<std::pair<QString, QString>>{
             {"ce", "3"}, {"ke", "4"}, {"frn", "5"}, {"blk", "6"}, {"bh", "7"}, {"ma", "556780"}})
        QCOMPARE(file.readString("B", key, "none"), value);
    QCOMPARE(file.readString("tec", "te1", "none"), QStringLiteral("A"));

    teachers->choose(0);
    teachers->setCurrentTeacherName("C");
    QVERIFY(!teachers->teacherUnlocked());
    QCOMPARE(teachers->rename(), QStringLiteral("请选择任课教师！"));
}

void TeacherSettingsTest::renameToAnotherTeachersNameIsRefused()
{
    putSettings("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n[A]\r\nma=12\r\n");
    auto teachers = start();
    teachers->choose(2);
    teachers->setCurrentTeacherName("A");
    QCOMPARE(teachers->rename(), QStringLiteral("教师名列表中已存在！"));
    QCOMPARE(teachers->settingsFile().readString("A", "ma", "none"), QStringLiteral("12"));
    teachers->setCurrentTeacherName("B");
    QCOMPARE(teachers->rename(), QString());
}

void TeacherSettingsTest::guardedOperationsNeedAnUnlockedTeacher()
{
    auto teachers = start();
    QCOMPARE(teachers->requireUnlocked(), QStringLiteral("请选择任课教师！"));
    QCOMPARE(teachers->rename(), QStringLiteral("请选择任课教师！"));
    QCOMPARE(teachers->remove(), QStringLiteral("请选择任课教师！"));
    QCOMPARE(teachers->changePersonalPassword("", "1", "1"), QStringLiteral("请选择任课教师！"));
    teachers->choose(1);
    QCOMPARE(teachers->requireUnlocked(), QString());
    teachers->prepareToShow();
    QVERIFY(!teachers->teacherUnlocked());
    QCOMPARE(teachers->selectedEntry(), -1);
    QCOMPARE(teachers->currentTeacherName(), QStringLiteral("教师1"));
    QVERIFY(!QFile::exists(settingsPath()));
}

void TeacherSettingsTest::deleteTheSecondOfThree()
{
    putSettings("[tec]\r\nmum=3\r\nte1=A\r\nte2=B\r\nte3=C\r\n[B]\r\nce=9\r\n[C]\r\nce=2\r\n");
    auto teachers = start();
    teachers->choose(2);
    QCOMPARE(teachers->remove(), QString());
    QCOMPARE(teachers->teacherList(), QStringList({"默认", "A", "C"}));
    QCOMPARE(teachers->currentTeacherName(), QString());
    QCOMPARE(teachers->selectedEntry(), -1);
    QVERIFY2(teachers->teacherUnlocked(), "unlocked stays as it was");
    QCOMPARE(teachers->remove(), QString()); // nothing selected: nothing happens

    QCOMPARE(start()->teacherList(), QStringList({"默认", "A", "C"}));
    QCOMPARE(teachers->settingsFile().readInteger("B", "ce", 1), 1);
    QCOMPARE(teachers->settingsFile().readInteger("C", "ce", 1), 2);
}

void TeacherSettingsTest::confirmStoresListSectionAndDrive()
{
    auto teachers = start();
    teachers->setCurrentTeacherName("A");
    teachers->add();
    teachers->choose(2);
    teachers->setPenColour(16711680);
    teachers->widthUp();
    teachers->setVolumeCount(4);
    teachers->setLessonDrive(QLatin1Char('e'));
    const TeacherSettings::Confirmation confirmation = teachers->confirm();
    QVERIFY(confirmation.closes);
    QCOMPARE(confirmation.message, QString());

    const ProfileFile& file = teachers->settingsFile();
    QCOMPARE(file.readInteger("tec", "mum", 0), 2);
    QCOMPARE(file.readString("tec", "te2", ""), QStringLiteral("A"));
    QCOMPARE(file.readString("tec", "te0", "none"), QStringLiteral("none"));
    QCOMPARE(file.readString("tec", "drive", ""), QStringLiteral("E"));
    QCOMPARE(file.readInteger("A", "frn", 0), 16711680);
    QCOMPARE(file.readString("A", "bh", ""), QStringLiteral("3"));
    QCOMPARE(file.readInteger("A", "ce", 0), 4);
    QCOMPARE(file.readString("A", "ma", "none"), QStringLiteral("none"));
    QCOMPARE(file.readString(QStringLiteral("教师0"), "frn", "none"), QStringLiteral("none"));
    auto next = start();
    QCOMPARE(next->teacherList(), QStringList({"默认", "教师1", "A"}));
    QCOMPARE(next->lessonDrive(), QLatin1Char('E'));
    QCOMPARE(next->startupSettings(), PersonalSettings());
}

void TeacherSettingsTest::confirmWithoutTeacherStoresTheDefaultSection()
{
    auto teachers = start();
    teachers->choose(0);
    teachers->setBackgroundColour(16777215);
    QVERIFY(teachers->confirm().closes);
    const ProfileFile& file = teachers->settingsFile();
    QCOMPARE(file.readString("tec", "te0", ""), QStringLiteral("教师0"));
    QCOMPARE(file.readString("tec", "te1", "none"), QStringLiteral("none"));
    QCOMPARE(file.readInteger("tec", "mum", 0), 1);
    QCOMPARE(file.readString("tec", "drive", ""), QStringLiteral("C"));
    QCOMPARE(start()->startupSettings().backgroundColour, 16777215u);
}

void TeacherSettingsTest::refusedWriteIsReported()
{
    auto teachers = start();
    teachers->choose(1);
    // The settings file's place is taken by a directory: no write can replace it.
    QVERIFY(QDir().mkpath(settingsPath()));
    const TeacherSettings::Confirmation confirmation = teachers->confirm();
    QVERIFY(confirmation.closes);
    QCOMPARE(confirmation.message, "Unable to write to " + settingsPath());
    QCOMPARE(teachers->changePersonalPassword("", "1", "1"),
             "Unable to write to " + settingsPath());
    QCOMPARE(teachers->storedPassword(), QStringLiteral("0"));
}

void TeacherSettingsTest::refusedActionLeavesFileAndListAsTheyWere()
{
    putSettings("[tec]\r\nmum=2\r\nte1=A\r\nte2=B\r\n[B]\r\nce=9\r\n");
    const QByteArray before = FileContents::of(settingsPath());
    auto teachers = start();
    // The list's last name cannot be held by the file: the count written before it is not kept.
    QCOMPARE(teachers->storeTeacherListFor(QStringLiteral("C😀")),
             "Unable to write to " + settingsPath());
    QCOMPARE(FileContents::of(settingsPath()), before);

    teachers = start();
    teachers->choose(2);
    QVERIFY(QFile::remove(settingsPath()));
    QVERIFY(QDir().mkpath(settingsPath()));
    QCOMPARE(teachers->remove(), "Unable to write to " + settingsPath());
    QCOMPARE(teachers->teacherList(), QStringList({"默认", "A", "B"}));
    QCOMPARE(teachers->selectedEntry(), 2);
}

void TeacherSettingsTest::eachOperationReadsOnceAndWritesAtMostOnce_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("writes");
    QTest::newRow("creation") << "creation" << 0;
    QTest::newRow("choosing a teacher") << "choose" << 0;
    QTest::newRow("the teacher's password") << "password" << 0;
    QTest::newRow("修改") << "rename" << 1;
    QTest::newRow("删除") << "remove" << 1;
    QTest::newRow("personal password change") << "change password" << 1;
    QTest::newRow("确定 with a teacher") << "confirm" << 1;
    QTest::newRow("确定 without a teacher") << "confirm default" << 1;
    QTest::newRow("a lesson saved for a teacher the list lacks") << "store list" << 1;
    QTest::newRow("picture folder") << "picture folder" << 0;
    QTest::newRow("picture folder stored") << "store picture folder" << 1;
}

void TeacherSettingsTest::eachOperationReadsOnceAndWritesAtMostOnce()
{
    QFETCH(QString, operation);
    QFETCH(int, writes);
    // 1000 teachers; the first has the password 2.
    constexpr int count = 1000;
    QString text = QStringLiteral("[tec]\r\nmum=%1\r\n").arg(count);
    for (int n = 1; n <= count; ++n)
        text += QStringLiteral("te%1=老师%1\r\n").arg(n);
    for (int n = 1; n <= count; ++n)
        text +=
            QStringLiteral("[老师%1]\r\nce=3\r\nke=4\r\nma=%2\r\n").arg(n).arg(n == 1 ? 278 : 0);
    putSettings(text);

    FileEvents events(QFileInfo(settingsPath()).path());
    auto teachers = start();
    if (operation != "creation") {
        if (operation == "password")
            QCOMPARE(teachers->choose(1), TeacherSettings::Choice::PasswordNeeded);
        else if (operation != "choose" && operation != "confirm default")
            QCOMPARE(teachers->choose(2), TeacherSettings::Choice::Loaded);
        events.take("datb.sec");
    }

    QString message;
    if (operation == "choose") {
        teachers->choose(count);
    } else if (operation == "password") {
        message = teachers->enterPassword("2");
    } else if (operation == "rename") {
        teachers->setCurrentTeacherName("New");
        message = teachers->rename();
    } else if (operation == "remove") {
        message = teachers->remove();
    } else if (operation == "change password") {
        message = teachers->changePersonalPassword("", "1", "1");
    } else if (operation == "confirm" || operation == "confirm default") {
        message = teachers->confirm().message;
    } else if (operation == "store list") {
        message = teachers->storeTeacherListFor("New");
    } else if (operation == "picture folder") {
        QCOMPARE(teachers->pictureFolder(), QString());
    } else if (operation == "store picture folder") {
        message = teachers->storePictureFolder("/home/teacher");
    }
    QCOMPARE(message, QString());
    QCOMPARE(events.take("datb.sec"), std::pair(1, writes));
}

void TeacherSettingsTest::damagedCountsStayWithinTheLists_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("count");
    QTest::newRow("largest int") << "2147483647" << 999;
    QTest::newRow("a million") << "1000000" << 999;
    QTest::newRow("largest int in hexadecimal") << "0x7fffffff" << 999;
    QTest::newRow("one more than the lists hold") << "1000" << 999;
    QTest::newRow("as many as the lists hold") << "999" << 999;
    QTest::newRow("negative") << "-5" << 0;
    QTest::newRow("all 32 bits set") << "$FFFFFFFF" << 0;
    QTest::newRow("not a number") << "many" << 1;
}

void TeacherSettingsTest::damagedCountsStayWithinTheLists()
{
    QFETCH(QString, stored);
    QFETCH(int, count);
    const QString counts = QStringLiteral("ce=%1\r\nke=%1\r\n").arg(stored);
    putSettings("[tec]\r\nmum=1\r\nte1=A\r\n[教师0]\r\n" + counts + "[A]\r\n" + counts);
    auto teachers = start();
    QCOMPARE(teachers->volumeCount(), count);
    QCOMPARE(teachers->lessonCount(), count);
    teachers->choose(1);
    QCOMPARE(teachers->volumeCount(), count);
    QCOMPARE(teachers->lessonCount(), count);
    // "添加" stops at the largest count.
    teachers->setVolumeCount(teachers->volumeCount() + 1);
    teachers->setLessonCount(teachers->lessonCount() + 1);
    QCOMPARE(teachers->volumeCount(), std::min(count + 1, TeacherSettings::largestCount));
    QCOMPARE(teachers->lessonCount(), std::min(count + 1, TeacherSettings::largestCount));
}

void TeacherSettingsTest::lessonSavedForUnstoredTeacherStoresTheList()
{
    putSettings("[tec]\r\nmum=1\r\nte1=A\r\n");
    auto teachers = start();
    teachers->setCurrentTeacherName("B");
    teachers->add();
    QCOMPARE(teachers->storeTeacherListFor("A"), QString());
    QCOMPARE(start()->teacherList(), QStringList({"默认", "A"}));
    QCOMPARE(teachers->storeTeacherListFor("B"), QString());
    QCOMPARE(start()->teacherList(), QStringList({"默认", "A", "B"}));
    // A name typed after unlocking, in no list at all.
    QCOMPARE(teachers->storeTeacherListFor("C"), QString());
    QCOMPARE(teachers->teacherList(), QStringList({"默认", "A", "B", "C"}));
    QCOMPARE(start()->teacherList(), QStringList({"默认", "A", "B", "C"}));
}

void TeacherSettingsTest::scramble_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("stored");
    const QStringList table = {"0",   "12",  "278",  "417",  "556",
                               "780", "936", "1092", "1248", "1404"};
    for (int d = 0; d <= 9; ++d)
        QTest::addRow("digit %d", d) << QString::number(d) << table[d];
    QTest::newRow("empty") << ""
                           << "0";
    QTest::newRow("several digits, in typing order") << "2051"
                                                     << "278078012";
}

void TeacherSettingsTest::scramble()
{
    QFETCH(QString, digits);
    QFETCH(QString, stored);
    QCOMPARE(PasswordScramble::scrambled(digits), stored);
}

void TeacherSettingsTest::personalPasswordChange_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("after");
    QTest::newRow("no password yet, old field left empty")
        << "0" << QStringList{"", "12", "12"} << ""
        << "12278";
    QTest::newRow("right old password") << "12" << QStringList{"1", "", ""} << ""
                                        << "0";
    QTest::newRow("wrong old password") << "12" << QStringList{"2", "3", "3"} << "原密码错误！"
                                        << "12";
    QTest::newRow("new and repeat differ")
        << "12" << QStringList{"1", "3", "4"} << "两次输入的新密码不一致！"
        << "12";
}

void TeacherSettingsTest::personalPasswordChange()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, entries);
    QFETCH(QString, message);
    QFETCH(QString, after);
    putSettings("[tec]\r\nmum=1\r\nte1=A\r\n[A]\r\nma=" + stored + "\r\n");
    auto teachers = start();
    if (teachers->choose(1) == TeacherSettings::Choice::PasswordNeeded)
        QCOMPARE(teachers->enterPassword("1"), QString());
    AdministratorPassword administrator({}, {});
    PasswordChange change(*teachers, administrator);
    change.open(PasswordChange::Mode::Personal);
    const PasswordChange::Field fields[] = {PasswordChange::Field::Old, PasswordChange::Field::New,
                                            PasswordChange::Field::Repeat};
    for (int i = 0; i < 3; ++i) {
        change.clickField(fields[i]);
        for (QChar digit : entries[i])
            change.appendDigit(digit);
    }
    QCOMPARE(change.field(PasswordChange::Field::New).shown(), QString(entries[1].size(), '*'));
    QCOMPARE(change.confirm(), message);
    QCOMPARE(teachers->settingsFile().readString("A", "ma", "none"), after);
    QCOMPARE(teachers->storedPassword(), after);
}

void TeacherSettingsTest::administratorPasswordChange_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("after");
    const QByteArray unset(12, ' ');
    QTest::newRow("unset accepts an empty old entry")
        << unset << QStringList{"", "4711", "4711"} << "" << QByteArray("4711        ");
    QTest::newRow("unset accepts any old entry")
        << unset << QStringList{"99", "1", "1"} << "" << QByteArray("1           ");
    QTest::newRow("13 digits stored as 12")
        << unset << QStringList{"", "1234567890123", "1234567890123"} << ""
        << QByteArray("123456789012");
    QTest::newRow("right old password, new one empty unsets it")
        << QByteArray("4711        ") << QStringList{"4711", "", ""} << "" << unset;
    QTest::newRow("wrong old password")
        << QByteArray("4711        ") << QStringList{"4712", "1", "1"} << "原密码错误！"
        << QByteArray("4711        ");
    QTest::newRow("new and repeat differ")
        << unset << QStringList{"", "1", "2"} << "两次输入的新密码不一致！" << unset;
    QTest::newRow("zero byte ends the stored text")
        << QByteArray("12\0         ", 12) << QStringList{"12", "3", "3"} << "原密码错误！"
        << QByteArray("12\0         ", 12);
}

void TeacherSettingsTest::administratorPasswordChange()
{
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, entries);
    QFETCH(QString, message);
    QFETCH(QByteArray, after);
    QByteArray bytes(6000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    bytes.replace(5000, 12, stored);
    const QString path = m_directory->filePath("sxut.dll");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    AdministratorPassword administrator(m_directory->filePath("delivered.dll"), path);
    QCOMPARE(administrator.change(entries[0], entries[1], entries[2]), message);
    QCOMPARE(FileContents::of(path), bytes.replace(5000, 12, after));
}

void TeacherSettingsTest::administratorCopyGoesToTheWritablePlace()
{
    // The delivered copy is read-only, as in a program directory the user cannot write.
    const QString delivered = m_directory->filePath("program/sxut.dll");
    QVERIFY(QDir().mkpath(m_directory->filePath("program")));
    QVERIFY(QDir().mkpath(m_directory->filePath("work")));
    QByteArray bytes(5100, 'z');
    bytes.replace(5000, 12, QByteArray(12, ' '));
    QFile file(delivered);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QVERIFY(QFile::setPermissions(delivered, QFile::ReadOwner));

    AdministratorPassword administrator(delivered, m_directory->filePath("work/sxut.dll"));
    // Before the copy is made there is nothing to read: the old password is always wrong.
    QCOMPARE(administrator.read(), QString());
    QCOMPARE(administrator.change("", "1", "1"), QStringLiteral("原密码错误！"));

    PasswordChange change(*start(), administrator);
    change.open(PasswordChange::Mode::Administrator);
    QVERIFY(QFile::exists(administrator.path()));
    QCOMPARE(administrator.change("", "1", "1"), QString());
    QCOMPARE(administrator.read(), QStringLiteral("1           "));
    QCOMPARE(FileContents::of(delivered), bytes);

    administrator.useLessonStore(m_directory->filePath("store/"));
    QCOMPARE(administrator.path(), m_directory->filePath("store/sxut.dll"));
    QCOMPARE(administrator.change("", "1", "1"), QStringLiteral("原密码错误！"));
}

void TeacherSettingsTest::startupSettings_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<quint32>("pen");
    QTest::addColumn<quint32>("board");
    QTest::addColumn<QString>("width");
    QTest::addColumn<quint32>("textBox");
    QTest::newRow("no file: red on grey, width 2, lighter grey text box")
        << QString() << 255u << 8421504u << "2" << 10855845u;
    QTest::newRow("white board and text box")
        << QString("blk=16777215\r\n") << 255u << 16777215u << "2" << 16777215u;
    QTest::newRow("blue pen in hexadecimal, width 3")
        << QString("frn=$FF0000\r\nbh=3\r\n") << 16711680u << 8421504u << "3" << 10855845u;
    QTest::newRow("width not a number")
        << QString("bh=thick\r\n") << 255u << 8421504u << "2" << 10855845u;
    QTest::newRow("width beyond 9") << QString("bh=15\r\n") << 255u << 8421504u << "2" << 10855845u;
}

void TeacherSettingsTest::startupSettings()
{
    QFETCH(QString, section);
    QFETCH(quint32, pen);
    QFETCH(quint32, board);
    QFETCH(QString, width);
    QFETCH(quint32, textBox);
    putSettings("[教师0]\r\n" + section);
    const StartupSettings settings = StartupSettings::from(start()->startupSettings());
    QCOMPARE(settings.penColour, pen);
    QCOMPARE(settings.backgroundColour, board);
    QCOMPARE(settings.widthText, width);
    QCOMPARE(settings.width, width.toInt());
    QCOMPARE(settings.textBoxColour, textBox);
}

void TeacherSettingsTest::widthButtonsStopAtOneAndNine()
{
    PersonalSettings settings;
    for (int i = 0; i < 10; ++i)
        settings.widthUp();
    QCOMPARE(settings.width, QStringLiteral("9"));
    for (int i = 0; i < 10; ++i)
        settings.widthDown();
    QCOMPARE(settings.width, QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TeacherSettingsTest)
#include "TeacherSettingsTest.moc"

#include "lessontool/LessonCommand.h"

#include "files/FileWrite.h"
#include "files/LaterRemoval.h"
#include "lessons/LessonChoice.h"
#include "lessons/LessonPdf.h"
#include "lessons/LessonReader.h"
#include "lessons/LessonStore.h"
#include "lessons/LessonWriter.h"
#include "lessons/Messages.h"
#include "lessons/PersonalSettings.h"
#include "lessons/ProfileDocument.h"
#include "lessons/SettingsLocation.h"
#include "lessons/TeacherName.h"
#include "lessons/TeacherSettings.h"
#include "lessontool/LessonNameParts.h"
#include "lessontool/StoreCheck.h"
#include "platform/Drives.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {

// Pictures of pages up to this size are read, whatever screen wrote them.
const QSize largestScreen(4096, 4096);
// The page size of a lesson whose first picture cannot be read: the smallest classroom screen.
const QSize fallbackPageSize(1024, 768);

const QString commands[] = {QStringLiteral("list"), QStringLiteral("export"),
                            QStringLiteral("check"), QStringLiteral("repair"),
                            QStringLiteral("copy")};

// The settings of this machine as the program reads them at start-up: the teacher list, the
// lesson drive, the text box's colour. Read only: nothing is created.
struct MachineSettings {
    explicit MachineSettings(Drives& drives)
        : location(SettingsLocation::choose(drives)), teachers(location),
          file(ProfileDocument::load(location.filePath()))
    {
    }
    // The volume and lesson counts the settings window's lists show for a teacher of the list.
    LessonNameParts::Numbers countsOf(const QString& teacher) const
    {
        if (!teachers.teacherList().contains(teacher))
            return {0, 0};
        return {file.readInteger(teacher, QStringLiteral("ce"), 1),
                file.readInteger(teacher, QStringLiteral("ke"), 1)};
    }

    SettingsLocation location;
    TeacherSettings teachers;
    ProfileDocument file;
};

// Whether the options name one lesson (check and repair look at every lesson without).
bool namesLesson(const QCommandLineParser& options)
{
    for (const char* option : {"name", "teacher", "volume", "lesson"})
        if (options.isSet(QString::fromLatin1(option)))
            return true;
    return false;
}

QString driveName(const Drive& drive)
{
    return LessonChoice::driveEntry(drive);
}

} // namespace

LessonCommand::LessonCommand(Drives& drives, QTextStream& out, QTextStream& err)
    : m_drives(drives), m_out(out), m_err(err)
{
}

QString LessonCommand::usage()
{
    return QStringLiteral(
        "Usage: zkalto-lesson COMMAND [OPTIONS]\n"
        "The lesson stores of zkalto on this machine's drives.\n"
        "\n"
        "Commands:\n"
        "  list [--drive X]                      drives, lessons, teachers, volumes, page counts, "
        "dates\n"
        "  export LESSON [--drive X] OUT.pdf     a lesson as PDF, as the settings window's "
        "\"导出\"\n"
        "  check [--drive X] [LESSON]            faults of the stores (exit status: see below)\n"
        "  repair [--drive X] [LESSON]           finishes or rolls back saves that were cut short\n"
        "  copy LESSON [--drive X] TARGET [--replace]\n"
        "                                        a lesson to another drive, teacher or number\n"
        "\n"
        "A lesson is --teacher NAME --volume N --lesson N (the name 李213 is teacher 李, volume "
        "2,\n"
        "lesson 13), or --name RAW for the name as the store has it. The target of copy is\n"
        "--to-drive X, --to-teacher NAME, --to-volume N, --to-lesson N (each the source's when\n"
        "left out), or --to-name RAW. --replace lets copy replace a lesson that is there.\n"
        "Without --drive, export and copy use the lesson drive of the settings, list, check and\n"
        "repair every drive.\n"
        "\n"
        "Exit status: 0 done, 1 wrong use or refused input, 2 not found (drive, store, lesson, a\n"
        "page that cannot be read), 3 a file could not be written. check: 0 no fault, else the "
        "sum\n"
        "of 2 no store (or its folders are links), 4 index and files disagree, 8 a page picture\n"
        "does not decode, 16 a save was cut short (repair finishes it).\n");
}

namespace {

// One run of the command: its options, the drives and the settings.
class Run {
public:
    Run(Drives& drives, QTextStream& out, QTextStream& err, QCommandLineParser& options)
        : m_drives(drives), m_out(out), m_err(err), m_options(options), m_settings(drives)
    {
    }

    int list();
    int exportPdf();
    int check();
    int repair();
    int copy();

private:
    // The lesson named by the options with the prefix ("" or "to-"); with inherit, a part left
    // out is the source's. Nothing (with the reason printed) when they name none or a name the
    // store cannot hold.
    std::optional<QString> lessonOf(const QString& prefix, bool inherit = false);
    // The drive of the option, else the settings' lesson drive; nothing when it is missing.
    std::optional<Drive> driveOf(const QString& option, QChar fallback);
    // The drives to look at: the one of --drive, else all of them.
    std::optional<QList<Drive>> drivesToLookAt();
    // The one lesson the options name, or "" for every lesson when they name none; nothing when
    // the name is refused.
    std::optional<QString> lessonOrEvery();
    QString positional(int index) const;
    int refuse(const QString& why, int status = LessonCommand::WrongUse);

    Drives& m_drives;
    QTextStream& m_out;
    QTextStream& m_err;
    QCommandLineParser& m_options;
    MachineSettings m_settings;
};

int Run::refuse(const QString& why, int status)
{
    m_err << "zkalto-lesson: " << why << Qt::endl;
    return status;
}

QString Run::positional(int index) const
{
    const QStringList arguments = m_options.positionalArguments();
    return index < arguments.size() ? arguments[index] : QString();
}

std::optional<QString> Run::lessonOf(const QString& prefix, bool inherit)
{
    const auto value = [&](const QString& part) {
        const QString given = m_options.value(prefix + part);
        return given.isEmpty() && inherit ? m_options.value(part) : given;
    };
    QString name = m_options.value(prefix + QStringLiteral("name"));
    if (name.isEmpty()) {
        const QString teacher = value(QStringLiteral("teacher"));
        if (teacher.isEmpty() && value(QStringLiteral("volume")).isEmpty() &&
            value(QStringLiteral("lesson")).isEmpty()) {
            refuse(QStringLiteral("no lesson given: --%1teacher, --%1volume and --%1lesson, or "
                                  "--%1name")
                       .arg(prefix));
            return std::nullopt;
        }
        if (const QString problem = TeacherName::problem(teacher); !problem.isEmpty()) {
            refuse(
                QStringLiteral("the teacher's name \"%1\" is refused: %2").arg(teacher, problem));
            return std::nullopt;
        }
        name = teacher;
        for (const QString part : {QStringLiteral("volume"), QStringLiteral("lesson")}) {
            bool ok = false;
            const int number = value(part).toInt(&ok);
            if (!ok || number < 1 || number > TeacherSettings::largestCount) {
                refuse(QStringLiteral("--%1%2 needs a number from 1 to %3, not \"%4\"")
                           .arg(prefix, part)
                           .arg(TeacherSettings::largestCount)
                           .arg(value(part)));
                return std::nullopt;
            }
            name += QString::number(number);
        }
    }
    if (!LessonStore::isValidName(name)) {
        refuse(QStringLiteral("\"%1\" cannot name a lesson: %2")
                   .arg(name, Messages::lessonNameUnusable()));
        return std::nullopt;
    }
    return name;
}

std::optional<Drive> Run::driveOf(const QString& option, QChar fallback)
{
    const QString given = m_options.value(option);
    QString letter = given;
    if (letter.endsWith(QLatin1Char(':')))
        letter.chop(1);
    if (given.isEmpty())
        letter = fallback;
    if (letter.size() != 1 || !letter[0].isLetter() || letter[0].unicode() > 0x7F) {
        refuse(QStringLiteral("--%1 needs a drive letter, not \"%2\"").arg(option, given));
        return std::nullopt;
    }
    std::optional<Drive> drive = m_drives.find(letter[0]);
    if (!drive) {
        QStringList letters;
        for (const Drive& each : m_drives.list())
            letters << QString(each.letter) + QLatin1Char(':');
        refuse(QStringLiteral("no drive %1: on this machine (it has %2)")
                   .arg(letter.toUpper(), letters.join(QLatin1Char(' '))),
               LessonCommand::NotFound);
    }
    return drive;
}

std::optional<QString> Run::lessonOrEvery()
{
    return namesLesson(m_options) ? lessonOf(QString()) : QString();
}

std::optional<QList<Drive>> Run::drivesToLookAt()
{
    if (!m_options.isSet(QStringLiteral("drive")))
        return m_drives.list();
    const std::optional<Drive> drive = driveOf(QStringLiteral("drive"), QChar());
    if (!drive)
        return std::nullopt;
    return QList<Drive>{*drive};
}

int Run::list()
{
    const std::optional<QList<Drive>> drives = drivesToLookAt();
    if (!drives)
        return LessonCommand::NotFound;
    const QStringList& teachers = m_settings.teachers.teacherList();
    bool anyStore = false;
    for (const Drive& drive : *drives) {
        const LessonStore store(LessonStore::directoryOn(drive.root));
        if (!QFileInfo(store.directory()).isDir() && drives->size() > 1)
            continue;
        anyStore = true;
        m_out << driveName(drive) << "  " << QDir::toNativeSeparators(store.directory()) << '\n';
        if (!QFileInfo(store.directory()).isDir()) {
            m_out << "  no lesson store\n";
            continue;
        }
        if (!store.isOnItsDrive()) {
            m_out << "  the store's folders are links: the program uses no lesson here\n";
            continue;
        }
        const QStringList lessons = StoreCheck(store).lessons();
        if (lessons.isEmpty())
            m_out << "  no lessons\n";
        for (const QString& lesson : lessons) {
            const LessonStore::Lesson looked = store.look(lesson);
            const LessonNameParts parts = LessonNameParts::split(
                lesson, teachers, [&](const QString& t) { return m_settings.countsOf(t); });
            QString picture = store.pathOf(lesson, 1, LessonStore::PageFile::Picture);
            if (looked.readsSaving && QFileInfo::exists(LessonStore::savingPath(picture)))
                picture = LessonStore::savingPath(picture);
            const QFileInfo saved(picture);
            m_out << "  " << lesson << "  " << parts.describe() << "  "
                  << QStringLiteral("%1 pages").arg(looked.pageCount) << "  "
                  << (saved.exists()
                          ? saved.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm"))
                          : QStringLiteral("-"))
                  << (looked.readsSaving ? "  (a save cut short: run repair)" : "") << '\n';
        }
    }
    if (!anyStore)
        m_out << "no lesson store on any drive\n";
    m_out.flush();
    return LessonCommand::Done;
}

int Run::exportPdf()
{
    const std::optional<QString> lesson = lessonOf(QString());
    if (!lesson)
        return LessonCommand::WrongUse;
    const QString target = positional(1);
    if (target.isEmpty())
        return refuse(QStringLiteral("export needs the name of the PDF file to write"));
    const std::optional<Drive> drive =
        driveOf(QStringLiteral("drive"), m_settings.teachers.lessonDrive());
    if (!drive)
        return LessonCommand::NotFound;
    const LessonStore store(LessonStore::directoryOn(drive->root));
    const LessonStore::Lesson looked = store.look(*lesson);
    if (looked.pageCount == 0)
        return refuse(QStringLiteral("%1 has no lesson %2 (%3)")
                          .arg(driveName(*drive), *lesson, Messages::fileNotFound()),
                      LessonCommand::NotFound);
    // The page size is that of the screen the lesson was saved on: its first picture's.
    QSize pageSize = store.readPage(looked, 1, largestScreen).picture.size();
    if (pageSize.isEmpty())
        pageSize = fallbackPageSize;
    const quint32 textBoxColour =
        StartupSettings::from(m_settings.teachers.startupSettings()).textBoxColour;
    LessonReader reader(store, looked, pageSize);
    const QByteArray bytes = LessonPdf(pageSize, textBoxColour).write(looked.pageCount, [&](int n) {
        return reader.take(n);
    });
    const QString path = LessonPdf::fileNameFor(target);
    if (const int error = bytes.isEmpty() ? ENOMEM : FileWrite::replace(path, bytes))
        return refuse(Messages::pdfFileRefused(path, error), LessonCommand::WriteFailed);
    m_out << Messages::pdfWritten(path, looked.pageCount) << Qt::endl;
    return LessonCommand::Done;
}

int Run::check()
{
    const bool oneDrive = m_options.isSet(QStringLiteral("drive"));
    const std::optional<QList<Drive>> drives = drivesToLookAt();
    if (!drives)
        return LessonCommand::NotFound;
    const std::optional<QString> lesson = lessonOrEvery();
    if (!lesson)
        return LessonCommand::WrongUse;
    const QString& only = *lesson;
    int status = 0;
    bool anyStore = false;
    for (const Drive& drive : *drives) {
        const LessonStore store(LessonStore::directoryOn(drive.root));
        if (!oneDrive && !QFileInfo(store.directory()).isDir())
            continue;
        anyStore = true;
        const QList<StoreCheck::Finding> findings = StoreCheck(store).findings(only);
        m_out << driveName(drive) << "  " << QDir::toNativeSeparators(store.directory()) << ": "
              << (findings.isEmpty() ? QStringLiteral("no fault")
                                     : QStringLiteral("%1 faults").arg(findings.size()))
              << '\n';
        for (const StoreCheck::Finding& finding : findings)
            m_out << "  [" << finding.fault << "] " << finding.text << '\n';
        status |= StoreCheck::statusOf(findings);
    }
    if (!anyStore) {
        m_out << "no lesson store on any drive\n";
        status |= StoreCheck::NoStore;
    }
    m_out.flush();
    return status;
}

int Run::repair()
{
    const std::optional<QList<Drive>> drives = drivesToLookAt();
    if (!drives)
        return LessonCommand::NotFound;
    const std::optional<QString> lesson = lessonOrEvery();
    if (!lesson)
        return LessonCommand::WrongUse;
    const QString& only = *lesson;
    int status = LessonCommand::Done;
    for (const Drive& drive : *drives) {
        const LessonStore store(LessonStore::directoryOn(drive.root));
        if (!QFileInfo(store.directory()).isDir())
            continue;
        if (!store.isOnItsDrive()) {
            m_out << driveName(drive) << ": the store's folders are links: nothing done\n";
            status = std::max<int>(status, LessonCommand::NotFound);
            continue;
        }
        const StoreCheck check(store);
        const auto halfFinished = [&] {
            qsizetype count = 0;
            for (const StoreCheck::Finding& finding : check.findings(only))
                count += finding.fault == StoreCheck::HalfFinishedSave;
            return count;
        };
        const qsizetype before = halfFinished();
        const QStringList lessons = only.isEmpty() ? check.lessonsToFinish() : QStringList{only};
        for (const QString& lesson : lessons) {
            const LessonStore::Pending pending = store.finishSave(lesson);
            if (!pending.message.isEmpty()) {
                m_err << "zkalto-lesson: " << pending.message << Qt::endl;
                status = LessonCommand::WriteFailed;
            }
        }
        // The old files the saves replaced are removed in the background.
        LaterRemoval::waitUntilDone();
        const qsizetype after = halfFinished();
        m_out << driveName(drive) << ": "
              << QStringLiteral("%1 traces of saves cut short, %2 left").arg(before).arg(after)
              << '\n';
        if (after > 0 && status == LessonCommand::Done)
            status = LessonCommand::WriteFailed;
    }
    m_out.flush();
    return status;
}

int Run::copy()
{
    const std::optional<QString> source = lessonOf(QString());
    if (!source)
        return LessonCommand::WrongUse;
    const std::optional<Drive> from =
        driveOf(QStringLiteral("drive"), m_settings.teachers.lessonDrive());
    if (!from)
        return LessonCommand::NotFound;
    // The target's parts default to the source's; a source given by its raw name has none.
    const bool targetParts = m_options.isSet(QStringLiteral("to-teacher")) ||
                             m_options.isSet(QStringLiteral("to-volume")) ||
                             m_options.isSet(QStringLiteral("to-lesson"));
    std::optional<QString> targetName = source;
    if (m_options.isSet(QStringLiteral("to-name")))
        targetName = lessonOf(QStringLiteral("to-"));
    else if (targetParts && m_options.isSet(QStringLiteral("name")))
        return refuse(QStringLiteral("a lesson given by --name is copied to --to-name"));
    else if (targetParts)
        targetName = lessonOf(QStringLiteral("to-"), true);
    if (!targetName)
        return LessonCommand::WrongUse;
    const std::optional<Drive> to = m_options.isSet(QStringLiteral("to-drive"))
                                        ? driveOf(QStringLiteral("to-drive"), QChar())
                                        : from;
    if (!to)
        return LessonCommand::NotFound;

    const LessonStore sourceStore(LessonStore::directoryOn(from->root));
    const LessonStore targetStore(LessonStore::directoryOn(to->root));
    if (QDir(sourceStore.directory()).canonicalPath() ==
            QDir(targetStore.directory()).canonicalPath() &&
        *source == *targetName)
        return refuse(QStringLiteral("a lesson is not copied onto itself"));
    const LessonStore::Lesson looked = sourceStore.look(*source);
    if (looked.pageCount == 0)
        return refuse(QStringLiteral("%1 has no lesson %2 (%3)")
                          .arg(driveName(*from), *source, Messages::fileNotFound()),
                      LessonCommand::NotFound);
    if (!targetStore.isOnItsDrive())
        return refuse(QStringLiteral("the lesson store on %1 has folders that are links: "
                                     "nothing is written there")
                          .arg(driveName(*to)));
    if (targetStore.look(*targetName).pageCount > 0 && !m_options.isSet(QStringLiteral("replace")))
        return refuse(QStringLiteral("%1 has a lesson %2 already: --replace replaces it")
                          .arg(driveName(*to), *targetName));

    targetStore.makeDirectory();
    QString message;
    {
        LessonReader reader(sourceStore, looked, largestScreen);
        LessonWriter writer(targetStore, *targetName, looked.pageCount);
        for (int n = 1; n <= looked.pageCount; ++n) {
            const LessonPage page = reader.take(n);
            // A save keeps no page without its picture; neither does a copy.
            if (page.picture.isNull())
                return refuse(QStringLiteral("the picture of page %1 of %2 cannot be read: "
                                             "nothing was copied (see check)")
                                  .arg(n)
                                  .arg(*source),
                              LessonCommand::NotFound);
            if (!writer.add(n, page))
                break;
        }
        message = writer.finish();
    }
    if (!message.isEmpty())
        return refuse(message, LessonCommand::WriteFailed);
    m_out << QStringLiteral("%1 %2 copied to %3 %4 (%5 pages)")
                 .arg(driveName(*from), *source, driveName(*to), *targetName)
                 .arg(looked.pageCount)
          << Qt::endl;
    return LessonCommand::Done;
}

} // namespace

int LessonCommand::run(const QStringList& arguments)
{
    QCommandLineParser options;
    options.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("this text"));
    options.addOption(help);
    for (const char* name : {"drive", "teacher", "volume", "lesson", "name", "to-drive",
                             "to-teacher", "to-volume", "to-lesson", "to-name"})
        options.addOption({QString::fromLatin1(name), {}, QStringLiteral("value")});
    options.addOption({QStringLiteral("replace"), {}});
    if (!options.parse(QStringList{QStringLiteral("zkalto-lesson")} + arguments)) {
        m_err << "zkalto-lesson: " << options.errorText() << "\n\n" << usage();
        m_err.flush();
        return WrongUse;
    }
    if (options.isSet(help)) {
        m_out << usage();
        m_out.flush();
        return Done;
    }
    const QStringList positional = options.positionalArguments();
    const QString command = positional.value(0);
    if (std::find(std::begin(commands), std::end(commands), command) == std::end(commands)) {
        m_err << (command.isEmpty()
                      ? QStringLiteral("zkalto-lesson: no command\n\n")
                      : QStringLiteral("zkalto-lesson: no command \"%1\"\n\n").arg(command))
              << usage();
        m_err.flush();
        return WrongUse;
    }
    const qsizetype allowed = command == QLatin1String("export") ? 2 : 1;
    if (positional.size() > allowed) {
        m_err << "zkalto-lesson: " << command << " takes no argument \"" << positional[allowed]
              << "\"\n";
        m_err.flush();
        return WrongUse;
    }
    Run run(m_drives, m_out, m_err, options);
    if (command == QLatin1String("list"))
        return run.list();
    if (command == QLatin1String("export"))
        return run.exportPdf();
    if (command == QLatin1String("check"))
        return run.check();
    if (command == QLatin1String("repair"))
        return run.repair();
    return run.copy();
}

#include "lessontool/StoreCheck.h"

#include "files/RegularFile.h"
#include "lessons/ProfileDocument.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace {

// The size a page picture is read at: any screen up to it.
const QSize largestScreen(4096, 4096);
const QString indexTemporary = QStringLiteral("datb.sec.tmp-");
const QString saving = QStringLiteral(".saving");
const QString replaced = LessonStore::replacedPath(QString());

// "<lesson><n>.<ext>" split after the lesson: n and the extension, or nothing.
std::optional<int> pageNumberOf(QStringView rest)
{
    static const QRegularExpression page(QStringLiteral("^([1-9][0-9]?)\\.(pte|sec|te)$"));
    const QRegularExpressionMatch match = page.match(rest.toString());
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

} // namespace

StoreCheck::StoreCheck(const LessonStore& store) : m_store(store) {}

QStringList StoreCheck::fileNames() const
{
    return QDir(m_store.directory())
        .entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList StoreCheck::lessons() const
{
    QStringList names;
    for (const QString& name : ProfileDocument::load(m_store.indexPath()).sectionNames())
        if (LessonStore::isValidName(name))
            names << name;
    for (const QString& file : fileNames()) {
        if (!file.endsWith(saving))
            continue;
        const QString lesson = file.chopped(saving.size());
        if (LessonStore::isValidName(lesson) && !names.contains(lesson) &&
            m_store.committedPageCount(lesson) > 0)
            names << lesson;
    }
    return names;
}

QStringList StoreCheck::lessonsToFinish() const
{
    QStringList names = lessons();
    for (const QString& file : fileNames()) {
        const QString& suffix = file.endsWith(replaced) ? replaced : saving;
        if (!file.endsWith(suffix))
            continue;
        const QString pageFile = file.chopped(suffix.size());
        for (qsizetype cut = 1; cut < pageFile.size(); ++cut) {
            const QString lesson = pageFile.left(cut);
            if (pageNumberOf(QStringView(pageFile).sliced(cut)) && !names.contains(lesson) &&
                LessonStore::isValidName(lesson))
                names << lesson;
        }
    }
    return names;
}

std::pair<QString, int> StoreCheck::ownerOf(const QString& fileName,
                                            const QStringList& lessons) const
{
    std::pair<QString, int> owner;
    for (const QString& lesson : lessons) {
        if (!fileName.startsWith(lesson))
            continue;
        const std::optional<int> n = pageNumberOf(QStringView(fileName).sliced(lesson.size()));
        // The longest lesson the name reads as wins: "李2131.pte" is page 1 of 李213 rather
        // than page 31 of 李21 when the store has both.
        if (n && lesson.size() > owner.first.size())
            owner = {lesson, *n};
    }
    return owner;
}

QList<StoreCheck::Finding> StoreCheck::findings(const QString& onlyLesson) const
{
    QList<Finding> found;
    if (!m_store.isOnItsDrive())
        return {{NoStore, QStringLiteral("the store's folders are links: the program opens no "
                                         "lesson here and saves none")}};
    if (!QDir(m_store.directory()).exists())
        return {{NoStore, QStringLiteral("no lesson store")}};
    const QStringList all = lessons();
    if (!RegularFile::isRegular(m_store.indexPath(), std::numeric_limits<qint64>::max()))
        found << Finding{IndexAgainstFiles, QStringLiteral("no lesson index datb.sec")};
    for (const QString& lesson : all)
        if (onlyLesson.isEmpty() || lesson == onlyLesson)
            checkLesson(lesson, found);

    // Files that no indexed page has, and what saves cut short left.
    static const QRegularExpression pageFile(QStringLiteral(".[1-9][0-9]?\\.(pte|sec|te)$"));
    for (const QString& file : fileNames()) {
        if (file == QLatin1String("datb.sec") || file == QLatin1String("sxut.dll"))
            continue;
        if (file.startsWith(indexTemporary)) {
            if (onlyLesson.isEmpty())
                found << Finding{HalfFinishedSave,
                                 file + QStringLiteral(": left by a change of the index that was "
                                                       "cut short")};
            continue;
        }
        if (file.endsWith(replaced)) {
            const QString name = file.chopped(replaced.size());
            if (pageFile.match(name).hasMatch() &&
                (onlyLesson.isEmpty() || ownerOf(name, all).first == onlyLesson))
                found << Finding{HalfFinishedSave,
                                 file + QStringLiteral(": the old version of a file a save "
                                                       "replaced, not removed yet")};
            continue;
        }
        const bool temporary = file.endsWith(saving);
        const QString name = temporary ? file.chopped(saving.size()) : file;
        if (temporary && all.contains(name))
            continue; // a commit record, reported with its lesson
        const auto [lesson, n] = ownerOf(name, all);
        if (!onlyLesson.isEmpty() && lesson != onlyLesson)
            continue;
        if (temporary) {
            if (lesson.isEmpty() || m_store.committedPageCount(lesson) < n)
                found << Finding{HalfFinishedSave,
                                 file +
                                     QStringLiteral(": a file of a save that was not committed")};
        } else if (lesson.isEmpty()) {
            if (pageFile.match(name).hasMatch())
                found << Finding{IndexAgainstFiles,
                                 file + QStringLiteral(": a page file of no lesson in the index")};
        } else if (const int pages = m_store.look(lesson).pageCount; n > pages) {
            found << Finding{IndexAgainstFiles,
                             file + QStringLiteral(": page %1 of %2, which has %3 pages")
                                        .arg(n)
                                        .arg(lesson)
                                        .arg(pages)};
        }
    }
    return found;
}

void StoreCheck::checkLesson(const QString& lesson, QList<Finding>& found) const
{
    const LessonStore::Lesson looked = m_store.look(lesson);
    if (looked.readsSaving)
        found << Finding{HalfFinishedSave,
                         QStringLiteral("%1: a committed save of %2 pages is not in place yet")
                             .arg(lesson)
                             .arg(looked.pageCount)};
    if (looked.pageCount == 0) {
        found << Finding{IndexAgainstFiles,
                         QStringLiteral("%1: the index gives no page count from 1 to %2")
                             .arg(lesson)
                             .arg(LessonStore::maxPages)};
        return;
    }
    for (int n = 1; n <= looked.pageCount; ++n) {
        for (LessonStore::PageFile file : LessonStore::pageFiles) {
            QString path = m_store.pathOf(lesson, n, file);
            if (looked.readsSaving && QFileInfo::exists(LessonStore::savingPath(path)))
                path = LessonStore::savingPath(path);
            if (!RegularFile::isRegular(path, std::numeric_limits<qint64>::max()))
                found << Finding{IndexAgainstFiles,
                                 QFileInfo(path).fileName() +
                                     QStringLiteral(": missing, or not a plain file (page %1 of "
                                                    "%2)")
                                         .arg(n)
                                         .arg(lesson)};
            else if (file == LessonStore::PageFile::Picture &&
                     m_store.readPage(looked, n, largestScreen).picture.isNull())
                found << Finding{PageUnreadable,
                                 QFileInfo(path).fileName() +
                                     QStringLiteral(": the picture of page %1 of %2 does not "
                                                    "decode")
                                         .arg(n)
                                         .arg(lesson)};
        }
    }
}

int StoreCheck::statusOf(const QList<Finding>& findings)
{
    int status = 0;
    for (const Finding& finding : findings)
        status |= finding.fault;
    return status;
}

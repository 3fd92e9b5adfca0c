#include "lessons/LessonStore.h"

#include "board/codec/ImageCodec.h"
#include "board/codec/PngCodec.h"
#include "board/pixels/BoardGeometry.h"
#include "files/FileWrite.h"
#include "files/LaterRemoval.h"
#include "files/ProgramRun.h"
#include "files/RegularFile.h"
#include "lessons/Messages.h"
#include "lessons/ProfileDocument.h"
#include "lessons/ProfileFile.h"
#include "text/Gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

const QString pageCountKey = QStringLiteral("pag");
const QString panelSection = QStringLiteral("edit");
// A file name has at most 255 bytes.
constexpr qsizetype longestFileName = 255;
// Files larger than these are no page the board wrote: they are not read.
constexpr qint64 largestText = 64 * 1024 * 1024;
constexpr qint64 largestPicture = 256 * 1024 * 1024;
// Pictures of pages up to this size open, whatever this screen's size.
constexpr QSize largestScreen(4096, 4096);
// What a commit record begins with.
const QByteArray commitHeader = "zkalto lesson save\npages=";

QString extensionOf(LessonStore::PageFile file)
{
    switch (file) {
    case LessonStore::PageFile::Picture:
        return QStringLiteral(".pte");
    case LessonStore::PageFile::Panel:
        return QStringLiteral(".sec");
    case LessonStore::PageFile::Text:
        return QStringLiteral(".te");
    }
    return {};
}

QString fileNameOf(const QString& lesson, int n, LessonStore::PageFile file)
{
    return lesson + QString::number(n) + extensionOf(file);
}

// The page count of a commit record; 0 when the file is none (missing, or not written by a save).
int committedPages(const QString& path)
{
    const QByteArray bytes = RegularFile::read(path, 64).value_or(QByteArray());
    if (!bytes.startsWith(commitHeader) || !bytes.endsWith('\n'))
        return 0;
    bool ok = false;
    const int pages = bytes.mid(commitHeader.size()).trimmed().toInt(&ok);
    return ok && pages >= 1 && pages <= LessonStore::maxPages ? pages : 0;
}

// A page picture: PNG through the board's codec, anything else Qt reads; null when there is none.
// Pictures from a larger screen than this one are read too: their top-left part is the page.
QImage readPicture(const QString& path, QSize screenSize)
{
    const std::optional<QByteArray> bytes = RegularFile::read(path, largestPicture);
    if (!bytes)
        return {};
    const PngPicture png = PngCodec::decode(*bytes, screenSize.expandedTo(largestScreen));
    if (png.status == PngStatus::Read)
        return png.image;
    return png.status == PngStatus::NotPng ? ImageCodec::normalised(QImage::fromData(*bytes))
                                           : QImage();
}

} // namespace

QString LessonStore::directoryOn(const QString& driveRoot)
{
    return driveRoot + QStringLiteral("Program files/Z_Kalto/data/");
}

LessonStore::LessonStore(QString directory) : m_directory(std::move(directory)) {}

QString LessonStore::indexPath() const
{
    return m_directory + QStringLiteral("datb.sec");
}

bool LessonStore::isOnItsDrive() const
{
    QString directory = m_directory;
    while (directory.endsWith(QLatin1Char('/')))
        directory.chop(1);
    // "Program files", "Z_Kalto" and "data", from the innermost out.
    for (int level = 0; level < 3; ++level) {
        struct stat status {};
        if (::lstat(QFile::encodeName(directory).constData(), &status) == 0 &&
            !S_ISDIR(status.st_mode))
            return false;
        directory.truncate(std::max<qsizetype>(directory.lastIndexOf(QLatin1Char('/')), 0));
    }
    return true;
}

void LessonStore::makeDirectory() const
{
    QDir().mkpath(m_directory);
}

bool LessonStore::isValidName(const QString& lesson)
{
    if (lesson.isEmpty())
        return false;
    for (QChar c : lesson)
        if (c.category() == QChar::Other_Control || QStringView(u"/\\[]=").contains(c) ||
            c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
    if (!Gbk::encode(lesson))
        return false;
    const QString longest = savingPath(fileNameOf(lesson, maxPages, PageFile::Picture));
    return longest.toUtf8().size() <= longestFileName;
}

QString LessonStore::pathOf(const QString& lesson, int n, PageFile file) const
{
    Q_ASSERT(isValidName(lesson));
    return m_directory + fileNameOf(lesson, n, file);
}

QString LessonStore::commitPath(const QString& lesson) const
{
    Q_ASSERT(isValidName(lesson));
    return savingPath(m_directory + lesson);
}

int LessonStore::commit(const QString& lesson, int pageCount) const
{
    Q_ASSERT(pageCount >= 1 && pageCount <= maxPages);
    return FileWrite::replace(commitPath(lesson),
                              commitHeader + QByteArray::number(pageCount) + '\n');
}

LessonStore::Pending LessonStore::finishSave(const QString& lesson,
                                             const Checkpoint& checkpoint) const
{
    const QString record = commitPath(lesson);
    const int pages = committedPages(record);
    // Files of a save that was cut short before it was committed, or of pages beyond the
    // committed count, belong to no lesson.
    removeUncommittedFiles(lesson, pages + 1);
    // Likewise the index's temporary files of a run that was killed while it replaced it.
    FileWrite::removeTemporariesOlderThan(indexPath(), ProgramRun::currentStartTime());
    const Pending pending = pages == 0 ? Pending() : putInPlace(lesson, pages, checkpoint);
    // The old files moved aside, and any a run that ended too soon left, go in the background.
    std::vector<QByteArray> replaced;
    replaced.reserve(maxPages * std::size(pageFiles));
    for (int n = 1; n <= maxPages; ++n)
        for (PageFile file : pageFiles)
            replaced.push_back(QFile::encodeName(replacedPath(pathOf(lesson, n, file))));
    LaterRemoval::remove(std::move(replaced));
    return pending;
}

LessonStore::Pending LessonStore::putInPlace(const QString& lesson, int pages,
                                             const Checkpoint& checkpoint) const
{
    // Renaming again what is already in place finds no file: the steps can be repeated.
    for (int n = 1; n <= pages; ++n) {
        for (PageFile file : pageFiles) {
            const QString path = pathOf(lesson, n, file);
            const int error =
                FileWrite::renameMovingAside(savingPath(path), path, replacedPath(path));
            if (error != 0 && error != ENOENT)
                return {pages, Messages::unableToWrite(path)};
        }
        if (checkpoint)
            checkpoint(QStringLiteral("page %1 in place").arg(n));
    }
    if (FileWrite::syncDirectory(m_directory) != 0)
        return {pages, Messages::unableToWrite(m_directory)};
    const ProfileFile index(indexPath());
    if (!index.writeInteger(lesson, pageCountKey, pages))
        return {pages, index.writeFailure()};
    if (checkpoint)
        checkpoint(QStringLiteral("index written"));
    const QString record = commitPath(lesson);
    if (FileWrite::remove(record) != 0)
        return {pages, Messages::unableToWrite(record)};
    FileWrite::syncDirectory(m_directory);
    return {};
}

void LessonStore::removeUncommittedFiles(const QString& lesson, int fromPage) const
{
    for (int n = fromPage; n <= maxPages; ++n) {
        // The files of page 31 of 李21 are named as those of page 1 of 李213: while a committed
        // save of 李213 waits to be put in place, they are its pages and stay.
        if (n >= 10 && n % 10 != 0) {
            const QString longer = lesson + QString::number(n / 10);
            if (isValidName(longer) && committedPages(commitPath(longer)) >= n % 10)
                continue;
        }
        for (PageFile file : pageFiles)
            FileWrite::remove(savingPath(pathOf(lesson, n, file)));
    }
}

LessonStore::Lesson LessonStore::open(const QString& lesson) const
{
    if (!isOnItsDrive())
        return {lesson, 0, false};
    const Pending pending = finishSave(lesson);
    if (pending.pendingPages > 0)
        return {lesson, pending.pendingPages, true};
    const int pages = ProfileFile(indexPath()).readInteger(lesson, pageCountKey, 0);
    return {lesson, std::clamp(pages, 0, maxPages), false};
}

LessonStore::Lesson LessonStore::look(const QString& lesson) const
{
    if (!isOnItsDrive())
        return {lesson, 0, false};
    if (const int pending = committedPageCount(lesson); pending > 0)
        return {lesson, pending, true};
    const int pages = ProfileFile(indexPath()).readInteger(lesson, pageCountKey, 0);
    return {lesson, std::clamp(pages, 0, maxPages), false};
}

int LessonStore::committedPageCount(const QString& lesson) const
{
    return committedPages(commitPath(lesson));
}

LessonPage LessonStore::readPage(const Lesson& lesson, int n, QSize screenSize) const
{
    const auto pathFor = [&](PageFile file) {
        const QString path = pathOf(lesson.name, n, file);
        return lesson.readsSaving && QFileInfo::exists(savingPath(path)) ? savingPath(path) : path;
    };
    LessonPage page;
    page.picture = readPicture(pathFor(PageFile::Picture), screenSize);
    // The panel record read once for all its keys.
    const ProfileDocument panel = ProfileDocument::load(pathFor(PageFile::Panel));
    const int kind = panel.readInteger(panelSection, QStringLiteral("vis"), 0);
    page.contentKind = kind == 1 || kind == 2 ? ContentKind(kind) : ContentKind::None;
    // A panel stays within reach whatever the record says, and never larger than the board.
    const QRect bounds(panel.readInteger(panelSection, QStringLiteral("left"), 0),
                       panel.readInteger(panelSection, QStringLiteral("top"), 40),
                       std::clamp(panel.readInteger(panelSection, QStringLiteral("width"), 368), 0,
                                  screenSize.width()),
                       std::clamp(panel.readInteger(panelSection, QStringLiteral("height"),
                                                    screenSize.height() - 40),
                                  0, screenSize.height()));
    page.panelBounds = BoardGeometry::panelKeptOnScreen(bounds, screenSize);
    page.text = RegularFile::read(pathFor(PageFile::Text), largestText).value_or(QByteArray());
    return page;
}

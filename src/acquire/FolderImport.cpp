#include "acquire/FolderImport.h"

#include "board/content/PictureColumn.h"
#include "board/content/PictureThumbnail.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

namespace {

QString count(const char* before, qsizetype number, const char* after)
{
    return QString::fromUtf8(before) + QString::number(number) + QString::fromUtf8(after);
}

} // namespace

const QStringList FolderImport::fileMask = {QStringLiteral("*.bmp"),  QStringLiteral("*.jpg"),
                                            QStringLiteral("*.jpeg"), QStringLiteral("*.png"),
                                            QStringLiteral("*.tif"),  QStringLiteral("*.tiff"),
                                            QStringLiteral("*.gif")};

const QString FolderImport::openFilter = QStringLiteral(
    "All (*.jpg *.jpeg *.bmp *.gif *.png *.ico *.emf *.wmf);;JPEG Image File (*.jpg);;"
    "JPEG Image File (*.jpeg);;Bitmaps (*.bmp);;GIF(*.gif);;PNG(*.png);;Icons (*.ico);;"
    "Enhanced Metafiles (*.emf);;Metafiles (*.wmf)");

FolderImport::FolderImport(PictureColumn& column, Prompter& prompter, QString programDirectory,
                           QObject* parent)
    : QObject(parent), m_column(column), m_prompter(prompter),
      m_programDirectory(std::move(programDirectory)), m_folder(QDir::currentPath())
{
    m_workers.setMaxThreadCount(QThread::idealThreadCount());
}

FolderImport::~FolderImport()
{
    cancel();
    m_workers.waitForDone();
}

QStringList FolderImport::pictureFiles(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    // Name filters match without regard to letter case, as "*.jpg" matches "PHOTO.JPG".
    return QDir(folder).entryList(fileMask, QDir::Files,
                                  QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
}

void FolderImport::setFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (clean == m_folder)
        return;
    m_folder = clean;
    emit folderChanged();
}

void FolderImport::importFolder()
{
    cancel();
    const QStringList names = pictureFiles(m_folder);
    const int taken = int(std::min<qsizetype>(names.size(), PictureColumn::folderLimit));
    m_column.setHeight(taken * PictureColumn::rowHeight);
    m_column.clearPictureList();
    setWindowTexts(count("总共有", names.size(), "个图像文件。  "),
                   count("已导入", 0, "个图像文件。  "));
    m_countOnImportWindow = m_column.tag() == 1;
    m_folderCount = taken;
    m_folderImported = 0;
    m_unreadable.clear();
    const QDir folder(m_folder);
    for (int k = 0; k < taken; ++k)
        enqueue(folder.filePath(names[k]), Kind::FolderPicture);
    if (taken == 0)
        finishFolder();
}

void FolderImport::importFile()
{
    const QString path = m_prompter.openFile(QString(), QString(), openFilter);
    if (path.isEmpty())
        return;
    enqueue(QFileInfo(path).absoluteFilePath(), Kind::SingleFile);
}

void FolderImport::cancel()
{
    ++m_generation;
    m_workers.clear();
    m_pending.clear();
}

QString FolderImport::unreadableText() const
{
    if (m_unreadable.isEmpty())
        return {};
    QString text = QStringLiteral("未能读取：") + m_unreadable.constLast();
    if (m_unreadable.size() > 1)
        text += count(" 等", m_unreadable.size(), "个文件");
    return text;
}

void FolderImport::clearWindowTexts()
{
    setWindowTexts({}, {});
}

void FolderImport::clearButtonText()
{
    setButtonText({});
}

void FolderImport::enqueue(const QString& path, Kind kind)
{
    const quint64 generation = m_generation;
    const quint64 sequence = m_nextSequence++;
    m_pending.emplace(sequence, Pending{path, kind, std::nullopt});
    m_workers.start([this, generation, sequence, path, directory = m_programDirectory] {
        PictureRead thumbnail = PictureThumbnail::make(path, directory);
        // Handed to the user-interface thread; dropped there if this import no longer exists.
        QMetaObject::invokeMethod(
            this,
            [this, generation, sequence, thumbnail = std::move(thumbnail)]() mutable {
                deliver(generation, sequence, std::move(thumbnail));
            },
            Qt::QueuedConnection);
    });
}

void FolderImport::deliver(quint64 generation, quint64 sequence, PictureRead thumbnail)
{
    if (generation != m_generation)
        return;
    const auto found = m_pending.find(sequence);
    if (found == m_pending.end())
        return;
    found->second.thumbnail = std::move(thumbnail);
    takeReady();
}

void FolderImport::takeReady()
{
    while (!m_pending.empty() && m_pending.begin()->second.thumbnail) {
        const Pending item = std::move(m_pending.begin()->second);
        m_pending.erase(m_pending.begin());
        take(item, *item.thumbnail);
    }
}

void FolderImport::take(const Pending& item, const PictureRead& thumbnail)
{
    if (thumbnail.status != PictureStatus::Read) {
        m_unreadable.append(QFileInfo(item.path).fileName());
        emit windowTextsChanged();
    }
    // Row and entry together: the row after the last entry, empty when the file was unreadable.
    const int row = m_column.appendPicture(item.path, thumbnail.image);
    if (item.kind == Kind::SingleFile) {
        setWindowTexts(count("总共有", row + 1, "个图像文件。  "),
                       count("已导入", row + 1, "个图像文件。  "));
        m_column.setHeight(row * PictureColumn::rowHeight + PictureColumn::thumbnailSize);
        return;
    }
    ++m_folderImported;
    if (m_countOnImportWindow)
        setWindowTexts(m_totalText, count("已导入", m_folderImported, "个图像文件。  "));
    else
        setButtonText(count("已导入", m_folderImported, "个文件。  "));
    if (m_folderImported == m_folderCount)
        finishFolder();
}

void FolderImport::finishFolder()
{
    setButtonText(count("已导入", m_folderImported, "个文件。  "));
    emit finished();
}

void FolderImport::setWindowTexts(const QString& total, const QString& imported)
{
    if (total == m_totalText && imported == m_importedText)
        return;
    m_totalText = total;
    m_importedText = imported;
    emit windowTextsChanged();
}

void FolderImport::setButtonText(const QString& text)
{
    if (text == m_buttonText)
        return;
    m_buttonText = text;
    emit buttonTextChanged();
}

#include "acquire/window/PictureImportWindow.h"

#include "acquire/FolderImport.h"
#include "board/content/PictureColumn.h"
#include "lessons/PictureImportSession.h"
#include "ui/ButtonPictures.h"
#include "ui/SystemWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

namespace {

constexpr QPoint totalTextAt(6, 220);
constexpr QPoint importedTextAt(6, 236);

QPushButton* bitButton(QWidget* parent, const char* name, const QString& caption,
                       const QRect& geometry, const QIcon& picture, const QString& hint)
{
    auto* button = new QPushButton(picture, caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setIconSize(QSize(20, 20));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

// "c: [DATA]", as the drive list names a drive.
QString driveName(const Drive& drive)
{
    QString name = QString(drive.letter.toLower()) + QLatin1Char(':');
    if (!drive.label.isEmpty())
        name += QStringLiteral(" [") + drive.label + QLatin1Char(']');
    return name;
}

bool lies(const QString& folder, const QString& root)
{
    const QString base = QDir::cleanPath(root);
    return folder == base || folder.startsWith(base == QLatin1String("/") ? base : base + '/');
}

} // namespace

PictureImportWindow::PictureImportWindow(PictureImportSession& session, FolderImport& import,
                                         PictureColumn& column, Drives& drives)
    : m_session(session), m_import(import), m_column(column), m_drives(drives)
{
    SystemWindow::setUp(this, QStringLiteral("TForm12"), QStringLiteral("导入图片"),
                        SystemWindow::Layer::OnTop);
    // A dialog border with its caption, kept off the taskbar as a tool window.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);
    setFixedSize(450, 251);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    setFont(font);

    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setGeometry(8, 6, 145, 18);

    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    DirectoryListBox1 = new QTreeView(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setGeometry(8, 28, 145, 189);
    DirectoryListBox1->setModel(m_folders);
    DirectoryListBox1->setRootIndex(m_folders->index(QStringLiteral("/")));
    DirectoryListBox1->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);
    DirectoryListBox1->setIndentation(10);

    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setGeometry(249, 4, 196, 211);

    BitBtn1 = bitButton(this, "BitBtn1", QStringLiteral("浏览"), {162, 6, 80, 35},
                        buttonPictures(QStringLiteral("openfolder"), QSize(20, 14)),
                        QStringLiteral("导入指定的一个图像文件"));
    BitBtn2 = bitButton(this, "BitBtn2", QStringLiteral("导入"), {162, 55, 80, 35},
                        buttonPictures(QStringLiteral("import"), QSize(38, 19)),
                        QStringLiteral("导入指定文件夹的所有图像文件"));
    BitBtn2->setIconSize(QSize(30, 15));
    CheckBox1 = new QCheckBox(QStringLiteral("默认文件夹"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(162, 106, 79, 25);
    BitBtn3 = bitButton(this, "BitBtn3", QStringLiteral("确定"), {162, 166, 80, 35},
                        style()->standardIcon(QStyle::SP_DialogOkButton), QString());

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->hide();

    // Folders are read in the background: the tree shows the open folder again once the folders
    // on its way have come in.
    m_revealFolder = new QTimer(this);
    m_revealFolder->setSingleShot(true);
    m_revealFolder->setInterval(0);
    connect(m_revealFolder, &QTimer::timeout, this, &PictureImportWindow::showFolderInTree);
    connect(m_folders, &QFileSystemModel::rowsInserted, this, [this](const QModelIndex& parent) {
        if (lies(m_import.folder(), m_folders->filePath(parent)))
            m_revealFolder->start();
    });
    // New folders are sorted in a while after they come in.
    connect(m_folders, &QFileSystemModel::layoutChanged, m_revealFolder,
            qOverload<>(&QTimer::start));
    connect(DriveComboBox1, &QComboBox::activated, this, &PictureImportWindow::chooseDrive);
    connect(DirectoryListBox1, &QTreeView::clicked, this, &PictureImportWindow::openFolderAt);
    connect(DirectoryListBox1, &QTreeView::activated, this, &PictureImportWindow::openFolderAt);
    connect(BitBtn1, &QPushButton::clicked, &m_import, &FolderImport::importFile);
    connect(BitBtn2, &QPushButton::clicked, &m_import, &FolderImport::importFolder);
    connect(CheckBox1, &QCheckBox::toggled, &m_session, &PictureImportSession::setDefaultFolder);
    connect(BitBtn3, &QPushButton::clicked, this, [this] {
        if (m_session.confirm())
            accept();
    });

    // The drives, the tree and the files are read when the window shows, not at start-up.
    connect(&m_import, &FolderImport::folderChanged, this, [this] {
        if (!isVisible())
            return;
        showFolder();
        showFiles();
    });
    connect(&m_import, &FolderImport::windowTextsChanged, this,
            [this] { update(0, totalTextAt.y(), width(), height() - totalTextAt.y()); });
    connect(&m_session, &PictureImportSession::changed, this, [this] {
        const QSignalBlocker blocker(CheckBox1);
        CheckBox1->setChecked(m_session.defaultFolder());
    });
    connect(&m_column, &PictureColumn::pictureListChanged, this,
            &PictureImportWindow::showPictureList);
}

void PictureImportWindow::showModal()
{
    exec();
}

void PictureImportWindow::showEvent(QShowEvent* event)
{
    // What was drawn during earlier imports is gone when the window opens again; drives and
    // files may have come and gone meanwhile.
    m_import.clearWindowTexts();
    // The folder model starts reading and watching the file system at its first showing.
    if (m_folders->rootPath() != QStringLiteral("/"))
        m_folders->setRootPath(QStringLiteral("/"));
    showDrives();
    showFolder();
    showFiles();
    SystemWindow::centreOnScreen(this);
    QDialog::showEvent(event);
}

void PictureImportWindow::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const auto line = [&](QPoint at, const QString& text) {
        painter.drawText(QRect(at, QSize(width() - at.x(), metrics.height())),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    };
    painter.setPen(palette().color(QPalette::WindowText));
    line(totalTextAt, m_import.totalText());
    line(importedTextAt, m_import.importedText());
    // Files that could not be read are named after the count of the folder.
    const QString unreadable = m_import.unreadableText();
    if (!unreadable.isEmpty()) {
        const QPoint at = totalTextAt + QPoint(metrics.horizontalAdvance(m_import.totalText()), 0);
        painter.setPen(Qt::darkRed);
        line(at, metrics.elidedText(unreadable, Qt::ElideMiddle, width() - at.x() - 4));
    }
}

void PictureImportWindow::showDrives()
{
    m_driveList = m_drives.list();
    const QSignalBlocker blocker(DriveComboBox1);
    DriveComboBox1->clear();
    for (const Drive& drive : m_driveList)
        DriveComboBox1->addItem(driveName(drive));
}

void PictureImportWindow::showFolder()
{
    const QString folder = m_import.folder();
    // The drive the folder lies on: the one with the longest root holding it; none off the drives.
    int drive = -1;
    qsizetype longest = -1;
    for (int i = 0; i < m_driveList.size(); ++i) {
        const QString root = QDir::cleanPath(m_driveList[i].root);
        if (lies(folder, root) && root.size() > longest) {
            drive = i;
            longest = root.size();
        }
    }
    {
        const QSignalBlocker blocker(DriveComboBox1);
        DriveComboBox1->setCurrentIndex(drive);
    }
    showFolderInTree();
}

void PictureImportWindow::showFolderInTree()
{
    // The open folder and every folder above it unfolded, as far as they have been read.
    const QModelIndex index = m_folders->index(m_import.folder());
    for (QModelIndex above = index; above.isValid(); above = above.parent())
        DirectoryListBox1->expand(above);
    DirectoryListBox1->setCurrentIndex(index);
    if (index.isValid())
        DirectoryListBox1->scrollTo(index);
}

void PictureImportWindow::showFiles()
{
    static const QIcon glyph = buttonPictures(QStringLiteral("picturefile"), QSize(16, 16));
    FileListBox1->clear();
    for (const QString& name : FolderImport::pictureFiles(m_import.folder()))
        FileListBox1->addItem(new QListWidgetItem(glyph, name));
}

void PictureImportWindow::showPictureList()
{
    const QStringList list = m_column.pictureList();
    // The list only grows by one entry at a time or is emptied, and tells each change.
    if (ListBox1->count() > list.size())
        ListBox1->clear();
    for (qsizetype i = ListBox1->count(); i < list.size(); ++i)
        ListBox1->addItem(list[i]);
}

void PictureImportWindow::chooseDrive(int index)
{
    if (index >= 0 && index < m_driveList.size())
        m_import.setFolder(m_driveList[index].root);
}

void PictureImportWindow::openFolderAt(const QModelIndex& index)
{
    if (index.isValid())
        m_import.setFolder(m_folders->filePath(index));
}

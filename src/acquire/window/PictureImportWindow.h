#pragma once

#include "platform/Drives.h"

#include <QDialog>
#include <QList>

class FolderImport;
class PictureColumn;
class PictureImportSession;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QListWidget;
class QPushButton;
class QTimer;
class QTreeView;

// The picture import window (TForm12, "导入图片"): a dialog of 450 x 251 that stays on top, shown
// modally from the settings button window. The teacher picks a drive and a folder (a single click
// opens it) and sees its picture files; "浏览" imports one file, "导入" every picture of the open
// folder, "确定" stores the folder for the teacher when "默认文件夹" is ticked and closes. The
// window shows the import's state and forwards the choices; it draws the import's progress texts
// at (6, 220) and (6, 236), which vanish when it opens again. Coordinates are the window's own.
class PictureImportWindow : public QDialog {
    Q_OBJECT
public:
    PictureImportWindow(PictureImportSession& session, FolderImport& import, PictureColumn& column,
                        Drives& drives);

    // Shows the window modally, centred on the screen.
    void showModal();

    QComboBox* DriveComboBox1;
    QTreeView* DirectoryListBox1;
    QListWidget* FileListBox1;
    QPushButton* BitBtn1;  // "浏览"
    QPushButton* BitBtn2;  // "导入"
    QCheckBox* CheckBox1;  // "默认文件夹"
    QPushButton* BitBtn3;  // "确定"
    QListWidget* ListBox1; // hidden: the picture list

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showDrives();
    void showFolder();
    void showFolderInTree();
    void showFiles();
    void showPictureList();
    void chooseDrive(int index);
    void openFolderAt(const QModelIndex& index);

    PictureImportSession& m_session;
    FolderImport& m_import;
    PictureColumn& m_column;
    Drives& m_drives;
    QList<Drive> m_driveList;
    QFileSystemModel* m_folders;
    QTimer* m_revealFolder;
};

#pragma once

#include <QObject>

class FolderImport;
class PictureColumn;
class Prompter;
class TeacherSettings;

// The picture import window's own state and what ties the imports to the teacher: the
// "默认文件夹" box, "确定" storing the open folder as the current teacher's picture folder
// (key "dcu" of the teacher's section, "教师0" without a teacher), and the palette's fill of the
// picture column from that folder.
class PictureImportSession : public QObject {
    Q_OBJECT
public:
    PictureImportSession(PictureColumn& column, FolderImport& import, TeacherSettings& teachers,
                         Prompter& prompter);

    // "默认文件夹": unticked at start, kept between openings of the window.
    bool defaultFolder() const { return m_defaultFolder; }
    void setDefaultFolder(bool ticked);

    // "确定": with the box ticked, the open folder becomes the current teacher's picture folder.
    // False when the settings file refused the write: the message was shown and the window stays.
    bool confirm();

    // The palette shows its picture column unfilled: the current teacher's picture folder, when
    // one is stored, becomes the open folder, the folder import fills the column from the open
    // folder, and the column counts as filled. A stored folder that no longer exists fills an
    // empty column.
    void fillColumn();
    // The settings window was confirmed (another teacher, perhaps): the column fills again the
    // next time the palette shows it.
    void settingsConfirmed();

signals:
    void changed();

private:
    PictureColumn& m_column;
    FolderImport& m_import;
    TeacherSettings& m_teachers;
    Prompter& m_prompter;
    bool m_defaultFolder = false;
};

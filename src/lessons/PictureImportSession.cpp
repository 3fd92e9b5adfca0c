#include "lessons/PictureImportSession.h"

#include "acquire/FolderImport.h"
#include "board/content/PictureColumn.h"
#include "lessons/MessageBox.h"
#include "lessons/TeacherSettings.h"

PictureImportSession::PictureImportSession(PictureColumn& column, FolderImport& import,
                                           TeacherSettings& teachers, Prompter& prompter)
    : m_column(column), m_import(import), m_teachers(teachers), m_prompter(prompter)
{
}

void PictureImportSession::setDefaultFolder(bool ticked)
{
    if (ticked == m_defaultFolder)
        return;
    m_defaultFolder = ticked;
    emit changed();
}

bool PictureImportSession::confirm()
{
    if (!m_defaultFolder)
        return true;
    const QString refused = m_teachers.storePictureFolder(m_import.folder());
    tell(m_prompter, refused);
    return refused.isEmpty();
}

void PictureImportSession::fillColumn()
{
    const QString folder = m_teachers.pictureFolder();
    if (!folder.isEmpty())
        m_import.setFolder(folder);
    m_import.importFolder();
    m_column.setTag(1);
}

void PictureImportSession::settingsConfirmed()
{
    m_column.setTag(-1);
}

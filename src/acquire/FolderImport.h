#pragma once

#include "board/codec/PictureRead.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <map>
#include <optional>

class PictureColumn;
class Prompter;

// The two imports of the picture import window into the picture column: "导入", every picture
// file of the open folder (at most 999, by name), and "浏览", one file the teacher picks.
// Thumbnails are made on worker threads, one per core, and go into the column in name order as
// they are ready, so the windows stay responsive and can be closed meanwhile; the import goes on.
// A file that cannot be read (damaged, hostile, not a picture) still takes its row, left empty,
// and its entry in the picture list, and is named in the window's progress line.
//
// Progress texts are state of the import: the two lines of the import window, drawn at (6, 220)
// and (6, 236), and the line of the settings button window at (3, 23). Whether the running count
// of a folder import goes to the import window or to the settings button window depends on the
// column's tag when the import starts: 1 (filled before) the import window, else the settings
// button window.
class FolderImport : public QObject {
    Q_OBJECT
public:
    // The files a folder import takes, as the file list shows them.
    static const QStringList fileMask;
    // The filter of the dialog of "浏览".
    static const QString openFilter;

    FolderImport(PictureColumn& column, Prompter& prompter, QString programDirectory,
                 QObject* parent = nullptr);
    // Stops the workers; what they were making is dropped.
    ~FolderImport() override;

    // The picture files of folder under the mask: names, by name as the file list sorts them
    // (letter case aside, in the language's order).
    static QStringList pictureFiles(const QString& folder);

    // The open folder: the window's folder lists show it and "导入" imports it.
    const QString& folder() const { return m_folder; }
    void setFolder(const QString& folder);

    // "导入": the open folder into the column, replacing the picture list. A running import is
    // stopped first.
    void importFolder();
    // "浏览": one picture file chosen in the dialog goes after the last entry of the list, after
    // what a running import still brings.
    void importFile();

    // Drops every thumbnail not yet in the column.
    void cancel();
    bool isRunning() const { return !m_pending.empty(); }

    const QString& totalText() const { return m_totalText; }
    const QString& importedText() const { return m_importedText; }
    const QString& buttonText() const { return m_buttonText; }
    // The files of the last imports that could not be read, named for the teacher; empty when
    // every file was read.
    QString unreadableText() const;
    // Progress texts are drawn once and vanish when their window is shown again.
    void clearWindowTexts();
    void clearButtonText();

signals:
    void folderChanged();
    void windowTextsChanged();
    void buttonTextChanged();
    // A folder import has brought its last thumbnail into the column.
    void finished();

private:
    enum class Kind { FolderPicture, SingleFile };
    struct Pending {
        QString path;
        Kind kind;
        std::optional<PictureRead> thumbnail;
    };

    void enqueue(const QString& path, Kind kind);
    void deliver(quint64 generation, quint64 sequence, PictureRead thumbnail);
    // Puts the thumbnails that are ready, in order, into the column.
    void takeReady();
    void take(const Pending& item, const PictureRead& thumbnail);
    void finishFolder();
    void setWindowTexts(const QString& total, const QString& imported);
    void setButtonText(const QString& text);

    PictureColumn& m_column;
    Prompter& m_prompter;
    QString m_programDirectory;
    QString m_folder;
    QThreadPool m_workers;
    // Work of an earlier generation was cancelled: its results are dropped when they arrive.
    quint64 m_generation = 0;
    quint64 m_nextSequence = 0;
    std::map<quint64, Pending> m_pending;
    bool m_countOnImportWindow = false;
    int m_folderCount = 0; // pictures the running folder import brings
    int m_folderImported = 0;
    QStringList m_unreadable;
    QString m_totalText;
    QString m_importedText;
    QString m_buttonText;
};

#pragma once

#include "board/recovery/BoardSnapshot.h"
#include "board/store/KeptBoard.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

#include <optional>

// The folder in which a running board keeps its backup, so that a crash loses nothing written:
// "recovery/" in the program's state directory ($XDG_STATE_HOME/zkalto/), or "recovery-<run>/"
// for a copy that runs beside another (a second display) and finds "recovery/" taken.
//
// A run holds a lock (flock on the file "lock") on its folder for its whole life, so no other copy
// reads or takes it, and the kernel lets go of it however the run ends. A folder that is not
// locked and holds a backup was left by a run that crashed.
//
// A backup is every page's pixels (CompactPage's byte form) in files "page-<n>.<generation>", the
// texts in "text-<n>.<generation>", and the index "board": the pages' records, which file holds
// each page and text (with the text's length and CRC-32), the current page and the screen size.
// Each write puts the changed files under new names first and then replaces the index, which
// commits it: killed at any moment, the folder holds the last committed backup whole. Files no
// index names are removed after the commit. Every file goes through FileWrite (flushed, renamed
// into place) and is read through RegularFile.
//
// Writes and removal run on one worker thread at a time; claiming and reading happen before.
class RecoveryFolder {
public:
    // What reading a folder gives: the board, or why it cannot be restored.
    struct Reading {
        std::optional<KeptBoard> board;
        QString problem;
    };

    // stateDirectory ends with "/". Claims a folder: one a crashed run left with a backup, when
    // one is there that no running copy holds, else a fresh one of this run's own.
    explicit RecoveryFolder(const QString& stateDirectory);
    // Lets go of the folder, which stays.
    ~RecoveryFolder();
    RecoveryFolder(const RecoveryFolder&) = delete;
    RecoveryFolder& operator=(const RecoveryFolder&) = delete;

    // False when no folder could be had (the state directory cannot be written).
    bool isClaimed() const { return m_lock >= 0; }
    // The folder, ending with "/".
    const QString& path() const { return m_path; }
    // Whether the folder holds a backup (an index): a board a crash left behind.
    bool holdsBackup() const;
    // Reads the backup, checking every file, for pages of screenSize. Later writes go on from it.
    Reading read(QSize screenSize);
    // Moves the folder to "recovery.old" beside it (replacing what is there) and claims a fresh
    // one for this run.
    void moveAside();

    // Writes the board: the pages and texts that changed since the last write, then the index.
    // False when a file could not be written; the last backup then stays as it was.
    bool write(const BoardSnapshot& snapshot);
    // Removes the folder with everything in it; nothing is claimed afterwards.
    void remove();

private:
    void claim();
    void claimFresh();
    void take(const QString& path, int lock);
    void release();
    // Removes every file that is neither the lock, the index nor named by the last index.
    void removeUnreferenced() const;
    QByteArray index(const BoardSnapshot& snapshot, quint32 generation) const;

    QString m_state;
    QString m_path;
    int m_lock = -1;
    // What the folder's files hold, page by page (page n at n - 1), and the generation of the file
    // that holds it (0: not written yet; for texts also: no text).
    quint32 m_generation = 0;
    QList<CompactPage> m_pixels;
    QList<quint32> m_pixelGenerations;
    QList<std::optional<QByteArray>> m_texts;
    QList<quint32> m_textGenerations;
    QByteArray m_index;
};

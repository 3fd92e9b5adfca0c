#pragma once

#include "board/store/CompactPage.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>

class BoardModel;
class RecoveryFolder;
struct BoardSnapshot;

// Keeps the board's backup in its recovery folder while the program runs: after every page turn,
// and 2 s after the last change on the board (at the latest 10 s after a change however busy the
// board is), what changed since the last backup is written. The interface thread only takes a
// snapshot: pages the store keeps compact are shared, not copied; the current page, when written
// on, is copied once (a few milliseconds, in a pause of writing: a page copy never holds up a
// stroke); encoding and writing go on one worker thread, one backup after the other. Nothing is
// kept before the first page is written on or given a text: a board never used is not offered
// back. Page texts are those kept with the pages, the current page's as its open content panel
// holds it now.
class BoardBackup : public QObject {
    Q_OBJECT
public:
    static constexpr int idleMilliseconds = 2000;
    static constexpr int latestMilliseconds = 10000;

    // The folder lives longer than the backup.
    BoardBackup(BoardModel& board, RecoveryFolder& folder);
    // Waits for what is being written.
    ~BoardBackup() override;

    // Takes the snapshot now and hands it to the worker.
    void backUpNow();
    // Waits until every backup handed to the worker is written.
    void waitForWrites();

private:
    void noteChange();
    // A timer is due: a stroke in progress is left to finish first.
    void backUpWhenStill();
    bool isWorthKeeping() const;
    BoardSnapshot snapshot();

    BoardModel& m_board;
    RecoveryFolder& m_folder;
    QTimer m_idle;
    QTimer m_latest;
    QThreadPool m_worker;
    bool m_started = false;
    // The current page as the last snapshot copied it: its number and its image's cache key.
    int m_copiedPage = 0;
    qint64 m_copiedKey = 0;
    std::atomic<bool> m_failureSaid = false;
};

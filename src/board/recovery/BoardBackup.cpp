#include "board/recovery/BoardBackup.h"

#include "board/content/RichTextWriter.h"
#include "board/model/BoardModel.h"
#include "board/recovery/BoardSnapshot.h"
#include "board/recovery/RecoveryFolder.h"

#include <cstdio>

namespace {

// How soon a backup due during a stroke is tried again.
constexpr int strokeWaitMilliseconds = 200;

} // namespace

BoardBackup::BoardBackup(BoardModel& board, RecoveryFolder& folder)
    : m_board(board), m_folder(folder)
{
    m_worker.setMaxThreadCount(1);
    m_idle.setSingleShot(true);
    m_latest.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, &BoardBackup::backUpWhenStill);
    connect(&m_latest, &QTimer::timeout, this, &BoardBackup::backUpWhenStill);
    connect(&board, &BoardModel::repaintNeeded, this, &BoardBackup::noteChange);
    connect(&board, &BoardModel::contentPanelChanged, this, &BoardBackup::noteChange);
    connect(board.panelText(), &QTextDocument::contentsChanged, this, &BoardBackup::noteChange);
    connect(&board, &BoardModel::pageChanged, this, &BoardBackup::backUpNow);
}

BoardBackup::~BoardBackup()
{
    waitForWrites();
}

void BoardBackup::waitForWrites()
{
    m_worker.waitForDone();
}

void BoardBackup::noteChange()
{
    m_idle.start(idleMilliseconds);
    if (!m_latest.isActive())
        m_latest.start(latestMilliseconds);
}

void BoardBackup::backUpWhenStill()
{
    if (m_board.strokeInProgress()) {
        m_idle.start(strokeWaitMilliseconds);
        return;
    }
    backUpNow();
}

bool BoardBackup::isWorthKeeping() const
{
    const PageStore& pages = m_board.pages();
    for (int n = 1; n <= pages.pageCount(); ++n)
        if (pages.page(n).state == PageState::WrittenOn || pages.pageText(n))
            return true;
    return false;
}

void BoardBackup::backUpNow()
{
    m_idle.stop();
    m_latest.stop();
    if (!m_started && !isWorthKeeping())
        return;
    m_started = true;
    m_worker.start([this, board = snapshot()] {
        if (!m_folder.write(board) && !m_failureSaid.exchange(true))
            std::fprintf(stderr, "zkalto: the board's backup cannot be written to %s\n",
                         qPrintable(m_folder.path()));
    });
}

BoardSnapshot BoardBackup::snapshot()
{
    const PageStore& pages = m_board.pages();
    const ContentPanelState& panel = m_board.contentPanel();
    BoardSnapshot board;
    board.currentPage = pages.currentPage();
    for (int n = 1; n <= pages.pageCount(); ++n) {
        Page record = pages.page(n);
        const bool panelOpen = n == board.currentPage && panel.shown;
        // As leaving the page would keep the panel.
        if (panelOpen)
            record.panelBounds = panel.bounds;
        board.records.append(record);
        board.texts.append(panelOpen ? RichTextWriter::write(*m_board.panelText())
                                     : pages.pageText(n));
        if (const auto compact = pages.compactPage(n)) {
            board.pixels.append(*compact);
            continue;
        }
        board.pixels.append(CompactPage());
        if (n != m_copiedPage || pages.currentPageKey() != m_copiedKey) {
            board.currentImage = m_board.pages().currentPageImage().copy();
            m_copiedPage = n;
            m_copiedKey = pages.currentPageKey();
        }
    }
    return board;
}

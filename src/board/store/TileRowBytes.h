#pragma once

#include "board/store/KeptBytes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <mutex>

// The bytes of a compact page's rows of tiles, which its copies share: in memory, or moved
// together into a file of their own (KeptBytes) once the page is kept for a while, so that a
// page of a picture, a megabyte or more, holds no memory between the times it is read. What the
// rows hold never changes; safe to use from several threads at once.
class TileRowBytes {
public:
    explicit TileRowBytes(QList<QByteArray> rows);

    int count() const { return int(m_starts.size()) - 1; }
    qsizetype rowSize(int row) const { return m_starts[row + 1] - m_starts[row]; }
    // Every row's bytes together.
    qsizetype size() const { return m_starts.last(); }
    // What the rows hold of the program's memory.
    qsizetype memoryBytes() const;

    // A row's bytes: shared while they are in memory, else read back from their file. Empty when
    // the file cannot be read back, which only a failing disk does; a line on stderr says so.
    QByteArray row(int row) const;

    // Moves the rows out of memory into a file in folder; where the file cannot be written they
    // stay in memory. Readers holding a row keep its bytes until they let it go.
    void moveOut(const QString& folder);

private:
    QList<qsizetype> m_starts; // where each row starts when all lie one after another, then the end
    mutable std::mutex m_lock;
    QList<QByteArray> m_inMemory; // empty once moved out
    KeptBytes m_file;
};

#include "board/store/TileRowBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

TileRowBytes::TileRowBytes(QList<QByteArray> rows) : m_inMemory(std::move(rows))
{
    m_starts.reserve(m_inMemory.size() + 1);
    qsizetype at = 0;
    for (const QByteArray& row : m_inMemory) {
        m_starts.append(at);
        at += row.size();
    }
    m_starts.append(at);
}

qsizetype TileRowBytes::memoryBytes() const
{
    const std::lock_guard lock(m_lock);
    qsizetype bytes = m_inMemory.capacity() * qsizetype(sizeof(QByteArray)) +
                      m_starts.capacity() * qsizetype(sizeof(qsizetype)) + m_file.memoryBytes();
    for (const QByteArray& row : m_inMemory)
        bytes += row.capacity();
    return bytes;
}

QByteArray TileRowBytes::row(int row) const
{
    std::unique_lock lock(m_lock);
    if (m_file.isNull())
        return m_inMemory[row];
    const KeptBytes file = m_file;
    lock.unlock();
    if (rowSize(row) == 0)
        return {};
    if (std::optional<QByteArray> bytes = file.read(m_starts[row], rowSize(row)))
        return *std::move(bytes);
    std::fprintf(stderr, "zkalto: a kept page cannot be read back from disk: %s\n",
                 std::strerror(errno));
    return {};
}

void TileRowBytes::moveOut(const QString& folder)
{
    QList<QByteArray> rows;
    {
        const std::lock_guard lock(m_lock);
        if (!m_file.isNull())
            return;
        rows = m_inMemory;
    }
    QByteArray all;
    all.reserve(size());
    for (const QByteArray& row : rows)
        all.append(row);
    const KeptBytes file = KeptBytes::keep(all, folder);
    if (file.isNull() || file.memoryBytes() > 0)
        return; // not written, or too few bytes to leave memory
    const std::lock_guard lock(m_lock);
    m_file = file;
    m_inMemory.clear();
    m_inMemory.squeeze();
}

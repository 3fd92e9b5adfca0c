#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// Bytes kept aside for later, such as a page's PNG file until a save writes it: a few in memory,
// more in a file of their own that has no name (made in a folder, then unlinked), so that large
// ones do not stay in the program's resident memory and vanish with it however it ends. Copies
// share the bytes; reading is safe from several threads at once.
class KeptBytes {
public:
    // Bytes up to this many stay in memory.
    static constexpr qsizetype InMemoryLimit = 64 * 1024;

    KeptBytes() = default;
    // Null when bytes is empty or a file for them cannot be written in folder (a full disk).
    static KeptBytes keep(const QByteArray& bytes, const QString& folder);

    bool isNull() const { return m_size == 0; }
    qsizetype size() const { return m_size; }
    // What the bytes hold of the program's memory.
    qsizetype memoryBytes() const { return m_bytes.size(); }
    // The bytes as they were kept; nothing when their file cannot be read back (errno says why).
    std::optional<QByteArray> read() const;
    // The length bytes from start, which lie within the kept ones.
    std::optional<QByteArray> read(qsizetype start, qsizetype length) const;

private:
    // Closes the file when the last copy goes.
    struct File {
        int descriptor = -1;
        ~File();
    };

    QByteArray m_bytes;
    std::shared_ptr<const File> m_file;
    qsizetype m_size = 0;
};

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

// A profile file held in memory: read from the disk once, read and changed key by key, and written
// back whole by save(). The rules of names, values and lines are ProfileFile's (see there).
//
// Sections are found through a hash of their names and keys through a hash per section, built the
// first time the section is searched, so that any number of keys read or written costs about one
// pass over the file, however large it is.
class ProfileDocument {
public:
    // A missing file reads as empty. A file that exists but cannot be read (or is no regular file,
    // or is far larger than any profile) reads as empty too, and refuses every write and save.
    static ProfileDocument load(const QString& path);

    ProfileDocument(ProfileDocument&&) = default;
    ProfileDocument& operator=(ProfileDocument&&) = default;
    // The lines are views into the file's bytes and into the lines written anew.
    ProfileDocument(const ProfileDocument&) = delete;
    ProfileDocument& operator=(const ProfileDocument&) = delete;

    const QString& path() const { return m_path; }
    bool readable() const { return m_readable; }
    // Whether a write or an erase changed the document since it was loaded.
    bool modified() const { return m_modified; }

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    int readInteger(const QString& section, const QString& key, int defaultValue) const;

    // Changes the document only: false, changing nothing, when it is not readable or the file
    // cannot hold the names or the value.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, int value);
    // Removes every section of that name with all its lines; false when the document is not
    // readable.
    bool eraseSection(const QString& section);

    // The whole document as the file holds it.
    QByteArray bytes() const;
    // Replaces the file with the document at once (AtomicFile); false, leaving the old file, when
    // the document is not readable or the file system refuses.
    bool save() const;

private:
    // The lines from one section header up to the next, each without its line end.
    struct Section {
        QByteArrayView header; // null for the lines before the first header
        QList<QByteArrayView> lines;
        bool erased = false;
        // The first line of each key, by its name in GBK folded to lower ASCII case.
        mutable std::optional<QHash<QByteArray, qsizetype>> keys;

        const QHash<QByteArray, qsizetype>& keyLines() const;
    };

    explicit ProfileDocument(QString path) : m_path(std::move(path)) {}
    void parse();
    void indexSection(qsizetype index);
    // The first section of that name, -1 for none.
    qsizetype findSection(QByteArrayView name) const;
    std::optional<QByteArrayView> findValue(const QString& section, const QString& key) const;
    // A line written anew, kept here while views point into it.
    QByteArrayView keep(QByteArray line);

    QString m_path;
    bool m_readable = true;
    bool m_modified = false;
    QByteArray m_bytes;
    QByteArray m_lineEnd = "\r\n";
    std::vector<Section> m_sections;
    // The sections of each name in the file's order, by the name folded to lower ASCII case.
    QHash<QByteArray, QList<qsizetype>> m_sectionsByName;
    // A QByteArray keeps its characters in place when the list holding it grows.
    QList<QByteArray> m_written;
};

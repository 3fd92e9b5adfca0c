#pragma once

#include "text/Gbk.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

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
    // A missing file, and a link under the name, read as empty. A file that exists but cannot be
    // read (or is no regular file, or is far larger than any profile) reads as empty too, and
    // refuses every write and save.
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
    // The names of the sections, decoded from GBK, in file order, each name once (as its first
    // section spells it); erased sections are left out.
    QStringList sectionNames() const;

    // Changes the document only: false, changing nothing, when it is not readable or the file
    // cannot hold the names or the value.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, int value);
    // Removes every section of that name with all its lines; false when the document is not
    // readable.
    bool eraseSection(const QString& section);

    // The whole document as the file holds it.
    QByteArray bytes() const;
    // Replaces the file with the document at once (FileWrite); false, leaving the old file, when
    // the document is not readable or the file system refuses.
    bool save() const;

private:
    // A section or key name as the file spells it, equal to any spelling that differs only in the
    // case of ASCII letters.
    struct Name {
        QByteArrayView bytes;
        friend bool operator==(Name a, Name b)
        {
            return Gbk::equalIgnoringAsciiCase(a.bytes, b.bytes);
        }
        friend size_t qHash(Name name, size_t seed)
        {
            return Gbk::hashIgnoringAsciiCase(name.bytes, seed);
        }
    };

    // A line of a section: an index into the file's lines, or, when negative, -1 - the index
    // into the lines added to the section.
    using LineRef = qsizetype;

    // A section: its header and the file's lines up to the next header, with the lines added to
    // it, which stand after its last line that is not blank.
    struct Section {
        QByteArrayView header; // null for the lines before the first header
        Name name;
        qsizetype begin = 0;
        qsizetype end = 0;
        qsizetype insertAt = -1; // where the added lines stand, found at the first addition
        QList<QByteArrayView> added;
        bool erased = false;
        // The first line of each key.
        mutable std::optional<QHash<Name, LineRef>> keys;
    };

    explicit ProfileDocument(QString path) : m_path(std::move(path)) {}
    void parse();
    void addSection(Section section);
    const QHash<Name, LineRef>& keysOf(const Section& section) const;
    QByteArrayView& line(Section& section, LineRef ref);
    const QByteArrayView& line(const Section& section, LineRef ref) const;
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
    QList<QByteArrayView> m_lines;
    std::vector<Section> m_sections; // the first holds the lines before the first header
    QHash<Name, qsizetype> m_firstSection;
    // A QByteArray keeps its characters in place when the list holding it grows.
    QList<QByteArray> m_written;
};

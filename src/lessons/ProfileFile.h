#pragma once

#include "lessons/ProfileDocument.h"

#include <QString>

// A profile ("INI") file in the GBK code page, read and written the way the classroom's settings
// and lesson files have always been. Each one-key call below loads the file (ProfileDocument),
// reads or writes one key (or erases one section) and, for a write, saves it at once, so nothing
// is cached between calls; an operation that reads or writes many keys loads one document and
// saves it once.
//
// - A line "[name]" opens a section; a line "key=value" holds a value; ";" starts a comment line.
//   Names and values are taken without the spaces and tabs around them.
// - Section and key names match without regard to the case of ASCII letters ("Anna" and "ANNA"
//   are one section); other characters match exactly. The first matching section and, in it,
//   the first matching key count.
// - A missing file, section or key reads as the default given. A string value is read up to its
//   first 2047 bytes of GBK, never half a character. An integer that is empty or not a whole
//   number reads as the default; "0x", "0X" or "$" after an optional sign mean hexadecimal.
// - A write replaces the value of an existing key in place and otherwise adds the key at the end
//   of its section, or a new section at the end of the file; every other byte of the file stays
//   as it was. New lines end with CR LF (in a file of bare LF, with LF). Integers are written in
//   decimal.
// - Each save replaces the whole file atomically (FileWrite). A write fails, and changes
//   nothing, when the file cannot be read or replaced, or when a name or value cannot be held by
//   the file: a line break anywhere, "]" in a section name, "=" in a key name, an empty name, a
//   character GBK does not have.
class ProfileFile {
public:
    explicit ProfileFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // The file as it is now, to read and write many keys and save once.
    ProfileDocument load() const { return ProfileDocument::load(m_path); }

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    int readInteger(const QString& section, const QString& key, int defaultValue) const;

    bool writeString(const QString& section, const QString& key, const QString& value) const;
    bool writeInteger(const QString& section, const QString& key, int value) const;
    // Removes every section of that name with all its lines.
    bool eraseSection(const QString& section) const;

    // The message that reports a refused write: "Unable to write to <path>".
    QString writeFailure() const;

private:
    QString m_path;
};

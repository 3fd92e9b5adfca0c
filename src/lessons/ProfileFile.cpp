#include "lessons/ProfileFile.h"

#include "platform/FileWrite.h"
#include "lessons/Messages.h"
#include "platform/RegularFile.h"
#include "text/Gbk.h"

#include <QFileInfo>
#include <QList>

#include <limits>

namespace {

constexpr qsizetype longestString = 2047;

QByteArrayView trimmed(QByteArrayView bytes)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && blank(bytes[begin]))
        ++begin;
    while (end > begin && blank(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin);
}

// The lines of a profile file, each without its line end: views into the file's bytes, which
// must outlive them, and into the lines written anew, which are kept here.
struct Lines {
    QList<QByteArrayView> lines;
    QByteArray lineEnd = "\r\n";

    explicit Lines(QByteArrayView bytes)
    {
        if (!bytes.isEmpty() && !bytes.contains("\r\n"))
            lineEnd = "\n";
        qsizetype begin = 0;
        while (begin < bytes.size()) {
            qsizetype end = bytes.indexOf('\n', begin);
            if (end < 0)
                end = bytes.size();
            QByteArrayView line = bytes.sliced(begin, end - begin);
            if (line.endsWith('\r'))
                line.chop(1);
            lines.append(line);
            begin = end + 1;
        }
    }

    void replace(qsizetype at, const QByteArray& line) { lines[at] = keep(line); }
    void insert(qsizetype at, const QByteArray& line) { lines.insert(at, keep(line)); }
    void append(const QByteArray& line) { lines.append(keep(line)); }

    QByteArray bytes() const
    {
        QByteArray out;
        for (QByteArrayView line : lines) {
            out += line;
            out += lineEnd;
        }
        return out;
    }

    // The name of a section line, or nothing for other lines.
    static std::optional<QByteArrayView> sectionName(QByteArrayView line)
    {
        line = trimmed(line);
        if (!line.startsWith('['))
            return std::nullopt;
        line = line.sliced(1);
        const qsizetype close = Gbk::indexOfAscii(line, ']');
        return trimmed(close < 0 ? line : line.first(close));
    }

    // The key and value of a key line, or nothing for other lines.
    static std::optional<std::pair<QByteArrayView, QByteArrayView>> keyValue(QByteArrayView line)
    {
        const QByteArrayView text = trimmed(line);
        const qsizetype equals = text.indexOf('=');
        if (text.startsWith('[') || text.startsWith(';') || equals < 0)
            return std::nullopt;
        return std::pair{trimmed(text.first(equals)), trimmed(text.sliced(equals + 1))};
    }

    // The lines [begin, end) of the first section of that name: begin is its header.
    std::optional<std::pair<qsizetype, qsizetype>> findSection(QByteArrayView name,
                                                               qsizetype from = 0) const
    {
        for (qsizetype i = from; i < lines.size(); ++i) {
            const auto header = sectionName(lines[i]);
            if (!header || !Gbk::equalIgnoringAsciiCase(*header, name))
                continue;
            qsizetype end = i + 1;
            while (end < lines.size() && !sectionName(lines[end]))
                ++end;
            return std::pair{i, end};
        }
        return std::nullopt;
    }

    qsizetype findKey(std::pair<qsizetype, qsizetype> section, QByteArrayView key) const
    {
        for (qsizetype i = section.first + 1; i < section.second; ++i)
            if (const auto pair = keyValue(lines[i]);
                pair && Gbk::equalIgnoringAsciiCase(pair->first, key))
                return i;
        return -1;
    }

private:
    // A QByteArray keeps its characters in place when the list holding it grows.
    QByteArrayView keep(const QByteArray& line)
    {
        m_written.append(line);
        return m_written.last();
    }

    QList<QByteArray> m_written;
};

// The file's bytes: empty for a missing file and for a link, which is never followed (a write
// replaces the link itself); nothing when it exists but cannot be read, or is no regular file (a
// pipe or a device under the name is never waited on), or is far larger than any profile.
std::optional<QByteArray> readFile(const QString& path)
{
    constexpr qint64 maxProfileSize = qint64(64) << 20;
    const QFileInfo file(path);
    if (file.isSymLink() || !file.exists())
        return QByteArray();
    return RegularFile::read(path, maxProfileSize);
}

// The raw value of a key, nothing when the file, section or key is missing.
std::optional<QByteArray> readValue(const QString& path, const QString& section, const QString& key)
{
    const auto bytes = readFile(path);
    const auto sectionBytes = Gbk::encode(section);
    const auto keyBytes = Gbk::encode(key);
    if (!bytes || !sectionBytes || !keyBytes)
        return std::nullopt;
    const Lines lines(*bytes);
    const auto found = lines.findSection(*sectionBytes);
    if (!found)
        return std::nullopt;
    const qsizetype line = lines.findKey(*found, *keyBytes);
    if (line < 0)
        return std::nullopt;
    return Lines::keyValue(lines.lines[line])->second.toByteArray();
}

bool holdsLineBreak(QByteArrayView bytes)
{
    return bytes.contains('\n') || bytes.contains('\r');
}

} // namespace

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    const auto value = readValue(m_path, section, key);
    if (!value)
        return defaultValue;
    return Gbk::decode(Gbk::truncated(*value, longestString));
}

int ProfileFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const auto value = readValue(m_path, section, key);
    if (!value)
        return defaultValue;
    return parseInteger(QString::fromLatin1(*value)).value_or(defaultValue);
}

bool ProfileFile::writeString(const QString& section, const QString& key,
                              const QString& value) const
{
    const auto sectionBytes = Gbk::encode(section);
    const auto keyBytes = Gbk::encode(key);
    const auto valueBytes = Gbk::encode(value);
    if (!sectionBytes || !keyBytes || !valueBytes || trimmed(*sectionBytes).isEmpty() ||
        trimmed(*keyBytes).isEmpty() || holdsLineBreak(*sectionBytes) ||
        holdsLineBreak(*keyBytes) || holdsLineBreak(*valueBytes) ||
        Gbk::indexOfAscii(*sectionBytes, ']') >= 0 || keyBytes->contains('=') ||
        trimmed(*keyBytes).startsWith('[') || trimmed(*keyBytes).startsWith(';'))
        return false;
    const auto bytes = readFile(m_path);
    if (!bytes)
        return false;

    Lines lines(*bytes);
    const QByteArray keyLine = *keyBytes + '=' + *valueBytes;
    if (const auto found = lines.findSection(*sectionBytes)) {
        const qsizetype line = lines.findKey(*found, *keyBytes);
        if (line >= 0) {
            lines.replace(line, keyLine);
        } else {
            // After the section's last line that is not blank.
            qsizetype at = found->second;
            while (at > found->first + 1 && trimmed(lines.lines[at - 1]).isEmpty())
                --at;
            lines.insert(at, keyLine);
        }
    } else {
        lines.append('[' + *sectionBytes + ']');
        lines.append(keyLine);
    }
    return FileWrite::replace(m_path, lines.bytes()) == 0;
}

bool ProfileFile::writeInteger(const QString& section, const QString& key, int value) const
{
    return writeString(section, key, QString::number(value));
}

bool ProfileFile::eraseSection(const QString& section) const
{
    const auto sectionBytes = Gbk::encode(section);
    const auto bytes = readFile(m_path);
    if (!bytes)
        return false;
    if (!sectionBytes)
        return true; // no section can have a name the file cannot hold
    Lines lines(*bytes);
    bool erased = false;
    while (const auto found = lines.findSection(*sectionBytes)) {
        lines.lines.remove(found->first, found->second - found->first);
        erased = true;
    }
    return !erased || FileWrite::replace(m_path, lines.bytes()) == 0;
}

QString ProfileFile::writeFailure() const
{
    return Messages::unableToWrite(m_path);
}

std::optional<int> ProfileFile::parseInteger(QStringView text)
{
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        text = text.sliced(2);
    } else if (text.startsWith(u'$')) {
        base = 16;
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    // Hexadecimal takes all 32 bits ("$FFFFFFFF" is -1); decimal must fit a signed 32-bit int.
    bool ok = false;
    const qulonglong magnitude = text.toULongLong(&ok, base);
    if (!ok || text.front() == u'+' || text.front() == u'-' || text.front().isSpace())
        return std::nullopt;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        const int value = int(quint32(magnitude));
        return negative ? -value : value;
    }
    const qint64 value = negative ? -qint64(magnitude) : qint64(magnitude);
    if (magnitude > 0x80000000ull || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

#include "lessons/ProfileDocument.h"

#include "lessons/AtomicFile.h"
#include "platform/RegularFile.h"
#include "text/Gbk.h"

#include <QFileInfo>

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

// The name of a section line, or nothing for other lines.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    line = trimmed(line);
    if (!line.startsWith('['))
        return std::nullopt;
    line = line.sliced(1);
    const qsizetype close = Gbk::indexOfAscii(line, ']');
    return trimmed(close < 0 ? line : line.first(close));
}

// The key and value of a key line, or nothing for other lines.
std::optional<std::pair<QByteArrayView, QByteArrayView>> keyValue(QByteArrayView line)
{
    const QByteArrayView text = trimmed(line);
    const qsizetype equals = text.indexOf('=');
    if (text.startsWith('[') || text.startsWith(';') || equals < 0)
        return std::nullopt;
    return std::pair{trimmed(text.first(equals)), trimmed(text.sliced(equals + 1))};
}

bool holdsLineBreak(QByteArrayView bytes)
{
    return bytes.contains('\n') || bytes.contains('\r');
}

// The integer a value stands for: an optional sign, then decimal or "0x", "0X" or "$" and
// hexadecimal; nothing when it is none.
std::optional<int> parseInteger(QStringView text)
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

} // namespace

ProfileDocument ProfileDocument::load(const QString& path)
{
    constexpr qint64 maxProfileSize = qint64(64) << 20;
    ProfileDocument document(path);
    if (QFileInfo::exists(path)) {
        // A pipe or a device under the name is never waited on.
        const auto bytes = RegularFile::read(path, maxProfileSize);
        document.m_readable = bytes.has_value();
        document.m_bytes = bytes.value_or(QByteArray());
    }
    document.parse();
    return document;
}

void ProfileDocument::parse()
{
    const QByteArrayView bytes = m_bytes;
    if (!bytes.isEmpty() && !bytes.contains("\r\n"))
        m_lineEnd = "\n";
    m_sections.emplace_back();
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', begin);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(begin, end - begin);
        if (line.endsWith('\r'))
            line.chop(1);
        if (sectionName(line)) {
            m_sections.push_back(Section{line, {}, false, std::nullopt});
            indexSection(qsizetype(m_sections.size()) - 1);
        } else {
            m_sections.back().lines.append(line);
        }
        begin = end + 1;
    }
}

void ProfileDocument::indexSection(qsizetype index)
{
    const QByteArrayView name = *sectionName(m_sections[size_t(index)].header);
    m_sectionsByName[Gbk::foldedAsciiCase(name)].append(index);
}

const QHash<QByteArray, qsizetype>& ProfileDocument::Section::keyLines() const
{
    if (!keys) {
        keys.emplace();
        // From the last line up, so that the first line of a key is the one kept.
        for (qsizetype i = lines.size() - 1; i >= 0; --i)
            if (const auto pair = keyValue(lines[i]))
                keys->insert(Gbk::foldedAsciiCase(pair->first), i);
    }
    return *keys;
}

qsizetype ProfileDocument::findSection(QByteArrayView name) const
{
    const auto found = m_sectionsByName.constFind(Gbk::foldedAsciiCase(name));
    return found == m_sectionsByName.cend() ? -1 : found->first();
}

std::optional<QByteArrayView> ProfileDocument::findValue(const QString& section,
                                                         const QString& key) const
{
    const auto sectionBytes = Gbk::encode(section);
    const auto keyBytes = Gbk::encode(key);
    if (!sectionBytes || !keyBytes)
        return std::nullopt;
    const qsizetype found = findSection(*sectionBytes);
    if (found < 0)
        return std::nullopt;
    const Section& in = m_sections[size_t(found)];
    const auto line = in.keyLines().constFind(Gbk::foldedAsciiCase(*keyBytes));
    if (line == in.keyLines().cend())
        return std::nullopt;
    return keyValue(in.lines[*line])->second;
}

QString ProfileDocument::readString(const QString& section, const QString& key,
                                    const QString& defaultValue) const
{
    const auto value = findValue(section, key);
    if (!value)
        return defaultValue;
    return Gbk::decode(Gbk::truncated(*value, longestString));
}

int ProfileDocument::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const auto value = findValue(section, key);
    if (!value)
        return defaultValue;
    return parseInteger(QString::fromLatin1(*value)).value_or(defaultValue);
}

bool ProfileDocument::writeString(const QString& section, const QString& key, const QString& value)
{
    const auto sectionBytes = Gbk::encode(section);
    const auto keyBytes = Gbk::encode(key);
    const auto valueBytes = Gbk::encode(value);
    if (!m_readable || !sectionBytes || !keyBytes || !valueBytes ||
        trimmed(*sectionBytes).isEmpty() || trimmed(*keyBytes).isEmpty() ||
        holdsLineBreak(*sectionBytes) || holdsLineBreak(*keyBytes) || holdsLineBreak(*valueBytes) ||
        Gbk::indexOfAscii(*sectionBytes, ']') >= 0 || keyBytes->contains('=') ||
        trimmed(*keyBytes).startsWith('[') || trimmed(*keyBytes).startsWith(';'))
        return false;
    m_modified = true;

    const QByteArrayView keyLine = keep(*keyBytes + '=' + *valueBytes);
    const qsizetype found = findSection(*sectionBytes);
    if (found < 0) {
        m_sections.push_back(Section{keep('[' + *sectionBytes + ']'), {keyLine}, false, {}});
        indexSection(qsizetype(m_sections.size()) - 1);
        return true;
    }
    Section& in = m_sections[size_t(found)];
    if (const auto line = in.keyLines().constFind(Gbk::foldedAsciiCase(*keyBytes));
        line != in.keyLines().cend()) {
        in.lines[*line] = keyLine;
        return true;
    }
    // After the section's last line that is not blank: only blank lines move, so the key lines
    // keep their places in the key hash (built above).
    qsizetype at = in.lines.size();
    while (at > 0 && trimmed(in.lines[at - 1]).isEmpty())
        --at;
    in.lines.insert(at, keyLine);
    // A name written with blanks around it may already stand earlier in the section.
    const QByteArray written = Gbk::foldedAsciiCase(keyValue(keyLine)->first);
    if (!in.keys->contains(written))
        in.keys->insert(written, at);
    return true;
}

bool ProfileDocument::writeInteger(const QString& section, const QString& key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool ProfileDocument::eraseSection(const QString& section)
{
    if (!m_readable)
        return false;
    const auto sectionBytes = Gbk::encode(section);
    if (!sectionBytes)
        return true; // no section can have a name the file cannot hold
    const auto found = m_sectionsByName.constFind(Gbk::foldedAsciiCase(*sectionBytes));
    if (found == m_sectionsByName.cend())
        return true;
    for (const qsizetype index : *found)
        m_sections[size_t(index)].erased = true;
    m_sectionsByName.erase(found);
    m_modified = true;
    return true;
}

QByteArray ProfileDocument::bytes() const
{
    QByteArray out;
    out.reserve(m_bytes.size() + m_bytes.size() / 8 + 1024);
    const auto append = [&](QByteArrayView line) {
        out += line;
        out += m_lineEnd;
    };
    for (const Section& section : m_sections) {
        if (section.erased)
            continue;
        if (!section.header.isNull())
            append(section.header);
        for (const QByteArrayView line : section.lines)
            append(line);
    }
    return out;
}

bool ProfileDocument::save() const
{
    return m_readable && AtomicFile::replace(m_path, bytes());
}

QByteArrayView ProfileDocument::keep(QByteArray line)
{
    m_written.append(std::move(line));
    return m_written.last();
}

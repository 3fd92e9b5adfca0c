#include "lessons/ProfileDocument.h"

#include "files/FileWrite.h"
#include "files/RegularFile.h"
#include "text/Gbk.h"

#include <QFileInfo>

#include <algorithm>
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
    // A link is never followed: it reads as a missing file, and a save replaces the link itself.
    if (const QFileInfo file(path); file.exists() && !file.isSymLink()) {
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
    m_lines.reserve(std::count(bytes.begin(), bytes.end(), '\n') + 1);
    m_sections.emplace_back();
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', begin);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(begin, end - begin);
        if (line.endsWith('\r'))
            line.chop(1);
        if (const auto name = sectionName(line))
            addSection({line, {*name}, m_lines.size(), m_lines.size()});
        else
            m_lines.append(line);
        m_sections.back().end = m_lines.size();
        begin = end + 1;
    }
}

void ProfileDocument::addSection(Section section)
{
    if (!m_firstSection.contains(section.name))
        m_firstSection.insert(section.name, qsizetype(m_sections.size()));
    m_sections.push_back(std::move(section));
}

const QHash<ProfileDocument::Name, ProfileDocument::LineRef>&
ProfileDocument::keysOf(const Section& section) const
{
    if (!section.keys) {
        section.keys.emplace();
        section.keys->reserve(section.end - section.begin + section.added.size());
        // From the last line up, so that the first line of a key is the one kept.
        for (LineRef ref = -qsizetype(section.added.size()); ref < 0; ++ref)
            if (const auto pair = keyValue(line(section, ref)))
                section.keys->insert({pair->first}, ref);
        for (LineRef ref = section.end - 1; ref >= section.begin; --ref)
            if (const auto pair = keyValue(m_lines[ref]))
                section.keys->insert({pair->first}, ref);
    }
    return *section.keys;
}

const QByteArrayView& ProfileDocument::line(const Section& section, LineRef ref) const
{
    return ref >= 0 ? m_lines[ref] : section.added[-1 - ref];
}

QByteArrayView& ProfileDocument::line(Section& section, LineRef ref)
{
    return ref >= 0 ? m_lines[ref] : section.added[-1 - ref];
}

qsizetype ProfileDocument::findSection(QByteArrayView name) const
{
    return m_firstSection.value({name}, -1);
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
    const auto& keys = keysOf(in);
    const auto ref = keys.constFind({*keyBytes});
    if (ref == keys.cend())
        return std::nullopt;
    return keyValue(line(in, *ref))->second;
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
        const QByteArrayView header = keep('[' + *sectionBytes + ']');
        Section created{header, {*sectionName(header)}};
        created.added.append(keyLine);
        addSection(std::move(created));
        return true;
    }
    Section& in = m_sections[size_t(found)];
    const auto& keys = keysOf(in);
    if (const auto ref = keys.constFind({*keyBytes}); ref != keys.cend()) {
        line(in, *ref) = keyLine;
        return true;
    }
    // After the section's last line that is not blank, and so after the lines added before.
    if (in.insertAt < 0) {
        in.insertAt = in.end;
        while (in.insertAt > in.begin && trimmed(m_lines[in.insertAt - 1]).isEmpty())
            --in.insertAt;
    }
    in.added.append(keyLine);
    // A name written with blanks around it may already stand earlier in the section.
    if (const Name written{keyValue(keyLine)->first}; !keys.contains(written))
        in.keys->insert(written, -qsizetype(in.added.size()));
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
    const Name name{*sectionBytes};
    if (!m_firstSection.remove(name))
        return true;
    for (Section& candidate : m_sections)
        if (!candidate.header.isNull() && candidate.name == name)
            candidate.erased = true;
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
        const qsizetype insertAt = section.insertAt < 0 ? section.end : section.insertAt;
        for (qsizetype i = section.begin; i < insertAt; ++i)
            append(m_lines[i]);
        for (const QByteArrayView line : section.added)
            append(line);
        for (qsizetype i = insertAt; i < section.end; ++i)
            append(m_lines[i]);
    }
    return out;
}

bool ProfileDocument::save() const
{
    return m_readable && FileWrite::replace(m_path, bytes()) == 0;
}

QByteArrayView ProfileDocument::keep(QByteArray line)
{
    m_written.append(std::move(line));
    return m_written.last();
}

QStringList ProfileDocument::sectionNames() const
{
    QStringList names;
    for (qsizetype i = 1; i < qsizetype(m_sections.size()); ++i) {
        const Section& section = m_sections[size_t(i)];
        if (!section.erased && m_firstSection.value(section.name) == i)
            names << Gbk::decode(section.name.bytes);
    }
    return names;
}

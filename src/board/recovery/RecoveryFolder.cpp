#include "board/recovery/RecoveryFolder.h"

#include "files/FileWrite.h"
#include "files/Folder.h"
#include "files/ProgramRun.h"
#include "files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>
#include <isa-l/crc.h>

#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString mainName = QStringLiteral("recovery");
const QString oldName = QStringLiteral("recovery.old");
const QString indexName = QStringLiteral("board");
const char lockName[] = "lock";

// The index: "ZKRB", its version, the generation of the backup, the screen's width and height,
// the page count and the current page, then per page its state, content kind and stamped flag (a
// byte each), its panel bounds (x, y, width, height), the generation of its pixels' file, the
// generation of its text's file (0 for none), the text's length and CRC-32; at the end the CRC-32
// of everything before it. Numbers are 32 bits, little-endian.
constexpr char indexMagic[4] = {'Z', 'K', 'R', 'B'};
constexpr quint32 indexVersion = 1;
constexpr qsizetype indexHeaderBytes = 4 + 6 * 4;
constexpr qsizetype indexPageBytes = 3 + 8 * 4;
constexpr qint64 largestIndex = indexHeaderBytes + PageStore::maxPages * indexPageBytes + 4;
constexpr qint64 largestText = 64 * 1024 * 1024;

quint32 crcOf(QByteArrayView bytes)
{
    return crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(bytes.data()),
                           uint64_t(bytes.size()));
}

void appendLe32(QByteArray& out, quint32 value)
{
    const quint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

QString pageName(int n, quint32 generation)
{
    return QStringLiteral("page-%1.%2").arg(n).arg(generation);
}

QString textName(int n, quint32 generation)
{
    return QStringLiteral("text-%1.%2").arg(n).arg(generation);
}

// The folder's lock, held; -1 when a running copy holds it or it cannot be had.
int lockFolder(const QString& path)
{
    const QByteArray name = Folder::nameOf(path) + '/' + lockName;
    const int lock = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock < 0)
        return -1;
    if (::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        ::close(lock);
        return -1;
    }
    return lock;
}

// Reads little-endian numbers; the caller has checked the length.
class IndexReader {
public:
    explicit IndexReader(QByteArrayView bytes) : m_bytes(bytes) {}
    quint32 le32()
    {
        const quint32 value = qFromLittleEndian<quint32>(m_bytes.data() + m_at);
        m_at += 4;
        return value;
    }
    quint8 byte() { return quint8(m_bytes[m_at++]); }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

} // namespace

RecoveryFolder::RecoveryFolder(const QString& stateDirectory) : m_state(stateDirectory)
{
    claim();
}

RecoveryFolder::~RecoveryFolder()
{
    release();
}

void RecoveryFolder::claim()
{
    // The state directory is the user's alone, as the XDG rules want it.
    QDir().mkpath(m_state);
    ::chmod(Folder::nameOf(m_state).constData(), 0700);
    QStringList names{mainName};
    const QDir state(m_state);
    for (const QString& name : state.entryList({mainName + QLatin1String("-*")},
                                               QDir::Dirs | QDir::NoSymLinks, QDir::Name))
        names.append(name);
    for (const QString& name : std::as_const(names)) {
        const QString path = m_state + name + QLatin1Char('/');
        if (!Folder::isOwn(path))
            continue;
        const int lock = lockFolder(path);
        if (lock < 0)
            continue;
        if (RegularFile::isRegular(path + indexName, largestIndex)) {
            take(path, lock);
            return;
        }
        ::close(lock);
        // A copy that ran beside another and ended before it kept anything.
        if (name != mainName)
            Folder::remove(path);
    }
    claimFresh();
}

void RecoveryFolder::claimFresh()
{
    for (const QString& name :
         {mainName, mainName + QLatin1Char('-') + ProgramRun::current().name()}) {
        const QString path = m_state + name + QLatin1Char('/');
        ::mkdir(Folder::nameOf(path).constData(), 0700);
        if (!Folder::isOwn(path))
            continue;
        const int lock = lockFolder(path);
        if (lock < 0)
            continue;
        // What a run killed before its first backup was committed left.
        Folder::removeEntries(path,
                              [](const QString& file) { return file == QLatin1String(lockName); });
        take(path, lock);
        return;
    }
}

void RecoveryFolder::take(const QString& path, int lock)
{
    m_path = path;
    m_lock = lock;
    m_generation = 0;
    m_pixels.clear();
    m_pixelGenerations.clear();
    m_texts.clear();
    m_textGenerations.clear();
    m_index.clear();
}

void RecoveryFolder::release()
{
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
}

bool RecoveryFolder::holdsBackup() const
{
    return isClaimed() && QFileInfo::exists(m_path + indexName);
}

RecoveryFolder::Reading RecoveryFolder::read(QSize screenSize)
{
    const auto fail = [](const QString& problem) { return Reading{std::nullopt, problem}; };
    const auto bytes = RegularFile::read(m_path + indexName, largestIndex);
    if (!bytes)
        return fail(QStringLiteral("its index cannot be read"));
    if (bytes->size() < indexHeaderBytes + 4 || std::memcmp(bytes->constData(), indexMagic, 4))
        return fail(QStringLiteral("its index is not one"));
    const QByteArrayView body = QByteArrayView(*bytes).first(bytes->size() - 4);
    if (crcOf(body) != qFromLittleEndian<quint32>(bytes->constData() + body.size()))
        return fail(QStringLiteral("its index is damaged"));
    IndexReader reader(body.sliced(4));
    const quint32 version = reader.le32(), generation = reader.le32();
    const int screenWidth = int(reader.le32());
    const QSize size(screenWidth, int(reader.le32()));
    const quint32 count = reader.le32(), current = reader.le32();
    if (version != indexVersion || count < 1 || count > PageStore::maxPages || current < 1 ||
        current > count || body.size() != indexHeaderBytes + qsizetype(count) * indexPageBytes)
        return fail(QStringLiteral("its index is damaged"));
    if (size != screenSize)
        return fail(QStringLiteral("its pages are made for a screen of %1 x %2")
                        .arg(size.width())
                        .arg(size.height()));

    KeptBoard board;
    board.currentPage = int(current);
    QList<quint32> pixelGenerations, textGenerations;
    for (int n = 1; n <= int(count); ++n) {
        Page page;
        const quint8 state = reader.byte(), kind = reader.byte(), stamped = reader.byte();
        const int x = int(reader.le32()), y = int(reader.le32());
        const int width = int(reader.le32()), height = int(reader.le32());
        const quint32 pixelGeneration = reader.le32(), textGeneration = reader.le32();
        const quint32 textLength = reader.le32(), textCrc = reader.le32();
        if (state > 2 || kind > 2 || stamped > 1 || pixelGeneration < 1 ||
            pixelGeneration > generation || textGeneration > generation)
            return fail(QStringLiteral("its index is damaged"));
        page.state = PageState(state);
        page.contentKind = ContentKind(kind);
        page.panelStamped = stamped != 0;
        page.panelBounds = QRect(x, y, width, height);
        board.records.append(page);

        const qint64 largestPage = qint64(size.width()) * size.height() * 4 +
                                   qint64(size.width()) * size.height() / 64 + 4096;
        const auto pixelBytes =
            RegularFile::read(m_path + pageName(n, pixelGeneration), largestPage);
        const auto pixels = pixelBytes ? CompactPage::fromBytes(*pixelBytes, size) : std::nullopt;
        if (!pixels || pixels->size() != size)
            return fail(QStringLiteral("page %1 is missing or damaged").arg(n));
        board.pixels.append(*pixels);
        pixelGenerations.append(pixelGeneration);

        std::optional<QByteArray> text;
        if (textGeneration > 0) {
            text = RegularFile::read(m_path + textName(n, textGeneration), largestText);
            if (!text || text->size() != qsizetype(textLength) || crcOf(*text) != textCrc)
                return fail(QStringLiteral("the text of page %1 is missing or damaged").arg(n));
        }
        board.texts.append(text);
        textGenerations.append(textGeneration);
    }
    m_generation = generation;
    m_pixels = board.pixels;
    m_pixelGenerations = pixelGenerations;
    m_texts = board.texts;
    m_textGenerations = textGenerations;
    m_index = *bytes;
    return Reading{board, QString()};
}

void RecoveryFolder::moveAside()
{
    const QString old = m_state + oldName;
    Folder::remove(old);
    FileWrite::rename(QFile::decodeName(Folder::nameOf(m_path)), old);
    release();
    claimFresh();
}

QByteArray RecoveryFolder::index(const BoardSnapshot& snapshot, quint32 generation) const
{
    QByteArray out;
    out.append(indexMagic, 4);
    appendLe32(out, indexVersion);
    appendLe32(out, generation);
    appendLe32(out, quint32(m_pixels.first().size().width()));
    appendLe32(out, quint32(m_pixels.first().size().height()));
    appendLe32(out, quint32(snapshot.records.size()));
    appendLe32(out, quint32(snapshot.currentPage));
    for (int i = 0; i < snapshot.records.size(); ++i) {
        const Page& page = snapshot.records[i];
        out.append(char(page.state));
        out.append(char(page.contentKind));
        out.append(char(page.panelStamped ? 1 : 0));
        for (int value : {page.panelBounds.x(), page.panelBounds.y(), page.panelBounds.width(),
                          page.panelBounds.height()})
            appendLe32(out, quint32(value));
        appendLe32(out, m_pixelGenerations[i]);
        appendLe32(out, m_textGenerations[i]);
        const QByteArray text = m_texts[i].value_or(QByteArray());
        appendLe32(out, quint32(text.size()));
        appendLe32(out, m_texts[i] ? crcOf(text) : 0);
    }
    appendLe32(out, crcOf(out));
    return out;
}

bool RecoveryFolder::write(const BoardSnapshot& snapshot)
{
    if (!isClaimed())
        return false;
    const int count = int(snapshot.records.size());
    Q_ASSERT(count >= 1 && snapshot.pixels.size() == count && snapshot.texts.size() == count);
    m_pixels.resize(count);
    m_pixelGenerations.resize(count);
    m_texts.resize(count);
    m_textGenerations.resize(count);
    // A write that failed leaves the generation as it was: its files are written again.
    const quint32 generation = m_generation + 1;
    for (int i = 0; i < count; ++i) {
        const CompactPage& pixels = snapshot.pixels[i];
        if (!pixels.isNull() && !pixels.isCopyOf(m_pixels[i])) {
            m_pixels[i] = pixels;
            m_pixelGenerations[i] = 0;
        } else if (i == snapshot.currentPage - 1 && !snapshot.currentImage.isNull()) {
            m_pixels[i] = CompactPage(snapshot.currentImage);
            m_pixelGenerations[i] = 0;
        }
        if (m_pixels[i].isNull())
            return false;
        if (m_pixelGenerations[i] == 0) {
            if (FileWrite::replace(m_path + pageName(i + 1, generation), m_pixels[i].toBytes()))
                return false;
            m_pixelGenerations[i] = generation;
        }

        const std::optional<QByteArray>& text = snapshot.texts[i];
        if (text != m_texts[i] || (text && m_textGenerations[i] == 0)) {
            m_texts[i] = text;
            m_textGenerations[i] = 0;
            if (text) {
                if (FileWrite::replace(m_path + textName(i + 1, generation), *text))
                    return false;
                m_textGenerations[i] = generation;
            }
        }
    }
    const QByteArray written = index(snapshot, generation);
    // Equal but for the generation: nothing changed since the last backup.
    if (m_index.size() == written.size() && m_index.size() > indexHeaderBytes &&
        std::memcmp(m_index.constData() + 12, written.constData() + 12,
                    size_t(written.size() - 16)) == 0)
        return true;
    if (FileWrite::replace(m_path + indexName, written))
        return false;
    m_generation = generation;
    m_index = written;
    removeUnreferenced();
    return true;
}

void RecoveryFolder::removeUnreferenced() const
{
    QSet<QString> kept{QString::fromLatin1(lockName), indexName};
    for (int i = 0; i < m_pixels.size(); ++i) {
        kept.insert(pageName(i + 1, m_pixelGenerations[i]));
        if (m_textGenerations[i] > 0)
            kept.insert(textName(i + 1, m_textGenerations[i]));
    }
    Folder::removeEntries(m_path, [&](const QString& file) { return kept.contains(file); });
}

void RecoveryFolder::remove()
{
    if (!isClaimed())
        return;
    Folder::remove(m_path);
    release();
}

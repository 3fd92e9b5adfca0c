#include "text/Gbk.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

// One iconv conversion, opened once for the thread and reset before each use.
class Converter {
public:
    Converter(const char* to, const char* from) : m_descriptor(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_descriptor);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_descriptor != iconv_t(-1); }

    // Converts all of input; a byte that cannot be converted is handed to onInvalid, which
    // either appends a replacement and returns true (go on after the byte) or returns false.
    template <typename OnInvalid>
    bool convert(QByteArrayView input, QByteArray& output, OnInvalid onInvalid)
    {
        if (!valid())
            return false;
        iconv(m_descriptor, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = size_t(input.size());
        output.resize(input.size() * 2 + 16);
        size_t written = 0;
        while (inLeft > 0) {
            char* out = output.data() + written;
            size_t outLeft = size_t(output.size()) - written;
            const size_t result = iconv(m_descriptor, &in, &inLeft, &out, &outLeft);
            written = size_t(out - output.data());
            if (result != size_t(-1))
                break;
            if (errno == E2BIG) {
                output.resize(output.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (a character cut off at the end).
            output.resize(qsizetype(written));
            if (!onInvalid(output))
                return false;
            written = size_t(output.size());
            ++in;
            --inLeft;
        }
        output.resize(qsizetype(written));
        return true;
    }

private:
    iconv_t m_descriptor;
};

bool isAscii(QByteArrayView bytes)
{
    for (char byte : bytes)
        if (uchar(byte) >= 0x80)
            return false;
    return true;
}

// The length of the GBK character that starts with byte.
qsizetype characterLength(uchar byte)
{
    return byte >= 0x81 && byte <= 0xFE ? 2 : 1;
}

char asciiLower(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? char(byte - 'A' + 'a') : byte;
}

} // namespace

namespace Gbk {

std::optional<QByteArray> encode(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    if (isAscii(utf8))
        return utf8;
    thread_local Converter converter("GBK", "UTF-8");
    QByteArray output;
    if (!converter.convert(utf8, output, [](QByteArray&) { return false; }))
        return std::nullopt;
    return output;
}

QString decode(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes.data(), bytes.size());
    thread_local Converter converter("UTF-8", "GBK");
    QByteArray output;
    converter.convert(bytes, output, [](QByteArray& out) {
        out.append("\xEF\xBF\xBD"); // U+FFFD
        return true;
    });
    return QString::fromUtf8(output);
}

QByteArrayView truncated(QByteArrayView bytes, qsizetype limit)
{
    if (bytes.size() <= limit)
        return bytes;
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype next = end + characterLength(uchar(bytes[end]));
        if (next > limit)
            break;
        end = next;
    }
    return bytes.first(end);
}

qsizetype indexOfAscii(QByteArrayView bytes, char ascii)
{
    for (qsizetype i = 0; i < bytes.size(); i += characterLength(uchar(bytes[i])))
        if (bytes[i] == ascii)
            return i;
    return -1;
}

bool equalIgnoringAsciiCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size();) {
        const qsizetype length = characterLength(uchar(a[i]));
        if (length == 1) {
            if (asciiLower(a[i]) != asciiLower(b[i]))
                return false;
        } else if (a.sliced(i, std::min(length, a.size() - i)) !=
                   b.sliced(i, std::min(length, b.size() - i))) {
            return false;
        }
        i += length;
    }
    return true;
}

size_t hashIgnoringAsciiCase(QByteArrayView bytes, size_t seed)
{
    // With bit 0x20 set in every byte, letters of either case are alike, and so are a few other
    // pairs (second bytes among them), which the comparison then tells apart: the hash needs not
    // know where characters start and takes eight bytes at a time.
    constexpr quint64 caseBits = 0x2020202020202020ull;
    const auto mix = [](quint64 value) {
        value *= 0x9E3779B97F4A7C15ull;
        return value ^ (value >> 29);
    };
    quint64 hash = mix(quint64(seed) ^ quint64(bytes.size()));
    qsizetype i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        quint64 word = 0;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        hash = mix(hash ^ (word | caseBits));
    }
    quint64 rest = 0;
    for (; i < bytes.size(); ++i)
        rest = (rest << 8) | (uchar(bytes[i]) | 0x20);
    return size_t(mix(hash ^ rest));
}

} // namespace Gbk

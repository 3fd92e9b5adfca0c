#include "board/content/RichTextReader.h"

#include "text/Gbk.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

namespace {

// Groups deeper than this are read as if they were left out; the file stays readable.
constexpr int deepestGroup = 1000;
constexpr int defaultHalfPoints = 24;
constexpr int symbolCharset = 2;

// The code pages of the fonts' character sets (\fcharset); the Chinese one is 134.
const QHash<int, int>& codePages()
{
    static const QHash<int, int> pages = {
        {0, 1252},   {128, 932},  {129, 949},  {134, 936},  {136, 950},  {161, 1253}, {162, 1254},
        {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250},
    };
    return pages;
}

// Destinations whose text is not part of the document.
const QSet<QByteArray>& leftOutDestinations()
{
    static const QSet<QByteArray> words = {
        "stylesheet",
        "info",
        "pict",
        "object",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "annotation",
        "fldinst",
        "listtable",
        "listoverridetable",
        "revtbl",
        "rsidtbl",
        "generator",
        "xmlnstbl",
        "themedata",
        "colorschememapping",
        "latentstyles",
        "datastore",
        "filetbl",
        "template",
        "nonshppict",
        "shp",
        "shpinst",
        "atnauthor",
        "atnid",
        "bkmkstart",
        "bkmkend",
        "pn",
    };
    return words;
}

// Characters that control words stand for.
const QHash<QByteArray, char16_t>& characterWords()
{
    static const QHash<QByteArray, char16_t> words = {
        {"tab", u'\t'},           {"line", QChar::LineSeparator},
        {"emdash", u'\u2014'},    {"endash", u'\u2013'},
        {"bullet", u'\u2022'},    {"lquote", u'\u2018'},
        {"rquote", u'\u2019'},    {"ldblquote", u'\u201C'},
        {"rdblquote", u'\u201D'}, {"emspace", u' '},
        {"enspace", u' '},        {"qmspace", u' '},
    };
    return words;
}

// How much of the start of text fits into room characters, never half a character of two code
// units.
qsizetype keptLength(QStringView text, qsizetype room)
{
    if (text.size() <= room)
        return text.size();
    const qsizetype kept = std::max<qsizetype>(room, 0);
    return kept > 0 && text[kept - 1].isHighSurrogate() && text[kept].isLowSurrogate() ? kept - 1
                                                                                       : kept;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

enum class Destination { Text, FontTable, ColourTable, LeftOut };

// What a group knows; a group starts with a copy of the one around it.
struct GroupState {
    Destination destination = Destination::Text;
    int font = -1;
    int halfPoints = defaultHalfPoints;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int unicodeSkip = 1;
    // "\*" was just read: the group's first control word names a destination to leave out.
    bool starred = false;
};

struct FontEntry {
    QString name;
    int charset = -1;
};

class Reader {
public:
    explicit Reader(QTextDocument& document) : m_cursor(&document) {}

    void read(QByteArrayView input);

private:
    void openGroup();
    void closeGroup();
    void controlWord(const QByteArray& word, bool hasValue, int value);
    void controlSymbol(char symbol);
    // Text bytes of the current destination, decoded when the run ends.
    void textByte(char byte);
    void character(char16_t c);
    void endRun();
    void paragraph();
    void insert(const QString& text);
    void insertRun();
    // Whether the bound leaves room for a paragraph break; the text is cut when it does not.
    bool roomForBreak();
    QTextCharFormat charFormat() const;
    QString decode(const QByteArray& bytes, int charset) const;
    int charsetOfFont(int font) const;
    void finishFontEntry();
    void plain();

    QTextCursor m_cursor;
    // Text in one format waits here and goes in with one insert: an insert lays out its
    // paragraph, so one insert per character would lay out a long paragraph again each time.
    QString m_run;
    QTextCharFormat m_runFormat;
    // Characters in the document so far, a paragraph break counting one; at the bound the text
    // is cut and the rest of the input is not read.
    qsizetype m_characters = 0;
    bool m_cut = false;
    QByteArrayView m_input;
    qsizetype m_position = 0;
    GroupState m_state;
    QList<GroupState> m_stack;
    // Groups opened beyond deepestGroup, read as left out.
    int m_overflow = 0;
    // Fallback characters of the last \uN still to skip.
    int m_skip = 0;
    QByteArray m_bytes;
    bool m_paragraphPending = false;
    bool m_textStarted = false;
    int m_codePage = 1252;
    int m_defaultFont = 0;
    QHash<int, FontEntry> m_fonts;
    int m_fontEntry = -1;
    QString m_fontName;
    QList<QColor> m_colours;
    int m_red = -1, m_green = -1, m_blue = -1;
};

void Reader::read(QByteArrayView input)
{
    // The document lays itself out once, at the end, rather than at every insert.
    m_cursor.beginEditBlock();
    m_input = input;
    while (m_position < input.size() && !m_cut) {
        const char c = input[m_position++];
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            closeGroup();
            break;
        case '\\': {
            if (m_position >= input.size())
                break;
            const char next = input[m_position];
            if (isLetter(next)) {
                const qsizetype start = m_position;
                while (m_position < input.size() && isLetter(input[m_position]) &&
                       m_position - start < 32)
                    ++m_position;
                const QByteArray word = input.sliced(start, m_position - start).toByteArray();
                bool hasValue = false;
                bool negative = false;
                qint64 value = 0;
                if (m_position < input.size() && input[m_position] == '-') {
                    negative = true;
                    ++m_position;
                }
                int digits = 0;
                while (m_position < input.size() && isDigit(input[m_position])) {
                    if (digits++ < 10)
                        value = value * 10 + (input[m_position] - '0');
                    hasValue = true;
                    ++m_position;
                }
                if (m_position < input.size() && input[m_position] == ' ')
                    ++m_position;
                value = std::clamp<qint64>(negative ? -value : value, -2147483647, 2147483647);
                controlWord(word, hasValue, int(value));
            } else if (next == '\'') {
                ++m_position;
                const QByteArray hex =
                    input.sliced(m_position, std::min<qsizetype>(2, input.size() - m_position))
                        .toByteArray();
                m_position += hex.size();
                bool ok = false;
                const int byte = hex.toInt(&ok, 16);
                if (ok)
                    textByte(char(byte));
            } else {
                ++m_position;
                controlSymbol(next);
            }
            break;
        }
        case '\r':
        case '\n':
            break;
        default:
            textByte(c);
        }
    }
    endRun();
    insertRun();
    if (m_cut) {
        m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        m_cursor.insertText(RichTextReader::cutNote(), QTextCharFormat());
    }
    m_cursor.endEditBlock();
}

void Reader::openGroup()
{
    endRun();
    m_skip = 0;
    if (m_overflow > 0 || m_stack.size() >= deepestGroup) {
        ++m_overflow;
        return;
    }
    m_stack.append(m_state);
    m_state.starred = false;
}

void Reader::closeGroup()
{
    endRun();
    m_skip = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_state.destination == Destination::FontTable)
        finishFontEntry();
    if (m_stack.isEmpty())
        return;
    m_state = m_stack.takeLast();
}

void Reader::plain()
{
    m_state.font = m_defaultFont;
    m_state.halfPoints = defaultHalfPoints;
    m_state.colour = 0;
    m_state.bold = m_state.italic = m_state.underline = false;
}

void Reader::controlWord(const QByteArray& word, bool hasValue, int value)
{
    if (word == "bin") {
        // Raw bytes follow, whatever they look like, also in a group that is left out.
        endRun();
        m_position = std::min(m_input.size(), m_position + std::max(0, value));
        return;
    }
    if (m_overflow > 0 || m_stack.isEmpty() || m_state.destination == Destination::LeftOut)
        return;
    if (m_skip > 0) {
        // A paragraph mark ends a fallback that a writer left out; any other word is part of it.
        if (word != "par") {
            --m_skip;
            return;
        }
        m_skip = 0;
    }
    const bool starred = std::exchange(m_state.starred, false);
    if (starred || leftOutDestinations().contains(word)) {
        endRun();
        m_state.destination = Destination::LeftOut;
        return;
    }
    if (word == "u") {
        endRun();
        // Writers give code units above 32767 as negative numbers.
        if (value >= -32768 && value <= 65535)
            character(char16_t(value < 0 ? value + 65536 : value));
        m_skip = m_state.unicodeSkip;
        return;
    }
    // Whatever follows is in another format or another destination.
    endRun();
    const bool on = !hasValue || value != 0;
    if (word == "ansicpg")
        m_codePage = value;
    else if (word == "deff")
        m_defaultFont = m_state.font = value;
    else if (word == "fonttbl")
        m_state.destination = Destination::FontTable;
    else if (word == "colortbl")
        m_state.destination = Destination::ColourTable;
    else if (word == "f" && m_state.destination == Destination::FontTable) {
        finishFontEntry();
        m_fontEntry = value;
    } else if (word == "fcharset" && m_state.destination == Destination::FontTable)
        m_fonts[m_fontEntry].charset = value;
    else if (word == "red")
        m_red = std::clamp(value, 0, 255);
    else if (word == "green")
        m_green = std::clamp(value, 0, 255);
    else if (word == "blue")
        m_blue = std::clamp(value, 0, 255);
    else if (m_state.destination != Destination::Text)
        return;
    else if (word == "par" || word == "sect" || word == "page")
        paragraph();
    else if (const auto c = characterWords().constFind(word); c != characterWords().cend())
        character(*c);
    else if (word == "f")
        m_state.font = value;
    else if (word == "fs")
        m_state.halfPoints = hasValue && value > 0 ? std::min(value, 3276) : defaultHalfPoints;
    else if (word == "cf")
        m_state.colour = value;
    else if (word == "b")
        m_state.bold = on;
    else if (word == "i")
        m_state.italic = on;
    else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "ulwave" ||
             word == "uldash" || word == "ulth")
        m_state.underline = on;
    else if (word == "ulnone")
        m_state.underline = false;
    else if (word == "uc")
        m_state.unicodeSkip = std::clamp(value, 0, 10);
    else if (word == "plain")
        plain();
}

void Reader::controlSymbol(char symbol)
{
    if (m_overflow > 0 || m_stack.isEmpty() || m_state.destination == Destination::LeftOut)
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(symbol);
        break;
    case '*':
        m_state.starred = true;
        break;
    case '\r':
    case '\n':
        if (m_skip == 0 && m_state.destination == Destination::Text) {
            endRun();
            paragraph();
        }
        break;
    case '~':
        endRun();
        character(QChar::Nbsp);
        break;
    case '_':
        endRun();
        character(u'\u2011');
        break;
    default:
        // Optional hyphens, index entries and symbols of other writers.
        break;
    }
}

void Reader::textByte(char byte)
{
    // Outside the document's group (a writer's closing NUL byte), or a control character.
    if (m_overflow > 0 || m_stack.isEmpty() || m_state.destination == Destination::LeftOut ||
        (uchar(byte) < 0x20 && byte != '\t'))
        return;
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    switch (m_state.destination) {
    case Destination::Text:
        m_bytes += byte;
        break;
    case Destination::FontTable:
        if (byte == ';')
            finishFontEntry();
        else
            m_bytes += byte;
        break;
    case Destination::ColourTable:
        if (byte == ';') {
            m_colours.append(
                m_red < 0 && m_green < 0 && m_blue < 0
                    ? QColor()
                    : QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
            m_red = m_green = m_blue = -1;
        }
        break;
    case Destination::LeftOut:
        break;
    }
}

void Reader::character(char16_t c)
{
    if (m_state.destination == Destination::Text)
        insert(QString(QChar(c)));
    else if (m_state.destination == Destination::FontTable)
        m_fontName += QChar(c);
}

void Reader::endRun()
{
    if (m_bytes.isEmpty())
        return;
    const QByteArray bytes = std::exchange(m_bytes, {});
    if (m_state.destination == Destination::Text)
        insert(decode(bytes, charsetOfFont(m_state.font)));
    else if (m_state.destination == Destination::FontTable)
        m_fontName += decode(bytes, m_fonts.value(m_fontEntry).charset);
}

void Reader::finishFontEntry()
{
    endRun();
    if (m_fontEntry >= 0 && !m_fontName.trimmed().isEmpty())
        m_fonts[m_fontEntry].name = m_fontName.trimmed();
    m_fontName.clear();
}

int Reader::charsetOfFont(int font) const
{
    return m_fonts.value(font).charset;
}

QString Reader::decode(const QByteArray& bytes, int charset) const
{
    if (charset == symbolCharset)
        return QString::fromLatin1(bytes);
    // A font's character set names its code page; a font without one takes the file's.
    const int codePage = codePages().value(charset, m_codePage);
    if (codePage == 936 || codePage == 54936)
        return Gbk::decode(bytes);
    QStringDecoder decoder(QByteArray("windows-" + QByteArray::number(codePage)).constData());
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QTextCharFormat Reader::charFormat() const
{
    QTextCharFormat format;
    if (const auto font = m_fonts.constFind(m_state.font);
        font != m_fonts.cend() && !font->name.isEmpty())
        format.setFontFamilies(QStringList{font->name});
    format.setFontPointSize(m_state.halfPoints / 2.0);
    // Entry 0 of the colour table is the automatic colour.
    if (m_state.colour > 0 && m_state.colour < m_colours.size() &&
        m_colours[m_state.colour].isValid())
        format.setForeground(m_colours[m_state.colour]);
    format.setFontWeight(m_state.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(m_state.italic);
    format.setFontUnderline(m_state.underline);
    return format;
}

void Reader::paragraph()
{
    // A paragraph mark at the very end closes the last paragraph and opens none.
    if (m_paragraphPending && roomForBreak()) {
        insertRun();
        m_cursor.insertBlock(QTextBlockFormat(), charFormat());
    }
    m_paragraphPending = true;
    if (!m_textStarted) {
        m_cursor.setBlockCharFormat(charFormat());
        m_textStarted = true;
    }
}

void Reader::insert(const QString& text)
{
    if (text.isEmpty() || m_cut)
        return;
    if (m_paragraphPending) {
        if (!roomForBreak())
            return;
        insertRun();
        m_cursor.insertBlock(QTextBlockFormat(), charFormat());
        m_paragraphPending = false;
    }
    m_textStarted = true;
    const QTextCharFormat format = charFormat();
    // One insert reads "\r\n" as one paragraph break; characters inserted one by one made two.
    if (format != m_runFormat || (text.startsWith(u'\n') && m_run.endsWith(u'\r'))) {
        insertRun();
        m_runFormat = format;
    }
    const qsizetype kept = keptLength(text, RichTextReader::maxCharacters - m_characters);
    m_run += QStringView(text).first(kept);
    m_characters += kept;
    if (kept < text.size()) {
        m_cut = true;
        // The first half of a character that came as two \uN escapes goes with its second.
        if (text[kept].isLowSurrogate() && !m_run.isEmpty() && m_run.back().isHighSurrogate()) {
            m_run.chop(1);
            --m_characters;
        }
    }
}

void Reader::insertRun()
{
    if (m_run.isEmpty())
        return;
    m_cursor.insertText(m_run, m_runFormat);
    m_run.clear();
}

bool Reader::roomForBreak()
{
    if (m_characters >= RichTextReader::maxCharacters) {
        m_cut = true;
        return false;
    }
    ++m_characters;
    return true;
}

} // namespace

namespace RichTextReader {

QString cutNote()
{
    return QStringLiteral("……（文字过长，其余部分未显示）");
}

void read(QByteArrayView richText, QTextDocument& document)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    if (richText.startsWith("{\\rtf")) {
        Reader reader(document);
        reader.read(richText);
    } else {
        QString text = Gbk::decode(richText).remove(QLatin1Char('\r'));
        if (const qsizetype kept = keptLength(text, maxCharacters); kept < text.size()) {
            text.truncate(kept);
            text += QLatin1Char('\n') + cutNote();
        }
        QTextCursor(&document).insertText(text);
    }
    document.setUndoRedoEnabled(undo);
}

} // namespace RichTextReader

#include "board/content/RichTextWriter.h"

#include "text/Gbk.h"

#include <QColor>
#include <QList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>

namespace {

constexpr qreal pointsPerPixel = 0.75;
// The size of text that says nothing of its size, as rich text assumes it.
constexpr qreal fallbackPoints = 12;

// What one run of text is written with.
struct RunFormat {
    QString family;
    int halfPoints = 24;
    QColor colour; // invalid: the automatic colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

RunFormat runFormat(const QTextCharFormat& format, const QFont& documentFont)
{
    const QFont font = RichTextWriter::effectiveFont(format, documentFont);
    RunFormat run;
    // A semicolon ends a name in the font table.
    run.family = font.family().remove(QLatin1Char(';'));
    run.halfPoints = std::max(1, int(std::lround(font.pointSizeF() * 2)));
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
        run.colour = format.foreground().color().toRgb();
    run.bold = font.bold();
    run.italic = font.italic();
    run.underline = font.underline();
    return run;
}

void appendHexByte(QByteArray& out, uchar byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

void appendUnicode(QByteArray& out, char16_t unit)
{
    // \uN takes a signed 16-bit number; the "?" is what a reader without Unicode shows.
    out += "\\u" + QByteArray::number(qint16(unit)) + '?';
}

// Text with rich text's special characters escaped and everything beyond ASCII in GBK bytes, or
// as Unicode where GBK has no code for it.
void appendText(QByteArray& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == QChar::LineSeparator) {
            out += "\\line ";
        } else if (c == QChar::Nbsp) {
            out += "\\~";
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else if (c < 0x20 || c == 0x7F || c == QChar::ObjectReplacementCharacter) {
            // Control characters and embedded objects are not text.
        } else {
            const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                              QChar::isLowSurrogate(text[i + 1].unicode());
            const bool lone = !pair && QChar::isSurrogate(c);
            const QStringView character = text.sliced(i, pair ? 2 : 1);
            const auto gbk = lone ? std::nullopt : Gbk::encode(character.toString());
            if (gbk) {
                for (char byte : *gbk)
                    appendHexByte(out, uchar(byte));
            } else {
                for (QChar unit : character)
                    appendUnicode(out, unit.unicode());
            }
            if (pair)
                ++i;
        }
    }
}

int indexIn(QList<QString>& list, const QString& value)
{
    qsizetype index = list.indexOf(value);
    if (index < 0) {
        list.append(value);
        index = list.size() - 1;
    }
    return int(index);
}

} // namespace

namespace RichTextWriter {

QFont effectiveFont(const QTextCharFormat& format, const QFont& documentFont)
{
    QFont font = format.font().resolve(documentFont);
    if (font.pointSizeF() <= 0)
        font.setPointSizeF(font.pixelSize() > 0 ? font.pixelSize() * pointsPerPixel
                                                : fallbackPoints);
    return font;
}

QByteArray write(const QTextDocument& document)
{
    const QFont documentFont = document.defaultFont();
    // The runs of every paragraph first: the tables before the text list what they use.
    QList<QList<std::pair<RunFormat, QString>>> paragraphs;
    QList<QString> fonts;
    QList<QString> colours; // QColor::name() of each colour in the table, from entry 1
    indexIn(fonts, runFormat(QTextCharFormat(), documentFont).family);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QList<std::pair<RunFormat, QString>> runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const RunFormat run = runFormat(fragment.charFormat(), documentFont);
            indexIn(fonts, run.family);
            if (run.colour.isValid())
                indexIn(colours, run.colour.name());
            runs.append({run, fragment.text()});
        }
        paragraphs.append(runs);
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (qsizetype f = 0; f < fonts.size(); ++f) {
        out += "{\\f" + QByteArray::number(f) + "\\fnil\\fcharset134 ";
        appendText(out, fonts[f]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const QString& name : colours) {
        const QColor colour(name);
        out += "\\red" + QByteArray::number(colour.red()) + "\\green" +
               QByteArray::number(colour.green()) + "\\blue" + QByteArray::number(colour.blue()) +
               ';';
    }
    out += "}\r\n\\viewkind4\\uc1\\pard";

    // What the text written so far is in; nothing is set before the first run.
    std::optional<RunFormat> current;
    for (const auto& runs : paragraphs) {
        for (const auto& [run, text] : runs) {
            QByteArray words;
            const int colour = run.colour.isValid() ? indexIn(colours, run.colour.name()) + 1 : 0;
            const int currentColour = current && current->colour.isValid()
                                          ? indexIn(colours, current->colour.name()) + 1
                                          : 0;
            if (!current || colour != currentColour)
                words += "\\cf" + QByteArray::number(colour);
            if (!current || run.family != current->family)
                words += "\\f" + QByteArray::number(indexIn(fonts, run.family));
            if (!current || run.halfPoints != current->halfPoints)
                words += "\\fs" + QByteArray::number(run.halfPoints);
            if (run.bold != (current && current->bold))
                words += run.bold ? "\\b" : "\\b0";
            if (run.italic != (current && current->italic))
                words += run.italic ? "\\i" : "\\i0";
            if (run.underline != (current && current->underline))
                words += run.underline ? "\\ul" : "\\ulnone";
            if (!words.isEmpty())
                out += words + ' ';
            appendText(out, text);
            current = run;
        }
        out += "\\par\r\n";
    }
    out += '}';
    return out;
}

} // namespace RichTextWriter

// Rich-text page files: what the program writes reads back the same, files of the classroom's
// earlier text boxes (GBK escapes, font and colour tables) read correctly, and broken files read
// as far as they go.

#include "board/content/RichTextReader.h"
#include "board/content/RichTextWriter.h"
#include "text/Gbk.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// The text box's own font: the brush script, 48 pixels.
QFont textBoxFont()
{
    QFont font(QStringLiteral("隶书"));
    font.setPixelSize(48);
    return font;
}

// One run of a document to build; a run with the text "\n" starts a paragraph.
struct Run {
    QString text;
    QString family;   // empty: the document's font
    qreal points = 0; // 0: the document's size
    QColor colour;    // invalid: no colour of its own
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

void build(QTextDocument& document, const QList<Run>& runs)
{
    document.setDefaultFont(textBoxFont());
    QTextCursor cursor(&document);
    for (const Run& run : runs) {
        if (run.text == QLatin1String("\n")) {
            cursor.insertBlock();
            continue;
        }
        QTextCharFormat format;
        if (!run.family.isEmpty())
            format.setFontFamilies(QStringList{run.family});
        if (run.points > 0)
            format.setFontPointSize(run.points);
        if (run.colour.isValid())
            format.setForeground(run.colour);
        if (run.bold)
            format.setFontWeight(QFont::Bold);
        format.setFontItalic(run.italic);
        format.setFontUnderline(run.underline);
        cursor.insertText(run.text, format);
    }
}

// Each paragraph as its runs, "text|font|points|colour|flags", joined by " + ".
QStringList describe(const QTextDocument& document)
{
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QStringList runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QFont font = RichTextWriter::effectiveFont(format, document.defaultFont());
            const QString colour = format.hasProperty(QTextFormat::ForegroundBrush)
                                       ? format.foreground().color().name()
                                       : QStringLiteral("auto");
            QString flags;
            if (font.bold())
                flags += QLatin1Char('b');
            if (font.italic())
                flags += QLatin1Char('i');
            if (font.underline())
                flags += QLatin1Char('u');
            runs.append(QStringLiteral("%1|%2|%3|%4|%5")
                            .arg(it.fragment().text(), font.family())
                            .arg(font.pointSizeF())
                            .arg(colour, flags));
        }
        paragraphs.append(runs.join(QStringLiteral(" + ")));
    }
    return paragraphs;
}

QStringList readBack(QByteArrayView richText)
{
    QTextDocument document;
    document.setDefaultFont(textBoxFont());
    RichTextReader::read(richText, document);
    return describe(document);
}

} // namespace

Q_DECLARE_METATYPE(QList<Run>)

class RichTextTest : public QObject {
    Q_OBJECT
private slots:
    void writtenTextReadsBackTheSame_data();
    void writtenTextReadsBackTheSame();
    void chineseIsWrittenInGbkEscapes();
    void filesOfTheClassroomTextBoxRead_data();
    void filesOfTheClassroomTextBoxRead();
    void brokenFilesReadAsFarAsTheyGo_data();
    void brokenFilesReadAsFarAsTheyGo();
    void readingKeepsTheDocumentsFontAndLeavesNoUndo();
    void longTextsAreCutAtTheBound_data();
    void longTextsAreCutAtTheBound();
};

void RichTextTest::writtenTextReadsBackTheSame_data()
{
    QTest::addColumn<QList<Run>>("runs");
    const Run paragraph{QStringLiteral("\n")};
    QTest::newRow("Chinese in the text box's font, with fonts and colours")
        << QList<Run>{{QStringLiteral("同学们好，上课！")},
                      paragraph,
                      {QStringLiteral("红色"), {}, 0, QColor(255, 0, 0), true},
                      {QStringLiteral("蓝色楷体"), QStringLiteral("楷体"), 20, QColor(0, 0, 255),
                       false, true, true},
                      {QStringLiteral(" Arial 10.5"), QStringLiteral("Arial"), 10.5},
                      paragraph,
                      {QStringLiteral("宋体黑"), QStringLiteral("宋体"), 48, QColor(0, 0, 0)}};
    QTest::newRow("characters GBK lacks") << QList<Run>{{QStringLiteral("한국어 😀 𠀀 ÿ € é")}};
    QTest::newRow("rich text's own characters, tabs, line breaks, GBK bytes that look like ASCII")
        << QList<Run>{{QStringLiteral("a\\b{c}d\te") + QChar(QChar::LineSeparator) +
                       QStringLiteral("  two spaces")},
                      {QStringLiteral(" 乗亄旲"), {}, 0, {}, true}};
    // Characters that come one by one, each its own \uN or GBK escape, in runs of their own.
    QList<Run> manyEscapes;
    for (int n = 0; n < 300; ++n)
        manyEscapes.append({QStringLiteral("한국어😀中文乗") + QChar(char16_t(0xAC00 + n)),
                            {},
                            0,
                            n % 3 ? QColor() : QColor(0, 0, 255),
                            n % 2 == 1,
                            n % 5 == 0});
    manyEscapes.insert(150, paragraph);
    QTest::newRow("many escapes in many runs") << manyEscapes;
    QTest::newRow("empty paragraphs")
        << QList<Run>{paragraph, {QStringLiteral("一")}, paragraph, paragraph};
    QTest::newRow("empty document") << QList<Run>{};
}

void RichTextTest::writtenTextReadsBackTheSame()
{
    QFETCH(QList<Run>, runs);
    QTextDocument original;
    build(original, runs);
    const QByteArray written = RichTextWriter::write(original);
    QVERIFY(written.startsWith("{\\rtf1\\ansi\\ansicpg936"));
    // Nothing but ASCII: every other character is escaped.
    QVERIFY(std::all_of(written.begin(), written.end(), [](char c) { return uchar(c) < 0x80; }));

    QTextDocument read;
    read.setDefaultFont(textBoxFont());
    RichTextReader::read(written, read);
    QCOMPARE(describe(read), describe(original));
    QCOMPARE(RichTextWriter::write(read), written);
}

void RichTextTest::chineseIsWrittenInGbkEscapes()
{
    QTextDocument document;
    build(document, {{QStringLiteral("隶书乗😀")}});
    const QByteArray written = RichTextWriter::write(document);
    // The font table names the brush script in GBK, the size is 48 pixels as 36 points.
    QVERIFY(written.contains("{\\fonttbl{\\f0\\fnil\\fcharset134 \\'c1\\'a5\\'ca\\'e9;}}"));
    QVERIFY(written.contains("\\cf0\\f0\\fs72 \\'c1\\'a5\\'ca\\'e9\\'81\\'5c\\u-10179?\\u-8704?"
                             "\\par\r\n}"));
}

void RichTextTest::filesOfTheClassroomTextBoxRead_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("paragraphs");
    QTest::newRow("text box with the brush script, bold, italic, underline, Unicode")
        << QStringLiteral("textbox-gbk.rtf")
        << QStringList{QStringLiteral("同学们好|隶书|36|#000000|"),
                       QStringLiteral("上课|宋体|24|#ff0000|b + , |宋体|24|#000000| + "
                                      "café|Arial|10|#000000|i"),
                       QStringLiteral("作业|隶书|36|#000000|u + 乐乗|隶书|36|#000000|")};
    QTest::newRow("word processor with a generator, spacing, a picture and Unicode")
        << QStringLiteral("wordpad-gbk.rtf")
        << QStringList{QStringLiteral("老师|宋体|16|#0000ff| + ") + QStringLiteral(" Hello\t{x}") +
                           QStringLiteral("|Calibri|11|auto|"),
                       QString(), QStringLiteral("汉|宋体|11|auto|")};
}

void RichTextTest::filesOfTheClassroomTextBoxRead()
{
    QFETCH(QString, file);
    QFETCH(QStringList, paragraphs);
    QFile fixture(QStringLiteral(ZKALTO_TEST_DATA "/richtext/") + file);
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    QCOMPARE(readBack(fixture.readAll()), paragraphs);
}

void RichTextTest::brokenFilesReadAsFarAsTheyGo_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("text");
    const QByteArray deep = QByteArray(100000, '{') + "y" + QByteArray(100000, '}');
    QTest::newRow("braces closed too often") << QByteArray("{\\rtf1 a}}}b") << "a";
    QTest::newRow("groups never closed") << QByteArray("{\\rtf1 {\\b a{\\i b") << "ab";
    QTest::newRow("cut in an escape") << QByteArray("{\\rtf1 x\\'c") << "x";
    QTest::newRow("cut after a backslash") << QByteArray("{\\rtf1 x\\") << "x";
    QTest::newRow("groups nested beyond reason") << "{\\rtf1 " + deep + "z}"
                                                 << "z";
    QTest::newRow("numbers out of range")
        << QByteArray("{\\rtf1\\fs99999999999 big\\u99999999?\\uc99999\\u20013 ??????????x}")
        << "big中x";
    QTest::newRow("binary data past the end") << QByteArray("{\\rtf1 a\\bin999 b}") << "a";
    QTest::newRow("binary data that looks like braces")
        << QByteArray("{\\rtf1 a{\\*\\blob\\bin3 }}}}b}") << "ab";
    QTest::newRow("carriage return and line feed as escapes are two paragraph breaks")
        << QByteArray("{\\rtf1 a\\u13?\\u10?b}") << "a\n\nb";
    QTest::newRow("plain GBK text")
        << *Gbk::encode(QStringLiteral("第一行\r\n第二行")) << "第一行\n第二行";
}

void RichTextTest::brokenFilesReadAsFarAsTheyGo()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, text);
    QTextDocument document;
    RichTextReader::read(input, document);
    QCOMPARE(document.toPlainText(), text);
}

void RichTextTest::readingKeepsTheDocumentsFontAndLeavesNoUndo()
{
    QTextDocument document;
    document.setDefaultFont(textBoxFont());
    QTextCursor(&document).insertText(QStringLiteral("earlier"));
    RichTextReader::read("{\\rtf1 now}", document);
    QCOMPARE(document.toPlainText(), QStringLiteral("now"));
    QCOMPARE(document.defaultFont().pixelSize(), 48);
    QVERIFY(!document.isUndoAvailable());
}

void RichTextTest::longTextsAreCutAtTheBound_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<qsizetype>("kept"); // characters before the note, or of the whole text
    QTest::addColumn<QString>("lastKept");
    QTest::addColumn<bool>("cut");
    constexpr qsizetype bound = RichTextReader::maxCharacters;
    const auto chinese = [](qsizetype length) {
        return *Gbk::encode(QString(length, QChar(u'中')));
    };
    const QByteArray rich = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 x;}}\\f0 ";
    QTest::newRow("plain text one under the bound")
        << chinese(bound - 1) << bound - 1 << "中" << false;
    QTest::newRow("plain text at the bound") << chinese(bound) << bound << "中" << false;
    QTest::newRow("plain text one over the bound") << chinese(bound + 1) << bound << "中" << true;
    QTest::newRow("plain text over the bound in lines")
        << chinese(bound - 2) + "\r\nab\r\ncd" << bound << "a" << true;
    // As the writer writes Chinese: every byte a \'hh escape.
    QByteArray escaped;
    for (char byte : chinese(bound - 2))
        escaped += "\\'" + QByteArray(1, byte).toHex();
    QTest::newRow("rich text in GBK escapes at the bound, a paragraph mark at the end")
        << rich + escaped + "\\par x\\par}" << bound << "x" << false;
    QTest::newRow("rich text cut in a run")
        << rich + "a\\par " + QByteArray(bound, 'b') + "}" << bound << "b" << true;
    QTest::newRow("rich text cut at a paragraph mark")
        << rich + QByteArray(bound, 'a') + "\\par b}" << bound << "a" << true;
    QTest::newRow("rich text cut between the halves of an escaped character")
        << rich + QByteArray(bound - 1, 'a') + "\\u-10179?\\u-8704?}" << bound - 1 << "a" << true;
}

void RichTextTest::longTextsAreCutAtTheBound()
{
    QFETCH(QByteArray, input);
    QFETCH(qsizetype, kept);
    QFETCH(QString, lastKept);
    QFETCH(bool, cut);
    QTextDocument document;
    RichTextReader::read(input, document);
    QString text = document.toPlainText();
    const QString note = QLatin1Char('\n') + RichTextReader::cutNote();
    QCOMPARE(text.endsWith(note), cut);
    if (cut)
        text.chop(note.size());
    QCOMPARE(text.size(), kept);
    QCOMPARE(text.right(1), lastKept);
}

QTEST_MAIN(RichTextTest)
#include "RichTextTest.moc"

// Loading large page texts into the content panel: 1 MiB of Chinese text in GBK as the program
// writes it (rich text with \'hh escapes), the same bytes as plain GBK text on one line, and
// 100,000 Hangul syllables, which GBK lacks and the writer gives as \uN? escapes; and 4 MiB of
// plain GBK text, which is cut at the reader's bound. Each text is
// read into a document without a view (the reader alone) and into the shown panel of a board, on
// the offscreen platform, until the panel is drawn (the text box's layout and paint). The
// reference, measured in the same run, inserts the same text into a document without a view in
// one call.

#include "RatioReporter.h"

#include "board/content/RichTextReader.h"
#include "board/content/RichTextWriter.h"
#include "board/model/BoardModel.h"
#include "board/window/ContentPanel.h"
#include "platform/fakes/ScriptedPrompter.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextCursor>

#include <cstdio>
#include <string>

namespace {

constexpr qsizetype gbkBytes = 1 << 20;
constexpr int hangulSyllables = 100000;

struct Text {
    std::string name;
    QString characters;
    QByteArray file;
    // What the document holds after reading: the characters, or as many as the bound keeps.
    qsizetype readLength() const
    {
        return characters.size() > RichTextReader::maxCharacters
                   ? RichTextReader::maxCharacters + 1 + RichTextReader::cutNote().size()
                   : characters.size();
    }
};

QString repeatedTo(const QString& unit, qsizetype length)
{
    QString text;
    text.reserve(length);
    while (text.size() < length)
        text += unit;
    text.truncate(length);
    return text;
}

QByteArray writtenByTheProgram(const QString& characters)
{
    QTextDocument document;
    document.setDefaultFont(ContentPanelModel::textBoxFont());
    QTextCursor(&document).insertText(characters);
    return RichTextWriter::write(document);
}

QList<Text> texts()
{
    const QString chinese = repeatedTo(
        QStringLiteral("同学们好，今天我们学习春天的古诗，请大家跟着老师一起朗读。"), gbkBytes / 2);
    QString hangul;
    for (int n = 0; n < hangulSyllables; ++n)
        hangul += QChar(char16_t(0xAC00 + n % 11172));
    const QString beyondTheBound = chinese.repeated(4);
    return {{"1 MiB Chinese rich text", chinese, writtenByTheProgram(chinese)},
            {"1 MiB Chinese plain GBK, one line", chinese, *Gbk::encode(chinese)},
            {"100000 \\uN? escapes", hangul, writtenByTheProgram(hangul)},
            {"4 MiB Chinese plain GBK, cut", beyondTheBound, *Gbk::encode(beyondTheBound)}};
}

std::string nameOf(const Text& text, const char* what)
{
    return text.name + " / " + what;
}

// A board showing its content panel on the offscreen screen, as the board window shows it.
struct ShownPanel {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    BoardModel model{QSize(1024, 768), directory.path() + QLatin1Char('/'), prompter};
    ContentPanel panel{model.panel(), nullptr};

    ShownPanel()
    {
        model.panel().open();
        panel.show();
    }
};

void measure(benchmark::internal::Benchmark* bench)
{
    bench->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();
}

void registerCases(const QList<Text>& all)
{
    for (const Text& text : all) {
        measure(benchmark::RegisterBenchmark(
            nameOf(text, "reference: one insert").c_str(), [text](benchmark::State& state) {
                for (auto _ : state) {
                    QTextDocument document;
                    QTextCursor(&document).insertText(text.characters);
                    benchmark::DoNotOptimize(document.characterCount());
                }
            }));
        measure(benchmark::RegisterBenchmark(
            nameOf(text, "read").c_str(), [text](benchmark::State& state) {
                for (auto _ : state) {
                    QTextDocument document;
                    RichTextReader::read(text.file, document);
                    if (document.characterCount() != text.readLength() + 1)
                        state.SkipWithError("the text did not read back as expected");
                }
            }));
        measure(benchmark::RegisterBenchmark(
            nameOf(text, "read into the shown panel").c_str(), [text](benchmark::State& state) {
                ShownPanel shown;
                for (auto _ : state) {
                    RichTextReader::read(text.file, *shown.model.panelText());
                    QCoreApplication::processEvents();
                    benchmark::DoNotOptimize(shown.panel.grab());
                }
            }));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const QList<Text> all = texts();
    registerCases(all);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nMilliseconds (under 1000 is under a second), and ratios to one insert of the "
                "same text into a document without a view:\n");
    const std::string median = "/iterations:1/repeats:5";
    for (const Text& text : all)
        for (const char* what : {"read", "read into the shown panel"})
            reporter.printRatio(nameOf(text, what) + median,
                                nameOf(text, "reference: one insert") + median);
    return 0;
}

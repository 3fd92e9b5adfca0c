// Saving and opening a lesson of 99 pages at 1920 x 1080 as the settings window does it (the
// board's pages read, shown on the board's screen image, written as PNG files with their panel
// records and texts, flushed, committed and put in place; opened back into the board), against
// Qt's default PNG writer and reader on the same pages in the same run (QImage::save and
// QImage::load, one page after the other, nothing flushed). The pages are whiteboard pages: a
// background colour with pen strokes (SamplePages). The same board exported as PDF ("导出",
// LessonPdf: each page picture stored losslessly, the document written atomically) is measured
// against the lesson save.

#include "LessonClassroom.h"
#include "RatioReporter.h"
#include "SamplePages.h"

#include "board/pixels/RasterCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QSize screen(1920, 1080);
constexpr int pageCount = 99;

// The lesson of 99 written pages, its store on drive D, and Qt's own files beside it.
struct Classroom : LessonClassroom {
    Classroom() : LessonClassroom(screen)
    {
        QDir().mkpath(directory.path() + QStringLiteral("/qt"));
        PageStore& pages = board.pages();
        for (int n = 1; n <= pageCount; ++n) {
            if (n > 1)
                pages.addPage(Qt::gray);
            const QImage page = SamplePages::make(SamplePages::Kind::Strokes, screen, quint32(n));
            RasterCopy::copy(page, page.rect(), pages.currentPageImage(), QPoint());
            pages.current().state = PageState::WrittenOn;
        }
    }
    QString qtPath(int n) const { return directory.path() + QStringLiteral("/qt/%1.png").arg(n); }
};

// Each case runs a few times; its median counts.
void measure(benchmark::internal::Benchmark* bench)
{
    bench->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly();
}

void registerCases(Classroom& classroom)
{
    measure(benchmark::RegisterBenchmark("Qt writer, 99 pages", [&](benchmark::State& state) {
        for (auto _ : state)
            for (int n = 1; n <= pageCount; ++n)
                if (!classroom.board.pages().pageImage(n).save(classroom.qtPath(n), "PNG"))
                    state.SkipWithError("Qt's writer failed");
    }));
    measure(benchmark::RegisterBenchmark("lesson save, 99 pages", [&](benchmark::State& state) {
        for (auto _ : state)
            if (!classroom.transfer->save([] {}).message.isEmpty())
                state.SkipWithError("the save failed");
    }));
    measure(benchmark::RegisterBenchmark("PDF export, 99 pages", [&](benchmark::State& state) {
        const QString pdf = classroom.directory.path() + QStringLiteral("/lesson.pdf");
        for (auto _ : state)
            if (!classroom.transfer->exportPdf(pdf).startsWith(QStringLiteral("已将")))
                state.SkipWithError("the export failed");
    }));
    measure(benchmark::RegisterBenchmark("Qt reader, 99 pages", [&](benchmark::State& state) {
        for (auto _ : state)
            for (int n = 1; n <= pageCount; ++n)
                if (QImage(classroom.qtPath(n)).isNull())
                    state.SkipWithError("Qt's reader failed");
    }));
    measure(benchmark::RegisterBenchmark("lesson open, 99 pages", [&](benchmark::State& state) {
        for (auto _ : state)
            if (!classroom.transfer->open([] {}).closes)
                state.SkipWithError("the open failed");
    }));
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The PDF export paints with QPainter on a PDF device, which needs the application's fonts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    Classroom classroom;
    registerCases(classroom);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nMilliseconds (medians), and ratios to Qt's default PNG writer and reader:\n");
    const std::string median = "/iterations:1/repeats:3";
    reporter.printRatio("lesson save, 99 pages" + median, "Qt writer, 99 pages" + median);
    reporter.printRatio("lesson open, 99 pages" + median, "Qt reader, 99 pages" + median);
    std::printf("\nThe PDF export against the lesson save of the same board:\n");
    reporter.printRatio("PDF export, 99 pages" + median, "lesson save, 99 pages" + median);
    std::printf("  the PDF file: %.1f MB\n",
                QFileInfo(classroom.directory.path() + QStringLiteral("/lesson.pdf")).size() / 1e6);
    return 0;
}

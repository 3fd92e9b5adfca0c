// Saving and opening a lesson of 99 pages at 1920 x 1080 as the settings window does it (the
// board's pages read, shown on the board's screen image, written as PNG files with their panel
// records and texts, flushed, committed and put in place; opened back into the board), against
// Qt's default PNG writer and reader on the same pages in the same run (QImage::save and
// QImage::load, one page after the other, nothing flushed). The pages are whiteboard pages: a
// background colour with pen strokes (SamplePages). The same board exported as PDF ("导出",
// LessonPdf: each page picture stored losslessly, the document written atomically) is measured
// against the lesson save. The save is also measured against a plain memcpy of its pages' pixels
// (99 x 1920 x 1080 x 4 bytes, from and to buffers that together exceed the processor's caches).
// The first save goes into an empty store; each one after it over the lesson saved before, whose
// every page picture is first made to differ (changeStoredPictures), so that all of them are
// written again; the panel records and texts are the same, as when a teacher saves a lesson again
// after writing on every page.
//
// The board keeps the pages it leaves behind in the background (PageKeeper: compact form and PNG
// file); a teacher presses "保存" seconds after the last turn, so every save and open is timed once
// that keeping is done, and the time it takes is not counted. Likewise the removal of the files a
// save replaced (LaterRemoval), which follows the save in the background, and the disk's writing
// of what the run before left, which the system does by itself within seconds.
//
//   lesson_bench [benchmark flags]
//   lesson_bench open-peak    the peak resident memory of opening the 99-page lesson into a fresh
//                             board, in a process that holds nothing else (VmHWM, reset just
//                             before)

#include "LessonClassroom.h"
#include "RatioReporter.h"
#include "ResidentMemory.h"
#include "files/LaterRemoval.h"
#include "lessons/LessonStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <functional>

#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <unistd.h>
#include <vector>

namespace {

const QSize screen(1920, 1080);
constexpr int pageCount = 99;

// The lesson of 99 written pages, its store on drive D, and Qt's own files beside it.
struct Classroom : LessonClassroom {
    Classroom() : LessonClassroom(screen)
    {
        QDir().mkpath(directory.path() + QStringLiteral("/qt"));
        PageStore& pages = board.pages();
        writeStrokePages(pages, pageCount);
        pages.waitUntilKept();
    }
    QString qtPath(int n) const { return directory.path() + QStringLiteral("/qt/%1.png").arg(n); }
};

// Saves the lesson from a board of 99 written pages, then opens it into a fresh board of one page
// once the first board is gone, and prints the peak resident memory of the open.
int measureOpenPeak()
{
    QTemporaryDir kept;
    const QString data = QStringLiteral("/D/Program files/Z_Kalto/data");
    {
        Classroom writer;
        if (!writer.transfer->save([] {}).message.isEmpty())
            qFatal("the save failed");
        QDir().mkpath(kept.path() + data);
        const QDir saved(writer.directory.path() + data);
        for (const QString& name : saved.entryList(QDir::Files))
            QFile::copy(saved.filePath(name), kept.path() + data + QLatin1Char('/') + name);
    }
    LessonClassroom fresh(screen);
    QDir().mkpath(fresh.directory.path() + data);
    const QDir saved(kept.path() + data);
    for (const QString& name : saved.entryList(QDir::Files))
        QFile::copy(saved.filePath(name), fresh.directory.path() + data + QLatin1Char('/') + name);
    malloc_trim(0);
    const double before = residentMiB("VmRSS:");
    // Writing 5 resets the peak to what is resident now.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        qFatal("cannot reset the peak resident memory");
    clearRefs.close();
    if (!fresh.transfer->open([] {}).closes || fresh.board.pages().pageCount() != pageCount)
        qFatal("the open failed");
    const double peak = residentMiB("VmHWM:");
    const double after = residentMiB("VmRSS:");
    fresh.board.pages().waitUntilKept();
    std::printf("lesson open of %d pages into a fresh board: peak resident %.1f MiB (VmHWM), "
                "%.1f MiB before the open, %.1f MiB after it, %.1f MiB once its pages are kept\n",
                pageCount, peak, before, after, residentMiB("VmRSS:"));
    return 0;
}

// Makes every page picture the store holds of the lesson differ from the board's by its last
// byte, as after a lesson in which the teacher wrote on every page: a save cannot leave one in
// place, and finds that out only by reading all of it.
void changeStoredPictures(Classroom& classroom)
{
    const LessonStore store(LessonStore::directoryOn(classroom.directory.path() + "/D/"));
    for (int n = 1; n <= pageCount; ++n) {
        QFile picture(
            store.pathOf(classroom.choice->lessonName(), n, LessonStore::PageFile::Picture));
        if (!picture.open(QIODevice::ReadWrite) || picture.size() == 0)
            continue;
        picture.seek(picture.size() - 1);
        const char last = picture.read(1).at(0);
        picture.seek(picture.size() - 1);
        picture.write(QByteArray(1, char(last ^ 1)));
    }
}

// Times one run of work once the board has kept every page it left behind, the files the save
// before replaced are removed and the disk has taken everything written before; before that,
// what the run asks for is done to the store.
void timeKept(benchmark::State& state, Classroom& classroom, const std::function<bool()>& work,
              const char* failure, const std::function<void()>& before = {})
{
    for (auto _ : state) {
        state.PauseTiming();
        if (before)
            before();
        classroom.board.pages().waitUntilKept();
        LaterRemoval::waitUntilDone();
        ::sync();
        state.ResumeTiming();
        if (!work())
            state.SkipWithError(failure);
    }
}

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
    measure(benchmark::RegisterBenchmark("memcpy of 99 pages' pixels", [](benchmark::State& state) {
        // Eight pages to copy from and eight to copy to, 128 MB in all: every page copied comes
        // from memory and goes to memory, as a save's pages do.
        const size_t bytes = size_t(screen.width()) * screen.height() * 4;
        std::vector<std::vector<char>> from(8, std::vector<char>(bytes, 1));
        std::vector<std::vector<char>> to(8, std::vector<char>(bytes, 2));
        for (auto _ : state)
            for (int n = 0; n < pageCount; ++n) {
                std::memcpy(to[n % 8].data(), from[(n * 3) % 8].data(), bytes);
                benchmark::DoNotOptimize(to[n % 8].data());
            }
    }));
    measure(benchmark::RegisterBenchmark("lesson save, 99 pages", [&](benchmark::State& state) {
        timeKept(
            state, classroom, [&] { return classroom.transfer->save([] {}).message.isEmpty(); },
            "the save failed", [&] { changeStoredPictures(classroom); });
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
        timeKept(
            state, classroom, [&] { return classroom.transfer->open([] {}).closes; },
            "the open failed");
    }));
}

} // namespace

int main(int argc, char** argv)
{
    const bool openPeak = argc > 1 && std::strcmp(argv[1], "open-peak") == 0;
    benchmark::Initialize(&argc, argv);
    if (!openPeak && benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The PDF export paints with QPainter on a PDF device, which needs the application's fonts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (openPeak)
        return measureOpenPeak();
    Classroom classroom;
    registerCases(classroom);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nMilliseconds (medians), and ratios to Qt's default PNG writer and reader:\n");
    const std::string median = "/iterations:1/repeats:3";
    reporter.printRatio("lesson save, 99 pages" + median, "Qt writer, 99 pages" + median);
    reporter.printRatio("lesson open, 99 pages" + median, "Qt reader, 99 pages" + median);
    std::printf("\nThe lesson save against a memcpy of its pages' pixels:\n");
    reporter.printRatio("lesson save, 99 pages" + median, "memcpy of 99 pages' pixels" + median);
    std::printf("\nThe PDF export against the lesson save of the same board:\n");
    reporter.printRatio("PDF export, 99 pages" + median, "lesson save, 99 pages" + median);
    std::printf("  the PDF file: %.1f MB\n",
                QFileInfo(classroom.directory.path() + QStringLiteral("/lesson.pdf")).size() / 1e6);
    return 0;
}

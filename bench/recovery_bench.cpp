// The board's backup at 1920 x 1080: one written page backed up (the interface thread's snapshot
// alone, and the whole backup with its encoding and flushed files) on boards of 10 and of 99
// pages, against a copy of one page's pixels (memcpy) in the same run; the restore of a 99-page
// backup (read, checked, put on the board) against opening a 99-page lesson (LessonTransfer, as
// lesson_bench measures it). The pages are whiteboard pages: a background colour with pen strokes
// (SamplePages).

#include "LessonClassroom.h"
#include "RatioReporter.h"

#include "board/model/BoardModel.h"
#include "board/recovery/BoardBackup.h"
#include "board/recovery/RecoveryFolder.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const QSize screen(1920, 1080);

// A board of written pages with its backup folder, on the last page.
struct WrittenBoard {
    QTemporaryDir directory;
    ScriptedPrompter prompter;
    BoardModel board{screen, directory.path() + QStringLiteral("/work/"), prompter};
    std::unique_ptr<RecoveryFolder> folder;
    std::unique_ptr<BoardBackup> backup;

    explicit WrittenBoard(int pageCount)
    {
        QDir().mkpath(directory.path() + QStringLiteral("/work"));
        writeStrokePages(board.pages(), pageCount);
        folder = std::make_unique<RecoveryFolder>(directory.path() + QStringLiteral("/state/"));
        backup = std::make_unique<BoardBackup>(board, *folder);
        backup->backUpNow();
        backup->waitForWrites();
    }
    // A dot on the current page: it is written on since the last backup.
    void write(int i)
    {
        board.pages().currentPageImage().setPixel(100 + i % 1000, 500, 0xff0000ffu);
    }
};

// The lesson of lesson_bench: 99 written pages saved under teacher 李 on drive D, to be opened
// into the classroom's board.
struct SavedLesson : LessonClassroom {
    explicit SavedLesson(BoardModel& written) : LessonClassroom(screen)
    {
        if (!transferOn(written)->save([] {}).message.isEmpty())
            qFatal("cannot save the lesson");
    }
};

void fewTimes(benchmark::internal::Benchmark* bench, int iterations)
{
    bench->Unit(benchmark::kMillisecond)
        ->Iterations(iterations)
        ->Repetitions(5)
        ->ReportAggregatesOnly();
}

std::string named(const std::string& name, int iterations)
{
    return name + "/iterations:" + std::to_string(iterations) + "/repeats:5";
}

constexpr int pageIterations = 20;
constexpr int restoreIterations = 1;

void registerCases(WrittenBoard& ten, WrittenBoard& ninetyNine, SavedLesson& lesson)
{
    fewTimes(benchmark::RegisterBenchmark("page copy (memcpy)",
                                          [&](benchmark::State& state) {
                                              const QImage& page =
                                                  ten.board.pages().currentPageImage();
                                              QImage copy(page.size(), page.format());
                                              for (auto _ : state) {
                                                  std::memcpy(copy.bits(), page.constBits(),
                                                              size_t(page.sizeInBytes()));
                                                  benchmark::DoNotOptimize(copy.constBits());
                                              }
                                          }),
             pageIterations);
    for (WrittenBoard* board : {&ten, &ninetyNine}) {
        const std::string pages = std::to_string(board->board.pages().pageCount()) + " pages";
        fewTimes(benchmark::RegisterBenchmark(("backup, interface thread, " + pages).c_str(),
                                              [board](benchmark::State& state) {
                                                  int i = 0;
                                                  for (auto _ : state) {
                                                      board->write(++i);
                                                      board->backup->backUpNow();
                                                      state.PauseTiming();
                                                      board->backup->waitForWrites();
                                                      state.ResumeTiming();
                                                  }
                                              }),
                 pageIterations);
        fewTimes(benchmark::RegisterBenchmark(("backup, whole, " + pages).c_str(),
                                              [board](benchmark::State& state) {
                                                  int i = 0;
                                                  for (auto _ : state) {
                                                      board->write(++i);
                                                      board->backup->backUpNow();
                                                      board->backup->waitForWrites();
                                                  }
                                              }),
                 pageIterations);
    }
    fewTimes(benchmark::RegisterBenchmark("lesson open, 99 pages",
                                          [&](benchmark::State& state) {
                                              for (auto _ : state)
                                                  if (!lesson.transfer->open([] {}).closes)
                                                      state.SkipWithError("the open failed");
                                          }),
             restoreIterations);
    fewTimes(benchmark::RegisterBenchmark("backup read and checked, 99 pages",
                                          [&](benchmark::State& state) {
                                              for (auto _ : state)
                                                  if (!ninetyNine.folder->read(screen).board)
                                                      state.SkipWithError("the read failed");
                                          }),
             restoreIterations);
    fewTimes(benchmark::RegisterBenchmark("restore, 99 pages",
                                          [&](benchmark::State& state) {
                                              for (auto _ : state) {
                                                  const auto reading =
                                                      ninetyNine.folder->read(screen);
                                                  if (!reading.board) {
                                                      state.SkipWithError("the read failed");
                                                      break;
                                                  }
                                                  lesson.board.restoreBoard(*reading.board);
                                              }
                                          }),
             restoreIterations);
}

} // namespace

int main(int argc, char** argv)
{
    // The board's text panel needs fonts, which need a GUI application; no display is used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    WrittenBoard ten(10);
    WrittenBoard ninetyNine(99);
    SavedLesson lesson(ninetyNine.board);
    registerCases(ten, ninetyNine, lesson);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nMilliseconds (medians), and ratios to a page copy and to a lesson open:\n");
    const std::string copy = named("page copy (memcpy)", pageIterations);
    for (const char* pages : {"10 pages", "99 pages"}) {
        reporter.printRatio(
            named(std::string("backup, interface thread, ") + pages, pageIterations), copy);
        reporter.printRatio(named(std::string("backup, whole, ") + pages, pageIterations), copy);
    }
    reporter.printRatio(named("backup read and checked, 99 pages", restoreIterations),
                        named("lesson open, 99 pages", restoreIterations));
    reporter.printRatio(named("restore, 99 pages", restoreIterations),
                        named("lesson open, 99 pages", restoreIterations));
    return 0;
}

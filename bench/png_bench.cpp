// Writing and reading the pages of a lesson as PNG files at 1920 x 1080: the codec's writer on all
// cores and on one, and its reader, against Qt's default PNG writer and reader measured in the
// same run. Pages come out of a page store as a lesson save takes them (the store's decoding is in
// every figure alike), and every file is written atomically. Sets: 99 pages with strokes, 9
// desktop snapshots, 9 photos. Afterwards it prints the file sizes of both writers.

#include "RatioReporter.h"
#include "SamplePages.h"

#include "board/codec/PngCodec.h"
#include "board/pixels/RasterCopy.h"
#include "board/store/PageStore.h"

#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <string>

namespace {

const QSize Screen(1920, 1080);

struct Set {
    SamplePages::Kind kind;
    int pages;
    std::string name;
};

const Set Sets[] = {{SamplePages::Kind::Strokes, 99, "99 strokes"},
                    {SamplePages::Kind::Snapshot, 9, "9 snapshots"},
                    {SamplePages::Kind::Photo, 9, "9 photos"}};

std::string nameOf(const Set& set, const char* what)
{
    return set.name + " / " + what;
}

struct Lesson {
    std::unique_ptr<PageStore> store;
    QTemporaryDir directory;

    explicit Lesson(const Set& set)
        : store(std::make_unique<PageStore>(Screen, QStringLiteral("/tmp/"), QSize(368, 1035)))
    {
        for (int n = 1; n <= set.pages; ++n) {
            if (n > 1)
                store->addPage(Qt::gray);
            const QImage page = SamplePages::make(set.kind, Screen, quint32(n));
            RasterCopy::copy(page, page.rect(), store->currentPageImage(), QPoint());
        }
        QDir(directory.path()).mkpath(QStringLiteral("ours"));
        QDir(directory.path()).mkpath(QStringLiteral("qt"));
    }
    QString path(const char* writer, int n) const
    {
        return directory.filePath(QStringLiteral("%1/%2.png").arg(QLatin1String(writer)).arg(n));
    }
    qint64 bytes(const char* writer) const
    {
        qint64 total = 0;
        QDirIterator files(directory.filePath(QLatin1String(writer)), QDir::Files);
        while (files.hasNext())
            total += QFileInfo(files.next()).size();
        return total;
    }
};

bool saveWithQt(const QImage& image, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void registerSet(const Set& set, const std::shared_ptr<Lesson>& lesson)
{
    const int pages = set.pages;

    benchmark::RegisterBenchmark(nameOf(set, "write Qt").c_str(), [=](benchmark::State& state) {
        for (auto _ : state)
            for (int n = 1; n <= pages; ++n)
                if (!saveWithQt(lesson->store->pageImage(n), lesson->path("qt", n)))
                    state.SkipWithError("Qt's writer failed");
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(
        nameOf(set, "write ours, one thread").c_str(),
        [=](benchmark::State& state) {
            for (auto _ : state)
                for (int n = 1; n <= pages; ++n)
                    if (!PngCodec::save(lesson->store->pageImage(n), lesson->path("ours", n)))
                        state.SkipWithError("the writer failed");
        })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(nameOf(set, "write ours, all cores").c_str(), [=](benchmark::State&
                                                                                       state) {
        QList<PngFile> files;
        for (int n = 1; n <= pages; ++n)
            files.append({lesson->path("ours", n), [=] { return lesson->store->pageImage(n); }});
        for (auto _ : state)
            if (PngCodec::saveAll(files).contains(false))
                state.SkipWithError("the writer failed");
    })->Unit(benchmark::kMillisecond);
    // Both readers read the codec's files, as a lesson open will.
    benchmark::RegisterBenchmark(nameOf(set, "read Qt").c_str(), [=](benchmark::State& state) {
        for (auto _ : state)
            for (int n = 1; n <= pages; ++n)
                if (QImageReader(lesson->path("ours", n)).read().isNull())
                    state.SkipWithError("Qt's reader failed");
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(nameOf(set, "read ours").c_str(), [=](benchmark::State& state) {
        for (auto _ : state)
            for (int n = 1; n <= pages; ++n)
                if (PngCodec::read(lesson->path("ours", n), Screen).status != PngStatus::Read)
                    state.SkipWithError("the reader failed");
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(nameOf(set, "read Qt, Qt's files").c_str(), [=](benchmark::State&
                                                                                     state) {
        for (auto _ : state)
            for (int n = 1; n <= pages; ++n)
                if (QImageReader(lesson->path("qt", n)).read().isNull())
                    state.SkipWithError("Qt's reader failed");
    })->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // One lesson per set, made once and shared by its cases; the files stay for their sizes.
    std::vector<std::shared_ptr<Lesson>> lessons;
    for (const Set& set : Sets) {
        lessons.push_back(std::make_shared<Lesson>(set));
        registerSet(set, lessons.back());
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nMilliseconds for the whole set, and ratios to Qt (%d cores):\n",
                QThread::idealThreadCount());
    for (const Set& set : Sets) {
        for (const char* what : {"write ours, one thread", "write ours, all cores"})
            reporter.printRatio(nameOf(set, what), nameOf(set, "write Qt"));
        reporter.printRatio(nameOf(set, "read ours"), nameOf(set, "read Qt"));
        reporter.printRatio(nameOf(set, "read ours"), nameOf(set, "read Qt, Qt's files"));
    }
    std::printf("\nFile sizes of a whole set (KiB): ours, Qt's\n");
    for (size_t i = 0; i < lessons.size(); ++i)
        std::printf("  %-14s %10.1f %10.1f\n", Sets[i].name.c_str(),
                    double(lessons[i]->bytes("ours")) / 1024.0,
                    double(lessons[i]->bytes("qt")) / 1024.0);
    return 0;
}

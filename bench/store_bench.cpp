// The compact page store at 1920 x 1080, against one full-page copy measured in the same run:
// keeping and opening one page of each kind (empty, strokes, photo, snapshot, every pixel
// different), and a page turn in a store of 99 pages of a kind, with the page left as it was or
// written on before the turn (so it is compressed again). A page turn is what the board does:
// the store opens the next page and the window is filled from it. Afterwards it prints the memory
// one page of each kind takes in compact form.

#include "RatioReporter.h"
#include "SamplePages.h"

#include "board/pixels/RasterCopy.h"
#include "board/store/CompactPage.h"
#include "board/store/PageStore.h"
#include "board/tools/ScreenImage.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

const QSize Screen(1920, 1080);
const std::string FullCopy = "full-page copy";

std::string nameOf(SamplePages::Kind kind, const char* what)
{
    return std::string(what) + " / " + SamplePages::nameOf(kind);
}

// 99 pages of one kind; five different pages of the kind are drawn and repeated.
std::unique_ptr<PageStore> storeOf(SamplePages::Kind kind)
{
    auto store = std::make_unique<PageStore>(Screen, QStringLiteral("/tmp/"),
                                             QSize(368, Screen.height() - 45));
    QList<QImage> pages;
    for (quint32 seed = 1; seed <= 5; ++seed)
        pages << SamplePages::make(kind, Screen, seed);
    for (int n = 1; n <= PageStore::maxPages; ++n) {
        if (n > 1)
            store->addPage(Qt::gray);
        const QImage& page = pages[n % pages.size()];
        RasterCopy::copy(page, page.rect(), store->currentPageImage(), QPoint());
        store->current().state = PageState::WrittenOn;
    }
    store->setCurrentPage(1);
    return store;
}

void pageTurns(benchmark::State& state, SamplePages::Kind kind, bool written)
{
    const std::unique_ptr<PageStore> store = storeOf(kind);
    ScreenImage surface(Screen);
    int page = 1;
    for (auto _ : state) {
        if (written) {
            state.PauseTiming();
            // A stroke's commit: a rectangle of the page changes.
            RasterCopy::fill(store->currentPageImage(), QRect(300 + page, 300, 120, 60), Qt::red);
            state.ResumeTiming();
        }
        page = page % PageStore::maxPages + 1;
        store->setCurrentPage(page);
        surface.copyFrom(store->currentPageImage(), QRect(QPoint(), Screen));
    }
}

void registerCases()
{
    benchmark::RegisterBenchmark(FullCopy.c_str(), [](benchmark::State& state) {
        const QImage page = SamplePages::make(SamplePages::Kind::Strokes, Screen);
        QImage target(Screen, PageStore::pageFormat);
        for (auto _ : state)
            RasterCopy::copy(page, page.rect(), target, QPoint());
    })->Unit(benchmark::kMillisecond);

    for (SamplePages::Kind kind : SamplePages::AllKinds) {
        benchmark::RegisterBenchmark(nameOf(kind, "keep").c_str(), [kind](benchmark::State& state) {
            const QImage page = SamplePages::make(kind, Screen);
            for (auto _ : state)
                benchmark::DoNotOptimize(CompactPage(page));
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(nameOf(kind, "open").c_str(), [kind](benchmark::State& state) {
            const CompactPage compact(SamplePages::make(kind, Screen));
            QImage target;
            for (auto _ : state)
                compact.decodeInto(target);
        })->Unit(benchmark::kMillisecond);
    }
    for (SamplePages::Kind kind :
         {SamplePages::Kind::Strokes, SamplePages::Kind::Snapshot, SamplePages::Kind::Photo}) {
        benchmark::RegisterBenchmark(
            nameOf(kind, "turn of 99").c_str(),
            [kind](benchmark::State& state) { pageTurns(state, kind, false); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            nameOf(kind, "turn of 99 after writing").c_str(),
            [kind](benchmark::State& state) { pageTurns(state, kind, true); })
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerCases();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nMilliseconds, and ratios to one full-page copy (%dx%d):\n", Screen.width(),
                Screen.height());
    for (SamplePages::Kind kind : SamplePages::AllKinds)
        for (const char* what : {"keep", "open", "turn of 99", "turn of 99 after writing"})
            reporter.printRatio(nameOf(kind, what), FullCopy);

    const double full = double(Screen.width()) * Screen.height() * 4;
    std::printf("\nMemory of one page kept compact (a full page is %.2f MiB):\n", full / 1048576.0);
    for (SamplePages::Kind kind : SamplePages::AllKinds) {
        const CompactPage compact(SamplePages::make(kind, Screen));
        std::printf("  %-24s %10.3f MiB  %6.2f %% of a full page\n", SamplePages::nameOf(kind),
                    double(compact.memoryBytes()) / 1048576.0,
                    100.0 * double(compact.memoryBytes()) / full);
    }
    return 0;
}

#include "board/pixels/ParallelLoop.h"

#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

// Every piece runs exactly once whatever the pieces and threads, loop after loop on the helpers
// a thread keeps, from several threads at once and from within a piece.
class ParallelLoopTest : public QObject {
    Q_OBJECT
private slots:
    void runsEveryPieceOnce_data();
    void runsEveryPieceOnce();
    void loopsFromSeveralThreadsAndWithinAPiece();
};

void ParallelLoopTest::runsEveryPieceOnce_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("threads");
    QTest::newRow("no piece") << 0 << 4;
    QTest::newRow("one piece") << 1 << 4;
    QTest::newRow("fewer pieces than threads") << 3 << 8;
    QTest::newRow("one thread") << 50 << 1;
    QTest::newRow("the machine's cores") << 17 << ParallelLoop::idealThreads();
    QTest::newRow("more threads than cores") << 200 << 6;
}

void ParallelLoopTest::runsEveryPieceOnce()
{
    QFETCH(int, count);
    QFETCH(int, threads);
    for (int loop = 0; loop < 300; ++loop) {
        std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
        ParallelLoop::run(
            count, [&](int i) { ++runs[size_t(i)]; }, threads);
        for (int i = 0; i < count; ++i)
            QCOMPARE(runs[size_t(i)].load(), 1);
    }
}

void ParallelLoopTest::loopsFromSeveralThreadsAndWithinAPiece()
{
    std::atomic<int> total = 0;
    const auto loops = [&] {
        for (int loop = 0; loop < 200; ++loop)
            ParallelLoop::run(
                5,
                [&](int) {
                    ParallelLoop::run(
                        3, [&](int) { ++total; }, 2);
                },
                3);
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back(loops);
    loops();
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(total.load(), 4 * 200 * 5 * 3);
}

QTEST_APPLESS_MAIN(ParallelLoopTest)
#include "ParallelLoopTest.moc"

// The settings file as the settings window uses it, each against reading the same file once with
// a plain QFile::readAll measured in the same run: the keys read when the settings window is
// created (the teacher list of 50 teachers, the lesson drive and the default section: 58 keys),
// one key read, and one key write (the whole file written beside the old one, flushed to the disk
// and renamed over it).
//
// Then a settings file of about 60 MB (1000 teachers, a "tec" section grown large and many
// sections of other programs): the creation of the settings window against reading the file once,
// and "确定" against reading it once and replacing it once, the least that "read once, write once"
// can cost.

#include "RatioReporter.h"

#include "files/FileWrite.h"
#include "lessons/ProfileFile.h"
#include "lessons/SettingsLocation.h"
#include "lessons/TeacherSettings.h"
#include "text/Gbk.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int teacherCount = 50;

// A settings file of 50 teachers with Chinese names, each with a section of personal settings.
struct SettingsFile {
    QTemporaryDir directory;
    SettingsLocation location{QLatin1Char('C'), directory.path() + QLatin1Char('/')};

    SettingsFile()
    {
        QString text =
            QStringLiteral("[tec]\r\nmum=%1\r\ndrive=D\r\nte0=教师0\r\n").arg(teacherCount);
        for (int n = 1; n <= teacherCount; ++n)
            text += QStringLiteral("te%1=李老师%1\r\n").arg(n);
        for (int n = 1; n <= teacherCount; ++n)
            text +=
                QStringLiteral("[李老师%1]\r\nce=3\r\nke=12\r\nfrn=255\r\nblk=8421504\r\nbh=2\r\n"
                               "ma=12278\r\ndcu=/home/teacher/图片/第%1册\r\n")
                    .arg(n);
        text +=
            QStringLiteral("[教师0]\r\nce=1\r\nke=1\r\nfrn=16711680\r\nblk=16777215\r\nbh=3\r\n");
        QFile file(location.filePath());
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write the settings file");
        file.write(*Gbk::encode(text));
    }
};

constexpr int manyTeachers = 1000;

// About 60 MB, within the largest profile the program reads (64 MB): the teacher list at the end
// of a "tec" section of 20 MB, then the teachers' sections among 330,000 sections of 120 bytes.
struct HugeSettingsFile {
    QTemporaryDir directory;
    SettingsLocation location{QLatin1Char('C'), directory.path() + QLatin1Char('/')};

    HugeSettingsFile()
    {
        QByteArray bytes = "[tec]\r\n";
        for (int n = 0; n < 400'000; ++n)
            bytes += "old" + QByteArray::number(n) + "=a value an older version left behind\r\n";
        bytes += "mum=" + QByteArray::number(manyTeachers) + "\r\ndrive=D\r\n";
        for (int n = 1; n <= manyTeachers; ++n)
            bytes += "te" + QByteArray::number(n) + '=' + teacher(n) + "\r\n";
        constexpr int otherSections = 330'000;
        constexpr int spacing = otherSections / manyTeachers;
        for (int n = 0; n < otherSections; ++n) {
            bytes += "[lesson" + QByteArray::number(n) +
                     "]\r\npag=12\r\nleft=0\r\ntop=40\r\nwidth=368\r\n"
                     "note=kept as it is, written by another program on this machine\r\n\r\n";
            if (n % spacing == 0)
                bytes += '[' + teacher(n / spacing + 1) +
                         "]\r\nce=3\r\nke=12\r\nfrn=255\r\nblk=8421504\r\nbh=2\r\nma=0\r\n";
        }
        bytes += *Gbk::encode(QStringLiteral("[教师0]\r\nce=1\r\nke=1\r\nbh=3\r\n"));
        QFile file(location.filePath());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the settings file");
    }

    static QByteArray teacher(int n) { return *Gbk::encode(QStringLiteral("李老师%1").arg(n)); }
};

void registerCases(SettingsFile& settings)
{
    const QString path = settings.location.filePath();
    benchmark::RegisterBenchmark("readAll of the file", [path](benchmark::State& state) {
        for (auto _ : state) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(file.readAll());
        }
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("start-up keys, 50 teachers", [&settings](
                                                                   benchmark::State& state) {
        for (auto _ : state) {
            TeacherSettings teachers(settings.location);
            benchmark::DoNotOptimize(teachers.teacherList());
        }
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("one key read", [path](benchmark::State& state) {
        const ProfileFile file(path);
        for (auto _ : state)
            benchmark::DoNotOptimize(
                file.readString(QStringLiteral("李老师50"), QStringLiteral("bh"), QString()));
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("one key write", [path](benchmark::State& state) {
        const ProfileFile file(path);
        int width = 1;
        for (auto _ : state) {
            // Another value each time, so every write changes the file.
            width = width % 9 + 1;
            if (!file.writeString(QStringLiteral("李老师25"), QStringLiteral("bh"),
                                  QString::number(width)))
                state.SkipWithError("the write was refused");
        }
    })->Unit(benchmark::kMicrosecond);
}

void registerHugeCases(HugeSettingsFile& settings)
{
    const QString path = settings.location.filePath();
    benchmark::RegisterBenchmark("60 MB: read once", [path](benchmark::State& state) {
        for (auto _ : state) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(file.readAll());
        }
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("60 MB: read once, write once", [path](benchmark::State& state) {
        for (auto _ : state) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            if (FileWrite::replace(path, file.readAll()) != 0)
                state.SkipWithError("the write was refused");
        }
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("60 MB: creation, 1000 teachers", [&settings](
                                                                       benchmark::State& state) {
        for (auto _ : state) {
            TeacherSettings teachers(settings.location);
            if (teachers.teacherList().size() != manyTeachers + 1)
                state.SkipWithError("the teacher list was not read");
        }
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("60 MB: confirm, 1000 teachers", [&settings](
                                                                      benchmark::State& state) {
        TeacherSettings teachers(settings.location);
        teachers.choose(manyTeachers / 2);
        for (auto _ : state)
            if (const auto confirmation = teachers.confirm(); !confirmation.message.isEmpty())
                state.SkipWithError("the write was refused");
    })->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SettingsFile settings;
    registerCases(settings);
    HugeSettingsFile hugeSettings;
    registerHugeCases(hugeSettings);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nMicroseconds, and ratios to reading the file once with QFile::readAll:\n");
    for (const char* what : {"start-up keys, 50 teachers", "one key read", "one key write"})
        reporter.printRatio(what, "readAll of the file");
    std::printf(
        "\nMilliseconds, and ratios to reading the 60 MB file once (and writing it once):\n");
    reporter.printRatio("60 MB: creation, 1000 teachers", "60 MB: read once");
    reporter.printRatio("60 MB: confirm, 1000 teachers", "60 MB: read once, write once");
    return 0;
}

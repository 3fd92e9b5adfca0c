// Thumbnails of photos for the picture column: 200 photo-like JPEG files of 12 megapixels
// (4000 x 3000, quality 90), made before any timing. Per photo, in the same run:
//   thumbnail             PictureThumbnail::make: read, DCT-scaled decode, draw through tmp.bmt
//   full decode + scaled  the plain way: Qt's reader at full size, then QImage::scaled (smooth)
//   libjpeg 1/8 decode    the floor: libjpeg-turbo decoding the file at 1/8 scale, nothing else
//   folder import         FolderImport over the folder on all cores, wall time per photo
// and the thumbnail's ratios to the other three.

#include "PictureFiles.h"
#include "RatioReporter.h"
#include "SamplePages.h"

#include "acquire/FolderImport.h"
#include "board/content/PictureColumn.h"
#include "board/content/PictureThumbnail.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>
#include <QtConcurrent>

#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace {

constexpr int photoCount = 200;
const QSize photoSize(4000, 3000);

QByteArray encodeJpeg(const QImage& image)
{
    // Format_RGB32's bytes on a little-endian machine.
    return PictureFiles::libjpegFile(image.size(), JCS_EXT_BGRX, 4, 90, [&](int y) {
        return reinterpret_cast<const JSAMPLE*>(image.constScanLine(y));
    });
}

// The floor: the file read and decoded by libjpeg-turbo at 1/8 scale into 32-bit pixels.
QImage decodeEighth(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = 8;
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    QImage image(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

// Folder imports ask nothing.
class SilentPrompter final : public Prompter {
public:
    bool askYesNo(const QString&, const QString&) override { return false; }
    void inform(const QString&, const QString&) override {}
    std::optional<QColor> chooseColour(const QColor&) override { return std::nullopt; }
    std::optional<QFont> chooseFont(const QFont&, const std::function<void(const QFont&)>&) override
    {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
};

struct Photos {
    QTemporaryDir directory;
    QString folder;
    QStringList paths;
    QString programDirectory;

    Photos()
    {
        folder = directory.filePath(QStringLiteral("photos"));
        QDir().mkpath(folder);
        programDirectory = directory.path() + QLatin1Char('/');
        for (int n = 0; n < photoCount; ++n)
            paths.append(QDir(folder).filePath(
                QStringLiteral("IMG_%1.jpg").arg(n, 4, 10, QLatin1Char('0'))));
        QtConcurrent::blockingMap(paths, [this](const QString& path) {
            const quint32 seed = quint32(paths.indexOf(path)) + 1;
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(
                    encodeJpeg(SamplePages::make(SamplePages::Kind::Photo, photoSize, seed)));
        });
    }
    qint64 bytes() const
    {
        qint64 total = 0;
        for (const QString& path : paths)
            total += QFileInfo(path).size();
        return total;
    }
};

// Each iteration is one photo, in turn.
void perPhoto(benchmark::State& state, const Photos& photos,
              const std::function<bool(const QString&)>& make)
{
    int n = 0;
    for (auto _ : state) {
        if (!make(photos.paths[n]))
            state.SkipWithError("no picture");
        n = (n + 1) % photoCount;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("Making %d photos of %d x %d ...\n", photoCount, photoSize.width(),
                photoSize.height());
    const Photos photos;

    benchmark::RegisterBenchmark(
        "thumbnail",
        [&](benchmark::State& state) {
            perPhoto(state, photos, [&](const QString& path) {
                return PictureThumbnail::make(path, photos.programDirectory).status ==
                       PictureStatus::Read;
            });
        })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(photoCount);
    benchmark::RegisterBenchmark("full decode + scaled",
                                 [&](benchmark::State& state) {
                                     perPhoto(state, photos, [](const QString& path) {
                                         const QImage full = QImageReader(path).read();
                                         return !full.scaled(100, 100, Qt::KeepAspectRatio,
                                                             Qt::SmoothTransformation)
                                                     .isNull();
                                     });
                                 })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(photoCount);
    benchmark::RegisterBenchmark("libjpeg 1/8 decode",
                                 [&](benchmark::State& state) {
                                     perPhoto(state, photos, [](const QString& path) {
                                         return !decodeEighth(path).isNull();
                                     });
                                 })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(photoCount);
    benchmark::RegisterBenchmark(
        "folder import",
        [&](benchmark::State& state) {
            SilentPrompter prompter;
            for (auto _ : state) {
                PictureColumn column;
                FolderImport import(column, prompter, photos.programDirectory);
                QEventLoop loop;
                QObject::connect(&import, &FolderImport::finished, &loop, &QEventLoop::quit);
                import.setFolder(photos.folder);
                import.importFolder();
                if (import.isRunning())
                    loop.exec();
                if (column.pictureList().size() != photoCount)
                    state.SkipWithError("pictures missing");
            }
        })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%d photos, %.1f MiB of JPEG; milliseconds per photo (%d cores):\n", photoCount,
                double(photos.bytes()) / (1024.0 * 1024.0), QThread::idealThreadCount());
    const double folderPerPhoto = reporter.time("folder import/iterations:1") / photoCount;
    std::printf("  %-44s %10.4f\n", "folder import, per photo", folderPerPhoto);
    reporter.printRatio("thumbnail/iterations:200", "full decode + scaled/iterations:200");
    reporter.printRatio("thumbnail/iterations:200", "libjpeg 1/8 decode/iterations:200");
    std::printf("  %-44s %10.4f  ratio to thumbnail: %.4f\n", "folder import, per photo",
                folderPerPhoto, folderPerPhoto / reporter.time("thumbnail/iterations:200"));
    return 0;
}

#include "acquire/ScanPlacement.h"

#include "board/codec/ImageCodec.h"
#include "board/model/BoardModel.h"
#include "board/pixels/Rounding.h"
#include "board/store/PageStore.h"

#include <QFile>

namespace {

constexpr QPoint placeOnBoard(-5, 35);

// The scale from the scan to the board, kept in single precision as the sizes are computed.
float scaleFor(QSize scan, QSize screen)
{
    return float(screen.width() + 50) / float(scan.width());
}

} // namespace

namespace ScanPlacement {

QSize pictureSize(QSize scan, QSize screen, ScanPageMode mode)
{
    const float s = scaleFor(scan, screen);
    const int width = roundHalfToEven(double(float(scan.width()) * s));
    const int height = roundHalfToEven(double(float(scan.height()) * s));
    // A scan shorter than the screen keeps its own height: below it there is nothing to show.
    return {width, mode == ScanPageMode::Single ? qMin(screen.height(), height) : height};
}

void place(BoardModel& board, const QImage& scan, ScanPageMode mode,
           const QString& programDirectory)
{
    if (scan.isNull())
        return;
    const QSize screen = board.screenSize();
    const float s = scaleFor(scan.size(), screen);
    const QSize size = pictureSize(scan.size(), screen, mode);
    QFile::remove(programDirectory + QStringLiteral("tmp.bmp"));
    const QImage picture =
        ImageCodec::scaledCopy(scan, QRectF(0, 0, scan.width(), double(size.height()) / double(s)),
                               size, QRectF(0, 0, double(float(scan.width()) * s), size.height()),
                               Interpolation::HighQualityBicubic, programDirectory);
    const int current = board.pages().currentPage();
    const bool continues = picture.height() > screen.height() && current < PageStore::maxPages;
    board.placePicture(picture, placeOnBoard, true, continues ? current + 1 : 0);
}

} // namespace ScanPlacement

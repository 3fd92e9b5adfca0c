#include "board/codec/ImageCodec.h"

#include "board/codec/JpegCodec.h"
#include "board/codec/PngCodec.h"
#include "board/codec/Resampler.h"
#include "files/FileWrite.h"
#include "files/RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QMutex>
#include <QTemporaryFile>
#include <QtEndian>

#include <cstdio>

namespace {

const QString Png = QStringLiteral("png");
const QString Bmp = QStringLiteral("bmp");

bool isNative32(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

void appendLe32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLe16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

// A 32-bit BMP with a version 4 header whose bit fields include an alpha mask, so bitmaps keep
// their transparency through "tmp.bmt". Rows bottom-up, pixels as unpremultiplied B, G, R, A bytes.
QByteArray argbBmp(const QImage& argb)
{
    constexpr int fileHeaderSize = 14;
    constexpr int infoHeaderSize = 108;
    const qsizetype width = argb.width();
    const qsizetype pixelBytes = width * argb.height() * 4;
    const qsizetype dataOffset = fileHeaderSize + infoHeaderSize;

    QByteArray out;
    out.reserve(dataOffset + pixelBytes);
    out.append("BM", 2);
    appendLe32(out, quint32(dataOffset + pixelBytes));
    appendLe32(out, 0); // reserved
    appendLe32(out, quint32(dataOffset));

    appendLe32(out, infoHeaderSize);
    appendLe32(out, quint32(argb.width()));
    appendLe32(out, quint32(argb.height())); // positive: bottom-up
    appendLe16(out, 1);                      // planes
    appendLe16(out, 32);                     // bits per pixel
    appendLe32(out, 3);                      // compression: bit fields
    appendLe32(out, quint32(pixelBytes));
    appendLe32(out, quint32(argb.dotsPerMeterX()));
    appendLe32(out, quint32(argb.dotsPerMeterY()));
    appendLe32(out, 0); // colours used
    appendLe32(out, 0); // important colours
    appendLe32(out, 0x00ff0000u);
    appendLe32(out, 0x0000ff00u);
    appendLe32(out, 0x000000ffu);
    appendLe32(out, 0xff000000u);
    appendLe32(out, 0x73524742u);          // colour space "sRGB"
    out.append(infoHeaderSize - 60, '\0'); // end points and gammas, unused with sRGB

    out.resize(dataOffset + pixelBytes);
    char* pixels = out.data() + dataOffset;
    for (int y = argb.height() - 1; y >= 0; --y, pixels += width * 4)
        qToLittleEndian<quint32>(argb.constScanLine(y), width, pixels);
    return out;
}

} // namespace

namespace ImageCodec {

QImage normalised(const QImage& image)
{
    if (image.isNull())
        return {};
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

QImage loadFile(const QString& path)
{
    return readPicture(path).image;
}

PictureRead readPicture(const QString& path, const SizeNeeded& sizeNeeded)
{
    // Read whole, and only from a regular file: a named pipe under a picture's name must not
    // make the program wait.
    const std::optional<QByteArray> bytes =
        RegularFile::readThroughLink(path, PictureLimit::fileBytes);
    if (!bytes)
        return {};
    if (JpegCodec::isJpeg(*bytes))
        return JpegCodec::decode(*bytes, sizeNeeded);

    // "tmp.bmt" and misnamed files load by content.
    QBuffer buffer;
    buffer.setData(*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead())
        return {{}, {}, PictureStatus::NotPicture};
    const QSize size = reader.size();
    if (size.isValid() && !PictureLimit::admits(size))
        return {{}, size, PictureStatus::TooLarge};
    // For formats whose size is only known once decoding starts.
    reader.setAllocationLimit(int(PictureLimit::pixels * 4 >> 20));
    const QImage image = normalised(reader.read());
    if (image.isNull())
        return {{}, size, PictureStatus::Corrupt};
    return {image, image.size(), PictureStatus::Read};
}

QImage loadBmpStream(const QByteArray& stream)
{
    return normalised(QImage::fromData(stream, "BMP"));
}

// Opaque images are written as plain 24-bit BMPs; images with an alpha channel as 32-bit BMPs
// that keep it. Either way an image reads back with the same pixels.
QByteArray bmpStream(const QImage& image)
{
    if (image.isNull())
        return {};
    if (image.hasAlphaChannel())
        return argbBmp(image.convertToFormat(QImage::Format_ARGB32));
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        return {};
    return out;
}

QImage createBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage bitmap(width, height, QImage::Format_ARGB32);
    if (!bitmap.isNull())
        bitmap.fill(0);
    return bitmap;
}

void drawScaled(QImage& target, const QRectF& destination, const QImage& source,
                const QRectF& sourceRect, Interpolation mode)
{
    if (target.isNull() || source.isNull())
        return;

    // The resampler reads RGB32 or premultiplied pixels; anything else is converted once, and
    // only the part the source rectangle touches. A draw of an image into itself reads a copy.
    QImage converted;
    QRectF from = sourceRect;
    const QImage* pixels = &source;
    if (&source == &target || (source.format() != QImage::Format_RGB32 &&
                               source.format() != QImage::Format_ARGB32_Premultiplied)) {
        const QRect region = sourceRect.toAlignedRect() & source.rect();
        if (region.isEmpty())
            return;
        converted = source.copy(region);
        if (converted.format() != QImage::Format_RGB32)
            converted.convertTo(QImage::Format_ARGB32_Premultiplied);
        from.translate(-region.topLeft());
        pixels = &converted;
    }

    const Resampler resampler(destination, target.size(), from, pixels->size(), mode);
    if (isNative32(target.format())) {
        resampler.draw(target, *pixels);
        return;
    }
    QImage work = target.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    resampler.draw(work, *pixels);
    target = work.convertToFormat(target.format());
}

QString encoderFor(const QString& mimeType)
{
    if (mimeType.compare(QLatin1String("image/png"), Qt::CaseInsensitive) == 0)
        return Png;
    if (mimeType.compare(QLatin1String("image/bmp"), Qt::CaseInsensitive) == 0)
        return Bmp;
    return {};
}

bool save(const QImage& image, const QString& path, const QString& encoder)
{
    if (image.isNull() || (encoder != Png && encoder != Bmp))
        return false;
    if (encoder == Png)
        return PngCodec::save(image, path);
    const QByteArray stream = bmpStream(image);
    return !stream.isEmpty() && FileWrite::replace(path, stream) == 0;
}

bool savePng(const QImage& image, const QString& path)
{
    return PngCodec::save(image, path);
}

QImage scaledCopy(const QImage& source, const QRectF& sourceRect, const QSize& targetSize,
                  const QRectF& destination, Interpolation mode, const QString& programDirectory,
                  const QString& fileName)
{
    QImage bitmap = createBitmap(targetSize.width(), targetSize.height());
    if (bitmap.isNull())
        return {};
    drawScaled(bitmap, destination, source, sourceRect, mode);
    return throughFile(bitmap, programDirectory, fileName);
}

QImage throughFile(const QImage& bitmap, const QString& programDirectory, const QString& fileName)
{
    // A scratch file rewritten on every resize, without the flush to disk that save() does for
    // real documents. It is written beside and renamed over the name, so whatever lay there (a
    // named pipe would make the write wait forever) is replaced. When it cannot be written or read
    // back, the bitmap is still the right picture: return it rather than lose the picture.
    const QString path = programDirectory + fileName;
    const QByteArray stream = bmpStream(bitmap);
    // Thumbnails are resized on worker threads while the board may zoom: the drawing runs side by
    // side, but one copy at a time writes the file and reads it back, or a copy could read another
    // one's picture.
    static QMutex fileInUse;
    const QMutexLocker oneAtATime(&fileInUse);
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(stream) != stream.size() || !file.flush() ||
        std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return bitmap;
    file.setAutoRemove(false);
    const QImage stored = loadFile(path);
    return stored.isNull() ? bitmap : stored;
}

} // namespace ImageCodec

#pragma once

// Picture files for tests and benchmarks, made where they are used: whole pictures in several
// formats, JPEG files written by libjpeg in any colour space, and headers that claim huge
// pictures.

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include <jpeglib.h>

namespace PictureFiles {

inline QImage solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The picture in a format Qt writes; JPEG at quality 90, progressive when asked.
inline QByteArray encoded(const QImage& image, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// A JPEG file written by libjpeg from rows of samples in colour space (with components samples
// a pixel); row(y) gives row y. libjpeg marks CMYK files as Adobe programs do.
inline QByteArray libjpegFile(QSize size, J_COLOR_SPACE space, int components, int quality,
                              const std::function<const JSAMPLE*(int y)>& row)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = JDIMENSION(size.width());
    info.image_height = JDIMENSION(size.height());
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* samples = const_cast<JSAMPLE*>(row(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &samples, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(outSize));
    std::free(out);
    return bytes;
}

// A BMP header of a 24-bit picture of this size, and no pixels.
inline QByteArray bmpHeader(int width, int height)
{
    QByteArray bytes(54, '\0');
    char* p = bytes.data();
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(height, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    return bytes;
}

// A GIF whose screen and only picture claim this size, with no pixels worth the name.
inline QByteArray gifHeader(int width, int height)
{
    QByteArray bytes("GIF89a");
    QByteArray screen(7, '\0');
    qToLittleEndian<quint16>(quint16(width), screen.data());
    qToLittleEndian<quint16>(quint16(height), screen.data() + 2);
    QByteArray picture(10, '\0');
    picture[0] = ',';
    qToLittleEndian<quint16>(quint16(width), picture.data() + 5);
    qToLittleEndian<quint16>(quint16(height), picture.data() + 7);
    return bytes + screen + picture + QByteArray("\x08\x02\x4c\x01\x00;", 6);
}

// The JPEG picture claiming another size in its frame header (baseline or progressive).
inline QByteArray withClaimedSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xff && (uchar(jpeg[i + 1]) == 0xc0 || uchar(jpeg[i + 1]) == 0xc2)) {
            qToBigEndian<quint16>(quint16(height), jpeg.data() + i + 5);
            qToBigEndian<quint16>(quint16(width), jpeg.data() + i + 7);
            return jpeg;
        }
    return {};
}

inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace PictureFiles

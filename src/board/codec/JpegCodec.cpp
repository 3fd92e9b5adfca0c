#include "board/codec/JpegCodec.h"

#include <QtGlobal>

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE and size_t without including their headers
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// Encoders write a handful of progressive scans; every scan passes over the whole picture, so a
// file with thousands of them only burns time.
constexpr int scanLimit = 500;
// A progressive picture keeps all its coefficients while it decodes: 2 bytes a sample, up to
// three samples a pixel at the picture limit. Beyond this libjpeg refuses rather than swaps.
constexpr long decoderMemory = long(PictureLimit::pixels) * 6;

// libjpeg's error handler: errors and the warnings that mean damaged data leave the decode
// through longjmp, with what went wrong. libjpeg would otherwise exit() on errors and, on
// warnings, carry on with grey blocks where the data was missing.
struct ErrorTrap {
    jpeg_error_mgr manager; // first: libjpeg hands the handlers a pointer to it
    std::jmp_buf escape;
    PictureStatus status = PictureStatus::Corrupt;
};

[[noreturn]] void leave(j_common_ptr info, PictureStatus status)
{
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    trap->status = status;
    std::longjmp(trap->escape, 1);
}

[[noreturn]] void onError(j_common_ptr info)
{
    switch (info->err->msg_code) {
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        leave(info, PictureStatus::TooLarge);
    case JERR_INPUT_EMPTY:
    case JERR_INPUT_EOF:
        leave(info, PictureStatus::Truncated);
    default:
        leave(info, PictureStatus::Corrupt);
    }
}

void onMessage(j_common_ptr info, int level)
{
    if (level >= 0) // trace messages
        return;
    switch (info->err->msg_code) {
    case JWRN_JPEG_EOF:
        leave(info, PictureStatus::Truncated);
    // Oddities of headers and padding that cameras and editors write; the pixels are whole.
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_JFIF_MAJOR:
    case JWRN_ADOBE_XFORM:
    case JWRN_BOGUS_ICC:
        return;
    default:
        leave(info, PictureStatus::Corrupt);
    }
}

void onProgress(j_common_ptr info)
{
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > scanLimit)
        leave(info, PictureStatus::Corrupt);
}

// Everything the decode changes after setjmp lives here rather than in locals of the frame that
// longjmp returns to, so nothing is lost or left half-destroyed when libjpeg gives up.
struct Decoder {
    jpeg_decompress_struct info{};
    ErrorTrap trap;
    jpeg_progress_mgr progress{};
    bool created = false;
    QSize size;
    int reduction = 1;
    QImage image;
    std::vector<JSAMPLE> cmykRow;

    Decoder()
    {
        info.err = jpeg_std_error(&trap.manager);
        trap.manager.error_exit = onError;
        trap.manager.emit_message = onMessage;
        progress.progress_monitor = onProgress;
    }
    ~Decoder()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

// Printers' CMYK JPEGs from Adobe programs store every sample inverted; others store plain ink.
void cmykToRgb(const JSAMPLE* cmyk, QRgb* out, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4) {
        const int c = inverted ? cmyk[0] : 255 - cmyk[0];
        const int m = inverted ? cmyk[1] : 255 - cmyk[1];
        const int y = inverted ? cmyk[2] : 255 - cmyk[2];
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

// Reads the header, and unless headerOnly, the picture at the scale that covers what sizeNeeded
// asks for. Only
// trivially destructible locals here: longjmp returns into this frame.
bool run(Decoder& d, QByteArrayView data, const SizeNeeded* sizeNeeded, bool headerOnly)
{
    if (setjmp(d.trap.escape))
        return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    d.info.progress = &d.progress;
    d.info.mem->max_memory_to_use = decoderMemory;
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d.info, TRUE);
    d.size = QSize(int(d.info.image_width), int(d.info.image_height));
    if (!PictureLimit::admits(d.size)) {
        d.trap.status = PictureStatus::TooLarge;
        return false;
    }
    if (headerOnly)
        return true;

    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    if (cmyk) {
        d.info.out_color_space = JCS_CMYK;
    } else if (d.info.jpeg_color_space == JCS_GRAYSCALE || d.info.jpeg_color_space == JCS_YCbCr ||
               d.info.jpeg_color_space == JCS_RGB) {
        // Straight into Format_RGB32's bytes, alpha 0xFF.
        d.info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    } else {
        d.trap.status = PictureStatus::Corrupt;
        return false;
    }
    d.reduction = *sizeNeeded ? JpegCodec::scaleDenominator(d.size, (*sizeNeeded)(d.size)) : 1;
    d.info.scale_num = 1;
    d.info.scale_denom = unsigned(d.reduction);
    jpeg_start_decompress(&d.info);

    d.image = QImage(int(d.info.output_width), int(d.info.output_height), QImage::Format_RGB32);
    if (d.image.isNull()) {
        d.trap.status = PictureStatus::TooLarge;
        return false;
    }
    if (cmyk)
        d.cmykRow.resize(std::size_t(d.info.output_width) * 4);
    const bool inverted = d.info.saw_Adobe_marker;
    while (d.info.output_scanline < d.info.output_height) {
        const int line = int(d.info.output_scanline);
        JSAMPROW row = cmyk ? d.cmykRow.data() : d.image.scanLine(line);
        if (jpeg_read_scanlines(&d.info, &row, 1) != 1) {
            d.trap.status = PictureStatus::Truncated;
            return false;
        }
        if (cmyk)
            cmykToRgb(row, reinterpret_cast<QRgb*>(d.image.scanLine(line)), d.image.width(),
                      inverted);
    }
    // Reads on to the end of the picture, so data missing after the last row is refused too.
    jpeg_finish_decompress(&d.info);
    return true;
}

PictureRead decodeWith(QByteArrayView data, const SizeNeeded& sizeNeeded, bool headerOnly)
{
    if (!JpegCodec::isJpeg(data))
        return {{}, {}, PictureStatus::NotPicture};
    Decoder decoder;
    if (!run(decoder, data, &sizeNeeded, headerOnly))
        return {{}, decoder.size, decoder.trap.status};
    return {std::move(decoder.image), decoder.size, PictureStatus::Read, decoder.reduction};
}

} // namespace

namespace JpegCodec {

bool isJpeg(QByteArrayView data)
{
    return data.size() >= 3 && uchar(data[0]) == 0xff && uchar(data[1]) == 0xd8 &&
           uchar(data[2]) == 0xff;
}

PictureRead readHeader(QByteArrayView data)
{
    return decodeWith(data, {}, true);
}

int scaleDenominator(QSize size, QSize atLeast)
{
    if (atLeast.isEmpty())
        return 1;
    for (const int denominator : {8, 4, 2}) {
        // libjpeg's scaled size: rounded up
        const qint64 width = (qint64(size.width()) + denominator - 1) / denominator;
        const qint64 height = (qint64(size.height()) + denominator - 1) / denominator;
        if (width >= atLeast.width() && height >= atLeast.height())
            return denominator;
    }
    return 1;
}

PictureRead decode(QByteArrayView data, const SizeNeeded& sizeNeeded)
{
    return decodeWith(data, sizeNeeded, false);
}

} // namespace JpegCodec

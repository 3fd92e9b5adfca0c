#include "board/store/PlacedImage.h"

#include <sys/mman.h>

namespace {

struct Mapping {
    void* start;
    size_t length;
};

} // namespace

QImage placedImage(QSize size, QImage::Format format, qsizetype offset)
{
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
    const size_t length = size_t((bytesPerLine * size.height() + offset + 4095) / 4096 * 4096);
    void* start =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        return {};
    return QImage(
        static_cast<uchar*>(start) + offset, size.width(), size.height(), bytesPerLine, format,
        [](void* mapping) {
            const auto* taken = static_cast<Mapping*>(mapping);
            ::munmap(taken->start, taken->length);
            delete taken;
        },
        new Mapping{start, length});
}

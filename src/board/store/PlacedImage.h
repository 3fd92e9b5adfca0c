#pragma once

#include <QImage>
#include <QSize>

// A page-sized image whose pixels have memory pages of their own, mapped for it alone and given
// back to the system when the image goes. The board's full images come and go as pages are left
// and kept in the background; allocated from the heap, the freed ones would stay resident as
// holes between other blocks. offset places the first pixel within a 4 KiB memory page (see
// PageStore). A null image when no memory is left.
QImage placedImage(QSize size, QImage::Format format, qsizetype offset);

// Renders the clip-art of the board's palette from its SVG sources.
//
//   make_clipart <source.svg> <picture.jt> <preview.png>
//   make_clipart --sheet <sheet.png> <preview directory> <picture.jt>...
//
// The first form writes the picture as a JPEG file at the size the SVG gives (its width and
// height), on white, and a 50 x 50 preview: the drawing cut to what is not white, fitted into
// the square with a small margin and centred. The second form lays out pictures with their
// previews (the preview of "w3.jt" is "w3.png" in the preview directory) on one page, to look
// them over. Files are replaced only when written whole; any failure stops with a message.

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <jpeglib.h>

namespace {

constexpr int PreviewSize = 50;
constexpr int PreviewMargin = 2;
constexpr int JpegQuality = 90;
// Antialiased edges fade into the paper; fainter than this counts as paper.
constexpr int PaperLevel = 248;

void fail(const QString& message)
{
    std::fprintf(stderr, "make_clipart: %s\n", qPrintable(message));
    std::exit(1);
}

QImage renderOnWhite(const QString& sourcePath)
{
    QSvgRenderer renderer(sourcePath);
    if (!renderer.isValid())
        fail(QStringLiteral("%1 is not a readable SVG picture").arg(sourcePath));
    const QSize size = renderer.defaultSize();
    if (size.isEmpty())
        fail(QStringLiteral("%1 gives no width and height").arg(sourcePath));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return image;
}

bool isPaper(QRgb pixel)
{
    return qRed(pixel) >= PaperLevel && qGreen(pixel) >= PaperLevel && qBlue(pixel) >= PaperLevel;
}

QRect drawingBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!isPaper(line[x]))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Every pixel takes the darkest value of its 3 x 3 neighbourhood, channel by channel: strokes
// grow by a pixel on each side.
QImage thickened(const QImage& image)
{
    QImage result(image.size(), QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < w; ++x) {
            int r = 255, g = 255, b = 255;
            for (int ny = std::max(0, y - 1); ny <= std::min(h - 1, y + 1); ++ny) {
                const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(ny));
                for (int nx = std::max(0, x - 1); nx <= std::min(w - 1, x + 1); ++nx) {
                    r = std::min(r, qRed(in[nx]));
                    g = std::min(g, qGreen(in[nx]));
                    b = std::min(b, qBlue(in[nx]));
                }
            }
            out[x] = qRgb(r, g, b);
        }
    }
    return result;
}

// At 50 pixels the picture's strokes would be far thinner than a pixel and fade to grey. The
// drawing is fitted at twice the size, its strokes thickened there and the result halved, so
// they come out about one and a half pixels wide.
QImage previewOf(const QImage& picture, const QString& sourcePath)
{
    const QRect bounds = drawingBounds(picture);
    if (bounds.isEmpty())
        fail(QStringLiteral("%1 draws nothing").arg(sourcePath));
    constexpr int room = PreviewSize - 2 * PreviewMargin;
    const QImage doubled = picture.copy(bounds).scaled(2 * room, 2 * room, Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation);
    const QImage fitted =
        thickened(doubled).scaled(room, room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage preview(PreviewSize, PreviewSize, QImage::Format_RGB32);
    preview.fill(Qt::white);
    QPainter painter(&preview);
    painter.drawImage((PreviewSize - fitted.width()) / 2, (PreviewSize - fitted.height()) / 2,
                      fitted);
    return preview;
}

void save(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        fail(QStringLiteral("cannot make the directory of %1").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

// Baseline JPEG, colour kept at full resolution (4:4:4) so coloured strokes stay sharp.
QByteArray jpegOf(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // reports and exits on any error
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, JpegQuality, TRUE);
    info.optimize_coding = TRUE;
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        fail(QStringLiteral("cannot encode a PNG picture"));
    return bytes;
}

void render(const QString& sourcePath, const QString& picturePath, const QString& previewPath)
{
    const QImage picture = renderOnWhite(sourcePath);
    save(picturePath, jpegOf(picture));
    save(previewPath, pngOf(previewOf(picture, sourcePath)));
}

QImage readPicture(const QString& path, const char* format)
{
    QImageReader reader(path, format);
    const QImage image = reader.read();
    if (image.isNull())
        fail(QStringLiteral("cannot read %1: %2").arg(path, reader.errorString()));
    return image;
}

// Names sort by their letters, then by their number: w2 before w10.
std::pair<QString, int> sheetOrder(const QString& path)
{
    const QString name = QFileInfo(path).completeBaseName();
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1].isDigit())
        --digits;
    return {name.left(digits), name.mid(digits).toInt()};
}

// One cell a picture: its name, the picture at its own size in a thin frame, and its preview
// at its own size and magnified three times.
void sheet(const QString& sheetPath, const QDir& previews, QStringList picturePaths)
{
    std::sort(picturePaths.begin(), picturePaths.end(),
              [](const QString& a, const QString& b) { return sheetOrder(a) < sheetOrder(b); });
    constexpr int cell = 340, label = 24, previewBand = 160;
    const int columns = std::min(6, int(picturePaths.size()));
    const int rows = (int(picturePaths.size()) + columns - 1) / columns;
    QImage page(columns * cell, rows * (label + cell + previewBand), QImage::Format_RGB32);
    page.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter painter(&page);
    QFont font = painter.font();
    font.setPixelSize(18);
    painter.setFont(font);
    for (int i = 0; i < picturePaths.size(); ++i) {
        const QString name = QFileInfo(picturePaths[i]).completeBaseName();
        const QImage picture = readPicture(picturePaths[i], "jpeg");
        const QImage preview = readPicture(previews.filePath(name + ".png"), "png");
        const QPoint corner((i % columns) * cell, (i / columns) * (label + cell + previewBand));
        painter.setPen(Qt::black);
        painter.drawText(
            corner + QPoint(8, 18),
            QStringLiteral("%1  %2 x %3").arg(name).arg(picture.width()).arg(picture.height()));
        const QPoint at = corner + QPoint((cell - picture.width()) / 2, label);
        painter.drawImage(at, picture);
        painter.setPen(QColor(0x90, 0x90, 0x90));
        painter.drawRect(QRect(at, picture.size()).adjusted(-1, -1, 0, 0));
        const QPoint previewAt = corner + QPoint(20, label + cell + 30);
        painter.drawImage(previewAt, preview);
        painter.drawImage(QRect(previewAt + QPoint(90, -25), preview.size() * 3), preview);
    }
    painter.end();
    save(sheetPath, pngOf(page));
}

} // namespace

int main(int argc, char** argv)
{
    // Rendering needs fonts but no display: the build may run without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);

    if (arguments.size() >= 3 && arguments[0] == QLatin1String("--sheet")) {
        sheet(arguments[1], QDir(arguments[2]), arguments.mid(3));
        return 0;
    }
    if (arguments.size() == 3 && !arguments[0].startsWith(QLatin1String("--"))) {
        render(arguments[0], arguments[1], arguments[2]);
        return 0;
    }
    std::fprintf(stderr, "usage: make_clipart <source.svg> <picture.jt> <preview.png>\n"
                         "       make_clipart --sheet <sheet.png> <preview directory> "
                         "<picture.jt>...\n");
    return 2;
}

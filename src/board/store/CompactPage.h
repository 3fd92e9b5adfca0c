#pragma once

#include "board/store/TileRowBytes.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <memory>
#include <optional>

// A page kept small while it is not on screen. The page is cut into tiles of 64 x 64 pixels
// (narrower at the right edge, lower at the bottom): a tile of one colour is kept as that one
// pixel value; a drawn tile (strokes on a background) as its pixels compressed with LZ4, three
// bytes a pixel when every pixel's top byte is 0xff (as in every Format_RGB32 page), four
// otherwise; a tile of a picture (photo, desktop capture, scan) with PictureTileCodec when that is
// smaller; and a tile that nothing makes smaller stored as it is. Every byte of every pixel comes
// back exactly. Whiteboard pages are mostly one colour with a few thin strokes, so most tiles are
// one value.
// Each row of tiles keeps its bytes apart, so the rows are encoded and decoded on all cores.
// Coordinates are the page's own pixels. Copies share their data; a page is only read once made,
// so it may be read from several threads.
class CompactPage {
public:
    static constexpr int TileSide = 64;

    CompactPage() = default;
    // Keeps a 32-bit image (RGB32, ARGB32 or premultiplied); other formats are kept as RGB32.
    explicit CompactPage(const QImage& image);
    // A page of size and format where every pixel holds value, made without an image.
    static CompactPage filled(QSize size, QImage::Format format, QRgb value);

    bool isNull() const { return m_size.isEmpty(); }
    QSize size() const { return m_size; }
    QImage::Format format() const { return m_format; }

    QImage toImage() const;
    // Decodes into target, reusing its pixels when it has this page's size and format and shares
    // them with no other image; otherwise target becomes a new image.
    void decodeInto(QImage& target) const;
    // Decodes into target, which holds the pixels of shown, writing only the tiles the two keep
    // differently: a page shown after one much like it, as in a save, costs its few drawn tiles.
    // Everything is decoded when shown is null or of another size or format, or target is not
    // one of this page's size and format of its own. shown then becomes this page. Returns the
    // rectangles written, neighbouring tiles of a row joined.
    QList<QRect> decodeChangesInto(QImage& target, CompactPage& shown) const;
    // One pixel's 32-bit value, decoding at most one tile.
    QRgb pixel(QPoint point) const;

    // What the compact form holds in memory, in bytes.
    qsizetype memoryBytes() const;
    // Whether the page holds a picture (photo, desktop capture, scan): a megabyte or so even
    // compact, where a page of strokes keeps a few kilobytes.
    bool isPicture() const;
    // Moves the compressed bytes of this page and of every copy of it out of memory, into a file
    // of their own in folder, from which each read takes them back (see TileRowBytes).
    void moveOutOfMemory(const QString& folder) const;
    // Whether both are copies of one compact form (made once, never changed since).
    bool isCopyOf(const CompactPage& other) const
    {
        return m_size == other.m_size && m_tiles.constData() == other.m_tiles.constData();
    }

    // The page as a file keeps it: its size, format and tiles, every row's bytes and a CRC-32 of
    // all that, so that a damaged copy is told from a whole one. The page is not null.
    QByteArray toBytes() const;
    // The page that toBytes() gave, or nothing when the bytes are not one whole page of at most
    // maxSize: every size, length and place is checked and every compressed tile decoded once
    // before the page is made, so that no read of a damaged file goes out of its bytes.
    static std::optional<CompactPage> fromBytes(QByteArrayView bytes, QSize maxSize);

private:
    enum class Form : quint8 {
        OneColour,
        Lz4Rgb,
        Lz4Argb,
        StoredRgb,
        StoredArgb,
        PictureRgb,
        PictureArgb
    };
    struct Tile {
        quint32 value = 0; // OneColour: the pixel; otherwise where its bytes start in its row's
        quint32 length : 29 = 0;
        Form form : 3 = Form::OneColour;
    };

    QRect tileRect(int index) const;
    // A row's bytes, read when first needed.
    struct LazyRow {
        const TileRowBytes& rows;
        int row;
        std::optional<QByteArray> bytes;
        const QByteArray& get()
        {
            if (!bytes)
                bytes = rows.row(row);
            return *bytes;
        }
    };
    // Whether tile index is kept alike here and in other, a page of the same size, whose rows of
    // that tile are mine and theirs: then its pixels are alike too.
    bool tileKeptAlike(int index, const CompactPage& other, LazyRow& mine, LazyRow& theirs) const;
    int tileColumns() const { return (m_size.width() + TileSide - 1) / TileSide; }
    int tileRows() const { return (m_size.height() + TileSide - 1) / TileSide; }
    // Appends the tile's bytes to bytes; picture is room for trying the picture codec.
    static Tile encodeTile(const QImage& image, const QRect& rect, QByteArray& bytes,
                           QByteArray& picture);
    // Decodes a tile's pixels into rows of bytesPerLine bytes starting at top-left target, from
    // the bytes of its row of tiles.
    void decodeTile(int index, const QByteArray& rowBytes, uchar* target,
                    qsizetype bytesPerLine) const;

    QSize m_size;
    QImage::Format m_format = QImage::Format_RGB32;
    QList<Tile> m_tiles;                  // row by row
    std::shared_ptr<TileRowBytes> m_rows; // the compressed or stored bytes of each row of tiles
};

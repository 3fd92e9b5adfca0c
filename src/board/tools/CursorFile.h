#pragma once

#include <QByteArray>
#include <QCursor>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>

// Reads the program's cursor files (".cut"): the Windows .cur layout with one 32-bit picture and
// its AND mask, the hot spot in the directory entry (docs/cursors.md). The hot spot is in picture
// pixels from the top-left corner. Anything missing, truncated or inconsistent gives nothing, and
// so does anything but a regular file of at most 1 MB under the name.
class CursorFile {
public:
    struct Picture {
        QImage image; // Format_ARGB32, transparent where the cursor shows the board
        QPoint hotSpot;
    };

    static std::optional<Picture> decode(const QByteArray& bytes);
    static std::optional<QCursor> load(const QString& path);
};

// The application's numbered cursor slots. A slot is filled from a cursor file named relative to
// the current directory (the program's files are looked up by bare name); an empty slot shows the
// arrow.
class CursorSlots {
public:
    // A file that cannot be loaded leaves the slot empty, whatever it held before.
    void loadFromFile(int slot, const QString& fileName);
    QCursor cursor(int slot) const;

private:
    QHash<int, QCursor> m_cursors;
};

#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class BoardModel;
class PictureColumn;

// The two sets of clip-art the palette offers.
enum class ClipArtSet { Physics, Chemistry };

// One picture of a set: the image that shows its preview, its place in its set's panel and the
// clip-art file it loads from the clip-art directory.
struct SetPicture {
    QString name;
    ClipArtSet set;
    QPoint position;
    QString file;
    // Image29 chooses its picture on a click, every other picture on a press.
    bool choosesOnClick = false;
};

// The clip-art palette docked at the board's left edge (Panel9): the physics set, the chemistry
// set and, under "其它", the picture column of the teacher's picture folder, one shown at a time in
// the palette's scroll box. A picture chosen here waits on the board as its pending placement until
// the next release on the board.
//
// Geometry: the palette in screen pixels, the scroll box and the close button in palette pixels,
// the settings button window (TForm13) in screen pixels, directly under the scroll box. Sizes
// follow the screen's height alone. The settings button window belongs to the column: it shows
// with "其它" and hides with the sets and the palette.
class ClipArtPalette : public QObject {
    Q_OBJECT
public:
    static constexpr int paletteLeft = 1;
    static constexpr int paletteTop = 40;
    static constexpr int paletteWidth = 138;
    static constexpr int scrollBoxLeft = -1;
    static constexpr int scrollBoxTop = 22;
    static constexpr int scrollBoxWidth = paletteWidth;
    // The palette keeps this much below its scroll box.
    static constexpr int belowScrollBox = 65;
    static constexpr int closeButtonFromRight = 23;
    static constexpr int settingsButtonLeft = 3;

    // programDirectory ends with "/"; the clip-art files lie under "db/pic/" in it.
    ClipArtPalette(BoardModel& board, PictureColumn& column, const QString& programDirectory);

    // The 35 pictures of the two sets, physics first.
    static const QList<SetPicture>& setPictures();

    bool isShown() const { return m_shown; }
    QRect geometry() const;
    QRect scrollBoxGeometry() const;
    int closeButtonLeft() const { return paletteWidth - closeButtonFromRight; }
    bool isSetShown(ClipArtSet set) const { return m_shownSet == set && !m_columnShown; }
    bool isColumnShown() const { return m_columnShown; }
    bool isSettingsButtonShown() const { return m_settingsButtonShown; }
    QPoint settingsButtonPlace() const;
    // Set on every opening; empty before the first.
    QString clipArtDirectory() const { return m_clipArtDirectory; }

    // The content panel's picture button: the palette opens on the physics set and the content
    // panel closes as its close button closes it.
    void open();
    // The close button: the palette and the settings button window hide.
    void close();
    // The tabs "物理", "化学" and "其它". The column is given its first height the first time it
    // shows, and asks to be filled while it has not been since the settings changed.
    void showSet(ClipArtSet set);
    void showColumn();

    // A set picture: its file becomes the board's clip-art; returns whether it could be read.
    bool chooseSetPicture(const SetPicture& picture);
    // A release on the column at y (column pixels): the picture listed there waits to be placed.
    // Below the last thumbnail there is nothing to choose.
    bool chooseColumnEntry(int y);

signals:
    // What the palette shows changed.
    void changed();
    // "其它" shows a column that is not filled: the picture folder's pictures are to be imported.
    void columnFillRequested();

private:
    int scrollBoxHeight() const;

    BoardModel& m_board;
    PictureColumn& m_column;
    QString m_programDirectory;
    bool m_shown = false;
    ClipArtSet m_shownSet = ClipArtSet::Physics;
    bool m_columnShown = false;
    bool m_settingsButtonShown = false;
    QString m_clipArtDirectory;
};

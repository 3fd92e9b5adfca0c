#pragma once

#include "board/model/ClipArtPalette.h"

#include <QFrame>
#include <QList>

class PictureColumn;
class PictureColumnView;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

// The board's clip-art palette (Panel9): the close button (SpeedButton33), the tabs "物理", "化学"
// and "其它" (BitBtn1 to 3) and the scroll box (ScrollBox1) holding the physics set (Panel8), the
// chemistry set (Panel10) and the picture column (Image26). It shows the ClipArtPalette's state and
// forwards the teacher's presses to it; no press on it reaches the board. Its place on the board is
// in screen pixels, its children's in palette pixels.
class PalettePanel : public QFrame {
    Q_OBJECT
public:
    // column is the palette's picture column, shown under "其它".
    PalettePanel(ClipArtPalette& palette, PictureColumn& column, QWidget* parent);

    QToolButton* SpeedButton33;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QScrollArea* ScrollBox1;
    QFrame* Panel8;
    QFrame* Panel10;
    PictureColumnView* Image26;
    // Image5 … Image45, in the order of ClipArtPalette::setPictures().
    QList<QLabel*> setPictures;

signals:
    // The settings button window (TForm13) is to stand at topLeft (screen pixels) and show or hide:
    // it shows while the column does and the board shows the palette.
    void settingsButtonChanged(bool shown, QPoint topLeft);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPushButton* addTab(const char* name, const QString& text, int left);
    void buildScrollBox(PictureColumn& column);
    void addSetPicture(const SetPicture& picture);
    void showState();
    void fitContents();
    void reportSettingsButton();

    ClipArtPalette& m_palette;
};

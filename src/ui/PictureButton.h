#pragma once

#include <QToolButton>

// A flat button of a bar that shows only one of its icon's pictures (see ButtonPictures.h), chosen
// by its state: disabled, pressed (down), checked (held) or up. Qt's styles would draw a frame and
// show a pressed button with its up picture shifted; the bar's buttons must look the same under
// every style, so this button paints the picture itself, centred in its widget rectangle.
class PictureButton : public QToolButton {
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

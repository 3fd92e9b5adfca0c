#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

class QToolButton;
class QWidget;

// The pictures of the program's buttons. Each picture is an SVG file ":/icons/<name>.svg" drawn at
// the button's size in device pixels (the program runs without high-DPI scaling). A picture button
// has four pictures, all kept in one QIcon:
//   up        QIcon::Normal, Off           the picture alone, the bar shows around it
//   disabled  QIcon::Disabled, Off and On  the picture greyed and faded
//   down      QIcon::Normal, On            pressed: darker inset background, dark top-left edge,
//                                          picture shifted 1 pixel right and down
//   held      QIcon::Active, Off and On    stays down (the tool in use): as down, on a lighter
//                                          highlight
// A name without a picture gives a null QIcon and a warning "button picture missing: <name>".
QIcon buttonPictures(const QString& name, QSize size);

// Puts a flat picture button on a bar: a PictureButton named objectName at geometry (parent
// coordinates) showing the pictures of pictureName at the geometry's size; hint is its tool tip
// (an empty hint gives none). The button takes no keyboard focus and shows no text.
QToolButton* addPictureButton(QWidget* parent, const QString& objectName, const QRect& geometry,
                              const QString& pictureName, const QString& hint);

// A fixed picture of a window (a header or a title bar with drawn icons): the SVG file
// ":/icons/<name>.svg" drawn at size. A name without a picture gives a null pixmap and a warning.
QPixmap fixedPicture(const QString& name, QSize size);

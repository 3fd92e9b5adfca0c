#pragma once

#include <QRect>
#include <QString>

class QLineEdit;
class QWidget;

// A read-only number box of a tool strip, as the width and page boxes are: red digits on blue,
// also while disabled, large enough for the back of the room. It only shows numbers; nothing reads
// them back.
QLineEdit* addNumberBox(QWidget* parent, const QString& objectName, const QRect& geometry,
                        int pixelSize, const QString& hint);

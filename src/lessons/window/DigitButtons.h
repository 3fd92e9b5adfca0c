#pragma once

#include <QList>

class QPushButton;
class QWidget;

// The ten buttons of a digit pad: 31 x 25, blue bold digits, "1" to "5" in the upper row and
// "6" to "9", "0" in the lower, at the same five x positions. They take no focus, so a digit goes
// to the field that has it. Named SpeedButton1 ... SpeedButton10 in that order.
namespace DigitButtons {

QList<QPushButton*> add(QWidget* parent, const QList<int>& xs, int upperY, int lowerY);

} // namespace DigitButtons

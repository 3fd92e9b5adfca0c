#pragma once

#include <QWidget>

// Fills a widget's face with one of the program's designed colours (a 0x00BBGGRR number), as the
// windows' panels, boxes and bars are filled.
namespace WindowFill {

void apply(QWidget* widget, quint32 colour);

} // namespace WindowFill

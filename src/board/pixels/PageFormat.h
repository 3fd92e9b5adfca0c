#pragma once

#include <QImage>

// The one pixel format of pages, screen images and the pictures cut from them.
inline constexpr QImage::Format pageFormat = QImage::Format_RGB32;

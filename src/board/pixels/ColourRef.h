#pragma once

#include <QColor>
#include <QtGlobal>

// Colours in files and rules are whole numbers 0x00BBGGRR: red in the lowest byte. This is the one
// place where such a number meets a QColor.
namespace ColourRef {

inline QColor toColor(quint32 ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

inline quint32 fromColor(const QColor& color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

inline quint32 fromRgb(QRgb rgb)
{
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

} // namespace ColourRef

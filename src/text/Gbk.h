#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// GBK, the code page of every text file the program writes, converted through iconv. This is the
// one place that knows how GBK text is built: a byte below 0x80 is an ASCII character, a byte
// from 0x81 on starts a character of two bytes whose second byte may look like ASCII ("]", "\",
// letters). Code that looks for ASCII in GBK bytes goes through the functions here.
namespace Gbk {

// The GBK bytes of a text; nothing when the text holds a character GBK has no code for.
std::optional<QByteArray> encode(const QString& text);
// The text of GBK bytes; a byte that starts no GBK character reads as U+FFFD.
QString decode(QByteArrayView bytes);

// The first characters of GBK bytes that fit into limit bytes, never half a character.
QByteArrayView truncated(QByteArrayView bytes, qsizetype limit);
// The position of an ASCII character in GBK bytes, never the second byte of a character; -1
// when it does not occur.
qsizetype indexOfAscii(QByteArrayView bytes, char ascii);
// Whether two GBK texts are equal when ASCII letters are compared without regard to case
// (other characters, Chinese and non-ASCII letters alike, compare exactly).
bool equalIgnoringAsciiCase(QByteArrayView a, QByteArrayView b);
// A hash of GBK text that agrees with equalIgnoringAsciiCase: texts it finds equal hash alike.
size_t hashIgnoringAsciiCase(QByteArrayView bytes, size_t seed = 0);

} // namespace Gbk

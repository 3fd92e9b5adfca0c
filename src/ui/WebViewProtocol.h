#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

// The lines the program and its web view process (zkalto-web) exchange: the program writes to
// the process's standard input, the process answers on its standard output. A line is a word
// naming the message and its fields separated by spaces; text fields are base64, so that no
// address, title or script can break a line.
//
// Program to process:
//   make <view> <guide|documents> <window> <width> <height>
//                                    a view inside the program's X window <window>
//   size <view> <width> <height>
//   load <view> <0|1 fresh page> <url>
//   script <view> <request> <script> runs a script in the page's own world
//   drop <view>
// Process to program:
//   loaded <view> <0|1> <url> <title>
//   failed <view>                    the page's process ended abnormally
//   pressed <view>                   a press or touch in the view
//   answer <request> <JSON array of the script's value>
// The process ends when its standard input ends.
namespace WebViewProtocol {

inline QByteArray text(const QString& value)
{
    return value.toUtf8().toBase64();
}

inline QString text(const QByteArray& field)
{
    return QString::fromUtf8(QByteArray::fromBase64(field));
}

inline QByteArray line(const QByteArrayList& fields)
{
    return fields.join(' ') + '\n';
}

} // namespace WebViewProtocol

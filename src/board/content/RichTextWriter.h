#pragma once

#include <QByteArray>
#include <QFont>

class QTextCharFormat;
class QTextDocument;

// Writes the content panel's text as rich text (RTF), in the form the page text files and the
// lessons' ".te" files take: the GBK code page (\ansicpg936) with \'hh escapes, \uN for a
// character GBK lacks, a font table and a colour table, then per run of text its font, size in
// half points, colour, bold, italic and underline, and \par after every paragraph. Runs without
// a colour of their own are written in the automatic colour. Sizes given in pixels count 96 to
// the inch, as the classroom screen does: 48 pixels are 36 points.
namespace RichTextWriter {

QByteArray write(const QTextDocument& document);

// The font a run shows in: its own properties over the document's font, its size in points.
QFont effectiveFont(const QTextCharFormat& format, const QFont& documentFont);

} // namespace RichTextWriter

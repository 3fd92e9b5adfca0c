#pragma once

#include <QByteArrayView>

class QTextDocument;

// Reads rich text (RTF) into the content panel's text: the files the program writes
// (RichTextWriter) and those of the classroom's earlier text boxes, which put Chinese text in GBK
// escapes (\ansicpg936, \'hh) under a font table and a colour table. What is kept: paragraphs,
// line breaks and tabs, font name and size, colour, bold, italic and underline; \uN characters
// with their fallback skipped as \ucN says. Pictures, objects, style sheets, document
// information, fields' instructions and every "\*" group are left out, unknown control words
// ignored. Escaped bytes take the code page of their font's character set (GBK for the Chinese
// one), or the file's code page (\ansicpg) under a font without one. A file that does not start as
// rich text is read as plain GBK text. Nothing in the input can make the reader fail: braces that
// do not match end or close what they can. A text longer than maxCharacters is cut there and
// ends with a paragraph that says so (cutNote).
namespace RichTextReader {

// Far beyond any lesson (the panel shows some eighty characters of the brush script at once; a
// page's text is a few hundred) and below what the text box can show: Qt lays out a text box's
// text on one page 2^23 pixels high, and a text taller than that takes minutes to lay out. In the
// narrowest panel (20 pixels, and a panel not shown yet may be as narrow) every character of the
// brush script's 48 pixels takes a line of its own, about 66 pixels: the page holds some 127,000.
constexpr qsizetype maxCharacters = 100'000;

// The paragraph that ends a text cut at maxCharacters.
QString cutNote();

// Replaces the document's text; the document's default font stays.
void read(QByteArrayView richText, QTextDocument& document);

} // namespace RichTextReader

#pragma once

#include "board/store/PageStore.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <functional>

class QPainter;

// The board's pages as a PDF document, for teachers who take a lesson out of the classroom: one
// PDF page per board page, in the board's aspect. Each page's picture goes in whole, pixel for
// pixel (the PDF page is the page's size at 96 dpi, so one picture pixel is one PDF pixel there)
// and losslessly compressed, so strokes stay sharp; over it the content panel of a page of text,
// as the board shows it, with its text as real text in the embedded brush font (a reader selects,
// searches and copies it, Chinese included).
class LessonPdf {
public:
    // One page picture pixel is one PDF pixel at this resolution.
    static constexpr int dotsPerInch = 96;

    // pageSize: the board's screen size; pictures of other sizes are drawn from the top-left
    // corner, as the board shows them. textBoxColour: the colour of the panel's text box
    // (0x00BBGGRR). A page without a picture shows white.
    LessonPdf(QSize pageSize, quint32 textBoxColour);

    // The document of pages 1..pageCount; empty when it could not be made (no memory).
    QByteArray write(int pageCount, const std::function<LessonPage(int n)>& pageAt) const;

    // Draws a page's panel (a page whose content kind is text) at its bounds in page pixels: the
    // text box's colour and its text laid out as the board's text box lays it out, from its top,
    // cut at the panel's edges. Nothing for other pages.
    void paintPanel(QPainter& painter, const LessonPage& page) const;

    // The name a PDF is written under: the chosen name, with ".pdf" added when it has no
    // extension.
    static QString fileNameFor(const QString& chosen);

private:
    QSize m_pageSize;
    quint32 m_textBoxColour;
};

#pragma once

#include <QObject>

class QTextEdit;

// A text box wraps its lines at word boundaries, and anywhere while its text holds a word (a
// stretch without a place to wrap) longer than longestWord. At word boundaries Qt looks for one
// from each line's start to the end of the word, so a long word costs the square of its length
// to lay out: 100,000 Hangul syllables without a space (Qt wraps Korean at spaces only) held the
// board for seconds. A word that long is far wider than the box and is cut anywhere either way.
// The text box wraps at word boundaries again once its text is emptied (a page's text replaced).
class LongWordWrap : public QObject {
public:
    // A real word, a path or a web address stays well below; a stretch of this length costs a
    // few milliseconds to lay out in the narrowest panel.
    static constexpr qsizetype longestWord = 500;

    explicit LongWordWrap(QTextEdit* textBox);

private:
    void contentsChanged(int position, int added);

    QTextEdit* m_textBox;
};

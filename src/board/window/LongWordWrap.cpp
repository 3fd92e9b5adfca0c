#include "board/window/LongWordWrap.h"

#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>

namespace {

// Where Qt may wrap a line: after white space and between Chinese and Japanese characters.
bool wrapsAfter(char32_t c)
{
    if (QChar::isSpace(c))
        return true;
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
    case QChar::Script_Yi:
        return true;
    default:
        return false;
    }
}

bool holdsLongWord(QStringView text)
{
    qsizetype word = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(text[i], text[++i]);
        word = wrapsAfter(c) ? 0 : word + 1;
        if (word > LongWordWrap::longestWord)
            return true;
    }
    return false;
}

} // namespace

LongWordWrap::LongWordWrap(QTextEdit* textBox) : QObject(textBox), m_textBox(textBox)
{
    // The document tells what changed before it lays the change out.
    connect(textBox->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { contentsChanged(position, added); });
}

void LongWordWrap::contentsChanged(int position, int added)
{
    QTextDocument* document = m_textBox->document();
    if (document->isEmpty()) {
        m_textBox->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        return;
    }
    if (m_textBox->wordWrapMode() == QTextOption::WrapAnywhere || added == 0)
        return;
    QTextCursor change(document);
    change.setPosition(position);
    change.setPosition(std::min(position + added, document->characterCount() - 1),
                       QTextCursor::KeepAnchor);
    if (holdsLongWord(change.selectedText()))
        m_textBox->setWordWrapMode(QTextOption::WrapAnywhere);
}

#include "ScriptedPrompter.h"

template <typename T>
T ScriptedPrompter::take(QQueue<T>& answers, const Question& question, T unanswered)
{
    m_questions.append(question);
    if (answers.isEmpty()) {
        m_unexpected.append(question);
        return unanswered;
    }
    return answers.dequeue();
}

qsizetype ScriptedPrompter::unusedAnswers() const
{
    return m_yesNo.size() + m_colours.size() + m_fonts.size() + m_openFiles.size() +
           m_saveFiles.size();
}

bool ScriptedPrompter::askYesNo(const QString& caption, const QString& text)
{
    return take(m_yesNo, {Kind::YesNo, caption, text, {}}, false);
}

void ScriptedPrompter::inform(const QString& caption, const QString& text)
{
    m_questions.append({Kind::Inform, caption, text, {}});
}

std::optional<QColor> ScriptedPrompter::chooseColour(const QColor& initial)
{
    return take(m_colours, {Kind::Colour, {}, initial.name(), {}}, std::optional<QColor>());
}

std::optional<QFont> ScriptedPrompter::chooseFont(const QFont& initial,
                                                  const std::function<void(const QFont&)>& apply)
{
    const FontAnswer answer = take(m_fonts, {Kind::Font, {}, initial.toString(), {}}, FontAnswer());
    for (const QFont& font : answer.applied)
        apply(font);
    return answer.chosen;
}

QString ScriptedPrompter::openFile(const QString& caption, const QString& directory,
                                   const QString& filter)
{
    return take(m_openFiles, {Kind::OpenFile, caption, directory, filter}, QString());
}

QString ScriptedPrompter::saveFile(const QString& caption, const QString& directory,
                                   const QString& filter)
{
    return take(m_saveFiles, {Kind::SaveFile, caption, directory, filter}, QString());
}

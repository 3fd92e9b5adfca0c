#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QQueue>

// A prompter for tests: each kind of question takes its answers from its own queue, in order,
// and every question asked is recorded. A question with no answer left is answered No / cancel
// and also listed in unexpected(), so a test checks `QVERIFY(prompter.unexpected().isEmpty())`
// instead of hanging on a dialog. Messages (inform) need no answer.
class ScriptedPrompter final : public Prompter {
public:
    enum class Kind { YesNo, Inform, Colour, Font, OpenFile, SaveFile };
    // For the colour and font dialogs the text is the initial value (QColor::name(),
    // QFont::toString()); for the file dialogs it is the directory.
    struct Question {
        Kind kind;
        QString caption;
        QString text;
        QString filter;
    };

    void answerYesNo(bool yes) { m_yesNo.enqueue(yes); }
    void answerColour(std::optional<QColor> colour) { m_colours.enqueue(colour); }
    // The font dialog answers font after Apply was pressed with each of appliedFirst.
    void answerFont(std::optional<QFont> font, const QList<QFont>& appliedFirst = {})
    {
        m_fonts.enqueue({font, appliedFirst});
    }
    void answerOpenFile(const QString& path) { m_openFiles.enqueue(path); }
    void answerSaveFile(const QString& path) { m_saveFiles.enqueue(path); }

    QList<Question> questions() const { return m_questions; }
    QList<Question> unexpected() const { return m_unexpected; }
    // Answers scripted but never asked for.
    qsizetype unusedAnswers() const;

    bool askYesNo(const QString& caption, const QString& text) override;
    void inform(const QString& caption, const QString& text) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial,
                                    const std::function<void(const QFont&)>& apply) override;
    QString openFile(const QString& caption, const QString& directory,
                     const QString& filter) override;
    QString saveFile(const QString& caption, const QString& directory,
                     const QString& filter) override;

private:
    // Records the question; the next scripted answer, or `unanswered` when none is left.
    template <typename T> T take(QQueue<T>& answers, const Question& question, T unanswered);

    QQueue<bool> m_yesNo;
    QQueue<std::optional<QColor>> m_colours;
    struct FontAnswer {
        std::optional<QFont> chosen;
        QList<QFont> applied;
    };

    QQueue<FontAnswer> m_fonts;
    QQueue<QString> m_openFiles;
    QQueue<QString> m_saveFiles;
    QList<Question> m_questions;
    QList<Question> m_unexpected;
};

#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <optional>

// Every modal question the program asks. Windows never open a dialog themselves, so tests can
// answer each question from a script.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A Yes/No message box; true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // A message box with an OK button.
    virtual void inform(const QString& caption, const QString& text) = 0;
    // The colour dialog opened at initial; nothing when cancelled.
    virtual std::optional<QColor> chooseColour(const QColor& initial) = 0;
    // The font dialog with an Apply button, which hands the font the dialog shows to apply and
    // leaves the dialog open; the font chosen, or nothing when cancelled.
    virtual std::optional<QFont> chooseFont(const QFont& initial,
                                            const std::function<void(const QFont&)>& apply) = 0;
    // File dialogs; an empty text when cancelled.
    virtual QString openFile(const QString& caption, const QString& directory,
                             const QString& filter) = 0;
    virtual QString saveFile(const QString& caption, const QString& directory,
                             const QString& filter) = 0;
};

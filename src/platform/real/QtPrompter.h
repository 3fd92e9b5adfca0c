#pragma once

#include "platform/Prompter.h"

// The program's questions as Qt dialogs: message boxes, the colour and font dialogs and the file
// dialogs. Every dialog is application-modal and stays above the program's full-screen,
// always-on-top windows, so it is never hidden behind the board. The file dialogs are Qt's own,
// since a desktop's native dialog would not keep that stacking.
class QtPrompter final : public Prompter {
public:
    bool askYesNo(const QString& caption, const QString& text) override;
    void inform(const QString& caption, const QString& text) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial,
                                    const std::function<void(const QFont&)>& apply) override;
    QString openFile(const QString& caption, const QString& directory,
                     const QString& filter) override;
    QString saveFile(const QString& caption, const QString& directory,
                     const QString& filter) override;
};

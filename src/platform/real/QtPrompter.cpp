#include "platform/real/QtPrompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

void keepOnTop(QWidget& dialog)
{
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
}

// The window the question is about: the dialog belongs to it, so a window manager keeps the
// dialog above it and gives it the focus back afterwards, and a full-screen window with a dialog
// open stays over the desktop's panels.
QWidget* askingWindow()
{
    return QApplication::activeWindow();
}

QString askForFile(QFileDialog::AcceptMode mode, const QString& caption, const QString& directory,
                   const QString& filter)
{
    QFileDialog dialog(askingWindow(), caption, directory, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    keepOnTop(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool QtPrompter::askYesNo(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    askingWindow());
    // Enter answers Yes, as in the classic message box.
    box.setDefaultButton(QMessageBox::Yes);
    keepOnTop(box);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompter::inform(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, askingWindow());
    keepOnTop(box);
    box.exec();
}

std::optional<QColor> QtPrompter::chooseColour(const QColor& initial)
{
    QColorDialog dialog(initial, askingWindow());
    keepOnTop(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

std::optional<QFont> QtPrompter::chooseFont(const QFont& initial,
                                            const std::function<void(const QFont&)>& apply)
{
    // The dialog lists installed families. A family the program names by substitution ("隶书")
    // shows as the installed font that stands for it, and comes back under its own name.
    const QString standIn = QFontInfo(initial).family();
    const bool substituted = !QFontDatabase::hasFamily(initial.family());
    QFont shown = initial;
    if (substituted)
        shown.setFamily(standIn);
    auto named = [&](QFont font) {
        if (substituted && font.family() == standIn)
            font.setFamily(initial.family());
        return font;
    };
    QFontDialog dialog(shown, askingWindow());
    // Qt's own dialog, whose buttons can take an Apply button.
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* applyButton = buttons->addButton(QDialogButtonBox::Apply);
        QObject::connect(applyButton, &QPushButton::clicked, &dialog,
                         [&] { apply(named(dialog.currentFont())); });
    }
    keepOnTop(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return named(dialog.selectedFont());
}

QString QtPrompter::openFile(const QString& caption, const QString& directory,
                             const QString& filter)
{
    return askForFile(QFileDialog::AcceptOpen, caption, directory, filter);
}

QString QtPrompter::saveFile(const QString& caption, const QString& directory,
                             const QString& filter)
{
    return askForFile(QFileDialog::AcceptSave, caption, directory, filter);
}

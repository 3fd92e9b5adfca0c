#include "QtPrompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

namespace {

void keepOnTop(QWidget& dialog) {
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
}

// The window the question is about: the dialog belongs to it, so a window manager keeps the
// dialog above it and gives it the focus back afterwards, and a full-screen window with a dialog
// open stays over the desktop's panels.
QWidget* askingWindow() {
    return QApplication::activeWindow();
}

QString askForFile(QFileDialog::AcceptMode mode, const QString& caption, const QString& directory,
                   const QString& filter) {
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

bool QtPrompter::askYesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    askingWindow());
    // Enter answers Yes, as in the classic message box.
    box.setDefaultButton(QMessageBox::Yes);
    keepOnTop(box);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompter::inform(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, askingWindow());
    keepOnTop(box);
    box.exec();
}

std::optional<QColor> QtPrompter::chooseColour(const QColor& initial) {
    QColorDialog dialog(initial, askingWindow());
    keepOnTop(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

std::optional<QFont> QtPrompter::chooseFont(const QFont& initial) {
    QFontDialog dialog(initial, askingWindow());
    keepOnTop(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

QString QtPrompter::openFile(const QString& caption, const QString& directory,
                             const QString& filter) {
    return askForFile(QFileDialog::AcceptOpen, caption, directory, filter);
}

QString QtPrompter::saveFile(const QString& caption, const QString& directory,
                             const QString& filter) {
    return askForFile(QFileDialog::AcceptSave, caption, directory, filter);
}

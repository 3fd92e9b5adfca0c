#include "QtPrompter.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

void keepOnTop(QWidget& dialog) {
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
}

QString askForFile(QFileDialog::AcceptMode mode, const QString& caption, const QString& directory,
                   const QString& filter) {
    QFileDialog dialog(nullptr, caption, directory, filter);
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
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No);
    // Enter answers Yes, as in the classic message box.
    box.setDefaultButton(QMessageBox::Yes);
    keepOnTop(box);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompter::inform(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok);
    keepOnTop(box);
    box.exec();
}

std::optional<QColor> QtPrompter::chooseColour(const QColor& initial) {
    QColorDialog dialog(initial);
    keepOnTop(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

std::optional<QFont> QtPrompter::chooseFont(const QFont& initial,
                                            const std::function<void(const QFont&)>& apply) {
    QFontDialog dialog(initial);
    // Qt's own dialog, whose buttons can take an Apply button.
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* applyButton = buttons->addButton(QDialogButtonBox::Apply);
        QObject::connect(applyButton, &QPushButton::clicked, &dialog,
                         [&] { apply(dialog.currentFont()); });
    }
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

#pragma once

#include <QWidget>

class FolderImport;
class QPushButton;

// The settings button window (TForm13): a borderless window of 130 x 48 that stays on top, in
// the colour 4227327 (orange), shown by the board's palette under its picture column. Its button
// "设置" asks for the picture import window; the folder import's count is drawn at (3, 23) and
// vanishes when the window is shown again. Coordinates are the window's own.
class SettingsButtonWindow : public QWidget {
    Q_OBJECT
public:
    explicit SettingsButtonWindow(FolderImport& import);

    QPushButton* BitBtn1; // "设置"

signals:
    void settingsRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    FolderImport& m_import;
};

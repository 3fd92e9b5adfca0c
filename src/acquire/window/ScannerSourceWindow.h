#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class ScanSession;

// The scanner source window (TForm11): a borderless, always-on-top window of 335 x 208, centred
// on the desktop and shown modally once the sources are listed. The teacher picks a source and the
// page mode; "确定" scans, "取消" unloads the source manager; both close the window. It shows the
// scan session's state and forwards the choices to it. Coordinates of the controls are the
// window's own.
class ScannerSourceWindow : public QDialog {
    Q_OBJECT
public:
    explicit ScannerSourceWindow(ScanSession& session);

    // Shows the window modally, centred on the screen.
    void showModal();

    QLabel* Label1;
    QListWidget* ListBox1;
    QRadioButton* RadioButton1; // "单页"
    QRadioButton* RadioButton2; // "双页"
    QPushButton* BitBtn1;       // "确定"
    QPushButton* BitBtn2;       // "取消"

protected:
    // Escape does what "取消" does.
    void reject() override;

private:
    void showSources();
    void showChoices();

    ScanSession& m_session;
};

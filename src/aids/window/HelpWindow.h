#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The help window (TForm4): the program's user guide, the web page archive "zkthelp.mht" beside
// the program, shown in a web view between two captioned bands. It is opened modally and closed
// with "确定" only. Every opening shows the guide from its beginning. Coordinates are the
// window's client pixels.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // documentPath: the help document; it is read at every opening, and a missing file only
    // leaves the web view with its own message. A pipe, a device or a directory under the name is
    // not read at all: the view stays empty.
    explicit HelpWindow(const QString& documentPath);

    QString documentPath() const { return m_documentPath; }

    QLabel* Label1; // caption of the band above the guide
    QLabel* Label2; // caption of the band below it
    // The web view is made at the first opening, so that start-up does not start the web engine.
    // (A web view of ui/WebViews.)
    QWidget* WebBrowser1 = nullptr;
    QPushButton* BitBtn1; // "确定"

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void makeWebBrowser();
    // Goes to the beginning of the help document.
    void showGuide();

    QString m_documentPath;
};

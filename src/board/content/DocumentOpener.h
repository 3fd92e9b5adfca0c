#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class ContentPanelModel;
class DocumentConverter;
class Launcher;
class Prompter;

// Opens a document into the content panel: the chooser, then the document where it belongs.
// Web pages and their archives, pictures, PDF and plain text show in the panel's document view.
// Office documents are converted to PDF by an office suite when one is installed, and shown;
// without one, when the conversion fails, and for Flash movies, the desktop's registered
// application opens them beside the board. Presentations (".pps", ".ppt", spelled in lower case)
// belong to the desktop's presentation program: the board closes first, as "操作演示" closes it.
// When the desktop has no application for a file, the teacher is told so.
class DocumentOpener : public QObject {
    Q_OBJECT
public:
    // What the chooser offers and starts with.
    static const QString chooserFilter;
    static const QString defaultName;

    DocumentOpener(ContentPanelModel& panel, Prompter& prompter, Launcher& launcher,
                   DocumentConverter& converter, const QString& programDirectory);
    ~DocumentOpener() override;

    // The panel's open button: the chooser starts in the program directory; cancelling it
    // changes nothing.
    void choose();
    void open(const QString& path);

signals:
    // A presentation is about to be handed to the desktop: the board is to close.
    void leaveBoardRequested();

private:
    void handToDesktop(const QString& path);
    void convert(const QString& path);

    ContentPanelModel& m_panel;
    Prompter& m_prompter;
    Launcher& m_launcher;
    DocumentConverter& m_converter;
    QString m_programDirectory;
    // The converted PDF files, one directory each, gone when the program ends.
    std::unique_ptr<QTemporaryDir> m_converted;
    // Conversions started; only the latest one's PDF is shown.
    int m_conversions = 0;
};

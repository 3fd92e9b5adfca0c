#pragma once

#include "aids/CompanionWatch.h"

#include <QObject>
#include <QTextDocument>

#include <functional>

class Desktop;
class Launcher;
class Prompter;

// The text-line panel's behaviour (TForm14): its lines, its open mark, the companion program it
// works beside and what it changes on the desktop while it is shown. Lines are kept in a text
// document that the panel's text box shows and edits. On disk they are text files in GBK, each
// line ended by CR LF.
class TextLinePanelModel : public QObject {
    Q_OBJECT
public:
    // companionDirectory is where the companion program "ani.dll" is delivered; the screen-saver
    // switch is told true while the panel is shown and false when it closes.
    TextLinePanelModel(Desktop& desktop, Launcher& launcher, Prompter& prompter,
                       const QString& companionDirectory,
                       std::function<void(bool running)> screenSaverSwitch);

    QTextDocument* lines() { return &m_lines; }
    // 1 from opening until the panel is closed, 0 otherwise; the board brings the panel back when
    // it is 1.
    int openMark() const { return m_openMark; }

    // Opening from the toolbar: the panel shows, the mark becomes 1 and the companion program is
    // started, watched from now on.
    void open();
    // Each time the panel becomes visible: the desktop's taskbar is hidden and the screen-saver
    // switch turned on.
    void shown();
    // "退出", and the companion's end: the panel hides, the mark becomes 0, the taskbar comes back
    // and the screen-saver switch is turned off.
    void close();
    // The panel's timer: closes the panel once the companion program is gone.
    void watchCompanion();

    // The load and save buttons: a file dialog, then the file. Failures are reported.
    void load();
    void save();
    // The text file's lines replace the panel's lines; false when it cannot be read.
    bool readFile(const QString& path);
    enum class WriteResult { Written, NotInGbk, Refused };
    // Writes the lines to exactly this name, replacing the file. A line holding a character GBK has
    // no code for, or a refused write, leaves the file as it was.
    WriteResult writeFile(const QString& path);

signals:
    // The panel is to show and its timer to run.
    void opened();
    // The panel is to hide and its timer to stop.
    void closed();

private:
    Desktop& m_desktop;
    Launcher& m_launcher;
    Prompter& m_prompter;
    QString m_companionDirectory;
    std::function<void(bool)> m_screenSaverSwitch;
    QTextDocument m_lines;
    int m_openMark = 0;
    CompanionWatch m_companion;
};

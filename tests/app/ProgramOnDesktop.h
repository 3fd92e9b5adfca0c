#pragma once

#include "DisplayProbe.h"

#include <QColor>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

// The program as a process on the test's X display, as a classroom runs it: with openbox and the
// tint2 panel along the bottom of the screen, or with no window manager (and then no panel, which
// needs one). The program inherits the test's environment. end() stops whatever was started.
class ProgramOnDesktop {
public:
    // A point of the panel, and the one colour it shows.
    static constexpr QPoint panelPlace{512, 760};
    static const QColor panelColour;
    // The board's page in the background colour of no teacher's settings.
    static const QColor emptyPageColour;

    ProgramOnDesktop();
    ~ProgramOnDesktop();
    ProgramOnDesktop(const ProgramOnDesktop&) = delete;
    ProgramOnDesktop& operator=(const ProgramOnDesktop&) = delete;

    // False when the test's display cannot be reached or the panel's settings cannot be written.
    bool isReady() const;
    DisplayProbe& probe() const { return *m_probe; }

    void startDesktop(bool windowManager);
    // Starts the program from its directory; its toolbar shows at its home place.
    void startProgram();
    // Starts the program through a command that becomes the program's process in the end (an
    // installed program's launcher, run as another user), with this environment.
    void startProgram(const QString& command, const QStringList& arguments,
                      const QProcessEnvironment& environment);
    // "书写板" on the toolbar: the board covers the screen, the panel included, with its empty
    // page.
    void openBoard();
    void end();
    // Ends the program, when it runs, at once with SIGKILL, as a crash does: nothing of it runs
    // any more.
    void kill();

    qint64 pid() const { return m_program.processId(); }
    bool hasPanel() const { return m_hasPanel; }
    quint64 toolbar() const { return m_toolbar; }
    // The board as it was first shown.
    quint64 board() const { return m_board; }
    // The program's window on top at a point, 0 when another program's window is.
    quint64 programWindowAt(QPoint point) const;

private:
    std::unique_ptr<DisplayProbe> m_probe;
    QTemporaryDir m_configuration;
    bool m_configured = false;
    QProcess m_windowManager;
    QProcess m_panel;
    QProcess m_program;
    bool m_hasPanel = false;
    quint64 m_toolbar = 0;
    quint64 m_board = 0;
};

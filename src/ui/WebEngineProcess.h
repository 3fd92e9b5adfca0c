#pragma once

#include <QHash>
#include <QObject>
#include <QProcess>
#include <QSet>

#include <functional>

class WebViewHost;

// The program's side of its web view process (zkalto-web beside the program): the web engine
// runs there, each web view a window inside a WebViewHost of the program.
//
// The engine costs some 200 MiB while it shows a page, and it gives nothing back when the page
// goes: the process is ended as soon as no host is shown, and its memory goes with it. So that
// the next guide or document is not kept waiting for the engine's libraries, a process is
// started ahead of time, at start-up and after one ends: its libraries loaded, no engine started
// and no page, it holds some 12 MiB (its library pages wait in the page cache, zkalto-web's
// LibraryPages).
class WebEngineProcess : public QObject {
    Q_OBJECT
public:
    // The one process of the program.
    static WebEngineProcess& instance();
    // Whether web views can be shown at all: the process's program is there and the program
    // runs on an X server, which lets windows of two processes nest.
    static bool available();

    // Starts a process ahead of time, when none runs.
    void prepare();
    // The running process's id, 0 when none runs.
    qint64 processId() const;

    // A host came to the screen: its view is made in the process, which is started for it when
    // none runs. True when the view is made anew (and shows nothing yet).
    bool shown(WebViewHost* host);
    // A host left the screen (or is deleted): with no host on the screen the process ends.
    void hidden(WebViewHost* host);
    void removed(WebViewHost* host);
    // A line to the view of a host that has one in the running process; otherwise nothing.
    void send(WebViewHost* host, QByteArrayList fields);
    // Runs a script in the page of the host's view; done gets its value, or an invalid one when
    // the process ends first.
    void runScript(WebViewHost* host, const QString& script,
                   const std::function<void(const QVariant&)>& done);

private:
    WebEngineProcess() = default;
    void start();
    void read();
    void ended();
    void forgetViews();
    void endWhenNothingShows();
    WebViewHost* hostOf(const QByteArray& id) const;

    QProcess* m_process = nullptr;
    // Ended on purpose: its end is no failure.
    bool m_ending = false;
    QSet<WebViewHost*> m_hosts;
    // The hosts whose views exist in the running process.
    QSet<WebViewHost*> m_made;
    QHash<int, std::function<void(const QVariant&)>> m_scripts;
    int m_lastScript = 0;
};

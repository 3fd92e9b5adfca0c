#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>

class QFile;
class QSocketNotifier;
class QWebEngineView;

// The web view process's side of the web views: real QWebEngineViews, each a window inside a
// window of the program, told what to do by the lines the program writes (ui/WebViewProtocol.h).
// The process ends when the program closes its end.
class WebViewServer : public QObject {
    Q_OBJECT
public:
    // Reads the program's lines from `commands` and writes its answers to `answers`.
    WebViewServer(int commands, int answers);

    // No view has been made yet.
    bool waiting() const { return m_views.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readCommands();
    void run(const QByteArrayList& fields);
    void make(int id, const QByteArray& use, quintptr window, int width, int height);
    void load(QWebEngineView* view, const QUrl& url, bool freshPage);
    void runScript(QWebEngineView* view, const QByteArray& request, const QString& script);
    void answer(const QByteArrayList& fields);

    int m_commands;
    QFile* m_answers;
    QSocketNotifier* m_notifier;
    QByteArray m_pending;
    QHash<int, QWebEngineView*> m_views;
};

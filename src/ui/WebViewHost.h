#pragma once

#include "ui/WebViewProtocol.h"
#include "ui/WebViews.h"

#include <QUrl>
#include <QWidget>

class QLabel;

// The place of a web view in a window of the program: a native child window into which the web
// view process (WebEngineProcess) puts the view's own window, at the host's size. Presses and
// the wheel go from the X server to the view itself. The host keeps what its view shows, so that
// a view made anew in a new process (after the previous one ended with nothing on the screen)
// shows the same address. Where the process dies or the page's process ends abnormally, the
// host says so over the page until the next page loads.
class WebViewHost : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QUrl url READ url)
    Q_PROPERTY(QString title READ title)
public:
    WebViewHost(QWidget* parent, WebViewUse use);
    ~WebViewHost() override;

    int id() const { return m_id; }
    WebViewUse use() const { return m_use; }
    // The address last loaded (as the page reports it once loaded), and its title.
    QUrl url() const { return m_url; }
    QString title() const { return m_title; }
    // See WebViews::load.
    void load(const QUrl& url, bool freshPage);
    // The line that loads the host's address into a view made anew.
    void restore();

    // From the web view process.
    void pageLoaded(bool ok, const QUrl& url, const QString& title);
    void pageFailed();
    void pressed();

signals:
    void loadFinished(bool ok);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void sayNotice(bool shown);

    const int m_id;
    const WebViewUse m_use;
    QUrl m_url;
    QString m_title;
    // Asked for since the host came to the screen: no older address is restored over it.
    bool m_loadAsked = false;
    QLabel* m_notice;
};

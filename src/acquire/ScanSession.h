#pragma once

#include "acquire/ScanPageMode.h"
#include "platform/Scanner.h"

#include <QObject>
#include <QStringList>
#include <QThread>

class BoardModel;
class Prompter;

// Scanning, from the scan button to the pages on the board, and the state the scanner source
// window (TForm11) shows: the sources by model name, the one selected, the page mode. Every call
// to the source manager runs in order on a thread of the session's own, so the windows stay
// responsive while devices are searched and pages scanned; busy() is true meanwhile. Each page
// the source delivers is placed on the board on this object's thread, the last one over the
// earlier ones.
class ScanSession : public QObject {
    Q_OBJECT
public:
    static constexpr int dotsPerInch = 150;

    // programDirectory is where "tmp.bmt" is written; it ends with "/".
    ScanSession(Scanner& scanner, BoardModel& board, Prompter& prompter,
                const QString& programDirectory);
    // A scan in progress is stopped and the manager unloaded.
    ~ScanSession() override;

    QStringList sourceNames() const { return m_sourceNames; }
    // The entry selected in the list, -1 when the list is empty.
    int selectedSource() const { return m_selected; }
    void selectSource(int index);
    ScanPageMode pageMode() const { return m_pageMode; }
    void setPageMode(ScanPageMode mode);
    bool busy() const { return m_busy > 0; }

    // The scan button: the manager is loaded afresh and its sources listed, off this thread. Then
    // either "扫描驱动程序出错！" or sourcesReady() with the first source selected. Nothing happens
    // while the session is busy.
    void reload();
    // "确定": with no source "未检测到扫描仪和其它视频设备！"; otherwise the content panel is asked
    // to close and the selected source scans at 150 dpi in the page mode chosen now.
    void confirm();
    // "取消": the manager is unloaded.
    void cancel();

signals:
    void busyChanged(bool busy);
    // The source list was listed afresh.
    void sourcesChanged();
    // The selection or the page mode changed.
    void changed();
    // The sources are listed: the scanner source window is to show.
    void sourcesReady();
    // A scan starts: the board's content panel is to close, keeping its state.
    void contentPanelCloseRequested();

private:
    // Runs job on the scanner's thread, then done on this one.
    void run(std::function<void()> job);
    void setBusy(int change);
    void listed(bool loaded, const QList<ScanSource>& sources);

    Scanner& m_scanner;
    BoardModel& m_board;
    Prompter& m_prompter;
    QString m_programDirectory;
    QThread m_thread;
    QObject m_worker;
    QList<ScanSource> m_sources;
    QStringList m_sourceNames;
    int m_selected = -1;
    ScanPageMode m_pageMode = ScanPageMode::Single;
    int m_busy = 0;
};

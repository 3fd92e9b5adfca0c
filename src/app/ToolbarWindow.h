#pragma once

#include <QWidget>

struct Platform;
struct Windows;
class QFrame;
class QTimer;
class QWindow;
class QToolButton;

// The floating toolbar (TForm1): the program's home, a strip of picture buttons near the top right
// of the screen that opens everything else. Its creation makes the desktop fit for class: colour
// depth, one copy only, no taskbar button, task keys blocked. Closing it ends the program.
// Coordinates are screen pixels.
class ToolbarWindow : public QWidget {
    Q_OBJECT
public:
    ToolbarWindow(Platform& platform, Windows& windows, QWindow* applicationWindow,
                  QSize screenSize, const QString& programDirectory);

    // True when start-up found another copy running: the program ends without running.
    bool endRequested() const { return m_endRequested; }
    bool taskKeyBlock() const { return m_taskKeyBlock; }

    // Back from the board or the shade: the placement timer runs again.
    void startPlacementTimer();
    // Shows the toolbar again and restarts its timer.
    void comeBack();

    QFrame* Panel1;
    QFrame* Panel2;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton5;
    QToolButton* SpeedButton6;
    QToolButton* SpeedButton7;
    QToolButton* SpeedButton8;
    QToolButton* SpeedButton9;
    QToolButton* SpeedButton10;
    QTimer* Timer1;

signals:
    // "退出" was answered Yes: the exit steps are to run.
    void exitRequested();
    // The program is to end: every exit step has run.
    void exitConfirmed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildButtons();
    void blockTaskKeys();
    void openBoard();
    void toggleKeyboard();
    void openTextLinePanel();
    void showShade();
    void shrink();
    void restore();
    void exitProgram();
    void keepPlace();
    int homeLeft() const;

    Platform& m_platform;
    Windows& m_windows;
    QSize m_screenSize;
    QString m_programDirectory;
    bool m_endRequested = false;
    bool m_taskKeyBlock = false;
};

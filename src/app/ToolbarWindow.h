#pragma once

#include <QWidget>

struct Platform;
class TaskKeyBlock;
class QFrame;
class QTimer;
class QToolButton;

// The floating toolbar (TForm1): the program's home, a strip of picture buttons near the top right
// of the screen that opens everything else. It asks for the other windows through its signals;
// closing it ends the program. Coordinates are screen pixels.
class ToolbarWindow : public QWidget {
    Q_OBJECT
public:
    // programFilesDirectory: where the programs it starts are looked up first.
    ToolbarWindow(Platform& platform, TaskKeyBlock& taskKeyBlock,
                  const QString& programFilesDirectory);

    // Moves to the toolbar's place near the top right of the screen.
    void moveHome();
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
    // "书写板": the toolbar has hidden and stopped its timer; the board is to open.
    void boardRequested();
    // "标注": the toolbar has hidden and stopped its timer; the overlay is to open over the
    // desktop.
    void annotateRequested();
    // The text-line panel is to open beside its companion program.
    void textLinePanelRequested();
    // "消隐投影": the toolbar has left the top layer and stopped its timer; the shade is to open.
    void shadeRequested();
    // "帮助": the help window is to be shown modally.
    void helpRequested();
    // "退出" answered Yes: the program's exit steps are to run.
    void exitConfirmed();
    // The toolbar has closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

public:
    // What "书写板" does: the toolbar hides and asks for the board.
    void openBoard();

private:
    void buildButtons();
    void annotate();
    void toggleKeyboard();
    void showShade();
    void shrink();
    void restore();
    void exitProgram();
    void keepPlace();
    int homeLeft() const;

    Platform& m_platform;
    TaskKeyBlock& m_taskKeyBlock;
    QString m_programFilesDirectory;
};

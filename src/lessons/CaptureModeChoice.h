#pragma once

#include <QObject>

// The choice of the settings window's capture-mode group: where the overlay puts a screen
// capture, 0 onto a board page, 1 into a PNG file. It is not stored: every start begins with 0.
// Program hands every choice to the overlay, which uses it at its next capture.
class CaptureModeChoice : public QObject {
    Q_OBJECT
public:
    enum Value { ToBoard = 0, ToFile = 1 };

    int value() const { return m_value; }
    void setValue(int value)
    {
        if (value != ToBoard && value != ToFile)
            return;
        if (value == m_value)
            return;
        m_value = value;
        emit changed(m_value);
    }

signals:
    void changed(int value);

private:
    int m_value = ToBoard;
};

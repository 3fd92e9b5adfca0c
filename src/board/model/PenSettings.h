#pragma once

#include "board/model/ColourChoice.h"

#include <QColor>

class Prompter;

// The teacher's pen as the board and the overlay each keep one: its colour and its stroke width.
// The width goes in steps of one between thinnest and widest, as the settings window's width
// buttons step it too; the colour dialog opens at the colour last chosen in it.
class PenSettings {
public:
    static constexpr int thinnest = 1;
    static constexpr int widest = 9;

    PenSettings(const QColor& colour, int width) : m_colour(colour), m_width(width) {}

    QColor colour() const { return m_colour; }
    int width() const { return m_width; }
    // Settings applied as they are, as at start-up.
    void setColour(const QColor& colour) { m_colour = colour; }
    void setWidth(int width) { m_width = width; }

    // One step wider (step 1) or narrower (step -1); returns whether the width changed.
    bool changeWidth(int step);
    // The width after such a step: it stops where it stands at the end it is moved towards.
    static int steppedWidth(int width, int step);

    // The colour dialog through prompter; a chosen colour becomes the pen's. Returns whether one
    // was chosen.
    bool chooseColour(Prompter& prompter);

private:
    QColor m_colour;
    int m_width;
    ColourChoice m_dialog;
};

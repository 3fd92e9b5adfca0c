// The board window: stroke width, stroke colour and background colour.

#include "board/window/BoardWindow.h"
#include "board/pixels/ColourRef.h"
#include "board/pixels/ProbePixel.h"
#include "board/model/TextPanelColour.h"
#include "platform/Prompter.h"
#include "ui/ColourSwatch.h"

#include <QLabel>
#include <QLineEdit>

void BoardWindow::changeStrokeWidth(int step)
{
    if (Edit1->text() == QLatin1String(step > 0 ? "9" : "1"))
        return;
    const int width = strokeWidth() + step;
    Edit1->setText(QString::number(width));
    m_tools.pen().width = m_tools.toolMode() == ToolMode::Eraser ? eraserPenWidth(width) : width;
}

void BoardWindow::chooseStrokeColour()
{
    const QColor initial = m_strokeDialogColour.isValid() ? m_strokeDialogColour : strokeColour();
    const auto chosen = m_prompter.chooseColour(initial);
    if (!chosen)
        return;
    m_strokeDialogColour = *chosen;
    LCP->setColour(*chosen);
    // The eraser keeps painting the background.
    if (m_tools.toolMode() != ToolMode::Eraser)
        m_tools.pen().colour = *chosen;
}

void BoardWindow::chooseBackgroundColour()
{
    const QColor initial =
        m_backgroundDialogColour.isValid() ? m_backgroundDialogColour : backgroundSwatch();
    const auto chosen = m_prompter.chooseColour(initial);
    if (chosen) {
        m_backgroundDialogColour = *chosen;
        // Try the colour on the window beside the probe pixel: the same colour on both and on the
        // swatch means the page already has it.
        m_surface.setPixel(ProbePixel::trial(m_screenSize), *chosen);
        const bool unchanged =
            m_surface.pixel(ProbePixel::trial(m_screenSize)) == m_surface.backgroundColour() &&
            *chosen == backgroundSwatch();
        if (!unchanged) {
            if (m_pages.current().state == PageState::WrittenOn) {
                if (!m_prompter.askYesNo(QStringLiteral("提示信息"),
                                         QStringLiteral("是否清除本页内容？"))) {
                    RCP->setColour(*chosen);
                    return;
                }
                m_pages.current().state = PageState::Cleared;
            }
            m_floating.drop();
            Image2->hide();
            RCP->setColour(*chosen);
            if (m_tools.toolMode() == ToolMode::Eraser)
                m_tools.pen().colour = *chosen;
            m_pages.currentPageImage().fill(*chosen);
            setTextPanelColour(TextPanelColour::forBackground(ColourRef::fromColor(*chosen)));
        }
    }
    repaintFromPage();
}

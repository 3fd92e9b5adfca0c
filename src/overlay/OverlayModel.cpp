#include "overlay/OverlayModel.h"

#include "board/codec/ImageCodec.h"
#include "board/model/BoardModel.h"
#include "board/pixels/ColourRef.h"
#include "board/pixels/EdgeRect.h"
#include "board/pixels/PageFormat.h"
#include "board/pixels/RasterCopy.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QRegion>

namespace {

// Rubber bands and the floating selection are wiped with this much around them.
constexpr int aroundMargin = 10;
// The pen's colour until personal settings apply theirs: orange.
constexpr quint32 designedPenColour = 33023;
constexpr int designedStrokeWidth = 3;
// The selection zooms bicubic (mode 7) at every factor with its frame of two pixels left out,
// reduces through "tmp.bmp", and does not zoom when it is four pixels or less across: nothing is
// inside its frame then.
constexpr ZoomRules selectionZoom{.frame = QMargins(2, 2, 2, 2),
                                  .atOneOrMore = Interpolation::HighQualityBicubic,
                                  .belowOne = Interpolation::HighQualityBicubic,
                                  .reducesThroughBmp = true,
                                  .needsInterior = true};
// The full toolbar's corner of the screen, uncovered when the compact toolbar replaces it.
constexpr int fullToolbarReach = 600;
constexpr int fullToolbarHeight = 40;

QString cursorFile(OverlayTool tool)
{
    switch (tool) {
    case OverlayTool::Write:
        return QStringLiteral("Text_Hnd.cut");
    case OverlayTool::Line:
        return QStringLiteral("Sonic cross2.cut");
    case OverlayTool::Range:
    case OverlayTool::Erase:
        return QStringLiteral("prcs_mox2.cut");
    }
    return {};
}

// A file name from the moment: year, month, day, hour, minute and second as plain numbers.
QString momentName(const QDateTime& now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    QString name;
    for (int part :
         {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()})
        name += QString::number(part);
    return name;
}

} // namespace

OverlayModel::OverlayModel(BoardModel& board, const QString& programDirectory, Prompter& prompter,
                           Clock& clock)
    : m_board(board), m_programDirectory(programDirectory), m_prompter(prompter), m_clock(clock),
      m_screen(board.screenSize()), m_range(aroundMargin, false), m_erase(aroundMargin),
      m_line(aroundMargin, false),
      m_pen(ColourRef::toColor(designedPenColour), designedStrokeWidth), m_selection(selectionZoom)
{
    m_screen.setRepaintHandler([this](const QRect& rect) { emit repaintNeeded(rect); });
    m_stroke.pen = {m_pen.colour(), m_pen.width(), false};
    m_stroke.strokeWidth = m_pen.width();
}

QSize OverlayModel::screenSize() const
{
    return m_screen.size();
}

Canvas OverlayModel::canvas()
{
    return Canvas{m_screen, m_board.pages().scratchImage(), m_undo,
                  m_buffersReady ? &m_snapshot : nullptr};
}

CanvasTool& OverlayModel::currentTool()
{
    switch (m_tool) {
    case OverlayTool::Write:
        return m_write;
    case OverlayTool::Range:
        return m_range;
    case OverlayTool::Erase:
        return m_erase;
    case OverlayTool::Line:
        return m_line;
    }
    return m_write;
}

void OverlayModel::setStrokeWidth(int width)
{
    m_pen.setWidth(width);
    m_stroke.strokeWidth = width;
    m_stroke.pen.width = width;
    emit settingsChanged();
}

void OverlayModel::setPenColour(const QColor& colour)
{
    m_pen.setColour(colour);
    m_stroke.pen.colour = colour;
    emit settingsChanged();
}

void OverlayModel::open(const QImage& desktop)
{
    QImage& scratch = m_board.pages().scratchImage();
    if (!m_buffersReady) {
        if (scratch.size() != screenSize())
            scratch = QImage(screenSize(), pageFormat);
        m_undo = QImage(screenSize(), pageFormat);
        m_snapshot = QImage(screenSize(), pageFormat);
        m_buffersReady = true;
    }
    const QRect whole(QPoint(0, 0), screenSize());
    RasterCopy::copy(desktop, whole, scratch, QPoint(0, 0));
    RasterCopy::copy(scratch, whole, m_undo, QPoint(0, 0));
    RasterCopy::copy(scratch, whole, m_snapshot, QPoint(0, 0));
    repaintAll();
}

void OverlayModel::repaintAll()
{
    m_screen.copyFrom(m_board.pages().scratchImage(), QRect(QPoint(0, 0), screenSize()));
}

void OverlayModel::restoreAroundSelection(const QRect& area)
{
    m_screen.copyFrom(m_board.pages().scratchImage(),
                      area.adjusted(-aroundMargin, -aroundMargin, aroundMargin, aroundMargin));
}

void OverlayModel::hideSelection()
{
    const QRect before = m_selection.geometry();
    m_selection.drop();
    restoreAroundSelection(before);
    emit selectionChanged();
}

void OverlayModel::abandonSelectionInRange()
{
    if (m_tool == OverlayTool::Range)
        hideSelection();
}

void OverlayModel::press(QPoint point)
{
    Canvas onScreen = canvas();
    if (m_tool == OverlayTool::Range && m_selection.isShown()) {
        // The floating selection goes down into the working picture, its frame left out.
        QImage& scratch = m_board.pages().scratchImage();
        RasterCopy::copy(scratch, scratch.rect(), m_undo, QPoint(0, 0));
        m_selection.stampFramed(scratch);
        hideSelection();
    }
    currentTool().press(m_stroke, onScreen, point);
}

void OverlayModel::move(QPoint point)
{
    Canvas onScreen = canvas();
    m_stroke.box.grow(point);
    currentTool().move(m_stroke, onScreen, point);
}

void OverlayModel::release(QPoint point)
{
    if (m_tool == OverlayTool::Range) {
        makeSelection(point);
    } else {
        Canvas onScreen = canvas();
        currentTool().release(m_stroke, onScreen, point);
    }
    m_releasePoint = point;
}

void OverlayModel::makeSelection(QPoint release)
{
    const QPoint press = m_stroke.pressPoint;
    const QSize size(std::max(release.x() - press.x(), 0), std::max(release.y() - press.y(), 0));
    if (size.isEmpty())
        repaintAll();
    m_selectionMade = true;
    // The picture keeps the dotted rubber band on its border.
    QImage picture(size, pageFormat);
    RasterCopy::copy(m_screen.image(), QRect(press, size), picture, QPoint(0, 0));
    m_selection.place(picture, press, false);
    m_fileCaptureSize = size - QSize(2, 2);
    QImage& scratch = m_board.pages().scratchImage();
    RasterCopy::copy(scratch, scratch.rect(), m_undo, QPoint(0, 0));
    emit selectionChanged();
}

void OverlayModel::pressOnSelection(QPoint pointInPicture)
{
    m_selection.grab(pointInPicture);
}

void OverlayModel::dragSelection(QPoint pointInPicture)
{
    const QRect before = m_selection.geometry();
    m_selection.dragTo(pointInPicture);
    // Where the selection stood, the working picture shows again, as the window paints it.
    for (const QRect& rect : QRegion(before) - QRegion(m_selection.geometry()))
        m_screen.copyFrom(m_board.pages().scratchImage(), rect);
    emit selectionChanged();
}

void OverlayModel::chooseTool(OverlayTool tool)
{
    emit toolCursorChanged(cursorFile(tool));
    if (tool != OverlayTool::Range) {
        m_stroke.pen = {m_pen.colour(), m_pen.width(), tool == OverlayTool::Erase};
        if (tool == OverlayTool::Erase)
            m_stroke.pen.width = 1;
        // A floating selection that was not put down is abandoned.
        abandonSelectionInRange();
        m_selectionMade = false;
    }
    m_tool = tool;
    emit toolChanged();
}

void OverlayModel::changeStrokeWidth(int step)
{
    if (m_pen.changeWidth(step))
        setStrokeWidth(m_pen.width());
}

void OverlayModel::choosePenColour()
{
    if (m_pen.chooseColour(m_prompter))
        setPenColour(m_pen.colour());
    repaintAll();
}

void OverlayModel::clearAll()
{
    abandonSelectionInRange();
    if (!m_buffersReady)
        return;
    const QRect whole(QPoint(0, 0), screenSize());
    m_screen.drawImage(QPoint(0, 0), m_snapshot);
    RasterCopy::copy(m_snapshot, whole, m_undo, QPoint(0, 0));
    RasterCopy::copy(m_snapshot, whole, m_board.pages().scratchImage(), QPoint(0, 0));
}

void OverlayModel::clearSelected()
{
    if (!m_buffersReady)
        return;
    if (!m_selectionMade) {
        clearAll();
        return;
    }
    const QPoint press = m_stroke.pressPoint;
    const QRect selected = edgeRect(press.x(), press.y(), m_releasePoint.x(), m_releasePoint.y());
    m_screen.copyFrom(m_snapshot, selected);
    RasterCopy::copy(m_snapshot, selected, m_undo, selected.topLeft());
    RasterCopy::copy(m_snapshot, selected, m_board.pages().scratchImage(), selected.topLeft());
}

void OverlayModel::undo()
{
    abandonSelectionInRange();
    if (m_buffersReady)
        m_screen.drawImage(QPoint(0, 0), m_undo);
    QImage& scratch = m_board.pages().scratchImage();
    RasterCopy::copy(m_screen.image(), scratch.rect(), scratch, QPoint(0, 0));
}

void OverlayModel::setCompact(bool compact)
{
    m_compact = compact;
    if (compact) {
        const int width = screenSize().width();
        m_screen.copyFrom(m_board.pages().scratchImage(),
                          edgeRect(width - fullToolbarReach, 0, width, fullToolbarHeight));
    }
    emit compactChanged();
}

void OverlayModel::zoom(bool enlarge)
{
    // Nothing to zoom before the first selection.
    if (m_selection.picture().isNull())
        return;
    const QRect before = m_selection.geometry();
    if (!m_selection.zoom(enlarge, screenSize(), m_programDirectory))
        return;
    for (const QRect& rect : QRegion(before) - QRegion(m_selection.geometry()))
        m_screen.copyFrom(m_board.pages().scratchImage(), rect);
    emit selectionChanged();
}

void OverlayModel::captureOntoCurrentPage()
{
    PageStore& pages = m_board.pages();
    m_board.makeCurrentPageReady();
    if (m_selectionMade) {
        m_board.putDownFloatingPicture();
        m_board.chooseTool(ToolMode::RangeSelection);
        m_board.placePicture(m_selection.picture(), m_selection.geometry().topLeft(), false);
    } else {
        m_board.replaceCurrentPage(m_screen.image());
    }
    pages.current().state = PageState::WrittenOn;
}

void OverlayModel::endCaptureOnBoard()
{
    hideSelection();
    m_selectionMade = false;
}

void OverlayModel::captureToCurrentPage()
{
    if (m_captureMode == CaptureMode::File) {
        captureToFile();
        return;
    }
    captureOntoCurrentPage();
    endCaptureOnBoard();
}

void OverlayModel::captureToNextPage()
{
    if (m_captureMode == CaptureMode::File) {
        captureToFile();
        return;
    }
    m_board.putDownFloatingPicture();
    PageStore& pages = m_board.pages();
    if (pages.current().state == PageState::WrittenOn) {
        // On page 99 the board cannot turn: the capture goes onto page 99.
        m_board.turnRight();
    } else {
        // A page without content takes the capture itself.
        m_board.fillCurrentPage();
    }
    pages.current().state = PageState::WrittenOn;
    captureOntoCurrentPage();
    endCaptureOnBoard();
}

void OverlayModel::captureToFile()
{
    // Nothing to save before the first selection, nor a selection with nothing inside its frame.
    if (m_fileCaptureSize.isEmpty())
        return;
    QString path =
        m_prompter.saveFile(QString(), momentName(m_clock.now()), QStringLiteral("*.png"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    if (!ImageCodec::savePng(m_selection.interiorAt(m_fileCaptureSize), path))
        m_prompter.inform(QStringLiteral("提示信息"), QStringLiteral("无法保存文件：%1").arg(path));
}

#include "board/model/ClipArtPalette.h"

#include "board/content/PictureColumn.h"
#include "board/model/BoardModel.h"

namespace {

// The column's visible height before its first import: the scroll box less this much.
constexpr int columnFirstHeightGap = 5;

} // namespace

ClipArtPalette::ClipArtPalette(BoardModel& board, PictureColumn& column,
                               const QString& programDirectory)
    : m_board(board), m_column(column), m_programDirectory(programDirectory)
{
}

const QList<SetPicture>& ClipArtPalette::setPictures()
{
    using enum ClipArtSet;
    // Two columns in each set; the places are as the sets were laid out, not on a strict grid.
    static const QList<SetPicture> pictures = {
        {QStringLiteral("Image5"), Physics, {5, 1}, QStringLiteral("w0.jt")},
        {QStringLiteral("Image13"), Physics, {62, 1}, QStringLiteral("w1.jt")},
        {QStringLiteral("Image6"), Physics, {5, 63}, QStringLiteral("w2.jt")},
        {QStringLiteral("Image14"), Physics, {62, 63}, QStringLiteral("w3.jt")},
        {QStringLiteral("Image7"), Physics, {5, 125}, QStringLiteral("w4.jt")},
        {QStringLiteral("Image15"), Physics, {62, 125}, QStringLiteral("w5.jt")},
        {QStringLiteral("Image8"), Physics, {5, 187}, QStringLiteral("w6.jt")},
        {QStringLiteral("Image16"), Physics, {62, 187}, QStringLiteral("w7.jt")},
        {QStringLiteral("Image9"), Physics, {5, 249}, QStringLiteral("w8.jt")},
        {QStringLiteral("Image17"), Physics, {62, 249}, QStringLiteral("w9.jt")},
        {QStringLiteral("Image10"), Physics, {5, 311}, QStringLiteral("w10.jt")},
        {QStringLiteral("Image18"), Physics, {62, 311}, QStringLiteral("w11.jt")},
        {QStringLiteral("Image11"), Physics, {5, 373}, QStringLiteral("w12.jt")},
        {QStringLiteral("Image19"), Physics, {65, 373}, QStringLiteral("w13.jt")},
        {QStringLiteral("Image12"), Physics, {5, 436}, QStringLiteral("w14.jt")},
        {QStringLiteral("Image20"), Physics, {62, 436}, QStringLiteral("w15.jt")},
        {QStringLiteral("Image21"), Physics, {5, 493}, QStringLiteral("w16.jt")},
        {QStringLiteral("Image22"), Physics, {63, 496}, QStringLiteral("w17.jt")},
        {QStringLiteral("Image23"), Physics, {5, 553}, QStringLiteral("w18.jt")},
        {QStringLiteral("Image24"), Physics, {63, 556}, QStringLiteral("w19.jt")},
        {QStringLiteral("Image25"), Physics, {5, 603}, QStringLiteral("w20.jt")},
        // The chemistry files skip the numbers 11, 12, 16 and 17.
        {QStringLiteral("Image29"), Chemistry, {3, 1}, QStringLiteral("h1.jt"), true},
        {QStringLiteral("Image37"), Chemistry, {60, 1}, QStringLiteral("h2.jt")},
        {QStringLiteral("Image30"), Chemistry, {3, 63}, QStringLiteral("h3.jt")},
        {QStringLiteral("Image38"), Chemistry, {60, 63}, QStringLiteral("h4.jt")},
        {QStringLiteral("Image31"), Chemistry, {3, 125}, QStringLiteral("h5.jt")},
        {QStringLiteral("Image39"), Chemistry, {60, 125}, QStringLiteral("h6.jt")},
        {QStringLiteral("Image32"), Chemistry, {3, 187}, QStringLiteral("h7.jt")},
        {QStringLiteral("Image40"), Chemistry, {61, 185}, QStringLiteral("h8.jt")},
        {QStringLiteral("Image33"), Chemistry, {3, 250}, QStringLiteral("h9.jt")},
        {QStringLiteral("Image41"), Chemistry, {62, 250}, QStringLiteral("h10.jt")},
        {QStringLiteral("Image42"), Chemistry, {3, 309}, QStringLiteral("h13.jt")},
        {QStringLiteral("Image43"), Chemistry, {61, 308}, QStringLiteral("h14.jt")},
        {QStringLiteral("Image44"), Chemistry, {3, 367}, QStringLiteral("h15.jt")},
        {QStringLiteral("Image45"), Chemistry, {63, 370}, QStringLiteral("h18.jt")},
    };
    return pictures;
}

QRect ClipArtPalette::geometry() const
{
    return {paletteLeft, paletteTop, paletteWidth, m_board.screenSize().height() - paletteTop};
}

int ClipArtPalette::scrollBoxHeight() const
{
    return geometry().height() - belowScrollBox;
}

QRect ClipArtPalette::scrollBoxGeometry() const
{
    return {scrollBoxLeft, scrollBoxTop, scrollBoxWidth, scrollBoxHeight()};
}

QPoint ClipArtPalette::settingsButtonPlace() const
{
    return {settingsButtonLeft, paletteTop + scrollBoxTop + scrollBoxHeight()};
}

void ClipArtPalette::open()
{
    m_column.resetPictureCount();
    m_shown = true;
    m_shownSet = ClipArtSet::Physics;
    m_columnShown = false;
    // The physics set shows: the column's button goes until "其它" brings the column back.
    m_settingsButtonShown = false;
    m_clipArtDirectory = m_programDirectory + QStringLiteral("db/pic/");
    emit changed();
    if (m_board.contentPanel().shown)
        m_board.panel().close();
}

void ClipArtPalette::close()
{
    m_shown = false;
    m_settingsButtonShown = false;
    emit changed();
}

void ClipArtPalette::showSet(ClipArtSet set)
{
    m_settingsButtonShown = false;
    m_columnShown = false;
    m_shownSet = set;
    emit changed();
}

void ClipArtPalette::showColumn()
{
    m_columnShown = true;
    m_settingsButtonShown = true;
    if (m_column.tag() == 0)
        m_column.setHeight(scrollBoxHeight() - columnFirstHeightGap);
    emit changed();
    if (m_column.tag() < 1)
        emit columnFillRequested();
}

bool ClipArtPalette::chooseSetPicture(const SetPicture& picture)
{
    return m_board.chooseClipArt(m_clipArtDirectory + picture.file);
}

bool ClipArtPalette::chooseColumnEntry(int y)
{
    const std::optional<QString> path = m_column.entryAt(y);
    return path && m_board.choosePicture(*path);
}

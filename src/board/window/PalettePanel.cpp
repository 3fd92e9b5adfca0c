#include "board/window/PalettePanel.h"

#include "board/content/PictureColumn.h"
#include "board/window/PictureColumnView.h"
#include "ui/ButtonPictures.h"
#include "ui/PointerInput.h"

#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace {

constexpr QSize tabSize(37, 21);
constexpr QSize closeButtonSize(22, 20);
constexpr int setPictureSize = 50;
constexpr QRect physicsPanel(0, 3, 116, 700);
constexpr QRect chemistryPanel(6, 3, 116, 650);
constexpr int columnLeft = 10;

// A set's panel in the scroll box: flat, on the palette's face.
QFrame* addSetPanel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::NoFrame);
    panel->setGeometry(geometry);
    return panel;
}

// The preview stored with the window for a clip-art file: ":/clipart/<name>.png".
QPixmap preview(const QString& file)
{
    return QPixmap(QStringLiteral(":/clipart/%1.png").arg(QFileInfo(file).completeBaseName()));
}

} // namespace

PalettePanel::PalettePanel(ClipArtPalette& palette, PictureColumn& column, QWidget* parent)
    : QFrame(parent), m_palette(palette)
{
    setObjectName(QStringLiteral("Panel9"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    keepPointerInput(this);

    SpeedButton33 = addPictureButton(this, QStringLiteral("SpeedButton33"),
                                     QRect(QPoint(m_palette.closeButtonLeft(), 0), closeButtonSize),
                                     QStringLiteral("paletteclose"), QString());
    BitBtn1 = addTab("BitBtn1", QStringLiteral("物理"), 0);
    BitBtn2 = addTab("BitBtn2", QStringLiteral("化学"), 38);
    BitBtn3 = addTab("BitBtn3", QStringLiteral("其它"), 76);
    buildScrollBox(column);
    for (const SetPicture& picture : ClipArtPalette::setPictures())
        addSetPicture(picture);

    connect(SpeedButton33, &QToolButton::clicked, &palette, &ClipArtPalette::close);
    connect(BitBtn1, &QPushButton::clicked, &palette,
            [&palette] { palette.showSet(ClipArtSet::Physics); });
    connect(BitBtn2, &QPushButton::clicked, &palette,
            [&palette] { palette.showSet(ClipArtSet::Chemistry); });
    connect(BitBtn3, &QPushButton::clicked, &palette, &ClipArtPalette::showColumn);
    connect(Image26, &PictureColumnView::released, &palette,
            [&palette](QPoint point) { palette.chooseColumnEntry(point.y()); });
    connect(&palette, &ClipArtPalette::changed, this, &PalettePanel::showState);
    connect(&column, &PictureColumn::heightChanged, this, &PalettePanel::fitContents);
    showState();
}

QPushButton* PalettePanel::addTab(const char* name, const QString& text, int left)
{
    auto* tab = new QPushButton(text, this);
    tab->setObjectName(QString::fromLatin1(name));
    tab->setGeometry(QRect(QPoint(left, 0), tabSize));
    tab->setFocusPolicy(Qt::NoFocus);
    // "宋体" 9 pt: 12 pixels on the classroom's 96-dpi screen.
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    tab->setFont(font);
    return tab;
}

void PalettePanel::buildScrollBox(PictureColumn& column)
{
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The pictures follow the scroll bar's thumb while it is dragged.
    ScrollBox1->verticalScrollBar()->setTracking(true);
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    auto* contents = new QWidget;
    contents->setObjectName(QStringLiteral("ScrollBox1Contents"));
    ScrollBox1->setWidget(contents);

    Panel8 = addSetPanel(contents, "Panel8", physicsPanel);
    Panel10 = addSetPanel(contents, "Panel10", chemistryPanel);
    Panel10->hide();
    Image26 = new PictureColumnView(column, contents);
    Image26->move(columnLeft, 0);
    Image26->hide();
}

void PalettePanel::addSetPicture(const SetPicture& picture)
{
    QWidget* set = picture.set == ClipArtSet::Physics ? Panel8 : Panel10;
    auto* image = new QLabel(set);
    image->setObjectName(picture.name);
    image->setGeometry(QRect(picture.position, QSize(setPictureSize, setPictureSize)));
    image->setAlignment(Qt::AlignCenter);
    image->setPixmap(preview(picture.file));
    image->installEventFilter(this);
    setPictures.append(image);
}

bool PalettePanel::eventFilter(QObject* watched, QEvent* event)
{
    const qsizetype index = setPictures.indexOf(watched);
    if (index < 0)
        return QFrame::eventFilter(watched, event);
    const SetPicture& picture = ClipArtPalette::setPictures()[index];
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!picture.choosesOnClick)
            m_palette.chooseSetPicture(picture);
        return true;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A click: released over the picture it was pressed on.
        if (picture.choosesOnClick && mouse->button() == Qt::LeftButton &&
            setPictures[index]->rect().contains(mouse->position().toPoint()))
            m_palette.chooseSetPicture(picture);
        return true;
    }
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    default:
        return false;
    }
}

void PalettePanel::showState()
{
    setGeometry(m_palette.geometry());
    SpeedButton33->move(m_palette.closeButtonLeft(), 0);
    ScrollBox1->setGeometry(m_palette.scrollBoxGeometry());
    Panel8->setVisible(m_palette.isSetShown(ClipArtSet::Physics));
    Panel10->setVisible(m_palette.isSetShown(ClipArtSet::Chemistry));
    Image26->setVisible(m_palette.isColumnShown());
    fitContents();
    setVisible(m_palette.isShown());
    reportSettingsButton();
}

void PalettePanel::fitContents()
{
    // The scroll box reaches as far as what it shows.
    QWidget* contents = ScrollBox1->widget();
    const QRect shown = contents->childrenRect();
    contents->resize(shown.right() + 1, shown.bottom() + 1);
}

void PalettePanel::reportSettingsButton()
{
    emit settingsButtonChanged(m_palette.isSettingsButtonShown() && isVisible(),
                               m_palette.settingsButtonPlace());
}

void PalettePanel::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    reportSettingsButton();
}

void PalettePanel::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    reportSettingsButton();
}

#include "board/window/ThumbnailStrip.h"

#include "board/model/ThumbnailStripModel.h"
#include "board/pixels/NamedColours.h"
#include "board/window/ThumbnailPicture.h"
#include "ui/ButtonPictures.h"
#include "ui/GestureScrollBar.h"
#include "ui/PictureButton.h"
#include "ui/PointerInput.h"
#include "ui/WindowFill.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

// The header's right part with its picture and buttons.
constexpr int rightPartWidth = 234;
const QSize headerPicture(233, ThumbnailStripModel::headerShown);

// A flat button without a picture of its own over an icon of the header picture.
QToolButton* hotArea(QWidget* parent, const QString& objectName, const QRect& geometry)
{
    auto* button = new PictureButton(parent);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    return button;
}

} // namespace

ThumbnailStrip::ThumbnailStrip(ThumbnailStripModel& model, QWidget* contentPanel, QWidget* parent)
    : QFrame(parent), m_contentPanel(contentPanel), m_model(model)
{
    setObjectName(QStringLiteral("Panel5"));
    keepPointerInput(this);
    Image3 = new ThumbnailPicture(m_model.picture(), this);
    Image3->setObjectName(QStringLiteral("Image3"));
    buildHeader();
    connectControls();
    showStrip();
    showPageCount();
    showPosition();
}

void ThumbnailStrip::buildHeader()
{
    Panel6 = new QFrame(this);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    WindowFill::apply(Panel6, NamedColours::stripSilver);

    ScrollBar1 = new GestureScrollBar(Qt::Horizontal, Panel6);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setMinimum(1);
    ScrollBar1->setPageStep(1);

    Panel7 = new QFrame(Panel6);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    WindowFill::apply(Panel7, NamedColours::stripSilver);
    Image4 = new QLabel(Panel7);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(QRect(QPoint(0, 0), headerPicture));
    Image4->setPixmap(fixedPicture(QStringLiteral("stripheader"), headerPicture));

    SpeedButton28 = hotArea(Panel7, QStringLiteral("SpeedButton28"), {12, -2, 25, 20});
    SpeedButton27 = hotArea(Panel7, QStringLiteral("SpeedButton27"), {40, -2, 29, 20});
    SpeedButton37 = addPictureButton(Panel7, QStringLiteral("SpeedButton37"), {82, -5, 23, 23},
                                     QStringLiteral("stripup"), {});
    SpeedButton38 = addPictureButton(Panel7, QStringLiteral("SpeedButton38"), {82, -5, 23, 23},
                                     QStringLiteral("stripdown"), {});

    Edit3 = new QLineEdit(Panel7);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setGeometry(118, 0, 19, 21);
    Edit3->setReadOnly(true);
    Edit3->setFrame(false);
    Edit3->setFocusPolicy(Qt::NoFocus);
    Edit3->setTextMargins(0, 0, 0, 0);
    QFont digits(QStringLiteral("MS Sans Serif"));
    digits.setPixelSize(11);
    Edit3->setFont(digits);
    QPalette red = Edit3->palette();
    red.setColor(QPalette::Text, Qt::red);
    Edit3->setPalette(red);

    SpeedButton39 = hotArea(Panel7, QStringLiteral("SpeedButton39"), {154, 0, 19, 19});
    SpeedButton29 = hotArea(Panel7, QStringLiteral("SpeedButton29"), {197, -2, 18, 19});
    SpeedButton30 = hotArea(Panel7, QStringLiteral("SpeedButton30"), {214, -2, 20, 19});
}

void ThumbnailStrip::connectControls()
{
    ThumbnailStripModel* model = &m_model;
    connect(ScrollBar1, &QScrollBar::valueChanged, model, &ThumbnailStripModel::scrollTo);
    connect(ScrollBar1, &GestureScrollBar::scrollEnded, model, &ThumbnailStripModel::endScroll);
    connect(Image3, &ThumbnailPicture::released, model,
            [model](QPoint point) { model->pick(point.x()); });
    connect(SpeedButton28, &QToolButton::clicked, model, &ThumbnailStripModel::showLowerHalf);
    connect(SpeedButton27, &QToolButton::clicked, model, &ThumbnailStripModel::showTwoPages);
    connect(SpeedButton37, &QToolButton::clicked, model, &ThumbnailStripModel::moveUp);
    connect(SpeedButton38, &QToolButton::clicked, model, &ThumbnailStripModel::moveDown);
    connect(SpeedButton29, &QToolButton::clicked, model, &ThumbnailStripModel::collapseHeader);
    connect(SpeedButton30, &QToolButton::clicked, model, &ThumbnailStripModel::close);

    connect(model, &ThumbnailStripModel::stripChanged, this, &ThumbnailStrip::showStrip);
    connect(model, &ThumbnailStripModel::positionChanged, this, &ThumbnailStrip::showPosition);
    connect(model, &ThumbnailStripModel::pageCountChanged, this, &ThumbnailStrip::showPageCount);
    connect(model, &ThumbnailStripModel::pictureChanged, Image3,
            qOverload<const QRect&>(&QWidget::update));
}

void ThumbnailStrip::open()
{
    m_model.open([this] { return m_contentPanel->grab().toImage(); });
}

void ThumbnailStrip::showStrip()
{
    const QRect strip = m_model.stripGeometry();
    setGeometry(strip);
    Panel6->setGeometry(0, 0, strip.width(), m_model.headerHeight());
    ScrollBar1->setGeometry(0, 0, strip.width() - rightPartWidth, ThumbnailStripModel::headerShown);
    Panel7->setGeometry(strip.width() - rightPartWidth, 0, rightPartWidth,
                        ThumbnailStripModel::headerShown);
    Image3->setGeometry(m_model.areaGeometry());
    SpeedButton37->setVisible(m_model.isLow());
    SpeedButton38->setVisible(!m_model.isLow());
    ScrollBar1->setSingleStep(m_model.arrowStep());
    setVisible(m_model.isShown());
}

void ThumbnailStrip::showPosition()
{
    const QSignalBlocker quiet(ScrollBar1);
    ScrollBar1->setValue(m_model.position());
    Edit3->setText(m_model.positionText());
}

void ThumbnailStrip::showPageCount()
{
    const QSignalBlocker quiet(ScrollBar1);
    ScrollBar1->setMaximum(m_model.pageCount());
}

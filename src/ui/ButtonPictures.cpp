#include "ui/ButtonPictures.h"

#include "ui/PictureButton.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The pictures are compiled into this static library; naming the resource's initialiser keeps the
// linker from dropping it. Q_INIT_RESOURCE must stand outside any namespace.
static void initIconResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

// How the four states look is decided here and nowhere else.
const QColor BarColour(0xA6, 0xCA, 0xF0);
const QColor DownBackground = BarColour.darker(130);
const QColor HeldBackground(0xE6, 0xF1, 0xFC);
const QColor InsetEdge(0x30, 0x30, 0x30);

QImage blankPicture(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Draws the SVG picture at size, keeping its proportions and centring it.
QImage renderPicture(QSvgRenderer& renderer, QSize size)
{
    QImage image = blankPicture(size);
    const QSize fitted = renderer.defaultSize().scaled(size, Qt::KeepAspectRatio);
    const QRectF target(
        QPointF((size.width() - fitted.width()) / 2.0, (size.height() - fitted.height()) / 2.0),
        QSizeF(fitted));
    QPainter painter(&image);
    renderer.render(&painter, target);
    return image;
}

QImage greyed(const QImage& up)
{
    QImage image = up.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 96 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 3 / 5);
        }
    }
    return image;
}

// A sunken button: the background, a dark edge on the top and left, the picture one pixel in.
QImage sunken(const QImage& up, const QColor& background)
{
    QImage image = blankPicture(up.size());
    image.fill(background);
    QPainter painter(&image);
    painter.fillRect(0, 0, image.width(), 1, InsetEdge);
    painter.fillRect(0, 0, 1, image.height(), InsetEdge);
    painter.drawImage(1, 1, up);
    return image;
}

// The picture of name drawn at size, or a null image with a warning.
QImage picture(const QString& name, QSize size)
{
    initIconResources();
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    if (!QFile::exists(path)) {
        qWarning("button picture missing: %s", qPrintable(name));
        return {};
    }
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        qWarning("button picture missing: %s (unreadable)", qPrintable(name));
        return {};
    }
    return renderPicture(renderer, size);
}

} // namespace

QPixmap fixedPicture(const QString& name, QSize size)
{
    const QImage image = picture(name, size);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

QIcon buttonPictures(const QString& name, QSize size)
{
    const QImage up = picture(name, size);
    if (up.isNull())
        return {};
    const QPixmap held = QPixmap::fromImage(sunken(up, HeldBackground));
    const QPixmap disabled = QPixmap::fromImage(greyed(up));
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(up), QIcon::Normal, QIcon::Off);
    icon.addPixmap(QPixmap::fromImage(sunken(up, DownBackground)), QIcon::Normal, QIcon::On);
    icon.addPixmap(held, QIcon::Active, QIcon::Off);
    icon.addPixmap(held, QIcon::Active, QIcon::On);
    icon.addPixmap(disabled, QIcon::Disabled, QIcon::Off);
    icon.addPixmap(disabled, QIcon::Disabled, QIcon::On);
    return icon;
}

QToolButton* addPictureButton(QWidget* parent, const QString& objectName, const QRect& geometry,
                              const QString& pictureName, const QString& hint)
{
    auto* button = new PictureButton(parent);
    button->setObjectName(objectName);
    button->setGeometry(geometry);
    button->setIconSize(geometry.size());
    button->setIcon(buttonPictures(pictureName, geometry.size()));
    if (!hint.isEmpty())
        button->setToolTip(hint);
    return button;
}

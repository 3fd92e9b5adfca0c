// Renders the application icon from its SVG source into a square PNG picture of one size.
//
//   make_icon <source.svg> <size> <picture.png>
//
// The drawing is fitted into the square on a transparent ground, antialiased. The file is replaced
// only when written whole; any failure stops with a message.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

namespace {

void fail(const QString& message)
{
    std::fprintf(stderr, "make_icon: %s\n", qPrintable(message));
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    // The build may run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    if (arguments.size() != 3)
        fail(QStringLiteral("usage: make_icon <source.svg> <size> <picture.png>"));

    QSvgRenderer renderer(arguments[0]);
    if (!renderer.isValid())
        fail(QStringLiteral("%1 is not a readable SVG picture").arg(arguments[0]));
    bool isNumber = false;
    const int size = arguments[1].toInt(&isNumber);
    if (!isNumber || size < 1 || size > 1024)
        fail(QStringLiteral("%1 is not a size from 1 to 1024").arg(arguments[1]));

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();

    QSaveFile file(arguments[2]);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        fail(QStringLiteral("cannot write %1").arg(arguments[2]));
    return 0;
}

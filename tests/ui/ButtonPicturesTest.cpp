#include "ui/ButtonPictures.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

// The button pictures: every name the windows use has a visible picture of its own, the four
// states of a button look different, and a picture button shows the picture of its state.
class ButtonPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void pictureRenders_data();
    void pictureRenders();
    void deliveredPicturesAreExactlyTheNamedOnes();
    void fixedPictureRenders_data();
    void fixedPictureRenders();
    void picturesDifferFromEachOther();
    void statesLookDifferent_data();
    void statesLookDifferent();
    void missingPictureIsAFault();
    void addPictureButtonSetsUpTheButton_data();
    void addPictureButtonSetsUpTheButton();
    void buttonShowsThePictureOfItsState_data();
    void buttonShowsThePictureOfItsState();
};

namespace {

const QColor Bar(0xA6, 0xCA, 0xF0);

// Every picture the windows ask for, at the size of its button.
const QList<std::pair<QString, QSize>>& namedPictures()
{
    static const QList<std::pair<QString, QSize>> pictures = {
        {"board", {38, 38}},       {"annotate", {38, 38}},       {"taskkeys", {38, 38}},
        {"keyboard", {38, 38}},    {"textline", {38, 38}},       {"shade", {38, 38}},
        {"help", {38, 38}},        {"exit", {38, 38}},           {"shrink", {38, 38}},
        {"restore", {16, 16}},     {"pencolour", {38, 19}},      {"widthup", {38, 19}},
        {"widthdown", {38, 19}},   {"clear", {38, 38}},          {"undo", {38, 38}},
        {"eraser", {38, 38}},      {"areaerase", {38, 38}},      {"pen", {38, 38}},
        {"line", {38, 38}},        {"rectangle", {38, 38}},      {"ellipse", {38, 38}},
        {"rangeselect", {38, 38}}, {"zoomin", {38, 19}},         {"zoomout", {38, 19}},
        {"thumbnails", {38, 19}},  {"import", {38, 19}},         {"pageleft", {31, 38}},
        {"pageright", {29, 38}},   {"settings", {38, 38}},       {"demo", {38, 38}},
        {"save", {31, 30}},        {"capturecurrent", {38, 19}}, {"capturenext", {38, 19}},
        {"compact", {38, 38}},     {"expand", {38, 38}},         {"pencolourtall", {36, 38}},
        {"unshade", {33, 33}},     {"stripup", {23, 23}},        {"stripdown", {23, 23}},
        {"font", {19, 18}},        {"openfolder", {20, 14}},     {"scanner", {20, 18}},
        {"clipart", {20, 18}},     {"paste", {22, 16}},          {"stampunderlay", {22, 18}},
        {"stampclose", {22, 18}},  {"paletteclose", {22, 20}},   {"picturefile", {16, 16}},
        {"exportpdf", {16, 16}},
    };
    return pictures;
}

// Fixed pictures of windows, at their size.
const QList<std::pair<QString, QSize>>& fixedPictures()
{
    static const QList<std::pair<QString, QSize>> pictures = {
        {"stripheader", {233, 18}},
        {"paneltitle", {363, 20}},
    };
    return pictures;
}

QImage picture(const QIcon& icon, QSize size, QIcon::Mode mode, QIcon::State state)
{
    return icon.pixmap(size, mode, state).toImage().convertToFormat(QImage::Format_ARGB32);
}

int differingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int distance = qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                                 qAbs(qBlue(p) - qBlue(q)) + qAbs(qAlpha(p) - qAlpha(q));
            count += distance > 48 ? 1 : 0;
        }
    }
    return count;
}

// Brightness of a colour as the eye sees it, 0..255.
int lightness(QRgb colour)
{
    return qGray(colour);
}

} // namespace

void ButtonPicturesTest::pictureRenders_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const auto& [name, size] : namedPictures())
        QTest::newRow(qPrintable(name)) << name << size;
}

void ButtonPicturesTest::pictureRenders()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QIcon icon = buttonPictures(name, size);
    QVERIFY(!icon.isNull());
    const QImage up = picture(icon, size, QIcon::Normal, QIcon::Off);
    QCOMPARE(up.size(), size);

    // Bold enough to read from the back of a room: a good share of the button is drawn, and the
    // drawing has dark pixels that stand out against the bar.
    int drawn = 0;
    int dark = 0;
    for (int y = 0; y < up.height(); ++y) {
        for (int x = 0; x < up.width(); ++x) {
            const QRgb p = up.pixel(x, y);
            if (qAlpha(p) >= 128) {
                ++drawn;
                dark += lightness(p) < lightness(Bar.rgb()) / 2 ? 1 : 0;
            }
        }
    }
    const int area = size.width() * size.height();
    QVERIFY2(drawn * 10 >= area, qPrintable(QString("%1 of %2 pixels drawn").arg(drawn).arg(area)));
    QVERIFY2(dark * 20 >= area, qPrintable(QString("%1 of %2 pixels dark").arg(dark).arg(area)));
}

void ButtonPicturesTest::deliveredPicturesAreExactlyTheNamedOnes()
{
    QVERIFY(!buttonPictures("board", {38, 38}).isNull()); // makes the pictures available
    QStringList named;
    for (const auto& entry : namedPictures() + fixedPictures())
        named << entry.first + ".svg";
    named.sort();
    QCOMPARE(QDir(":/icons").entryList(QDir::Files, QDir::Name), named);
}

void ButtonPicturesTest::fixedPictureRenders_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const auto& [name, size] : fixedPictures())
        QTest::newRow(qPrintable(name)) << name << size;
}

void ButtonPicturesTest::fixedPictureRenders()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage image = fixedPicture(name, size).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), size);
    // Icons drawn on a face: dark pixels on a light ground.
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += lightness(image.pixel(x, y)) < 80 ? 1 : 0;
    QVERIFY(dark * 20 >= size.width() * size.height());
    QVERIFY(lightness(image.pixel(0, 0)) > 160);
    QTest::ignoreMessage(QtWarningMsg, "button picture missing: nosuchpicture");
    QVERIFY(fixedPicture(QStringLiteral("nosuchpicture"), size).isNull());
}

void ButtonPicturesTest::picturesDifferFromEachOther()
{
    // All at one size, so pictures of different buttons compare pixel for pixel.
    const QSize common(38, 38);
    QList<std::pair<QString, QImage>> rendered;
    for (const auto& entry : namedPictures()) {
        rendered.append({entry.first, picture(buttonPictures(entry.first, common), common,
                                              QIcon::Normal, QIcon::Off)});
    }
    const int clearlyDifferent = common.width() * common.height() / 50;
    for (qsizetype i = 0; i < rendered.size(); ++i) {
        for (qsizetype j = i + 1; j < rendered.size(); ++j) {
            const int differing = differingPixels(rendered[i].second, rendered[j].second);
            QVERIFY2(differing >= clearlyDifferent,
                     qPrintable(QString("%1 and %2 differ in %3 pixels only")
                                    .arg(rendered[i].first, rendered[j].first)
                                    .arg(differing)));
        }
    }
}

void ButtonPicturesTest::statesLookDifferent_data()
{
    pictureRenders_data();
}

void ButtonPicturesTest::statesLookDifferent()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QIcon icon = buttonPictures(name, size);
    const QImage up = picture(icon, size, QIcon::Normal, QIcon::Off);
    const QImage down = picture(icon, size, QIcon::Normal, QIcon::On);
    const QImage held = picture(icon, size, QIcon::Active, QIcon::On);
    const QImage disabled = picture(icon, size, QIcon::Disabled, QIcon::Off);

    const QList<std::pair<const char*, QImage>> states = {
        {"up", up}, {"down", down}, {"held", held}, {"disabled", disabled}};
    for (qsizetype i = 0; i < states.size(); ++i) {
        for (qsizetype j = i + 1; j < states.size(); ++j) {
            QVERIFY2(differingPixels(states[i].second, states[j].second) > 0,
                     qPrintable(QString("%1 looks like %2").arg(states[i].first, states[j].first)));
        }
    }
    // Held looks the same whether or not the button is checked; so does disabled.
    QCOMPARE(picture(icon, size, QIcon::Active, QIcon::Off), held);
    QCOMPARE(picture(icon, size, QIcon::Disabled, QIcon::On), disabled);

    // Down and held are sunk: a dark top-left edge, and where the picture leaves it free the
    // background shows, darker than the bar when pressed, lighter when held.
    QPoint free(-1, -1);
    for (int y = 1; y < size.height() && free.x() < 0; ++y) {
        for (int x = 1; x < size.width() && free.x() < 0; ++x) {
            if (qAlpha(up.pixel(x - 1, y - 1)) == 0)
                free = QPoint(x, y);
        }
    }
    QVERIFY(free.x() > 0);
    for (const QImage& sunk : {down, held}) {
        QCOMPARE(qAlpha(sunk.pixel(free)), 255);
        QVERIFY(lightness(sunk.pixel(1, 0)) < 80);
        QVERIFY(lightness(sunk.pixel(0, 1)) < 80);
    }
    QVERIFY(lightness(down.pixel(free)) < lightness(Bar.rgb()));
    QVERIFY(lightness(held.pixel(free)) > lightness(Bar.rgb()));

    // Pressed, the picture moves one pixel right and down.
    int matching = 0;
    int opaque = 0;
    for (int y = 0; y + 1 < size.height(); ++y) {
        for (int x = 0; x + 1 < size.width(); ++x) {
            if (qAlpha(up.pixel(x, y)) == 255) {
                ++opaque;
                matching += down.pixel(x + 1, y + 1) == up.pixel(x, y) ? 1 : 0;
            }
        }
    }
    QVERIFY(matching * 10 >= opaque * 9);

    // Disabled carries no colour.
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb p = disabled.pixel(x, y);
            QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
        }
    }
}

void ButtonPicturesTest::missingPictureIsAFault()
{
    QTest::ignoreMessage(QtWarningMsg, "button picture missing: nosuchpicture");
    QVERIFY(buttonPictures("nosuchpicture", {38, 38}).isNull());

    QWidget bar;
    QTest::ignoreMessage(QtWarningMsg, "button picture missing: nosuchpicture");
    QToolButton* button =
        addPictureButton(&bar, "SpeedButton1", {0, 0, 38, 38}, "nosuchpicture", "提示");
    QVERIFY(button->icon().isNull());
}

void ButtonPicturesTest::addPictureButtonSetsUpTheButton_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("pictureName");
    QTest::addColumn<QString>("hint");

    QTest::newRow("square button with hint")
        << "SpeedButton12" << QRect(40, 2, 38, 38) << "pen" << QString("画笔");
    QTest::newRow("half-height button")
        << "SpeedButton3" << QRect(0, 20, 38, 19) << "widthdown" << QString("线宽减小");
    QTest::newRow("narrow button without hint")
        << "SpeedButton30" << QRect(100, 0, 29, 38) << "pageright" << QString();
}

void ButtonPicturesTest::addPictureButtonSetsUpTheButton()
{
    QFETCH(QString, objectName);
    QFETCH(QRect, geometry);
    QFETCH(QString, pictureName);
    QFETCH(QString, hint);

    QWidget bar;
    QToolButton* button = addPictureButton(&bar, objectName, geometry, pictureName, hint);
    QCOMPARE(bar.findChild<QToolButton*>(objectName), button);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->iconSize(), geometry.size());
    QCOMPARE(button->toolTip(), hint);
    QVERIFY(button->text().isEmpty());
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    QVERIFY(button->autoRaise());
    QCOMPARE(picture(button->icon(), geometry.size(), QIcon::Normal, QIcon::Off),
             picture(buttonPictures(pictureName, geometry.size()), geometry.size(), QIcon::Normal,
                     QIcon::Off));
}

void ButtonPicturesTest::buttonShowsThePictureOfItsState_data()
{
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QIcon::Mode>("mode");
    QTest::addColumn<QIcon::State>("state");

    QTest::newRow("up") << false << false << true << QIcon::Normal << QIcon::Off;
    QTest::newRow("pressed") << true << false << true << QIcon::Normal << QIcon::On;
    QTest::newRow("checked is held") << false << true << true << QIcon::Active << QIcon::On;
    QTest::newRow("pressed while checked") << true << true << true << QIcon::Normal << QIcon::On;
    QTest::newRow("disabled") << false << false << false << QIcon::Disabled << QIcon::Off;
    QTest::newRow("disabled while checked")
        << false << true << false << QIcon::Disabled << QIcon::Off;
}

void ButtonPicturesTest::buttonShowsThePictureOfItsState()
{
    QFETCH(bool, pressed);
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QFETCH(QIcon::Mode, mode);
    QFETCH(QIcon::State, state);

    QWidget bar;
    bar.resize(100, 50);
    bar.setAutoFillBackground(true);
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Window, Bar);
    bar.setPalette(palette);
    const QRect geometry(10, 5, 38, 38);
    QToolButton* button = addPictureButton(&bar, "SpeedButton5", geometry, "eraser", "橡皮");
    button->setCheckable(true);
    button->setChecked(checked);
    button->setDown(pressed);
    button->setEnabled(enabled);

    QImage expected(geometry.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(Bar);
    QPainter(&expected).drawImage(0, 0, picture(button->icon(), geometry.size(), mode, state));
    const QImage shown = bar.grab(geometry).toImage().convertToFormat(QImage::Format_ARGB32);
    // Blending the faded picture onto the bar may round differently; the states differ far more.
    QCOMPARE(differingPixels(shown, expected.convertToFormat(QImage::Format_ARGB32)), 0);
}

QTEST_MAIN(ButtonPicturesTest)
#include "ButtonPicturesTest.moc"

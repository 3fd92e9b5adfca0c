#include "board/model/PenSettings.h"
#include "platform/fakes/ScriptedPrompter.h"

#include <QtTest>

class PenSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void widthStopsAtItsEnds_data();
    void widthStopsAtItsEnds();
    void colourDialogOpensAtTheLastChoice_data();
    void colourDialogOpensAtTheLastChoice();
};

void PenSettingsTest::widthStopsAtItsEnds_data()
{
    QTest::addColumn<int>("start");
    // '+' widens, '-' narrows.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("up to the widest") << 7 << "+++" << QList<int>{8, 9, 9};
    QTest::newRow("down to the thinnest") << 2 << "---" << QList<int>{1, 1, 1};
    QTest::newRow("back from either end") << 9 << "-+--+" << QList<int>{8, 9, 8, 7, 8};
    QTest::newRow("the thinnest widens") << 1 << "-+" << QList<int>{1, 2};
}

void PenSettingsTest::widthStopsAtItsEnds()
{
    QFETCH(int, start);
    QFETCH(QString, steps);
    QFETCH(QList<int>, widths);
    PenSettings pen(Qt::red, start);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const int step = steps[i] == QLatin1Char('+') ? 1 : -1;
        const int before = pen.width();
        QCOMPARE(PenSettings::steppedWidth(before, step), widths[i]);
        QCOMPARE(pen.changeWidth(step), widths[i] != before);
        QCOMPARE(pen.width(), widths[i]);
    }
}

void PenSettingsTest::colourDialogOpensAtTheLastChoice_data()
{
    // Each step: "choose #rrggbb" answers the dialog with that colour, "cancel" cancels it,
    // "set #rrggbb" sets the pen's colour from outside (a start-up setting).
    QTest::addColumn<QStringList>("steps");
    // Where each dialog opened, and the pen's colour at the end.
    QTest::addColumn<QStringList>("openedAt");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("first at the pen's colour, then at the choice")
        << QStringList{"choose #0000ff", "choose #00ff00", "cancel"}
        << QStringList{"#ff0000", "#0000ff", "#00ff00"} << QColor(Qt::green);
    QTest::newRow("a cancelled dialog keeps pen and last choice")
        << QStringList{"choose #0000ff", "cancel", "cancel"}
        << QStringList{"#ff0000", "#0000ff", "#0000ff"} << QColor(Qt::blue);
    QTest::newRow("a colour set from outside moves no dialog after a choice")
        << QStringList{"choose #0000ff", "set #ffff00", "cancel"}
        << QStringList{"#ff0000", "#0000ff"} << QColor(Qt::yellow);
    QTest::newRow("a colour set before any choice is where it opens")
        << QStringList{"set #ffff00", "cancel", "choose #0000ff"}
        << QStringList{"#ffff00", "#ffff00"} << QColor(Qt::blue);
}

void PenSettingsTest::colourDialogOpensAtTheLastChoice()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, openedAt);
    QFETCH(QColor, colour);
    ScriptedPrompter prompter;
    PenSettings pen(Qt::red, 2);
    for (const QString& step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        if (words[0] == QLatin1String("set")) {
            pen.setColour(QColor(words[1]));
            continue;
        }
        const bool choosing = words[0] == QLatin1String("choose");
        prompter.answerColour(choosing ? std::optional<QColor>(QColor(words[1])) : std::nullopt);
        QCOMPARE(pen.chooseColour(prompter), choosing);
    }
    QStringList opened;
    for (const ScriptedPrompter::Question& question : prompter.questions())
        opened << question.text;
    QCOMPARE(opened, openedAt);
    QCOMPARE(pen.colour(), colour);
    QCOMPARE(pen.width(), 2);
}

QTEST_GUILESS_MAIN(PenSettingsTest)
#include "PenSettingsTest.moc"

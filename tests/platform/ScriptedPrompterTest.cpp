// The scripted prompter is what every window test relies on to notice a question nobody
// expected, so its bookkeeping is checked here.

#include "platform/fakes/ScriptedPrompter.h"

#include <QtTest>

using Kind = ScriptedPrompter::Kind;

class ScriptedPrompterTest : public QObject {
    Q_OBJECT

private slots:
    void answersEachKindInOrder();
    void unscriptedQuestionIsRecordedAndCancelled();
};

void ScriptedPrompterTest::answersEachKindInOrder()
{
    ScriptedPrompter prompter;
    prompter.answerYesNo(true);
    prompter.answerYesNo(false);
    prompter.answerColour(QColor(Qt::red));
    QFont applied(QStringLiteral("隶书"));
    applied.setPointSize(40);
    prompter.answerFont(std::nullopt, {applied});
    prompter.answerOpenFile(QStringLiteral("/data/a.bmp"));
    prompter.answerSaveFile(QStringLiteral("/data/b.bmp"));

    QCOMPARE(prompter.chooseColour(Qt::black), std::optional<QColor>(Qt::red));
    QVERIFY(prompter.askYesNo(QStringLiteral("提示信息"), QStringLiteral("确实要退出系统吗？")));
    prompter.inform(QStringLiteral("提示信息"), QStringLiteral("done"));
    QVERIFY(!prompter.askYesNo(QStringLiteral("提示信息"), QStringLiteral("second")));
    QList<QFont> appliedFonts;
    QVERIFY(!prompter.chooseFont(QFont(), [&](const QFont& font) { appliedFonts.append(font); })
                 .has_value());
    QCOMPARE(appliedFonts, QList<QFont>{applied});
    QCOMPARE(
        prompter.saveFile(QStringLiteral("save"), QStringLiteral("/data"), QStringLiteral("*.bmp")),
        QStringLiteral("/data/b.bmp"));
    QCOMPARE(
        prompter.openFile(QStringLiteral("open"), QStringLiteral("/data"), QStringLiteral("*.bmp")),
        QStringLiteral("/data/a.bmp"));

    QVERIFY(prompter.unexpected().isEmpty());
    QCOMPARE(prompter.unusedAnswers(), 0);
    const QList<ScriptedPrompter::Question> asked = prompter.questions();
    QCOMPARE(asked.size(), 7);
    QCOMPARE(asked[0].kind, Kind::Colour);
    QCOMPARE(asked[0].text, QStringLiteral("#000000"));
    QCOMPARE(asked[1].kind, Kind::YesNo);
    QCOMPARE(asked[1].caption, QStringLiteral("提示信息"));
    QCOMPARE(asked[1].text, QStringLiteral("确实要退出系统吗？"));
    QCOMPARE(asked[2].kind, Kind::Inform);
    QCOMPARE(asked[5].kind, Kind::SaveFile);
    QCOMPARE(asked[5].text, QStringLiteral("/data"));
    QCOMPARE(asked[5].filter, QStringLiteral("*.bmp"));
}

void ScriptedPrompterTest::unscriptedQuestionIsRecordedAndCancelled()
{
    ScriptedPrompter prompter;
    prompter.answerSaveFile(QStringLiteral("/data/b.bmp"));

    QVERIFY(!prompter.askYesNo(QStringLiteral("提示信息"), QStringLiteral("unexpected")));
    QVERIFY(!prompter.chooseColour(Qt::white).has_value());
    QVERIFY(prompter.openFile(QStringLiteral("open"), {}, {}).isEmpty());

    const QList<ScriptedPrompter::Question> unexpected = prompter.unexpected();
    QCOMPARE(unexpected.size(), 3);
    QCOMPARE(unexpected[0].kind, Kind::YesNo);
    QCOMPARE(unexpected[0].text, QStringLiteral("unexpected"));
    QCOMPARE(unexpected[1].kind, Kind::Colour);
    QCOMPARE(unexpected[2].kind, Kind::OpenFile);
    // The save answer is still waiting: it was not spent on the open dialog.
    QCOMPARE(prompter.unusedAnswers(), 1);
}

QTEST_GUILESS_MAIN(ScriptedPrompterTest)
#include "ScriptedPrompterTest.moc"

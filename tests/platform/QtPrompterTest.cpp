// The font dialog of QtPrompter: its Apply button, and a family the program names by
// substitution, which the dialog shows as the installed font and gives back under its own name.

#include "platform/real/QtPrompter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class QtPrompterTest : public QObject {
    Q_OBJECT
private slots:
    void fontDialogAppliesAndKeepsTheProgramsNames();
};

void QtPrompterTest::fontDialogAppliesAndKeepsTheProgramsNames()
{
    const QString installed = QFontDatabase::families().value(0);
    QVERIFY(!installed.isEmpty());
    QFont::insertSubstitution(QStringLiteral("隶书"), installed);
    QFont initial(QStringLiteral("隶书"));
    initial.setPointSize(36);

    QtPrompter prompter;
    QList<QFont> applied;
    QString shownFamily;
    bool onTop = false;
    bool openAfterApply = false;
    // Nothing in here may stop before the dialog is closed.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        onTop = dialog->windowFlags() & Qt::WindowStaysOnTopHint;
        shownFamily = dialog->currentFont().family();
        if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
            if (QPushButton* apply = buttons->button(QDialogButtonBox::Apply))
                apply->click();
        openAfterApply = dialog->isVisible();
        dialog->accept();
    });
    const auto chosen =
        prompter.chooseFont(initial, [&](const QFont& font) { applied.append(font); });
    QVERIFY(onTop);
    QVERIFY(openAfterApply);
    QCOMPARE(shownFamily, installed);
    QCOMPARE(applied.size(), 1);
    QCOMPARE(applied.first().family(), QStringLiteral("隶书"));
    QVERIFY(chosen);
    QCOMPARE(chosen->family(), QStringLiteral("隶书"));
    QCOMPARE(chosen->pointSize(), 36);
}

QTEST_MAIN(QtPrompterTest)
#include "QtPrompterTest.moc"

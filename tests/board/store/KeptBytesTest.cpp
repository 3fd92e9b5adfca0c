#include "board/store/KeptBytes.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// Bytes kept for a later save: small ones in memory, large ones in a file no name leads to, and
// none at all where that file cannot be written, so that the save makes them anew.
class KeptBytesTest : public QObject {
    Q_OBJECT
private slots:
    void keepsBytesWhereTheyFit_data();
    void keepsBytesWhereTheyFit();
};

void KeptBytesTest::keepsBytesWhereTheyFit_data()
{
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("inMemory");
    const qsizetype limit = KeptBytes::InMemoryLimit;
    QTest::newRow("small") << limit << true << true << true;
    QTest::newRow("small, folder read-only") << qsizetype(100) << false << true << true;
    QTest::newRow("large") << limit + 1 << true << true << false;
    QTest::newRow("large, folder read-only") << 3 * limit << false << false << false;
    QTest::newRow("none") << qsizetype(0) << true << false << true;
}

void KeptBytesTest::keepsBytesWhereTheyFit()
{
    QFETCH(qsizetype, size);
    QFETCH(bool, folderWritable);
    QFETCH(bool, kept);
    QFETCH(bool, inMemory);
    QTemporaryDir dir;
    // Root may write anywhere: a missing folder is one that no process can write into.
    const QString folder = folderWritable ? dir.path() : dir.path() + QStringLiteral("/missing");
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);

    const KeptBytes keptBytes = KeptBytes::keep(bytes, folder);
    QCOMPARE(!keptBytes.isNull(), kept);
    if (!kept)
        return;
    QCOMPARE(keptBytes.memoryBytes(), inMemory ? size : 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    const KeptBytes copy = keptBytes; // copies share the file
    QCOMPARE(copy.read(), std::optional(bytes));
    QCOMPARE(keptBytes.read(), std::optional(bytes));
}

QTEST_GUILESS_MAIN(KeptBytesTest)
#include "KeptBytesTest.moc"

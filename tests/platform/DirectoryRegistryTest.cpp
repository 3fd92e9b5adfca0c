#include "platform/real/DirectoryRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class DirectoryRegistryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void canOpen_data();
    void canOpen();
    void defaultRootsAreProgramThenUser();

private:
    QTemporaryDir m_base;
};

// <base>/program/registry/XdictGrb.GrabProxy/CurVer (a directory, as an installer makes it),
// <base>/user/registry/Other.Class/CurVer (a file), and <base>/outside beside the roots.
void DirectoryRegistryTest::initTestCase()
{
    QVERIFY(m_base.isValid());
    const QDir base(m_base.path());
    QVERIFY(base.mkpath(QStringLiteral("program/registry/XdictGrb.GrabProxy/CurVer")));
    QVERIFY(base.mkpath(QStringLiteral("user/registry/Other.Class")));
    QFile file(base.filePath(QStringLiteral("user/registry/Other.Class/CurVer")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(base.mkpath(QStringLiteral("outside/CurVer")));
}

void DirectoryRegistryTest::canOpen_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("registered");

    QTest::newRow("registered in the program root") << R"(\XdictGrb.GrabProxy\CurVer)" << true;
    QTest::newRow("registered as a file in the user root") << R"(\Other.Class\CurVer)" << true;
    QTest::newRow("parent key of a registered key") << R"(\XdictGrb.GrabProxy)" << true;
    QTest::newRow("no leading separator") << R"(XdictGrb.GrabProxy\CurVer)" << true;
    QTest::newRow("doubled separators") << R"(\\XdictGrb.GrabProxy\\CurVer\)" << true;
    QTest::newRow("forward slashes") << "/XdictGrb.GrabProxy/CurVer" << true;
    QTest::newRow("missing subkey") << R"(\XdictGrb.GrabProxy\Missing)" << false;
    QTest::newRow("missing class") << R"(\Nothing\CurVer)" << false;
    QTest::newRow("other spelling") << R"(\xdictgrb.grabproxy\CurVer)" << false;
    QTest::newRow("dot-dot out of the root") << R"(\..\..\outside\CurVer)" << false;
    QTest::newRow("dot-dot inside the key")
        << R"(\XdictGrb.GrabProxy\..\XdictGrb.GrabProxy\CurVer)" << false;
    QTest::newRow("dot part") << R"(\XdictGrb.GrabProxy\.\CurVer)" << false;
    QTest::newRow("empty key") << "" << false;
    QTest::newRow("separators only, the root itself") << R"(\)" << false;
}

void DirectoryRegistryTest::canOpen()
{
    QFETCH(QString, key);
    QFETCH(bool, registered);
    const QDir base(m_base.path());
    const DirectoryRegistry registry({base.filePath(QStringLiteral("program/registry")),
                                      base.filePath(QStringLiteral("user/registry"))});
    QCOMPARE(registry.canOpen(key), registered);
}

void DirectoryRegistryTest::defaultRootsAreProgramThenUser()
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_base.filePath(QStringLiteral("data"))));
    const QStringList roots = DirectoryRegistry::defaultRoots(QStringLiteral("/opt/zkalto"));
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);

    const QStringList expected = {QStringLiteral("/opt/zkalto/registry"),
                                  m_base.filePath(QStringLiteral("data/zkalto/registry"))};
    QCOMPARE(roots, expected);
}

QTEST_GUILESS_MAIN(DirectoryRegistryTest)
#include "DirectoryRegistryTest.moc"

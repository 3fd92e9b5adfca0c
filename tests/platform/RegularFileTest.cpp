#include "files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// Files read by a fixed name: a regular file up to the bound is read whole; anything else under
// the name gives nothing and never makes the reader wait. A link counts only where it is followed
// on purpose.
class RegularFileTest : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
};

namespace {

enum class Kind { File, LinkToFile, Fifo, LinkToDevice, Directory, Missing };

constexpr qint64 Bound = 64;

} // namespace

void RegularFileTest::read_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("read");
    QTest::addColumn<bool>("readThroughLink");
    QTest::newRow("regular file") << Kind::File << qint64(10) << true << true;
    QTest::newRow("empty file") << Kind::File << qint64(0) << true << true;
    QTest::newRow("exactly the bound") << Kind::File << Bound << true << true;
    QTest::newRow("one byte over the bound") << Kind::File << Bound + 1 << false << false;
    QTest::newRow("link to a regular file") << Kind::LinkToFile << qint64(10) << false << true;
    QTest::newRow("named pipe without a writer") << Kind::Fifo << qint64(0) << false << false;
    QTest::newRow("link to an endless device") << Kind::LinkToDevice << qint64(0) << false << false;
    QTest::newRow("directory") << Kind::Directory << qint64(0) << false << false;
    QTest::newRow("missing") << Kind::Missing << qint64(0) << false << false;
}

void RegularFileTest::read()
{
    QFETCH(Kind, kind);
    QFETCH(qint64, size);
    QFETCH(bool, read);
    QFETCH(bool, readThroughLink);
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("Text_Hnd.cut"));
    const QByteArray content(size, 'c');
    const auto writeFile = [&](const QString& name) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), size);
    };
    switch (kind) {
    case Kind::File:
        writeFile(path);
        break;
    case Kind::LinkToFile:
        writeFile(directory.filePath(QStringLiteral("target")));
        QVERIFY(QFile::link(directory.filePath(QStringLiteral("target")), path));
        break;
    case Kind::Fifo:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    case Kind::LinkToDevice:
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        break;
    case Kind::Directory:
        QVERIFY(QDir(directory.path()).mkdir(QStringLiteral("Text_Hnd.cut")));
        break;
    case Kind::Missing:
        break;
    }
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(RegularFile::isRegular(path, Bound), read);
    QCOMPARE(RegularFile::isRegularThroughLink(path, Bound), readThroughLink);
    const std::optional<QByteArray> bytes = RegularFile::read(path, Bound);
    QCOMPARE(bytes.has_value(), read);
    if (read)
        QCOMPARE(*bytes, content);
    const std::optional<QByteArray> followed = RegularFile::readThroughLink(path, Bound);
    QCOMPARE(followed.has_value(), readThroughLink);
    if (readThroughLink)
        QCOMPARE(*followed, content);
}

QTEST_GUILESS_MAIN(RegularFileTest)
#include "RegularFileTest.moc"

// OfficeConverter with shell scripts standing for the office suite: the command line it is run
// with, the PDF it reports, and the failures that must come back as no PDF.

#include "platform/real/OfficeConverter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class OfficeConverterTest : public QObject {
    Q_OBJECT
private slots:
    void convertsWithTheSuite_data();
    void convertsWithTheSuite();
    void suiteIsFoundOnThePath();
    void suiteStopsWithTheConverter();
};

void OfficeConverterTest::convertsWithTheSuite_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("converted");
    // $7 is the output directory, $8 the document, as the suite is run.
    const QByteArray writesPdf = "printf '%s\\n' \"$@\" > \"$7/arguments\"\n"
                                 "printf '%%PDF-1.4' > \"$7/$(basename \"${8%.*}\").pdf\"\n";
    QTest::newRow("converted") << writesPdf << true;
    QTest::newRow("suite fails") << writesPdf + "exit 1\n" << false;
    QTest::newRow("suite writes nothing") << QByteArray("exit 0\n") << false;
    QTest::newRow("suite writes an empty file")
        << QByteArray("touch \"$7/$(basename \"${8%.*}\").pdf\"\n") << false;
    QTest::newRow("suite crashes") << QByteArray("kill -9 $$\n") << false;
}

void OfficeConverterTest::convertsWithTheSuite()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, converted);
    QTemporaryDir base;
    const QString suite = base.filePath(QStringLiteral("suite"));
    QFile file(suite);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + script);
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString output = base.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(output));
    const QString document = base.filePath(QStringLiteral("第一课.教案.doc"));

    OfficeConverter converter(suite);
    QVERIFY(converter.available());
    std::optional<QString> result;
    converter.convertToPdf(document, output, [&](const QString& pdf) { result = pdf; });
    QVERIFY(QTest::qWaitFor([&] { return result.has_value(); }, 10000));
    const QString expected = QDir(output).filePath(QStringLiteral("第一课.教案.pdf"));
    QCOMPARE(*result, converted ? expected : QString());
    if (!converted)
        return;
    QFile arguments(QDir(output).filePath(QStringLiteral("arguments")));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    const QStringList given = QString::fromUtf8(arguments.readAll()).split(QLatin1Char('\n'));
    QVERIFY(given.first().startsWith(QStringLiteral("-env:UserInstallation=file:///")));
    QCOMPARE(given.mid(1, 7),
             (QStringList{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                          QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                          QStringLiteral("--outdir"), output, document}));
}

void OfficeConverterTest::suiteIsFoundOnThePath()
{
    const QByteArray savedPath = qgetenv("PATH");
    QTemporaryDir bin;
    QFile suite(bin.filePath(QStringLiteral("soffice")));
    QVERIFY(suite.open(QIODevice::WriteOnly));
    suite.write("#!/bin/sh\n");
    suite.close();
    suite.setPermissions(QFile::ReadOwner | QFile::ExeOwner);

    qputenv("PATH", QFile::encodeName(bin.path()));
    QVERIFY(OfficeConverter().available());
    qputenv("PATH", "/nonexistent");
    OfficeConverter none;
    QVERIFY(!none.available());
    std::optional<QString> result;
    none.convertToPdf(QStringLiteral("/l/plan.doc"), bin.path(),
                      [&](const QString& pdf) { result = pdf; });
    QCOMPARE(result, std::optional<QString>(QString()));
    qputenv("PATH", savedPath);
}

void OfficeConverterTest::suiteStopsWithTheConverter()
{
    QTemporaryDir base;
    const QString suite = base.filePath(QStringLiteral("suite"));
    QFile file(suite);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho $$ > \"$7/pid\"\nexec sleep 60\n");
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QFile pidFile(base.filePath(QStringLiteral("pid")));
    {
        OfficeConverter converter(suite);
        converter.convertToPdf(base.filePath(QStringLiteral("plan.doc")), base.path(),
                               [](const QString&) {});
        QVERIFY(QTest::qWaitFor([&] { return pidFile.size() > 0; }, 10000));
    }
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const QByteArray pid = pidFile.readAll().trimmed();
    // The program ends without leaving the suite running.
    QVERIFY(!QFile::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid)));
}

QTEST_MAIN(OfficeConverterTest)
#include "OfficeConverterTest.moc"

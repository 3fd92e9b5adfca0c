#include "FileContents.h"

#include "board/content/RichTextWriter.h"
#include "board/pixels/PageFormat.h"
#include "lessons/LessonPdf.h"
#include "text/FontNames.h"

#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

namespace {

const QSize pageSize(640, 400);
const QRect panel(20, 60, 300, 200);
const quint32 textBoxColour = 0xA5A5A5;

// The rich text of a page whose panel holds the plain text.
QByteArray richText(const QString& plain)
{
    QTextDocument document;
    document.setPlainText(plain);
    return RichTextWriter::write(document);
}

// Page n: a background, aliased strokes one pixel wide in a few colours (what a lossy or
// resampled picture loses first) and, on pages 1 and 2, a panel of Chinese text.
LessonPage samplePage(int n)
{
    QImage picture(pageSize, pageFormat);
    picture.fill(QColor(128, 128, 128 + n));
    QPainter painter(&picture);
    for (int i = 0; i < 40; ++i) {
        painter.setPen(QColor::fromHsv((i * 37 + n * 11) % 360, 255, 255));
        painter.drawLine(i * 13 % pageSize.width(), (i * 29 + n) % pageSize.height(),
                         (i * 71) % pageSize.width(), (i * 17 + 3 * n) % pageSize.height());
    }
    painter.end();
    const QStringList texts = {QStringLiteral("春眠不觉晓"), QStringLiteral("处处闻啼鸟")};
    if (n > texts.size())
        return {picture, ContentKind::None, panel, {}};
    return {picture, ContentKind::Text, panel, richText(texts[n - 1])};
}

// The standard output of a poppler tool, or the test fails.
QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120'000) || process.exitCode() != 0)
        qWarning() << program << arguments << process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class LessonPdfTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_directory;
    QString m_pdf;

private slots:
    void initTestCase()
    {
        FontNames::apply();
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("poppler-utils is not installed (scripts/install-dependencies.sh brings it)");
        m_pdf = m_directory.filePath(QStringLiteral("lesson.pdf"));
        const QByteArray bytes =
            LessonPdf(pageSize, textBoxColour).write(3, [](int n) { return samplePage(n); });
        QVERIFY(!bytes.isEmpty());
        FileContents::write(m_pdf, bytes);
    }

    // One PDF page per board page, each the page's size at 96 dpi (3/4 of a point per pixel).
    void pagesAndSize()
    {
        const QString info =
            run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                            QStringLiteral("-l"), QStringLiteral("3"), m_pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))),
                 qPrintable(info));
        for (int n = 1; n <= 3; ++n)
            QVERIFY2(info.contains(QRegularExpression(
                         QStringLiteral("Page\\s+%1 size:\\s+480 x 300 pts").arg(n))),
                     qPrintable(info));
    }

    // The text is in the panel's brush script, embedded (column "emb") with a map back to Unicode
    // ("uni").
    void brushFontEmbedded()
    {
        const QString fonts = run(QStringLiteral("pdffonts"), {m_pdf});
        QVERIFY2(
            fonts.contains(QRegularExpression(QStringLiteral("UKai.*\\byes\\s+\\S+\\s+yes\\b"))),
            qPrintable(fonts));
    }

    // The panel's text is text of the PDF, page by page.
    void text_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("expected");
        QTest::newRow("page 1") << 1 << QStringLiteral("春眠不觉晓");
        QTest::newRow("page 2") << 2 << QStringLiteral("处处闻啼鸟");
        QTest::newRow("page 3, no panel") << 3 << QString();
    }
    void text()
    {
        QFETCH(int, page);
        QFETCH(QString, expected);
        const QString text = run(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                  QString::number(page), m_pdf, QStringLiteral("-")});
        QCOMPARE(text.simplified().remove(QLatin1Char(' ')), expected);
    }

    // The picture in the PDF is the page's, pixel for pixel (no JPEG, no resampling); the page as
    // a reader shows it at 96 dpi is the picture outside the panel, and the text box's colour
    // under its text.
    void pictures_data()
    {
        QTest::addColumn<int>("page");
        for (int n = 1; n <= 3; ++n)
            QTest::addRow("page %d", n) << n;
    }
    void pictures()
    {
        QFETCH(int, page);
        const QString prefix = m_directory.filePath(QStringLiteral("picture%1").arg(page));
        const QString p = QString::number(page);
        run(QStringLiteral("pdfimages"), {QStringLiteral("-png"), QStringLiteral("-f"), p,
                                          QStringLiteral("-l"), p, m_pdf, prefix});
        const QImage expected = samplePage(page).picture;
        const QImage embedded =
            QImage(prefix + QStringLiteral("-000.png")).convertToFormat(pageFormat);
        QCOMPARE(embedded.size(), expected.size());
        QVERIFY(embedded == expected);

        // Cairo draws a picture at 1:1 as it is; poppler's own renderer smooths it.
        run(QStringLiteral("pdftocairo"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("96"),
             QStringLiteral("-f"), p, QStringLiteral("-l"), p, QStringLiteral("-singlefile"), m_pdf,
             prefix + QStringLiteral("-shown")});
        const QImage shown =
            QImage(prefix + QStringLiteral("-shown.png")).convertToFormat(pageFormat);
        QCOMPARE(shown.size(), expected.size());
        const bool withPanel = page <= 2;
        int differing = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                if (!(withPanel && panel.contains(x, y)) &&
                    shown.pixel(x, y) != expected.pixel(x, y))
                    ++differing;
        QCOMPARE(differing, 0);
        if (withPanel) // the text box's top-right corner: no text there
            QCOMPARE(shown.pixel(panel.right() - 2, panel.top() + 2), QColor(0xA5A5A5).rgb());
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "/tmp/第2册"
                                      << "/tmp/第2册.pdf";
        QTest::newRow("pdf") << "/tmp/a.pdf"
                             << "/tmp/a.pdf";
        QTest::newRow("another extension") << "/tmp/a.PDF"
                                           << "/tmp/a.PDF";
        QTest::newRow("dot in a folder") << "/tmp/v1.2/lesson"
                                         << "/tmp/v1.2/lesson.pdf";
    }
    void fileNames()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QCOMPARE(LessonPdf::fileNameFor(chosen), written);
    }
};

QTEST_MAIN(LessonPdfTest)
#include "LessonPdfTest.moc"

#include "board/content/DocumentOpener.h"

#include "board/content/ContentPanelModel.h"
#include "platform/DocumentConverter.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <QUrl>

namespace {

enum class Route { Presentation, View, Office, Desktop };

const QSet<QString>& officeSuffixes()
{
    static const QSet<QString> suffixes = {
        QStringLiteral("doc"),  QStringLiteral("docx"), QStringLiteral("docm"),
        QStringLiteral("dot"),  QStringLiteral("dotx"), QStringLiteral("rtf"),
        QStringLiteral("odt"),  QStringLiteral("wps"),  QStringLiteral("xls"),
        QStringLiteral("xlsx"), QStringLiteral("xlsm"), QStringLiteral("xlt"),
        QStringLiteral("xltx"), QStringLiteral("ods"),  QStringLiteral("csv"),
        QStringLiteral("et"),   QStringLiteral("ppt"),  QStringLiteral("pptx"),
        QStringLiteral("pps"),  QStringLiteral("ppsx"), QStringLiteral("pot"),
        QStringLiteral("potx"), QStringLiteral("odp"),  QStringLiteral("dps"),
    };
    return suffixes;
}

Route routeFor(const QString& path)
{
    // Presentations are told by their name exactly as written; "A.PPS" is an office document.
    if (path.endsWith(QLatin1String(".pps")) || path.endsWith(QLatin1String(".ppt")))
        return Route::Presentation;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (officeSuffixes().contains(suffix))
        return Route::Office;
    // Flash movies have no player in the web view.
    if (suffix == QLatin1String("swf"))
        return Route::Desktop;
    return Route::View;
}

} // namespace

const QString DocumentOpener::chooserFilter =
    QStringLiteral("swf files (*.swf);;htm files(*.htm);;*.pps;;*.ppt;;*.doc;;*.xls;;*.*");
const QString DocumentOpener::defaultName = QStringLiteral("dream[1].swf");

DocumentOpener::DocumentOpener(ContentPanelModel& panel, Prompter& prompter, Launcher& launcher,
                               DocumentConverter& converter, const QString& programDirectory)
    : m_panel(panel), m_prompter(prompter), m_launcher(launcher), m_converter(converter),
      m_programDirectory(programDirectory)
{
}

DocumentOpener::~DocumentOpener() = default;

void DocumentOpener::choose()
{
    const QString path =
        m_prompter.openFile(QString(), m_programDirectory + defaultName, chooserFilter);
    if (!path.isEmpty())
        open(path);
}

void DocumentOpener::open(const QString& path)
{
    switch (routeFor(path)) {
    case Route::Presentation:
        emit leaveBoardRequested();
        handToDesktop(path);
        break;
    case Route::View:
        m_panel.showDocument(QUrl::fromLocalFile(path));
        break;
    case Route::Office:
        if (m_converter.available())
            convert(path);
        else
            handToDesktop(path);
        break;
    case Route::Desktop:
        handToDesktop(path);
        break;
    }
}

void DocumentOpener::handToDesktop(const QString& path)
{
    if (!m_launcher.openDocument(path))
        m_prompter.inform(
            QStringLiteral("提示信息"),
            QStringLiteral("没有可以打开这个文件的程序：%1").arg(QDir::toNativeSeparators(path)));
}

void DocumentOpener::convert(const QString& path)
{
    if (!m_converted)
        m_converted = std::make_unique<QTemporaryDir>();
    const int conversion = ++m_conversions;
    const QString directory = m_converted->filePath(QString::number(conversion));
    if (!m_converted->isValid() || !QDir().mkpath(directory)) {
        handToDesktop(path);
        return;
    }
    m_panel.setDocumentPending(true);
    QPointer<DocumentOpener> self(this);
    m_converter.convertToPdf(path, directory, [self, conversion, path](const QString& pdf) {
        // A later document, or the end of the program, makes this one's result moot.
        if (!self || conversion != self->m_conversions)
            return;
        self->m_panel.setDocumentPending(false);
        if (pdf.isEmpty())
            self->handToDesktop(path);
        else
            self->m_panel.showDocument(QUrl::fromLocalFile(pdf));
    });
}

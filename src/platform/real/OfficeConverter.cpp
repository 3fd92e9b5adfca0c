#include "platform/real/OfficeConverter.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

OfficeConverter::OfficeConverter(const QString& program) : m_program(program)
{
    if (m_program.isEmpty())
        m_program = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (m_program.isEmpty())
        m_program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

OfficeConverter::~OfficeConverter() = default;

bool OfficeConverter::available() const
{
    return !m_program.isEmpty();
}

void OfficeConverter::convertToPdf(const QString& document, const QString& outputDirectory,
                                   std::function<void(const QString& pdf)> done)
{
    if (!available()) {
        done({});
        return;
    }
    if (!m_profile)
        m_profile = std::make_unique<QTemporaryDir>();
    // The suite names its PDF after the document, with the last extension replaced.
    const QString pdf =
        QDir(outputDirectory)
            .filePath(QFileInfo(document).completeBaseName() + QStringLiteral(".pdf"));
    QFile::remove(pdf);

    auto* process = new QProcess(&m_processes);
    process->setProgram(m_program);
    process->setArguments({QStringLiteral("-env:UserInstallation=") +
                               QUrl::fromLocalFile(m_profile->path()).toString(),
                           QStringLiteral("--headless"), QStringLiteral("--norestore"),
                           QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                           QStringLiteral("--outdir"), outputDirectory, document});
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    auto* limit = new QTimer(process);
    limit->setSingleShot(true);
    QObject::connect(limit, &QTimer::timeout, process, &QProcess::kill);
    QObject::connect(process, &QProcess::finished, process,
                     [process, pdf, done](int exitCode, QProcess::ExitStatus status) {
                         const QFileInfo written(pdf);
                         const bool converted = status == QProcess::NormalExit && exitCode == 0 &&
                                                written.isFile() && written.size() > 0;
                         done(converted ? pdf : QString());
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, done](QProcess::ProcessError error) {
                         // A process that never started reports nothing else.
                         if (error != QProcess::FailedToStart)
                             return;
                         done({});
                         process->deleteLater();
                     });
    process->start();
    limit->start(timeLimitMs);
}

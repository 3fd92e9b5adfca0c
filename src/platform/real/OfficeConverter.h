#pragma once

#include "platform/DocumentConverter.h"

#include <QObject>
#include <QTemporaryDir>
#include <memory>

// Converts office documents to PDF with LibreOffice run headless
// ("libreoffice --headless --convert-to pdf --outdir <directory> <document>"), as a process of
// its own, so the board goes on while it works. The suite runs with a profile of its own in a
// temporary directory, so a suite the teacher has open does not take the job over, and it is
// stopped when it takes longer than timeLimitMs or when the converter goes.
class OfficeConverter final : public DocumentConverter {
public:
    static constexpr int timeLimitMs = 120000;

    // program: the suite's command; empty looks for "libreoffice", then "soffice", on PATH.
    explicit OfficeConverter(const QString& program = {});
    ~OfficeConverter() override;

    bool available() const override;
    void convertToPdf(const QString& document, const QString& outputDirectory,
                      std::function<void(const QString& pdf)> done) override;

private:
    QString m_program;
    std::unique_ptr<QTemporaryDir> m_profile;
    // The suite's processes while they run; they end with the converter.
    QObject m_processes;
};

#pragma once

#include "platform/DocumentConverter.h"

#include <QList>

// A document converter for tests: available or not as the test says, it records each request
// and answers when the test finishes it, with a PDF the test names (or none, a failure).
class FakeDocumentConverter final : public DocumentConverter {
public:
    struct Request {
        QString document;
        QString outputDirectory;
        std::function<void(const QString& pdf)> done;
    };

    void setAvailable(bool available) { m_available = available; }
    const QList<Request>& requests() const { return m_requests; }
    // Answers request index with pdf; an empty pdf reports a failed conversion.
    void finish(qsizetype index, const QString& pdf) { m_requests.at(index).done(pdf); }

    bool available() const override { return m_available; }
    void convertToPdf(const QString& document, const QString& outputDirectory,
                      std::function<void(const QString& pdf)> done) override
    {
        m_requests.append({document, outputDirectory, std::move(done)});
    }

private:
    bool m_available = false;
    QList<Request> m_requests;
};

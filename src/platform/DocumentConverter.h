#pragma once

#include <QString>
#include <functional>

// Turns office documents (word processor, spreadsheet and presentation files) into PDF with an
// office suite run without a window, where one is installed.
class DocumentConverter {
public:
    virtual ~DocumentConverter() = default;
    // Whether a suite is there to convert with.
    virtual bool available() const = 0;
    // Starts converting document into a PDF file in outputDirectory; done is called later, on
    // this thread, with the PDF file's path, or an empty text when the conversion failed.
    virtual void convertToPdf(const QString& document, const QString& outputDirectory,
                              std::function<void(const QString& pdf)> done) = 0;
};

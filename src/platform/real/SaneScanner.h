#pragma once

#include "platform/Scanner.h"

#include <QLibrary>

#include <atomic>
#include <memory>

// The scanner source manager over SANE. The SANE library is loaded at run time, as a source
// manager is, so a machine without it runs the program and only scanning reports the failure.
// load() is sane_init (after sane_exit when loaded), unload() is sane_exit; the library itself
// stays mapped once loaded, since backends keep state that does not survive being unmapped.
//
// acquire() sets the mode to colour where the device offers it and the resolution options to the
// nearest value the device allows; SANE has no device dialogs, so none is shown. A flatbed gives
// one page per acquisition; a source whose "source" option names a document feeder gives pages
// until the feeder is empty. Frames of any SANE format (grey, RGB, or one frame per colour) at
// depths 1, 8 and 16 become RGB32 pictures.
class SaneScanner final : public Scanner {
public:
    // The library is found as the dynamic linker finds "lib<name>.so.<version>".
    explicit SaneScanner(const QString& libraryName = QStringLiteral("sane"), int version = 1);
    ~SaneScanner() override;
    SaneScanner(const SaneScanner&) = delete;
    SaneScanner& operator=(const SaneScanner&) = delete;

    bool load() override;
    void unload() override;
    QList<ScanSource> sources() override;
    bool acquire(const QString& device, int dotsPerInch,
                 const std::function<void(const QImage&)>& onPage) override;
    void requestStop() override { m_stop = true; }

    struct Api;

private:
    // The frames of one page as a picture; null when a frame failed or the scan was stopped.
    QImage readPage(void* handle);

    QLibrary m_library;
    // The library's entry points while the manager is loaded.
    std::unique_ptr<Api> m_api;
    std::atomic<bool> m_stop = false;
};

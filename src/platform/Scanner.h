#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <functional>

// A scanner or camera the source manager reports: the name the manager opens it by and the model
// name the teacher chooses it by.
struct ScanSource {
    QString device;
    QString model;
};

// The scanner source manager: the machine's scanners and cameras, local and on the network, and
// acquisition from one of them. Calls may block for as long as the devices take (a network search,
// a whole scan), so callers run them off the user-interface thread, all from one thread at a time.
class Scanner {
public:
    virtual ~Scanner() = default;

    // Loads and opens the source manager, unloading it first when it is loaded; false when it
    // cannot be loaded or does not work.
    virtual bool load() = 0;
    // Closes the manager and unloads it; nothing happens when it is not loaded.
    virtual void unload() = 0;
    // Every source the manager reports, in its order; none when the manager is not loaded or
    // cannot look.
    virtual QList<ScanSource> sources() = 0;
    // Opens the source by its device name and scans at dotsPerInch across and down, in colour
    // where the source offers it, without any dialog of the device's own. Every page the source
    // delivers goes to onPage as it arrives, with its resolution set. False when the source could
    // not be opened or started; a source that fails during a transfer ends the acquisition with
    // the pages it delivered.
    virtual bool acquire(const QString& device, int dotsPerInch,
                         const std::function<void(const QImage&)>& onPage) = 0;
    // The program is ending: a running acquisition ends after the data it is reading, and later
    // ones deliver nothing. Callable from any thread.
    virtual void requestStop() = 0;
};

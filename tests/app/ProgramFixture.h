#pragma once

#include "app/Program.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeDesktop.h"
#include "platform/fakes/FakeDocumentConverter.h"
#include "platform/fakes/FakeDrives.h"
#include "platform/fakes/FakeLauncher.h"
#include "platform/fakes/FakeRegistry.h"
#include "platform/fakes/FakeScanner.h"
#include "platform/fakes/FakeTaskKeys.h"
#include "platform/fakes/ScriptedPrompter.h"
#include "platform/real/Platform.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

// The program started on fakes of the desktop, on a 1024 x 768 screen, with a program directory
// of its own.
struct ProgramFixture {
    QTemporaryDir directory;
    // What is delivered beside the program, apart from where it writes.
    QTemporaryDir deliveredDirectory;
    Platform platform;
    FakeDesktop* desktop = new FakeDesktop;
    FakeTaskKeys* taskKeys = new FakeTaskKeys;
    FakeRegistry* registry = new FakeRegistry;
    FakeLauncher* launcher = new FakeLauncher;
    ScriptedPrompter* prompter = new ScriptedPrompter;
    FakeClock* clock = new FakeClock;
    // C alone, in a directory of the fixture's own: the settings file lies there.
    QTemporaryDir driveDirectory;
    FakeDrives* drives = new FakeDrives;
    FakeDocumentConverter* documentConverter = new FakeDocumentConverter;
    FakeScanner* scanner = new FakeScanner;
    std::unique_ptr<Program> program;

    ProgramFixture()
    {
        platform.desktop.reset(desktop);
        platform.taskKeys.reset(taskKeys);
        platform.registry.reset(registry);
        platform.launcher.reset(launcher);
        platform.prompter.reset(prompter);
        platform.clock.reset(clock);
        platform.drives.reset(drives);
        platform.documentConverter.reset(documentConverter);
        platform.scanner.reset(scanner);
        QDir().mkpath(driveC());
        drives->setDrives({{QLatin1Char('C'), DriveKind::Fixed, QString(), driveC()}});
    }

    QString driveC() const { return driveDirectory.path() + QStringLiteral("/C/"); }
    QString settingsFile() const
    {
        return driveC() + QStringLiteral("Program files/Common files/system/datb.sec");
    }

    QString programDirectory() const { return directory.path() + QLatin1Char('/'); }
    // Where the board keeps its backup once Program::startBackup() ran.
    QString stateDirectory = directory.path() + QStringLiteral("/state/");
    QString programFilesDirectory() const { return deliveredDirectory.path() + QLatin1Char('/'); }

    void start(QSize screenSize = QSize(1024, 768))
    {
        program = std::make_unique<Program>(
            platform, screenSize,
            ProgramDirectories{programFilesDirectory(), programDirectory(), stateDirectory});
    }
    const Windows& windows() const { return program->windows(); }
};

#pragma once

#include "platform/Clock.h"
#include "platform/CompositorOutputs.h"
#include "platform/Desktop.h"
#include "platform/DocumentConverter.h"
#include "platform/Drives.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"
#include "platform/Registry.h"
#include "platform/Scanner.h"
#include "platform/TaskKeys.h"

#include <QString>
#include <memory>

// The platform services of one run of the program, one of each, chosen once at start-up and
// handed to the windows that need them. Tests build their own from the fakes.
struct Platform {
    std::unique_ptr<Desktop> desktop;
    std::unique_ptr<TaskKeys> taskKeys;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<Launcher> launcher;
    std::unique_ptr<Prompter> prompter;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Drives> drives;
    std::unique_ptr<DocumentConverter> documentConverter;
    std::unique_ptr<Scanner> scanner;
    // Only where the compositor does not place windows by their X geometry; otherwise none.
    std::unique_ptr<CompositorOutputs> compositorOutputs;

    // The real services for the platform the application runs on: X11 on "xcb", and what Qt
    // alone can do anywhere else (offscreen, Wayland). Call after the QApplication exists; the
    // services must go before it does, since the X11 ones use its X connection.
    static Platform forThisDesktop(const QString& programDirectory);

    // Before the application exists: when Qt is to run on X11 (QT_QPA_PLATFORM "xcb"), whether
    // the display named in DISPLAY can be opened. Empty when it can, or when another platform
    // was asked for; otherwise one line saying that an X11 display is needed and what DISPLAY
    // held.
    static QString x11DisplayProblem();
};

#pragma once
// Start-up of the command-line tools, which show no window.
//
// - They run on the offscreen platform whatever the environment names: a DISPLAY that is gone
//   (a stale one over ssh), a WAYLAND_DISPLAY without a compositor or a QT_QPA_PLATFORM without
//   a plugin would otherwise stop the toolkit, and the program with it, before main reads its
//   first argument. No platform theme or input plugin is loaded and no sound device is opened.
// - They read the arguments as typed (TypedArguments.h): the toolkit is given the program name
//   alone.
// - A question to the user (DialogService) gets its cancel answer and a line on stderr, unless the
//   tool installs a presenter of its own.
// - An exception that escapes an event handler goes to Application().ShowException instead of
//   unwinding through the toolkit's event loop, like one that escapes a message window's handler,
//   so a tool finds every such failure in Application().ReportedErrorCount().
//
// Construct one at the top of main, before anything else of the toolkit.
#include "platform/ui/DialogService.h"
#include "platform/ui/TypedArguments.h"

#include <memory>
#include <string>

class QCoreApplication;

// The application class a tool needs: Core unless a part of it needs the platform (fonts for
// text drawn into pictures, screens), then Gui on the offscreen platform. Painting on images
// needs no platform.
enum class TToolkit { Core, Gui };

struct TToolStart {
    TToolkit Toolkit = TToolkit::Core;
    // The toolkit's own remarks (warnings about a missing runtime folder, ...) are dropped unless
    // this environment variable is set; none: they are printed as usual. Fatal ones always are.
    const char* RemarksVariable = nullptr;
};

class TToolApplication {
public:
    TToolApplication(int argc, char** argv, const TToolStart& start);
    ~TToolApplication();
    TToolApplication(const TToolApplication&) = delete;
    TToolApplication& operator=(const TToolApplication&) = delete;

    const TTypedArguments& Arguments() const { return FArguments; }
    QCoreApplication& QtApplication() const { return *FApp; }

    // The environment every tool runs in (the first step of the constructor; tests call it).
    static void PrepareEnvironment();

private:
    TTypedArguments FArguments;
    // What the toolkit is given: the program name alone. Both live as long as the application.
    std::string FProgram;
    int FArgc = 1;
    char* FArgv[2] = {nullptr, nullptr};
    std::unique_ptr<QCoreApplication> FApp;
    TDialogService::TPresenter FPresenter; // the one in force before
};

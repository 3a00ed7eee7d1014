// kelvara: the desktop program. It checks that a display can be reached (or runs headless on
// the offscreen platform), creates the main window and shows it; the preferences are loaded at
// that first show and the command-line switches applied at the first activation, as typed by
// the user (the toolkit is given the program name alone, so none of its own options can eat a
// switch or a file name).
//
// "kelvara --run-script FILE [switch ...]" runs a script instead: the file is opened in the script
// window, the switches applied, the script compiled and run, its messages printed on standard
// error as well; "/quit" then closes the program, whose exit status says whether the script ran.
//
// A file name among the arguments ("kelvara clip.avi", as file managers start it) opens the file
// like "/o=clip.avi".
#include "grabbing/main.h"

#include "commands/uSwitchHelp.h"
#include "grabbing/uFileArguments.h"
#include "grabbing/uScriptRun.h"
#include "platform/ui/Application.h"
#include "platform/ui/DisplayCheck.h"
#include "platform/ui/GuardedApplication.h"
#include "platform/ui/TypedArguments.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

namespace {

void Print(std::FILE* to, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

bool WantsHelp(const TTypedArguments& args) {
    for (const QString& a : args.Texts())
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return true;
    return false;
}

// The switch list needs the window's actions, not a screen: it is built on the offscreen
// platform and the window is never shown.
int PrintHelp(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    qputenv("SDL_AUDIODRIVER", "dummy");
    int qtArgc = 1;
    TGuardedApplication<QApplication> app(qtArgc, argv);
    (void)argc;
    TShowForm form;
    Print(stdout, SwitchHelpText(QStringLiteral("kelvara"), form.ActionLists()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CaptureTypedArguments(argc, argv);
    {
        // The switches as the switch runner reads them, file names turned into "/o=" switches.
        const std::vector<QByteArray> typed = OpenBareFiles(CapturedArguments()->Native());
        std::vector<const char*> withFiles{argv[0]};
        for (const QByteArray& a : typed)
            withFiles.push_back(a.constData());
        CaptureTypedArguments(int(withFiles.size()), withFiles.data());
    }
    const TTypedArguments& args = *CapturedArguments();
    if (WantsHelp(args))
        return PrintHelp(argc, argv);

    const TDisplayCheck display = CheckDisplay();
    if (!display.Usable) {
        Print(stderr, QStringLiteral("kelvara: no display to show the window on (%1); to run it "
                                     "headless: QT_QPA_PLATFORM=offscreen kelvara ...\n")
                          .arg(display.Reason));
        return 2;
    }
    int qtArgc = 1;
    TGuardedApplication<QApplication> app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvara"));
    QApplication::setOrganizationName(QStringLiteral("Osric Taskel"));
    // The launcher entry names the window's icon; the pictures inside the program stand in when
    // the icon theme has none.
    QApplication::setDesktopFileName(QStringLiteral("kelvara"));
    QIcon icon;
    for (const char* size : {"32x32", "64x64", "256x256"})
        icon.addFile(QStringLiteral(":/icons/%1/apps/kelvara.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kelvara"), icon));

    const TScriptRunArguments scriptRun = ParseScriptRun(args.Texts());
    if (scriptRun.Wanted && scriptRun.File.isEmpty()) {
        Print(stderr, QStringLiteral("kelvara: --run-script needs a script file\n"));
        return 2;
    }
    TShowForm form;
    std::unique_ptr<TScriptRun> run;
    if (scriptRun.Wanted)
        run = std::make_unique<TScriptRun>(
            form, scriptRun, [](const QString& line) { Print(stderr, line + QLatin1Char('\n')); });
    form.show();
    // Platforms that never report the application active (offscreen, an X server without a
    // window manager) still get their first activation, which applies the switches.
    // A later activation only reaches the program's own handler.
    if (run)
        run->Start();
    else
        QTimer::singleShot(300, &form, [] { Application().Activate(); });
    const int status = app.exec();
    return status != 0 ? status : run ? run->ExitStatus() : 0;
}

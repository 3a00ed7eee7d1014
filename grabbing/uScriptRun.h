#pragma once
// The program started to run one script: "kelvara --run-script FILE [switch ...]". The script
// file is opened in the script window as its open command does, the switches are applied as the
// command line's are (in order, once the window has been shown and the preferences loaded), then
// the script is compiled and run. "/quit" among the switches closes the program after the script
// instead of before it. The compiler's and the run's messages also go to the error report given.
//
// Thread contract: GUI thread; Start runs its steps from the event loop.
#include <functional>

#include <QString>
#include <QStringList>

class TShowForm;

struct TScriptRunArguments {
    bool Wanted = false;  // --run-script was given
    QString File;         // the script file, empty when missing
    QStringList Switches; // the other arguments, without quit
    bool Quit = false;    // quit was among them (any prefix, any letter case)
};

// Reads "--run-script FILE" or "--run-script=FILE" anywhere in the arguments; every other
// argument is a switch.
TScriptRunArguments ParseScriptRun(const QStringList& arguments);

class TScriptRun {
public:
    // The run's messages and errors, one line each.
    using TReport = std::function<void(const QString& line)>;

    TScriptRun(TShowForm& form, TScriptRunArguments arguments, TReport report);

    // Runs the steps from the event loop once the window is shown: the first activation (with no
    // command line), the script opened, the switches, the script; then quits if asked.
    void Start(int delayMs = 300);
    // The steps, at once.
    void RunNow();

    bool Finished() const { return FFinished; }
    // 0 when the script ran; 1 when it could not be opened, did not compile or failed.
    int ExitStatus() const { return FExitStatus; }

private:
    bool ApplySwitches();

    TShowForm& FForm;
    TScriptRunArguments FArguments;
    TReport FReport;
    bool FFinished = false;
    int FExitStatus = 0;
};

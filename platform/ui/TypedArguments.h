#pragma once
// The command line as the user typed it.
//
// Qt's application classes take their own options out of argv (-platform, -style, -reverse,
// -session, -qwindowgeometry, ... even after "--", and one of them stops the program when its
// value names no plugin) and decode the rest as text, which turns the bytes of a file name that
// is not valid in the locale's encoding into replacement characters. A program that reads its own
// switches copies argv with CaptureTypedArguments before it constructs its application object and
// gives the toolkit the program name alone (TToolApplication does both).
#include <optional>
#include <vector>

#include <QByteArray>
#include <QStringList>

class TTypedArguments {
public:
    TTypedArguments() = default;
    // argv[1] to argv[argc - 1]; a null entry ends the list early.
    TTypedArguments(int argc, const char* const* argv);

    // The bytes of each argument, as typed: file names are opened from these.
    const std::vector<QByteArray>& Native() const { return FNative; }
    // Each argument decoded as the toolkit decodes file names (QFile::decodeName): bytes that
    // are not text in the locale's encoding become replacement characters, so a file name read
    // from here may name no file. For switches, values and messages.
    QStringList Texts() const;
    bool Empty() const { return FNative.empty(); }

private:
    std::vector<QByteArray> FNative;
};

// Keeps a copy of the program's arguments for the whole run (call at the top of main, before
// the application object exists); Application().ParamStrings answers from it from then on.
void CaptureTypedArguments(int argc, const char* const* argv);
// The captured arguments; nullopt when the program captured none.
const std::optional<TTypedArguments>& CapturedArguments();
// Drops the captured arguments (tests).
void ForgetCapturedArguments();

#pragma once
// Test helper: compiles and runs a script on an Engine whose scripts can call writeln(s) and
// write(s), and collects what happened.
#include "scripting/Engine.h"

#include <QString>
#include <QStringList>

namespace kelvara::script::test {

struct RunResult {
    bool compiled = false;
    bool ran = false;
    QStringList messages; // one line per compiler message
    QString error;        // run-time error text
    QString output;       // what write/writeln produced
};

// Runs `text` with debug information off unless asked (error texts without positions).
RunResult RunScript(const QString& text, bool debugInfo = false, const Limits& limits = {});

// Registers writeln(s) and write(s) appending to `out`.
void AddOutput(Engine& engine, QString& out);

} // namespace kelvara::script::test

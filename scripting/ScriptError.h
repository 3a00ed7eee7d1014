#pragma once
// What ends or interrupts a running script.
//
// ScriptError is a run-time error the script can catch with try ... except: division by zero, an
// index out of range, a raise statement, an error reported by a routine. It carries the
// exception class (ErrorKind, or the object raised by the script) and the place where it
// happened; the innermost node that knows its place fills it in.
//
// ScriptStop ends the run and cannot be caught by the script (try ... finally blocks still run):
// the abort flag was raised or the execution budget is spent.
#include "scripting/SourcePos.h"
#include "scripting/TypeTable.h"
#include "scripting/Value.h"

#include <exception>

#include <QString>

namespace kelvara::script {

class ScriptError : public std::exception {
public:
    explicit ScriptError(QString message, ErrorKind kind = ErrorKind::Custom)
        : message(std::move(message)), kind(kind) {}
    ScriptError(QString message, ErrorKind kind, const SourcePos& pos)
        : message(std::move(message)), kind(kind), pos(pos), hasPos(true) {}

    const char* what() const noexcept override { return "script error"; }

    void Place(const SourcePos& p) {
        if (!hasPos) {
            pos = p;
            hasPos = true;
        }
    }

    QString message;
    ErrorKind kind;
    SourcePos pos;
    bool hasPos = false;
    AggRef object; // the exception object raised by the script, if any
};

class ScriptStop : public std::exception {
public:
    ScriptStop(QString message, const SourcePos& pos) : message(std::move(message)), pos(pos) {}
    const char* what() const noexcept override { return "script stopped"; }

    QString message;
    SourcePos pos;
};

} // namespace kelvara::script

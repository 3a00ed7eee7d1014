#pragma once
// The two services that typed actions and action lists call but do not own: the preferences
// component (typed reads with a default, typed writes) and the script host (declares routines for
// the next compiled script). The preferences component and the script host implement these.
#include <cstdint>
#include <functional>

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include "platform/ui/Font.h"
#include "platform/ui/Types.h"

// Typed reads and writes under a key of the section that the caller opened. A read returns the
// stored value, or the default when there is none or it cannot be read; a write returns success.
class IActionPreferences {
public:
    virtual ~IActionPreferences() = default;

    virtual QString ReadString(const QString& key, const QString& def) = 0;
    virtual int32_t ReadInteger(const QString& key, int32_t def) = 0;
    virtual bool ReadBool(const QString& key, bool def) = 0;
    virtual double ReadFloat(const QString& key, double def) = 0;
    virtual TPoint ReadPoint(const QString& key, const TPoint& def) = 0;
    virtual TRect ReadRect(const QString& key, const TRect& def) = 0;
    // Fills target from storage, or copies def into it when nothing can be read.
    virtual void ReadFont(const QString& key, const TFont& def, TFont& target) = 0;

    virtual bool WriteString(const QString& key, const QString& value) = 0;
    virtual bool WriteInteger(const QString& key, int32_t value) = 0;
    virtual bool WriteBool(const QString& key, bool value) = 0;
    virtual bool WriteFloat(const QString& key, double value) = 0;
    virtual bool WritePoint(const QString& key, const TPoint& value) = 0;
    virtual bool WriteRect(const QString& key, const TRect& value) = 0;
    virtual bool WriteFont(const QString& key, const TFont& value) = 0;
};

// A routine bound to a script declaration. It is called with the script's argument values in the
// order of the declaration: 8- to 32-bit signed integers and TColor as int, Cardinal / LongWord /
// Word / Byte as uint, Int64 as qlonglong, Boolean as bool, Double / Single / Extended / TDateTime
// as double, String / WideString / AnsiString / Char as QString. A function returns its result
// (converted by the engine to the declared result type); a procedure returns an invalid QVariant.
// A routine reports failure by throwing a std::exception: the script's run ends with a run-time
// error whose text is what() read as UTF-8.
using TScriptRoutine = std::function<QVariant(const QVariantList& args)>;

class IScriptHost {
public:
    // Runs each time the host compiles a script, before compiling, so that routines, types and
    // constants can be registered for that compilation. Lists chain themselves in front of the
    // hook they found (the host's own built-ins are innermost).
    using TCompileHook = std::function<void(IScriptHost& host)>;

    virtual ~IScriptHost() = default;

    // Declares a routine (a Pascal procedure or function heading, e.g.
    // "procedure Digits(const aInteger:integer);") for the next compiled script and binds it.
    // False when the declaration does not parse or its name is already declared.
    virtual bool AddMethod(QObject* object, TScriptRoutine routine, const QString& declaration) = 0;

    virtual TCompileHook CompileHook() const = 0;
    virtual void SetCompileHook(TCompileHook hook) = 0;

    // The host as a QObject, so that lists referring to it can watch its destroyed() signal.
    virtual QObject* HostObject() = 0;
};

#pragma once
// A routine the script can call: one written in the script (a body run in a frame of its own),
// or a native one (the engine's standard library or a routine the host registered).
//
// Frame layout: slot 0 holds the result (unused by procedures), slots 1..n the parameters in
// order, then the local variables and temporaries. A var or out parameter's slot holds a
// reference (Value::ref) and the aggregate that keeps its target alive (Value::a).
#include "scripting/Stmt.h"
#include "scripting/Type.h"
#include "scripting/Value.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <QString>

namespace kelvara::script {

enum class ParamMode : uint8_t { Value, Const, Var, Out };

struct Param {
    QString name;
    const Type* type = nullptr;
    ParamMode mode = ParamMode::Value;
    bool hasDefault = false;
    Value def;
};

class Routine;

// What a native routine sees of a call.
struct NativeCall {
    Value* vars;
    Runtime& rt;
    const SourcePos& pos;
    const Routine& routine;

    Value& Result() { return vars[0]; }
    Value& Arg(int i) { return vars[1 + i]; }
    // The variable passed to a var or out parameter.
    Value& VarArg(int i) { return *vars[1 + i].ref; }
};

using NativeFn = std::function<void(NativeCall&)>;

class Routine {
public:
    QString name;
    SourcePos pos;
    std::vector<Param> params;
    const Type* result = nullptr; // null for a procedure
    int depth = 1;                // nesting depth: 1 for a routine declared at the top level
    int slotCount = 1;
    std::vector<std::pair<int, const Type*>> inits; // local slots that need an initial aggregate
    std::unique_ptr<Stmt> body;
    bool forward = false; // declared forward, body still to come
    bool defined = false; // body (or native) present
    NativeFn native;
    bool pure = false; // native without side effects: constant arguments give a constant

    bool IsFunction() const { return result != nullptr; }
    // "function Name(a: Integer; var b: String): Boolean" for messages.
    QString Heading() const;
};

} // namespace kelvara::script

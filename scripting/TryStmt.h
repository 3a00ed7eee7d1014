#pragma once
// try ... except, try ... finally, raise and re-raise.
//
// An except block catches ScriptError only: the abort flag and the budget (ScriptStop) end the
// run whatever the script does, though finally blocks still run on the way out. Handlers
// "on E: EClass do" match the class of the error or a descendant; a run-time error raised by the
// engine gets its exception object (EDivByZero, ERangeError, ...) when a handler binds it.
#include "scripting/Expr.h"
#include "scripting/Stmt.h"
#include "scripting/VarLocation.h"

#include <vector>

namespace kelvara::script {

struct ExceptHandler {
    const Type* cls = nullptr;
    bool bindsVar = false;
    VarLocation var; // where E lives
    StmtPtr body;
};

// Without handlers, `plain` is the except block; with handlers, `plain` is their else part.
StmtPtr MakeTryExcept(StmtPtr body, std::vector<ExceptHandler> handlers, StmtPtr plain, int depth,
                      const SourcePos& pos);
StmtPtr MakeTryFinally(StmtPtr body, StmtPtr final, const SourcePos& pos);
// raise <object expression>
StmtPtr MakeRaise(ExprPtr object, const SourcePos& pos);
// raise; inside an except block
StmtPtr MakeReRaise(const SourcePos& pos);

// The exception object of an error, made from its kind and message when the engine raised it.
AggRef ExceptionObject(ScriptError& e, const TypeTable& types);
// A new exception object of the class with the message.
AggRef NewExceptionObject(const Type* cls, const QString& message);

} // namespace kelvara::script

#include "scripting/TryStmt.h"

#include "scripting/VarExpr.h"

namespace kelvara::script {

AggRef NewExceptionObject(const Type* cls, const QString& message) {
    AggRef obj = MakeAgg(AggKind::Object, cls);
    obj->items.resize(1);
    obj->items[0].s = message;
    return obj;
}

AggRef ExceptionObject(ScriptError& e, const TypeTable& types) {
    if (!e.object)
        e.object = NewExceptionObject(types.ExceptionClass(e.kind), e.message);
    return e.object;
}

namespace {

// Marks the error as the one being handled, for "raise;".
class HandlingGuard {
public:
    HandlingGuard(Runtime& rt, const ScriptError& e) : FRt(rt) { rt.handling.push_back(&e); }
    ~HandlingGuard() { FRt.handling.pop_back(); }
    HandlingGuard(const HandlingGuard&) = delete;
    HandlingGuard& operator=(const HandlingGuard&) = delete;

private:
    Runtime& FRt;
};

class TryExcept final : public Stmt {
public:
    TryExcept(StmtPtr body, std::vector<ExceptHandler> handlers, StmtPtr plain, int depth,
              const SourcePos& p)
        : Stmt(p), FBody(std::move(body)), FHandlers(std::move(handlers)), FPlain(std::move(plain)),
          FDepth(depth) {}

    Flow Exec(Frame& f) override {
        try {
            return FBody->Exec(f);
        } catch (ScriptError& e) {
            HandlingGuard guard(*f.rt, e);
            return Handle(f, e);
        }
    }

private:
    Flow Handle(Frame& f, ScriptError& e) {
        if (FHandlers.empty())
            return FPlain ? FPlain->Exec(f) : Flow::Normal;
        const TypeTable& types = f.rt->types();
        const Type* cls = e.object ? e.object->type : types.ExceptionClass(e.kind);
        for (auto& h : FHandlers) {
            if (!InheritsFrom(cls, h.cls))
                continue;
            if (h.bindsVar)
                SlotOf(f, h.var, FDepth).a = ExceptionObject(e, types);
            return h.body ? h.body->Exec(f) : Flow::Normal;
        }
        if (FPlain)
            return FPlain->Exec(f);
        throw;
    }

    StmtPtr FBody;
    std::vector<ExceptHandler> FHandlers;
    StmtPtr FPlain;
    int FDepth;
};

class TryFinally final : public Stmt {
public:
    TryFinally(StmtPtr body, StmtPtr final, const SourcePos& p)
        : Stmt(p), FBody(std::move(body)), FFinal(std::move(final)) {}

    Flow Exec(Frame& f) override {
        Flow fl;
        try {
            fl = FBody->Exec(f);
        } catch (...) {
            if (FFinal)
                FFinal->Exec(f);
            throw;
        }
        if (FFinal) {
            const Flow after = FFinal->Exec(f);
            if (after != Flow::Normal)
                return after;
        }
        return fl;
    }

private:
    StmtPtr FBody;
    StmtPtr FFinal;
};

class Raise final : public Stmt {
public:
    Raise(ExprPtr object, const SourcePos& p) : Stmt(p), FObject(std::move(object)) {}
    Flow Exec(Frame& f) override {
        Value v;
        FObject->Get(f, v);
        if (!v.a || v.a->items.empty())
            throw ScriptError(QStringLiteral("Object reference is nil"), ErrorKind::Custom, pos);
        ScriptError e(v.a->items[0].s, ErrorKind::Custom, pos);
        e.object = v.a;
        throw e;
    }

private:
    ExprPtr FObject;
};

class ReRaise final : public Stmt {
public:
    explicit ReRaise(const SourcePos& p) : Stmt(p) {}
    Flow Exec(Frame& f) override {
        if (f.rt->handling.empty())
            throw ScriptError(
                QStringLiteral("Re-raising an exception only allowed in exception handler"),
                ErrorKind::Custom, pos);
        ScriptError e = *f.rt->handling.back();
        if (e.object && !e.object->items.empty())
            e.message = e.object->items[0].s;
        throw e;
    }
};

} // namespace

StmtPtr MakeTryExcept(StmtPtr body, std::vector<ExceptHandler> handlers, StmtPtr plain, int depth,
                      const SourcePos& pos) {
    return std::make_unique<TryExcept>(std::move(body), std::move(handlers), std::move(plain),
                                       depth, pos);
}

StmtPtr MakeTryFinally(StmtPtr body, StmtPtr final, const SourcePos& pos) {
    return std::make_unique<TryFinally>(std::move(body), std::move(final), pos);
}

StmtPtr MakeRaise(ExprPtr object, const SourcePos& pos) {
    return std::make_unique<Raise>(std::move(object), pos);
}

StmtPtr MakeReRaise(const SourcePos& pos) {
    return std::make_unique<ReRaise>(pos);
}

} // namespace kelvara::script

#include "scripting/CallExpr.h"

#include <algorithm>
#include <array>

namespace kelvara::script {

namespace {

// Runs fn with `n` fresh vars: on the machine stack for small frames, else on the heap.
template <class Fn>
void WithSlots(int n, Fn&& fn) {
    if (n <= 4) {
        std::array<Value, 4> vars;
        fn(vars.data());
    } else if (n <= 16) {
        std::array<Value, 16> vars;
        fn(vars.data());
    } else {
        std::vector<Value> vars(static_cast<size_t>(n));
        fn(vars.data());
    }
}

class CallExprBase : public Expr {
public:
    CallExprBase(Routine* r, std::vector<ExprPtr> args, const SourcePos& p, const Type* voidType)
        : Expr(r->IsFunction() ? r->result : voidType, p), FRoutine(r), FArgs(std::move(args)) {
        int h = 0;
        for (const auto& a : FArgs)
            h = std::max(h, a->height);
        height = h + 1;
    }

    int64_t Int(Frame& f) override {
        Value v;
        Call(f, v);
        return v.i;
    }
    double Float(Frame& f) override {
        Value v;
        Call(f, v);
        return v.d;
    }
    QString Str(Frame& f) override {
        Value v;
        Call(f, v);
        return std::move(v.s);
    }
    void Get(Frame& f, Value& out) override { Call(f, out); }

protected:
    virtual void Call(Frame& f, Value& result) = 0;

    void Bind(Frame& f, Value* vars) {
        for (size_t k = 0; k < FArgs.size(); ++k) {
            const Param& p = FRoutine->params[k];
            Value& slot = vars[k + 1];
            Expr& arg = *FArgs[k];
            switch (p.mode) {
            case ParamMode::Var:
            case ParamMode::Out: {
                AggRef keep;
                Value* target = arg.RefKeep(f, keep);
                slot.ref = target;
                slot.a = std::move(keep);
                break;
            }
            case ParamMode::Const:
                arg.Get(f, slot);
                break;
            case ParamMode::Value:
                if (p.type->kind == TypeKind::OpenArray) {
                    Value tmp;
                    arg.Get(f, tmp);
                    if (tmp.a)
                        slot.a = CloneAgg(*tmp.a);
                } else {
                    StoreInto(arg, f, slot);
                }
                break;
            }
        }
    }

    Routine* FRoutine;
    std::vector<ExprPtr> FArgs;
};

class ScriptCall final : public CallExprBase {
public:
    ScriptCall(Routine* r, std::vector<ExprPtr> args, int hops, const SourcePos& p,
               const Type* voidType)
        : CallExprBase(r, std::move(args), p, voidType), FHops(hops) {}

protected:
    void Call(Frame& f, Value& result) override {
        CallGuard guard(*f.rt, pos);
        WithSlots(FRoutine->slotCount, [&](Value* vars) {
            Bind(f, vars);
            for (const auto& [slot, t] : FRoutine->inits)
                InitValue(vars[slot], t);
            Frame* outer = nullptr;
            if (FRoutine->depth > 1) {
                outer = &f;
                for (int h = FHops; h > 0; --h)
                    outer = outer->outer;
            }
            Frame callee{vars, outer, f.rt};
            FRoutine->body->Exec(callee);
            result = std::move(vars[0]);
        });
    }

private:
    int FHops;
};

class NativeCallExpr final : public CallExprBase {
public:
    using CallExprBase::CallExprBase;

    bool IsConstant() const override {
        if (!FRoutine->pure)
            return false;
        for (const auto& a : FArgs)
            if (!a->IsConstant())
                return false;
        return true;
    }

protected:
    // Native routines do not poll: they cannot loop on script code, and a finally block run while
    // a script is being stopped may still call them to clean up.
    void Call(Frame& f, Value& result) override {
        WithSlots(int(FArgs.size()) + 1, [&](Value* vars) {
            Bind(f, vars);
            if (FRoutine->result && FRoutine->result->needsInit)
                InitValue(vars[0], FRoutine->result);
            NativeCall call{vars, *f.rt, pos, *FRoutine};
            try {
                FRoutine->native(call);
            } catch (ScriptError& e) {
                e.Place(pos);
                throw;
            }
            result = std::move(vars[0]);
        });
    }
};

} // namespace

ExprPtr MakeCallExpr(Routine* routine, std::vector<ExprPtr> args, int callerDepth,
                     const SourcePos& pos, const Type* voidType) {
    if (routine->native)
        return std::make_unique<NativeCallExpr>(routine, std::move(args), pos, voidType);
    const int hops = callerDepth - (routine->depth - 1);
    return std::make_unique<ScriptCall>(routine, std::move(args), hops, pos, voidType);
}

} // namespace kelvara::script

#include "scripting/VarExpr.h"

namespace kelvara::script {

namespace {

struct GlobalAccess {
    Value* p;
    Value& operator()(Frame&) const { return *p; }
};

struct LocalAccess {
    int slot;
    Value& operator()(Frame& f) const { return f.vars[slot]; }
};

struct OuterAccess {
    int hops;
    int slot;
    Value& operator()(Frame& f) const {
        Frame* fr = &f;
        for (int h = hops; h > 0; --h)
            fr = fr->outer;
        return fr->vars[slot];
    }
};

template <class Access>
class DirectVar final : public Expr {
public:
    DirectVar(const Type* t, const SourcePos& p, Access a, const VarLocation& loc)
        : Expr(t, p), FAccess(a), FLoc(loc) {}
    const VarLocation* SimpleLocation() const override { return &FLoc; }

    int64_t Int(Frame& f) override { return FAccess(f).i; }
    double Float(Frame& f) override { return FAccess(f).d; }
    QString Str(Frame& f) override { return FAccess(f).s; }
    void Get(Frame& f, Value& out) override { out = FAccess(f); }
    bool IsLValue() const override { return true; }
    Value* Ref(Frame& f) override { return &FAccess(f); }

private:
    Access FAccess;
    VarLocation FLoc;
};

template <class Access>
class RefVar final : public Expr {
public:
    RefVar(const Type* t, const SourcePos& p, Access a, const VarLocation& loc)
        : Expr(t, p), FAccess(a), FLoc(loc) {}
    const VarLocation* SimpleLocation() const override { return &FLoc; }

    int64_t Int(Frame& f) override { return FAccess(f).ref->i; }
    double Float(Frame& f) override { return FAccess(f).ref->d; }
    QString Str(Frame& f) override { return FAccess(f).ref->s; }
    void Get(Frame& f, Value& out) override { out = *FAccess(f).ref; }
    bool IsLValue() const override { return true; }
    Value* Ref(Frame& f) override { return FAccess(f).ref; }
    Value* RefKeep(Frame& f, AggRef& keep) override {
        Value& slot = FAccess(f);
        keep = slot.a;
        return slot.ref;
    }

private:
    Access FAccess;
    VarLocation FLoc;
};

template <class Access>
ExprPtr Make(const Type* t, const SourcePos& p, Access a, const VarLocation& loc) {
    if (loc.byRef)
        return std::make_unique<RefVar<Access>>(t, p, a, loc);
    return std::make_unique<DirectVar<Access>>(t, p, a, loc);
}

} // namespace

ExprPtr MakeVarExpr(const Type* type, const SourcePos& pos, const VarLocation& loc,
                    int currentDepth) {
    if (loc.global)
        return Make(type, pos, GlobalAccess{loc.globalPtr}, loc);
    const int hops = currentDepth - loc.depth;
    if (hops == 0)
        return Make(type, pos, LocalAccess{loc.slot}, loc);
    return Make(type, pos, OuterAccess{hops, loc.slot}, loc);
}

Value& SlotOf(Frame& f, const VarLocation& loc, int currentDepth) {
    if (loc.global)
        return *loc.globalPtr;
    return OuterAccess{currentDepth - loc.depth, loc.slot}(f);
}

} // namespace kelvara::script

#include "scripting/AssignStmt.h"

#include "scripting/AccessExpr.h"

namespace kelvara::script {

namespace {

class Assign final : public Stmt {
public:
    Assign(ExprPtr target, ExprPtr value, const SourcePos& p)
        : Stmt(p), FTarget(std::move(target)), FValue(std::move(value)), FCat(FTarget->type->cat) {}

    Flow Exec(Frame& f) override {
        switch (FCat) {
        case Category::Ord: {
            const int64_t v = FValue->Int(f);
            FTarget->Ref(f)->i = v;
            break;
        }
        case Category::Float: {
            const double v = FValue->Float(f);
            FTarget->Ref(f)->d = v;
            break;
        }
        case Category::Str: {
            QString v = FValue->Str(f);
            FTarget->Ref(f)->s = std::move(v);
            break;
        }
        case Category::ByValue: {
            Value v;
            FValue->Get(f, v);
            if (v.a)
                CopyInto(FTarget->Ref(f)->a, *v.a);
            break;
        }
        default: {
            Value v;
            FValue->Get(f, v);
            FTarget->Ref(f)->a = std::move(v.a);
            break;
        }
        }
        return Flow::Normal;
    }

private:
    ExprPtr FTarget;
    ExprPtr FValue;
    Category FCat;
};

// Ordinal and float stores into a plain local or global variable, the hot path of loops.
class AssignOrdGlobal final : public Stmt {
public:
    AssignOrdGlobal(Value* slot, ExprPtr value, const SourcePos& p)
        : Stmt(p), FSlot(slot), FValue(std::move(value)) {}
    Flow Exec(Frame& f) override {
        FSlot->i = FValue->Int(f);
        return Flow::Normal;
    }

private:
    Value* FSlot;
    ExprPtr FValue;
};

class AssignOrdLocal final : public Stmt {
public:
    AssignOrdLocal(int slot, ExprPtr value, const SourcePos& p)
        : Stmt(p), FSlot(slot), FValue(std::move(value)) {}
    Flow Exec(Frame& f) override {
        const int64_t v = FValue->Int(f);
        f.vars[FSlot].i = v;
        return Flow::Normal;
    }

private:
    int FSlot;
    ExprPtr FValue;
};

class AssignFloatGlobal final : public Stmt {
public:
    AssignFloatGlobal(Value* slot, ExprPtr value, const SourcePos& p)
        : Stmt(p), FSlot(slot), FValue(std::move(value)) {}
    Flow Exec(Frame& f) override {
        FSlot->d = FValue->Float(f);
        return Flow::Normal;
    }

private:
    Value* FSlot;
    ExprPtr FValue;
};

class AssignFloatLocal final : public Stmt {
public:
    AssignFloatLocal(int slot, ExprPtr value, const SourcePos& p)
        : Stmt(p), FSlot(slot), FValue(std::move(value)) {}
    Flow Exec(Frame& f) override {
        const double v = FValue->Float(f);
        f.vars[FSlot].d = v;
        return Flow::Normal;
    }

private:
    int FSlot;
    ExprPtr FValue;
};

class AssignChar final : public Stmt {
public:
    AssignChar(ExprPtr target, ExprPtr index, ExprPtr value, const SourcePos& p)
        : Stmt(p), FTarget(std::move(target)), FIndex(std::move(index)), FValue(std::move(value)) {}
    Flow Exec(Frame& f) override {
        const int64_t i = FIndex->Int(f);
        const int64_t c = FValue->Int(f);
        QString& s = FTarget->Ref(f)->s;
        s[CheckedCharIndex(s, i, pos)] = QChar(char16_t(c));
        return Flow::Normal;
    }

private:
    ExprPtr FTarget, FIndex, FValue;
};

class Append final : public Stmt {
public:
    Append(ExprPtr target, std::vector<ExprPtr> parts, const SourcePos& p)
        : Stmt(p), FTarget(std::move(target)), FParts(std::move(parts)) {}
    Flow Exec(Frame& f) override {
        if (FParts.size() == 1 && FParts[0]->type->cat == Category::Str) {
            const QString tail = FParts[0]->Str(f);
            AppendTail(f, tail);
            return Flow::Normal;
        }
        QString tail;
        for (const auto& e : FParts) {
            if (e->type->cat == Category::Str)
                tail += e->Str(f);
            else
                tail += QChar(char16_t(e->Int(f)));
            f.rt->CheckStringLength(tail.size(), pos);
        }
        AppendTail(f, tail);
        return Flow::Normal;
    }

private:
    void AppendTail(Frame& f, const QString& tail) {
        QString& s = FTarget->Ref(f)->s;
        f.rt->CheckStringLength(int64_t(s.size()) + tail.size(), pos);
        s.append(tail);
    }

    ExprPtr FTarget;
    std::vector<ExprPtr> FParts;
};

class Increment final : public Stmt {
public:
    Increment(ExprPtr target, ExprPtr delta, const SourcePos& p)
        : Stmt(p), FTarget(std::move(target)), FDelta(std::move(delta)),
          FSize(FTarget->type->size) {}
    Flow Exec(Frame& f) override {
        const int64_t d = FDelta->Int(f);
        Value* v = FTarget->Ref(f);
        v->i = WrapToSize(int64_t(uint64_t(v->i) + uint64_t(d)), FSize);
        return Flow::Normal;
    }

private:
    ExprPtr FTarget, FDelta;
    IntSize FSize;
};

class ExprStmt final : public Stmt {
public:
    explicit ExprStmt(ExprPtr e) : Stmt(e->pos), FE(std::move(e)) {}
    Flow Exec(Frame& f) override {
        Value discard;
        FE->Get(f, discard);
        return Flow::Normal;
    }

private:
    ExprPtr FE;
};

} // namespace

StmtPtr MakeAssign(ExprPtr target, ExprPtr value, const VarLocation* simple, int depth,
                   const SourcePos& pos) {
    const Category cat = target->type->cat;
    if (simple && !simple->byRef && (cat == Category::Ord || cat == Category::Float)) {
        const bool ord = cat == Category::Ord;
        if (simple->global)
            return ord ? StmtPtr(std::make_unique<AssignOrdGlobal>(simple->globalPtr,
                                                                   std::move(value), pos))
                       : StmtPtr(std::make_unique<AssignFloatGlobal>(simple->globalPtr,
                                                                     std::move(value), pos));
        if (simple->depth == depth)
            return ord ? StmtPtr(
                             std::make_unique<AssignOrdLocal>(simple->slot, std::move(value), pos))
                       : StmtPtr(std::make_unique<AssignFloatLocal>(simple->slot, std::move(value),
                                                                    pos));
    }
    return std::make_unique<Assign>(std::move(target), std::move(value), pos);
}

StmtPtr MakeAssignChar(ExprPtr stringTarget, ExprPtr index, ExprPtr value, const SourcePos& pos) {
    return std::make_unique<AssignChar>(std::move(stringTarget), std::move(index), std::move(value),
                                        pos);
}

StmtPtr MakeAppend(ExprPtr stringTarget, std::vector<ExprPtr> parts, const SourcePos& pos) {
    return std::make_unique<Append>(std::move(stringTarget), std::move(parts), pos);
}

StmtPtr MakeIncrement(ExprPtr target, ExprPtr delta, const SourcePos& pos) {
    return std::make_unique<Increment>(std::move(target), std::move(delta), pos);
}

StmtPtr MakeExprStmt(ExprPtr e) {
    return std::make_unique<ExprStmt>(std::move(e));
}

} // namespace kelvara::script

#include "scripting/IntrinsicExpr.h"

#include "scripting/TryStmt.h"

#include <algorithm>

namespace kelvara::script {

void ResizeArray(Value& v, const Type* t, const int64_t* dims, size_t count, Runtime& rt,
                 const SourcePos& pos) {
    const int64_t length = dims[0];
    rt.CheckArrayLength(length, pos);
    if (length == 0) {
        v.a.reset();
        return;
    }
    if (!v.a)
        v.a = MakeAgg(AggKind::DynArray, t);
    else if (v.a->Shared())
        v.a = CloneAgg(*v.a); // others refer to the old array (or to an element of it)
    auto& items = v.a->items;
    const size_t old = items.size();
    items.resize(size_t(length));
    if (t->elem->needsInit)
        for (size_t k = old; k < items.size(); ++k)
            InitValue(items[k], t->elem);
    if (count > 1)
        for (Value& item : items)
            ResizeArray(item, t->elem, dims + 1, count - 1, rt, pos);
}

namespace {

class StrLength final : public Expr {
public:
    StrLength(const Type* t, ExprPtr s) : Expr(t, s->pos), FS(std::move(s)) {
        height = HeightOver({FS.get()});
    }
    int64_t Int(Frame& f) override {
        if (FS->IsLValue())
            return FS->Ref(f)->s.size();
        return FS->Str(f).size();
    }
    bool IsConstant() const override { return FS->IsConstant(); }

private:
    ExprPtr FS;
};

class ArrayLength final : public Expr {
public:
    ArrayLength(const Type* t, ExprPtr a, int offset)
        : Expr(t, a->pos), FA(std::move(a)), FOffset(offset) {
        height = HeightOver({FA.get()});
    }
    int64_t Int(Frame& f) override {
        if (FA->IsLValue()) {
            const Value* v = FA->Ref(f);
            return (v->a ? int64_t(v->a->items.size()) : 0) + FOffset;
        }
        Value v;
        FA->Get(f, v);
        return (v.a ? int64_t(v.a->items.size()) : 0) + FOffset;
    }

private:
    ExprPtr FA;
    int FOffset;
};

class SetLengthStr final : public Stmt {
public:
    SetLengthStr(ExprPtr target, ExprPtr length, const SourcePos& p)
        : Stmt(p), FTarget(std::move(target)), FLength(std::move(length)) {}
    Flow Exec(Frame& f) override {
        const int64_t n = std::max<int64_t>(0, FLength->Int(f));
        f.rt->CheckStringLength(n, pos);
        FTarget->Ref(f)->s.resize(qsizetype(n), QChar(0));
        return Flow::Normal;
    }

private:
    ExprPtr FTarget, FLength;
};

class SetLengthArray final : public Stmt {
public:
    SetLengthArray(ExprPtr target, std::vector<ExprPtr> lengths, const SourcePos& p)
        : Stmt(p), FTarget(std::move(target)), FLengths(std::move(lengths)) {}
    Flow Exec(Frame& f) override {
        std::vector<int64_t> dims;
        const int64_t limit = f.rt->limits().maxArrayLength;
        int64_t total = 1; // elements of all levels together, capped just above the limit
        for (const auto& e : FLengths) {
            const int64_t n = e->Int(f);
            f.rt->CheckArrayLength(n, pos);
            total = n == 0 ? 0 : (total > limit / n ? limit + 1 : total * n);
            f.rt->CheckArrayLength(total, pos);
            dims.push_back(n);
        }
        ResizeArray(*FTarget->Ref(f), FTarget->type, dims.data(), dims.size(), *f.rt, pos);
        return Flow::Normal;
    }

private:
    ExprPtr FTarget;
    std::vector<ExprPtr> FLengths;
};

class SetInclude final : public Stmt {
public:
    SetInclude(ExprPtr target, ExprPtr element, bool include, const SourcePos& p)
        : Stmt(p), FTarget(std::move(target)), FElement(std::move(element)), FInclude(include) {}
    Flow Exec(Frame& f) override {
        const int64_t n = FElement->Int(f);
        Value* v = FTarget->Ref(f);
        AggRef set = MakeAgg(AggKind::Set, FTarget->type);
        if (v->a)
            set->bits = v->a->bits;
        if (n >= 0 && n < 256) {
            const uint64_t bit = uint64_t(1) << (n & 63);
            uint64_t& word = set->bits[size_t(n >> 6)];
            word = FInclude ? (word | bit) : (word & ~bit);
        }
        v->a = std::move(set);
        return Flow::Normal;
    }

private:
    ExprPtr FTarget, FElement;
    bool FInclude;
};

class IntAbsSqr final : public Expr {
public:
    IntAbsSqr(const Type* t, ExprPtr e, bool sqr, const SourcePos& p)
        : Expr(t, p), FE(std::move(e)), FSqr(sqr) {
        height = HeightOver({FE.get()});
    }
    int64_t Int(Frame& f) override {
        const uint64_t v = uint64_t(FE->Int(f));
        if (FSqr)
            return WrapToSize(int64_t(v * v), type->size);
        return WrapToSize(int64_t(int64_t(v) < 0 ? uint64_t(0) - v : v), type->size);
    }
    bool IsConstant() const override { return FE->IsConstant(); }

private:
    ExprPtr FE;
    bool FSqr;
};

class ArrayCopy final : public Expr {
public:
    ArrayCopy(const Type* t, ExprPtr a, ExprPtr index, ExprPtr count, const SourcePos& p)
        : Expr(t, p), FA(std::move(a)), FIndex(std::move(index)), FCount(std::move(count)) {
        height = HeightOver({FA.get(), FIndex.get(), FCount.get()});
    }
    void Get(Frame& f, Value& out) override {
        Value src;
        FA->Get(f, src);
        const int64_t size = src.a ? int64_t(src.a->items.size()) : 0;
        const int64_t from = std::clamp<int64_t>(FIndex->Int(f), 0, size);
        const int64_t count = std::clamp<int64_t>(FCount->Int(f), 0, size - from);
        out.a.reset();
        if (count == 0)
            return;
        out.a = MakeAgg(AggKind::DynArray, type);
        for (int64_t k = from; k < from + count; ++k) {
            const Value& item = src.a->items[size_t(k)];
            out.a->items.push_back(item);
            if (item.a && item.a->ByValue())
                out.a->items.back().a = CloneAgg(*item.a);
        }
    }

private:
    ExprPtr FA, FIndex, FCount;
};

class ExceptionCreate final : public Expr {
public:
    ExceptionCreate(const Type* cls, ExprPtr message, const SourcePos& p)
        : Expr(cls, p), FMessage(std::move(message)) {
        height = HeightOver({FMessage.get()});
    }
    void Get(Frame& f, Value& out) override { out.a = NewExceptionObject(type, FMessage->Str(f)); }

private:
    ExprPtr FMessage;
};

} // namespace

ExprPtr MakeStrLength(const Type* intType, ExprPtr s) {
    return std::make_unique<StrLength>(intType, std::move(s));
}

ExprPtr MakeArrayLength(const Type* intType, ExprPtr a, int offset) {
    return std::make_unique<ArrayLength>(intType, std::move(a), offset);
}

StmtPtr MakeSetLengthStr(ExprPtr target, ExprPtr length, const SourcePos& pos) {
    return std::make_unique<SetLengthStr>(std::move(target), std::move(length), pos);
}

StmtPtr MakeSetLengthArray(ExprPtr target, std::vector<ExprPtr> lengths, const SourcePos& pos) {
    return std::make_unique<SetLengthArray>(std::move(target), std::move(lengths), pos);
}

StmtPtr MakeSetInclude(ExprPtr target, ExprPtr element, bool include, const SourcePos& pos) {
    return std::make_unique<SetInclude>(std::move(target), std::move(element), include, pos);
}

ExprPtr MakeIntAbs(const Type* t, ExprPtr e, const SourcePos& pos) {
    return std::make_unique<IntAbsSqr>(t, std::move(e), false, pos);
}

ExprPtr MakeIntSqr(const Type* t, ExprPtr e, const SourcePos& pos) {
    return std::make_unique<IntAbsSqr>(t, std::move(e), true, pos);
}

ExprPtr MakeArrayCopy(const Type* dynArrayType, ExprPtr a, ExprPtr index, ExprPtr count,
                      const SourcePos& pos) {
    return std::make_unique<ArrayCopy>(dynArrayType, std::move(a), std::move(index),
                                       std::move(count), pos);
}

ExprPtr MakeExceptionCreate(const Type* cls, ExprPtr message, const SourcePos& pos) {
    return std::make_unique<ExceptionCreate>(cls, std::move(message), pos);
}

} // namespace kelvara::script

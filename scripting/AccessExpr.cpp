#include "scripting/AccessExpr.h"

namespace kelvara::script {

size_t CheckedElement(const Aggregate* a, const Type* arrayType, int64_t index,
                      const SourcePos& pos) {
    const int64_t low = arrayType->kind == TypeKind::StaticArray ? arrayType->low : 0;
    const int64_t count = a ? int64_t(a->items.size()) : 0;
    if (index < low || uint64_t(index) - uint64_t(low) >= uint64_t(count)) {
        if (count == 0)
            throw ScriptError(
                QStringLiteral("Index %1 out of range (the array is empty)").arg(index),
                ErrorKind::Range, pos);
        const int64_t high = arrayType->kind == TypeKind::StaticArray ? arrayType->high : count - 1;
        throw ScriptError(
            QStringLiteral("Index %1 out of range %2..%3").arg(index).arg(low).arg(high),
            ErrorKind::Range, pos);
    }
    return size_t(index - low);
}

qsizetype CheckedCharIndex(const QString& s, int64_t index, const SourcePos& pos) {
    if (index < 1 || index > s.size())
        throw ScriptError(
            QStringLiteral("String index %1 out of range 1..%2").arg(index).arg(s.size()),
            ErrorKind::Range, pos);
    return qsizetype(index - 1);
}

namespace {

// Base class of selectors that pick one Value inside an aggregate. The index (if any) is
// evaluated before the address of the base is taken: evaluating it may run script code that
// resizes the array the base lies in, and nothing may run between taking an address and using it.
class ItemSelector : public Expr {
public:
    ItemSelector(ExprPtr base, const Type* t, const SourcePos& p)
        : Expr(t, p), FBase(std::move(base)) {
        height = HeightOver({FBase.get()});
    }

    int64_t Int(Frame& f) override {
        if (FBase->IsLValue())
            return Ref(f)->i;
        Value tmp;
        return Rvalue(f, tmp).i;
    }
    double Float(Frame& f) override {
        if (FBase->IsLValue())
            return Ref(f)->d;
        Value tmp;
        return Rvalue(f, tmp).d;
    }
    QString Str(Frame& f) override {
        if (FBase->IsLValue())
            return Ref(f)->s;
        Value tmp;
        return Rvalue(f, tmp).s;
    }
    void Get(Frame& f, Value& out) override {
        if (FBase->IsLValue()) {
            out = *Ref(f);
            return;
        }
        Value tmp;
        out = Rvalue(f, tmp);
    }
    bool IsLValue() const override { return FBase->IsLValue(); }
    Value* Ref(Frame& f) override {
        const int64_t index = Prepare(f);
        return Select(*FBase->Ref(f), index);
    }
    Value* RefKeep(Frame& f, AggRef& keep) override {
        const int64_t index = Prepare(f);
        AggRef outer;
        Value* b = FBase->RefKeep(f, outer);
        Value* item = Select(*b, index);
        keep = b->a;
        return item;
    }

protected:
    // Evaluates what the selection needs (the index) before the base is reached.
    virtual int64_t Prepare(Frame&) { return 0; }
    // The selected item inside the aggregate of `holder` (which may be made on demand).
    virtual Value* Select(Value& holder, int64_t index) = 0;

    const Value& Rvalue(Frame& f, Value& tmp) {
        const int64_t index = Prepare(f);
        FBase->Get(f, tmp);
        return *Select(tmp, index);
    }

    ExprPtr FBase;
};

class FieldExpr final : public ItemSelector {
public:
    FieldExpr(ExprPtr base, int index, const Type* t, const SourcePos& p)
        : ItemSelector(std::move(base), t, p), FIndex(size_t(index)) {}

protected:
    Value* Select(Value& holder, int64_t) override {
        if (!holder.a)
            InitValue(holder, FBase->type);
        return &holder.a->items[FIndex];
    }

private:
    size_t FIndex;
};

class ObjectFieldExpr final : public ItemSelector {
public:
    ObjectFieldExpr(ExprPtr base, int index, const Type* t, const SourcePos& p)
        : ItemSelector(std::move(base), t, p), FIndex(size_t(index)) {}

protected:
    Value* Select(Value& holder, int64_t) override {
        if (!holder.a || FIndex >= holder.a->items.size())
            throw ScriptError(QStringLiteral("Object reference is nil"), ErrorKind::Custom, pos);
        return &holder.a->items[FIndex];
    }

private:
    size_t FIndex;
};

class IndexExpr final : public ItemSelector {
public:
    IndexExpr(ExprPtr base, ExprPtr index, const Type* t, const SourcePos& p)
        : ItemSelector(std::move(base), t, p), FIndex(std::move(index)) {
        height = HeightOver({FBase.get(), FIndex.get()});
    }

protected:
    int64_t Prepare(Frame& f) override { return FIndex->Int(f); }
    Value* Select(Value& holder, int64_t index) override {
        if (!holder.a && FBase->type->needsInit)
            InitValue(holder, FBase->type);
        const size_t k = CheckedElement(holder.a.get(), FBase->type, index, pos);
        return &holder.a->items[k];
    }

private:
    ExprPtr FIndex;
};

class StrIndexExpr final : public Expr {
public:
    StrIndexExpr(ExprPtr base, ExprPtr index, const Type* t, const SourcePos& p)
        : Expr(t, p), FBase(std::move(base)), FIndex(std::move(index)) {
        height = HeightOver({FBase.get(), FIndex.get()});
    }

    int64_t Int(Frame& f) override {
        if (FBase->IsLValue()) {
            const int64_t i = FIndex->Int(f);
            const QString& s = FBase->Ref(f)->s;
            return s.at(CheckedCharIndex(s, i, pos)).unicode();
        }
        const QString s = FBase->Str(f);
        const int64_t i = FIndex->Int(f);
        return s.at(CheckedCharIndex(s, i, pos)).unicode();
    }
    bool IsConstant() const override { return FBase->IsConstant() && FIndex->IsConstant(); }

private:
    ExprPtr FBase;
    ExprPtr FIndex;
};

} // namespace

ExprPtr MakeFieldExpr(ExprPtr base, int index, const Type* fieldType, const SourcePos& pos) {
    return std::make_unique<FieldExpr>(std::move(base), index, fieldType, pos);
}

ExprPtr MakeObjectFieldExpr(ExprPtr base, int index, const Type* fieldType, const SourcePos& pos) {
    return std::make_unique<ObjectFieldExpr>(std::move(base), index, fieldType, pos);
}

ExprPtr MakeIndexExpr(ExprPtr base, ExprPtr index, const SourcePos& pos) {
    const Type* elem = base->type->elem;
    return std::make_unique<IndexExpr>(std::move(base), std::move(index), elem, pos);
}

ExprPtr MakeStrIndexExpr(ExprPtr base, ExprPtr index, const Type* charType, const SourcePos& pos) {
    return std::make_unique<StrIndexExpr>(std::move(base), std::move(index), charType, pos);
}

} // namespace kelvara::script

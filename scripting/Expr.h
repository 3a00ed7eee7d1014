#pragma once
// Expression nodes of a compiled program. The compiler has checked every expression and knows
// its type, so the interpreter asks each node for its value in the representation of that type:
// Int for ordinals, Float for floats, Str for strings, Get for everything (aggregates share
// their aggregate: whoever stores one copies it). Nodes that denote a variable also give the
// address of its storage (Ref), and with it the aggregate that keeps that storage alive
// (RefKeep), which var parameters hold on to.
#include "scripting/Runtime.h"
#include "scripting/Type.h"
#include "scripting/Value.h"
#include "scripting/VarLocation.h"

#include <memory>

namespace kelvara::script {

class Expr {
public:
    Expr(const Type* type, const SourcePos& pos) : type(type), pos(pos) {}
    virtual ~Expr();
    Expr(const Expr&) = delete;
    Expr& operator=(const Expr&) = delete;

    virtual int64_t Int(Frame& f);
    virtual double Float(Frame& f);
    virtual QString Str(Frame& f);
    virtual void Get(Frame& f, Value& out);

    virtual bool IsLValue() const { return false; }
    virtual Value* Ref(Frame& f);
    virtual Value* RefKeep(Frame& f, AggRef& keep);

    // True when the value is known when compiling (literals and pure operations on them).
    virtual bool IsConstant() const { return false; }
    // The location of a plain variable node, else null.
    virtual const VarLocation* SimpleLocation() const { return nullptr; }
    // True for a type name standing where an expression may be (High(TEnum), SizeOf(Integer)).
    virtual bool IsTypeRef() const { return false; }

    bool Bool(Frame& f) { return Int(f) != 0; }

    const Type* type;
    SourcePos pos;
    int height = 1; // depth of the node tree below and including this node
};

using ExprPtr = std::unique_ptr<Expr>;

// A value known when compiling.
class ConstExpr : public Expr {
public:
    ConstExpr(const Type* type, const SourcePos& pos, Value v)
        : Expr(type, pos), value(std::move(v)) {}

    int64_t Int(Frame&) override { return value.i; }
    double Float(Frame&) override { return value.d; }
    QString Str(Frame&) override { return value.s; }
    void Get(Frame&, Value& out) override { out = value; }
    bool IsConstant() const override { return true; }

    Value value;
};

// A type name given as an argument; it has no value.
class TypeRefExpr final : public Expr {
public:
    TypeRefExpr(const Type* t, const SourcePos& pos) : Expr(t, pos) {}
    bool IsTypeRef() const override { return true; }
};

ExprPtr MakeOrdConst(const Type* type, const SourcePos& pos, int64_t v);
ExprPtr MakeFloatConst(const Type* type, const SourcePos& pos, double v);
ExprPtr MakeStrConst(const Type* type, const SourcePos& pos, const QString& v);

// Evaluates e and stores its value into dst with the copy semantics of its type: records and
// static arrays are copied into dst's own aggregate, everything else is assigned.
void StoreInto(Expr& e, Frame& f, Value& dst);

// The tallest of the nodes' heights plus one.
int HeightOver(std::initializer_list<const Expr*> children);

} // namespace kelvara::script

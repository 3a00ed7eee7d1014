#include "scripting/ArrayCtorExpr.h"

#include <algorithm>

namespace kelvara::script {

namespace {

class ArrayCtor final : public Expr {
public:
    ArrayCtor(const Type* t, const SourcePos& p, std::vector<ExprPtr> elements, bool keepTypes)
        : Expr(t, p), FElements(std::move(elements)), FKeepTypes(keepTypes) {
        int h = 0;
        for (const auto& e : FElements)
            h = std::max(h, e->height);
        height = h + 1;
    }
    void Get(Frame& f, Value& out) override {
        AggRef a = MakeAgg(FKeepTypes ? AggKind::ConstArray : AggKind::DynArray, type);
        a->items.resize(FElements.size());
        for (size_t k = 0; k < FElements.size(); ++k) {
            if (FElements[k]->type->needsInit)
                InitValue(a->items[k], FElements[k]->type);
            StoreInto(*FElements[k], f, a->items[k]);
            if (FKeepTypes)
                a->itemTypes.push_back(FElements[k]->type);
        }
        out.a = std::move(a);
    }

private:
    std::vector<ExprPtr> FElements;
    bool FKeepTypes;
};

} // namespace

ExprPtr MakeArrayCtor(const Type* arrayType, std::vector<ExprPtr> elements, const SourcePos& pos) {
    return std::make_unique<ArrayCtor>(arrayType, pos, std::move(elements), false);
}

ExprPtr MakeConstArrayCtor(const Type* constArrayType, std::vector<ExprPtr> elements,
                           const SourcePos& pos) {
    return std::make_unique<ArrayCtor>(constArrayType, pos, std::move(elements), true);
}

} // namespace kelvara::script

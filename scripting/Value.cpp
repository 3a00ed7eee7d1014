#include "scripting/Value.h"

#include "scripting/Type.h"

namespace kelvara::script {

AggRef::AggRef(Aggregate* p) : FPtr(p) {
    if (FPtr)
        ++FPtr->refs;
}

AggRef::AggRef(const AggRef& o) : FPtr(o.FPtr) {
    if (FPtr)
        ++FPtr->refs;
}

AggRef& AggRef::operator=(const AggRef& o) {
    if (o.FPtr)
        ++o.FPtr->refs;
    reset();
    FPtr = o.FPtr;
    return *this;
}

AggRef& AggRef::operator=(AggRef&& o) noexcept {
    if (this != &o) {
        reset();
        FPtr = std::exchange(o.FPtr, nullptr);
    }
    return *this;
}

AggRef::~AggRef() {
    reset();
}

void AggRef::reset() {
    Aggregate* p = std::exchange(FPtr, nullptr);
    if (p && --p->refs == 0)
        delete p;
}

void InitValue(Value& v, const Type* t) {
    v.Clear();
    if (!t || !t->needsInit)
        return;
    if (t->kind == TypeKind::Record) {
        v.a = MakeAgg(AggKind::Record, t);
        v.a->items.resize(t->fields.size());
        for (size_t k = 0; k < t->fields.size(); ++k)
            InitValue(v.a->items[k], t->fields[k].type);
    } else {
        v.a = MakeAgg(AggKind::StaticArray, t);
        v.a->items.resize(size_t(t->Count()));
        if (t->elem->needsInit)
            for (Value& e : v.a->items)
                InitValue(e, t->elem);
    }
}

void CopyInto(AggRef& dst, const Aggregate& src) {
    if (dst.get() == &src)
        return;
    if (!dst || dst->items.size() != src.items.size()) {
        dst = CloneAgg(src);
        return;
    }
    for (size_t k = 0; k < src.items.size(); ++k) {
        const Value& from = src.items[k];
        Value& to = dst->items[k];
        if (from.a && from.a->ByValue()) {
            to.i = from.i;
            to.s = from.s;
            CopyInto(to.a, *from.a);
        } else {
            to = from;
        }
    }
    dst->bits = src.bits;
    dst->itemTypes = src.itemTypes;
}

AggRef CloneAgg(const Aggregate& src) {
    AggRef r = MakeAgg(src.kind, src.type);
    r->items = src.items;
    r->bits = src.bits;
    r->itemTypes = src.itemTypes;
    for (Value& e : r->items)
        if (e.a && e.a->ByValue())
            e.a = CloneAgg(*e.a);
    return r;
}

} // namespace kelvara::script

#pragma once
// Run-time values. A Value holds every kind of value in fixed places so that the interpreter,
// which knows each expression's type when it compiles it, reads the right one directly:
// ordinals in `i`, floats in `d`, strings in `s`, aggregates (records, arrays, sets, objects)
// in `a`. A slot that holds a var parameter keeps the address of the referenced value in `ref`
// and, in `a`, the aggregate that contains it, so that the referenced value outlives the call.
//
// Aggregates are reference counted (not thread-safe: one script runs on one thread). Records and
// static arrays are copied by value: every store copies into the target's own aggregate, in
// place, so that a var parameter that refers into it stays valid. A dynamic array is resized in
// place only while nothing else refers to it; otherwise SetLength makes a new one.
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include <QString>

namespace kelvara::script {

struct Type;
class Aggregate;

class AggRef {
public:
    AggRef() = default;
    explicit AggRef(Aggregate* p);
    AggRef(const AggRef& o);
    AggRef(AggRef&& o) noexcept : FPtr(std::exchange(o.FPtr, nullptr)) {}
    AggRef& operator=(const AggRef& o);
    AggRef& operator=(AggRef&& o) noexcept;
    ~AggRef();

    Aggregate* get() const { return FPtr; }
    Aggregate* operator->() const { return FPtr; }
    Aggregate& operator*() const { return *FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    void reset();

private:
    Aggregate* FPtr = nullptr;
};

struct Value {
    union {
        int64_t i;
        double d;
        Value* ref;
    };
    QString s;
    AggRef a;

    Value() : i(0) {}
    Value(const Value& o) : i(o.i), s(o.s), a(o.a) {}
    Value(Value&& o) noexcept : i(o.i), s(std::move(o.s)), a(std::move(o.a)) {}
    Value& operator=(const Value& o) {
        i = o.i;
        s = o.s;
        a = o.a;
        return *this;
    }
    Value& operator=(Value&& o) noexcept {
        i = o.i;
        s = std::move(o.s);
        a = std::move(o.a);
        return *this;
    }
    // Back to the empty state of a fresh slot.
    void Clear() {
        i = 0;
        s = QString();
        a.reset();
    }
};

enum class AggKind : uint8_t { Record, StaticArray, DynArray, Set, Object, ConstArray };

class Aggregate {
public:
    Aggregate(AggKind kind, const Type* type) : kind(kind), type(type) {}

    AggKind kind;
    int refs = 0;
    const Type* type;               // record, array, set or class type (none for array of const)
    std::vector<Value> items;       // fields, elements
    std::array<uint64_t, 4> bits{}; // sets
    std::vector<const Type*> itemTypes; // array of const: the type of each element

    bool ByValue() const { return kind == AggKind::Record || kind == AggKind::StaticArray; }
    bool Shared() const { return refs > 1; }

    bool HasBit(int64_t n) const {
        return n >= 0 && n < 256 && (bits[size_t(n >> 6)] >> (n & 63)) & 1;
    }
    void SetBit(int64_t n) {
        if (n >= 0 && n < 256)
            bits[size_t(n >> 6)] |= uint64_t(1) << (n & 63);
    }
};

template <class... Args>
AggRef MakeAgg(Args&&... args) {
    return AggRef(new Aggregate(std::forward<Args>(args)...));
}

// A value of the type in its initial state: 0, '', nil, and records and static arrays made with
// their fields and elements in that state.
void InitValue(Value& v, const Type* t);

// Copies a record or static array into dst's own aggregate (made when missing), nested by-value
// aggregates included; dynamic arrays, sets and objects inside are shared.
void CopyInto(AggRef& dst, const Aggregate& src);

// A new aggregate equal to src (deep for by-value parts).
AggRef CloneAgg(const Aggregate& src);

} // namespace kelvara::script

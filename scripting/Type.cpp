#include "scripting/Type.h"

#include <limits>

namespace kelvara::script {

int Type::FieldCount() const {
    return int(fields.size()) + (parent ? parent->FieldCount() : 0);
}

int Type::FieldIndex(const QString& key) const {
    const int inherited = parent ? parent->FieldCount() : 0;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].key == key)
            return inherited + int(i);
    return parent ? parent->FieldIndex(key) : -1;
}

const Field& Type::FieldAt(int index) const {
    const int inherited = parent ? parent->FieldCount() : 0;
    if (index < inherited)
        return parent->FieldAt(index);
    return fields[size_t(index - inherited)];
}

bool IsOrdinal(const Type* t) {
    return t && t->kind == TypeKind::Ordinal;
}
bool IsInteger(const Type* t) {
    return IsOrdinal(t) && t->ord == OrdKind::Integer;
}
bool IsBoolean(const Type* t) {
    return IsOrdinal(t) && t->ord == OrdKind::Boolean;
}
bool IsChar(const Type* t) {
    return IsOrdinal(t) && t->ord == OrdKind::Char;
}
bool IsEnum(const Type* t) {
    return IsOrdinal(t) && t->ord == OrdKind::Enum;
}
bool IsFloat(const Type* t) {
    return t && t->kind == TypeKind::Float;
}
bool IsString(const Type* t) {
    return t && t->kind == TypeKind::String;
}
bool IsClass(const Type* t) {
    return t && t->kind == TypeKind::Class;
}
bool IsArray(const Type* t) {
    return t && (t->kind == TypeKind::StaticArray || t->kind == TypeKind::DynArray ||
                 t->kind == TypeKind::OpenArray);
}

const Type* OrdinalBase(const Type* t) {
    while (t && t->ordBase && t->ordBase != t)
        t = t->ordBase;
    return t;
}

bool InheritsFrom(const Type* t, const Type* ancestor) {
    for (; t; t = t->parent)
        if (t == ancestor)
            return true;
    return false;
}

QString TypeName(const Type* t) {
    if (!t)
        return QStringLiteral("?");
    if (!t->name.isEmpty())
        return t->name;
    switch (t->kind) {
    case TypeKind::Ordinal:
        if (t->ord == OrdKind::Enum && t->ordBase == t)
            return QStringLiteral("(%1)").arg(
                t->enumNames.empty() ? QString() : t->enumNames.front() + QStringLiteral(", ..."));
        return QStringLiteral("%1..%2").arg(t->low).arg(t->high);
    case TypeKind::Set:
        return QStringLiteral("set of %1").arg(TypeName(t->elem));
    case TypeKind::Record:
        return QStringLiteral("record");
    case TypeKind::StaticArray:
        return QStringLiteral("array[%1..%2] of %3")
            .arg(t->low)
            .arg(t->high)
            .arg(TypeName(t->elem));
    case TypeKind::DynArray:
    case TypeKind::OpenArray:
        return QStringLiteral("array of %1").arg(TypeName(t->elem));
    case TypeKind::ConstArray:
        return QStringLiteral("array of const");
    case TypeKind::Nil:
        return QStringLiteral("nil");
    case TypeKind::Void:
        return QStringLiteral("untyped");
    default:
        return QStringLiteral("?");
    }
}

int64_t WrapToSize(int64_t v, IntSize size) {
    switch (size) {
    case IntSize::S8:
        return int8_t(uint8_t(v));
    case IntSize::U8:
        return uint8_t(v);
    case IntSize::S16:
        return int16_t(uint16_t(v));
    case IntSize::U16:
        return uint16_t(v);
    case IntSize::S32:
        return int32_t(uint32_t(v));
    case IntSize::U32:
        return uint32_t(v);
    case IntSize::S64:
        break;
    }
    return v;
}

void SizeRange(IntSize size, int64_t& low, int64_t& high) {
    switch (size) {
    case IntSize::S8:
        low = -128, high = 127;
        return;
    case IntSize::U8:
        low = 0, high = 255;
        return;
    case IntSize::S16:
        low = -32768, high = 32767;
        return;
    case IntSize::U16:
        low = 0, high = 65535;
        return;
    case IntSize::S32:
        low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max();
        return;
    case IntSize::U32:
        low = 0, high = std::numeric_limits<uint32_t>::max();
        return;
    case IntSize::S64:
        break;
    }
    low = std::numeric_limits<int64_t>::min();
    high = std::numeric_limits<int64_t>::max();
}

IntSize SizeForRange(int64_t low, int64_t high) {
    static const IntSize unsignedSizes[] = {IntSize::U8, IntSize::U16, IntSize::U32};
    static const IntSize signedSizes[] = {IntSize::S8, IntSize::S16, IntSize::S32};
    for (IntSize s : (low >= 0 ? unsignedSizes : signedSizes)) {
        int64_t lo, hi;
        SizeRange(s, lo, hi);
        if (low >= lo && high <= hi)
            return s;
    }
    return IntSize::S64;
}

} // namespace kelvara::script

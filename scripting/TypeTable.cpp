#include "scripting/TypeTable.h"

namespace kelvara::script {

TypeTable::TypeTable() {
    Integer = Ordinal(QStringLiteral("Integer"), OrdKind::Integer, IntSize::S32);
    Cardinal = Ordinal(QStringLiteral("Cardinal"), OrdKind::Integer, IntSize::U32);
    Int64 = Ordinal(QStringLiteral("Int64"), OrdKind::Integer, IntSize::S64);
    Word = Ordinal(QStringLiteral("Word"), OrdKind::Integer, IntSize::U16);
    Byte = Ordinal(QStringLiteral("Byte"), OrdKind::Integer, IntSize::U8);
    SmallInt = Ordinal(QStringLiteral("SmallInt"), OrdKind::Integer, IntSize::S16);
    ShortInt = Ordinal(QStringLiteral("ShortInt"), OrdKind::Integer, IntSize::S8);
    Char = Ordinal(QStringLiteral("Char"), OrdKind::Char, IntSize::U16);
    {
        Type* b = New(TypeKind::Ordinal);
        b->name = QStringLiteral("Boolean");
        b->ord = OrdKind::Boolean;
        b->size = IntSize::U8;
        b->low = 0;
        b->high = 1;
        b->ordBase = b;
        b->enumNames = {QStringLiteral("False"), QStringLiteral("True")};
        Finish(b);
        Boolean = b;
    }
    Type* s = New(TypeKind::String);
    s->name = QStringLiteral("String");
    Finish(s);
    String = s;
    Double = FloatType(QStringLiteral("Double"), false);
    Single = FloatType(QStringLiteral("Single"), true);
    DateTime = FloatType(QStringLiteral("TDateTime"), false);
    Type* n = New(TypeKind::Nil);
    Finish(n);
    Nil = n;
    Type* v = New(TypeKind::Void);
    Finish(v);
    Void = v;
    Type* ca = New(TypeKind::ConstArray);
    Finish(ca);
    ConstArray = ca;
    Type* es = New(TypeKind::Set);
    Finish(es);
    EmptySet = es;

    Object = NewClass(QStringLiteral("TObject"), nullptr);
    Type* ex = NewClass(QStringLiteral("Exception"), Object);
    ex->fields.push_back({QStringLiteral("Message"), QStringLiteral("message"), String});
    Exception = ex;
    FExceptionClasses = {Exception,
                         NewClass(QStringLiteral("EConvertError"), Exception),
                         NewClass(QStringLiteral("EDivByZero"), Exception),
                         NewClass(QStringLiteral("ERangeError"), Exception),
                         NewClass(QStringLiteral("EInvalidOp"), Exception),
                         NewClass(QStringLiteral("EStackOverflow"), Exception),
                         NewClass(QStringLiteral("EOutOfMemory"), Exception)};
}

const Type* TypeTable::ExceptionClass(ErrorKind kind) const {
    return FExceptionClasses.at(size_t(kind));
}

Type* TypeTable::New(TypeKind kind) {
    FTypes.push_back(std::make_unique<Type>());
    Type* t = FTypes.back().get();
    t->kind = kind;
    return t;
}

void TypeTable::Finish(Type* t) {
    switch (t->kind) {
    case TypeKind::Ordinal:
        t->cat = Category::Ord;
        break;
    case TypeKind::Float:
        t->cat = Category::Float;
        break;
    case TypeKind::String:
        t->cat = Category::Str;
        break;
    case TypeKind::Record:
    case TypeKind::StaticArray:
        t->cat = Category::ByValue;
        t->needsInit = true;
        break;
    case TypeKind::Void:
        t->cat = Category::None;
        break;
    default:
        t->cat = Category::Shared;
        break;
    }
}

const Type* TypeTable::Ordinal(const QString& name, OrdKind ord, IntSize size) {
    Type* t = New(TypeKind::Ordinal);
    t->name = name;
    t->ord = ord;
    t->size = size;
    SizeRange(size, t->low, t->high);
    t->ordBase = ord == OrdKind::Integer ? nullptr : t;
    Finish(t);
    return t;
}

const Type* TypeTable::FloatType(const QString& name, bool single) {
    Type* t = New(TypeKind::Float);
    t->name = name;
    t->single = single;
    Finish(t);
    return t;
}

const Type* TypeTable::NewEnum(const QString& name, std::vector<QString> names) {
    Type* t = New(TypeKind::Ordinal);
    t->name = name;
    t->ord = OrdKind::Enum;
    t->low = 0;
    t->high = int64_t(names.size()) - 1;
    t->size = names.size() <= 256 ? IntSize::U8 : IntSize::U16;
    t->enumNames = std::move(names);
    t->ordBase = t;
    Finish(t);
    return t;
}

const Type* TypeTable::NewSubrange(const Type* base, int64_t low, int64_t high) {
    Type* t = New(TypeKind::Ordinal);
    const Type* root = OrdinalBase(base);
    t->ord = base->ord;
    t->low = low;
    t->high = high;
    t->size = base->ord == OrdKind::Integer ? SizeForRange(low, high) : base->size;
    t->ordBase = root ? root : base;
    Finish(t);
    return t;
}

const Type* TypeTable::SetOf(const Type* elem) {
    auto it = FSets.find(elem);
    if (it != FSets.end())
        return it->second;
    Type* t = New(TypeKind::Set);
    t->elem = elem;
    Finish(t);
    FSets[elem] = t;
    return t;
}

const Type* TypeTable::DynArrayOf(const Type* elem) {
    auto it = FDynArrays.find(elem);
    if (it != FDynArrays.end())
        return it->second;
    Type* t = New(TypeKind::DynArray);
    t->elem = elem;
    Finish(t);
    FDynArrays[elem] = t;
    return t;
}

const Type* TypeTable::OpenArrayOf(const Type* elem) {
    auto it = FOpenArrays.find(elem);
    if (it != FOpenArrays.end())
        return it->second;
    Type* t = New(TypeKind::OpenArray);
    t->elem = elem;
    Finish(t);
    FOpenArrays[elem] = t;
    return t;
}

const Type* TypeTable::NewStaticArray(const Type* index, const Type* elem) {
    Type* t = New(TypeKind::StaticArray);
    t->index = index;
    t->elem = elem;
    t->low = index->low;
    t->high = index->high;
    Finish(t);
    return t;
}

Type* TypeTable::NewClass(const QString& name, const Type* parent) {
    Type* t = New(TypeKind::Class);
    t->name = name;
    t->parent = parent;
    Finish(t);
    return t;
}

} // namespace kelvara::script

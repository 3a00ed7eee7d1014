#pragma once
// Types of the script language. Every type is owned by the TypeTable of one compiled program;
// everything else holds plain pointers to it, and identity of pointers is identity of types.
//
// Kinds and how their values are held (see Value.h):
//   Ordinal      integers of every size, Boolean, Char, enumerations and subranges: Value::i,
//                always kept inside the range of the type's storage size
//   Float        Double, Single, Extended, TDateTime: Value::d
//   String       every string type (String, WideString, AnsiString): Value::s
//   Record, StaticArray   by-value aggregates: Value::a, copied on assignment
//   DynArray     reference to a shared aggregate (nil = empty)
//   Set          immutable aggregate of up to 256 bits, shared freely (nil = empty set)
//   Class        reference to an object aggregate or nil
//   OpenArray, ConstArray  parameters only ("array of T", "array of const")
#include <cstdint>
#include <vector>

#include <QString>

namespace kelvara::script {

enum class TypeKind : uint8_t {
    Ordinal,
    Float,
    String,
    Set,
    Record,
    StaticArray,
    DynArray,
    OpenArray,
    ConstArray,
    Class,
    Nil,
    Void,
};

enum class OrdKind : uint8_t { Integer, Boolean, Char, Enum };

// Storage size of an ordinal; values are wrapped to it when stored.
enum class IntSize : uint8_t { S8, U8, S16, U16, S32, U32, S64 };

// How a value of the type is evaluated and stored.
enum class Category : uint8_t { Ord, Float, Str, ByValue, Shared, None };

struct Type;

struct Field {
    QString name;
    QString key; // lower case
    const Type* type = nullptr;
};

struct Type {
    TypeKind kind = TypeKind::Void;
    QString name; // declared name, empty when anonymous

    // Ordinal
    OrdKind ord = OrdKind::Integer;
    IntSize size = IntSize::S32;
    int64_t low = 0;
    int64_t high = 0;
    const Type* ordBase = nullptr;  // the type a subrange narrows (itself when not a subrange)
    std::vector<QString> enumNames; // on the enumeration itself

    // Float
    bool single = false;

    // Set element, array element, open array element
    const Type* elem = nullptr;
    // Static array index type
    const Type* index = nullptr;

    // Record fields, class fields
    std::vector<Field> fields;
    // Class ancestor
    const Type* parent = nullptr;

    Category cat = Category::None;
    bool needsInit = false; // values need an aggregate made for them (records, static arrays)

    // Values in low..high (ordinal range, static array length); saturates for the widest ranges.
    int64_t Count() const {
        const uint64_t span = uint64_t(high) - uint64_t(low);
        return span >= uint64_t(INT64_MAX) ? INT64_MAX : int64_t(span) + 1;
    }
    // The position of a field among all fields (a class's inherited fields come first), or -1.
    int FieldIndex(const QString& key) const;
    // The field at that position.
    const Field& FieldAt(int index) const;
    // Fields including inherited ones.
    int FieldCount() const;
};

bool IsOrdinal(const Type* t);
bool IsInteger(const Type* t);
bool IsBoolean(const Type* t);
bool IsChar(const Type* t);
bool IsEnum(const Type* t);
bool IsFloat(const Type* t);
bool IsString(const Type* t);
bool IsClass(const Type* t);
bool IsArray(const Type* t); // static, dynamic or open

// The enumeration, Char, Boolean or integer family that an ordinal belongs to.
const Type* OrdinalBase(const Type* t);

// True when `t` is `ancestor` or descends from it (classes).
bool InheritsFrom(const Type* t, const Type* ancestor);

// Name for messages: the declared name or a description ("array of Integer").
QString TypeName(const Type* t);

// Wraps v to the storage size (what Delphi does when storing without range checks).
int64_t WrapToSize(int64_t v, IntSize size);

// The smallest storage size holding low..high.
IntSize SizeForRange(int64_t low, int64_t high);

// The range of values a storage size holds.
void SizeRange(IntSize size, int64_t& low, int64_t& high);

} // namespace kelvara::script

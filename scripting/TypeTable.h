#pragma once
// Owner of every type of one compiled program: the built-in types, made once per table, and the
// types the script and the host declare. Dynamic arrays, open arrays and sets of the same
// element type are made once, so that two "array of Integer" are the same type.
#include "scripting/Type.h"

#include <map>
#include <memory>
#include <vector>

namespace kelvara::script {

enum class ErrorKind : uint8_t {
    Custom,        // Exception: raised by the script or a host routine
    Convert,       // EConvertError
    DivByZero,     // EDivByZero
    Range,         // ERangeError: index or length out of range
    InvalidOp,     // EInvalidOp: invalid floating-point operation
    StackOverflow, // EStackOverflow: recursion too deep
    OutOfMemory,   // EOutOfMemory: string or array larger than allowed
};

class TypeTable {
public:
    TypeTable();
    TypeTable(const TypeTable&) = delete;
    TypeTable& operator=(const TypeTable&) = delete;

    const Type* Integer;
    const Type* Cardinal;
    const Type* Int64;
    const Type* Word;
    const Type* Byte;
    const Type* SmallInt;
    const Type* ShortInt;
    const Type* Boolean;
    const Type* Char;
    const Type* String;
    const Type* Double;
    const Type* Single;
    const Type* DateTime;
    const Type* Nil;
    const Type* Void;
    const Type* ConstArray;
    const Type* EmptySet; // type of "[]": fits every set
    const Type* Object;   // TObject, root of the classes
    const Type* Exception;

    // A new type of the kind, to be filled and then passed to Finish.
    Type* New(TypeKind kind);
    // Computes the category and initialisation need once the type is complete.
    void Finish(Type* t);

    const Type* NewEnum(const QString& name, std::vector<QString> names);
    const Type* NewSubrange(const Type* base, int64_t low, int64_t high);
    const Type* SetOf(const Type* elem);
    const Type* DynArrayOf(const Type* elem);
    const Type* OpenArrayOf(const Type* elem);
    const Type* NewStaticArray(const Type* index, const Type* elem);
    Type* NewClass(const QString& name, const Type* parent);

    const Type* ExceptionClass(ErrorKind kind) const;
    // Built-in exception classes, to be declared by name.
    const std::vector<const Type*>& ExceptionClasses() const { return FExceptionClasses; }

private:
    const Type* Ordinal(const QString& name, OrdKind ord, IntSize size);
    const Type* FloatType(const QString& name, bool single);

    std::vector<std::unique_ptr<Type>> FTypes;
    std::map<const Type*, const Type*> FSets, FDynArrays, FOpenArrays;
    std::vector<const Type*> FExceptionClasses;
};

} // namespace kelvara::script

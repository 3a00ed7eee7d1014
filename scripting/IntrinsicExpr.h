#pragma once
// Nodes of the routines the compiler builds itself because they accept several types or work
// on variables: Length, High, SetLength, Include, Exclude, Abs and Sqr on integers, Copy on
// arrays, and Exception.Create.
#include "scripting/Expr.h"
#include "scripting/Stmt.h"

#include <vector>

namespace kelvara::script {

ExprPtr MakeStrLength(const Type* intType, ExprPtr s);
// Length (offset 0) or High (offset -1) of a dynamic or open array.
ExprPtr MakeArrayLength(const Type* intType, ExprPtr a, int offset);
// SetLength(s, n): new characters are #0.
StmtPtr MakeSetLengthStr(ExprPtr target, ExprPtr length, const SourcePos& pos);
// SetLength(a, n1, n2, ...): the first length resizes a, the next ones its elements.
StmtPtr MakeSetLengthArray(ExprPtr target, std::vector<ExprPtr> lengths, const SourcePos& pos);
StmtPtr MakeSetInclude(ExprPtr target, ExprPtr element, bool include, const SourcePos& pos);
ExprPtr MakeIntAbs(const Type* t, ExprPtr e, const SourcePos& pos);
ExprPtr MakeIntSqr(const Type* t, ExprPtr e, const SourcePos& pos);
// Copy(a, index, count) of a dynamic or open array: a new dynamic array; index and count are
// clipped to the array as Delphi does.
ExprPtr MakeArrayCopy(const Type* dynArrayType, ExprPtr a, ExprPtr index, ExprPtr count,
                      const SourcePos& pos);
ExprPtr MakeExceptionCreate(const Type* cls, ExprPtr message, const SourcePos& pos);

// Resizes the dynamic array held by v (of type t) to dims[0], then its elements to dims[1], ...
void ResizeArray(Value& v, const Type* t, const int64_t* dims, size_t count, Runtime& rt,
                 const SourcePos& pos);

} // namespace kelvara::script

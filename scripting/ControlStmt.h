#pragma once
// if ... then ... else (a chain of else-if arms is one node), case ... of on ordinals and on
// strings, and the jumps break, continue and exit.
#include "scripting/Expr.h"
#include "scripting/Stmt.h"

#include <utility>
#include <vector>

namespace kelvara::script {

struct IfArm {
    ExprPtr cond;
    StmtPtr then; // may be null (empty statement)
};
StmtPtr MakeIf(std::vector<IfArm> arms, StmtPtr otherwise, const SourcePos& pos);

struct CaseRange {
    int64_t low;
    int64_t high;
    int branch;
};
// Ranges must not overlap (the compiler reports duplicates).
StmtPtr MakeCaseOrd(ExprPtr selector, std::vector<CaseRange> ranges, std::vector<StmtPtr> branches,
                    StmtPtr otherwise, const SourcePos& pos);

struct CaseString {
    QString value;
    int branch;
};
StmtPtr MakeCaseStr(ExprPtr selector, std::vector<CaseString> labels, std::vector<StmtPtr> branches,
                    StmtPtr otherwise, const SourcePos& pos);

StmtPtr MakeJump(Flow flow, const SourcePos& pos);

} // namespace kelvara::script

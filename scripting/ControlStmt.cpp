#include "scripting/ControlStmt.h"

#include <algorithm>

#include <QHash>

namespace kelvara::script {

namespace {

Flow Run(const StmtPtr& s, Frame& f) {
    return s ? s->Exec(f) : Flow::Normal;
}

class If final : public Stmt {
public:
    If(std::vector<IfArm> arms, StmtPtr otherwise, const SourcePos& p)
        : Stmt(p), FArms(std::move(arms)), FElse(std::move(otherwise)) {}
    Flow Exec(Frame& f) override {
        for (const auto& arm : FArms)
            if (arm.cond->Bool(f))
                return Run(arm.then, f);
        return Run(FElse, f);
    }

private:
    std::vector<IfArm> FArms;
    StmtPtr FElse;
};

class CaseOrd final : public Stmt {
public:
    CaseOrd(ExprPtr sel, std::vector<CaseRange> ranges, std::vector<StmtPtr> branches,
            StmtPtr otherwise, const SourcePos& p)
        : Stmt(p), FSel(std::move(sel)), FRanges(std::move(ranges)), FBranches(std::move(branches)),
          FElse(std::move(otherwise)) {
        std::sort(FRanges.begin(), FRanges.end(),
                  [](const CaseRange& a, const CaseRange& b) { return a.low < b.low; });
    }
    Flow Exec(Frame& f) override {
        const int64_t v = FSel->Int(f);
        auto it = std::upper_bound(FRanges.begin(), FRanges.end(), v,
                                   [](int64_t x, const CaseRange& r) { return x < r.low; });
        if (it != FRanges.begin()) {
            --it;
            if (v <= it->high)
                return Run(FBranches[size_t(it->branch)], f);
        }
        return Run(FElse, f);
    }

private:
    ExprPtr FSel;
    std::vector<CaseRange> FRanges;
    std::vector<StmtPtr> FBranches;
    StmtPtr FElse;
};

class CaseStr final : public Stmt {
public:
    CaseStr(ExprPtr sel, std::vector<CaseString> labels, std::vector<StmtPtr> branches,
            StmtPtr otherwise, const SourcePos& p)
        : Stmt(p), FSel(std::move(sel)), FBranches(std::move(branches)),
          FElse(std::move(otherwise)) {
        for (const auto& l : labels)
            FLabels.insert(l.value, l.branch);
    }
    Flow Exec(Frame& f) override {
        const auto it = FLabels.constFind(FSel->Str(f));
        if (it != FLabels.cend())
            return Run(FBranches[size_t(it.value())], f);
        return Run(FElse, f);
    }

private:
    ExprPtr FSel;
    QHash<QString, int> FLabels;
    std::vector<StmtPtr> FBranches;
    StmtPtr FElse;
};

class Jump final : public Stmt {
public:
    Jump(Flow flow, const SourcePos& p) : Stmt(p), FFlow(flow) {}
    Flow Exec(Frame&) override { return FFlow; }

private:
    Flow FFlow;
};

} // namespace

StmtPtr MakeIf(std::vector<IfArm> arms, StmtPtr otherwise, const SourcePos& pos) {
    return std::make_unique<If>(std::move(arms), std::move(otherwise), pos);
}

StmtPtr MakeCaseOrd(ExprPtr selector, std::vector<CaseRange> ranges, std::vector<StmtPtr> branches,
                    StmtPtr otherwise, const SourcePos& pos) {
    return std::make_unique<CaseOrd>(std::move(selector), std::move(ranges), std::move(branches),
                                     std::move(otherwise), pos);
}

StmtPtr MakeCaseStr(ExprPtr selector, std::vector<CaseString> labels, std::vector<StmtPtr> branches,
                    StmtPtr otherwise, const SourcePos& pos) {
    return std::make_unique<CaseStr>(std::move(selector), std::move(labels), std::move(branches),
                                     std::move(otherwise), pos);
}

StmtPtr MakeJump(Flow flow, const SourcePos& pos) {
    return std::make_unique<Jump>(flow, pos);
}

} // namespace kelvara::script

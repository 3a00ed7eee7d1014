#include "scripting/LoopStmt.h"

namespace kelvara::script {

namespace {

template <bool Down>
class For final : public Stmt {
public:
    For(ExprPtr var, ExprPtr from, ExprPtr to, StmtPtr body, const SourcePos& p)
        : Stmt(p), FVar(std::move(var)), FFrom(std::move(from)), FTo(std::move(to)),
          FBody(std::move(body)) {}

    Flow Exec(Frame& f) override {
        const int64_t first = FFrom->Int(f);
        const int64_t last = FTo->Int(f);
        if (Down ? first < last : first > last)
            return Flow::Normal;
        Value* v = FVar->Ref(f);
        Runtime& rt = *f.rt;
        for (int64_t i = first;; Down ? --i : ++i) {
            v->i = i;
            rt.Poll(pos);
            if (FBody) {
                const Flow fl = FBody->Exec(f);
                if (fl == Flow::Break)
                    break;
                if (fl == Flow::Exit)
                    return fl;
            }
            if (i == last)
                break;
        }
        return Flow::Normal;
    }

private:
    ExprPtr FVar, FFrom, FTo;
    StmtPtr FBody;
};

class While final : public Stmt {
public:
    While(ExprPtr cond, StmtPtr body, const SourcePos& p)
        : Stmt(p), FCond(std::move(cond)), FBody(std::move(body)) {}
    Flow Exec(Frame& f) override {
        while (FCond->Bool(f)) {
            f.rt->Poll(pos);
            if (!FBody)
                continue;
            const Flow fl = FBody->Exec(f);
            if (fl == Flow::Break)
                break;
            if (fl == Flow::Exit)
                return fl;
        }
        return Flow::Normal;
    }

private:
    ExprPtr FCond;
    StmtPtr FBody;
};

class Repeat final : public Stmt {
public:
    Repeat(StmtPtr body, ExprPtr cond, const SourcePos& p)
        : Stmt(p), FBody(std::move(body)), FCond(std::move(cond)) {}
    Flow Exec(Frame& f) override {
        do {
            f.rt->Poll(pos);
            const Flow fl = FBody->Exec(f);
            if (fl == Flow::Break)
                break;
            if (fl == Flow::Exit)
                return fl;
        } while (!FCond->Bool(f));
        return Flow::Normal;
    }

private:
    StmtPtr FBody;
    ExprPtr FCond;
};

} // namespace

StmtPtr MakeFor(ExprPtr var, ExprPtr from, ExprPtr to, bool down, StmtPtr body,
                const SourcePos& pos) {
    if (down)
        return std::make_unique<For<true>>(std::move(var), std::move(from), std::move(to),
                                           std::move(body), pos);
    return std::make_unique<For<false>>(std::move(var), std::move(from), std::move(to),
                                        std::move(body), pos);
}

StmtPtr MakeWhile(ExprPtr cond, StmtPtr body, const SourcePos& pos) {
    return std::make_unique<While>(std::move(cond), std::move(body), pos);
}

StmtPtr MakeRepeat(StmtPtr body, ExprPtr cond, const SourcePos& pos) {
    return std::make_unique<Repeat>(std::move(body), std::move(cond), pos);
}

} // namespace kelvara::script

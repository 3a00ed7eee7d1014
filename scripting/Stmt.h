#pragma once
// Statement nodes. Exec returns how control leaves the statement: normally, or by break,
// continue or exit, which loops and routine calls consume. Run-time errors travel as exceptions
// (ScriptError, ScriptStop) so that try blocks see them.
#include "scripting/Runtime.h"

#include <memory>
#include <vector>

namespace kelvara::script {

enum class Flow : uint8_t { Normal, Break, Continue, Exit };

class Stmt {
public:
    explicit Stmt(const SourcePos& pos) : pos(pos) {}
    virtual ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    virtual Flow Exec(Frame& f) = 0;

    SourcePos pos;
};

using StmtPtr = std::unique_ptr<Stmt>;

// begin ... end: the statements in order.
class Block final : public Stmt {
public:
    explicit Block(const SourcePos& pos) : Stmt(pos) {}
    Flow Exec(Frame& f) override {
        for (const auto& s : items) {
            const Flow fl = s->Exec(f);
            if (fl != Flow::Normal)
                return fl;
        }
        return Flow::Normal;
    }

    std::vector<StmtPtr> items;
};

} // namespace kelvara::script

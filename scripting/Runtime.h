#pragma once
// The state of one run of a compiled program: limits, call depth, the abort flags, the budget,
// the stack guard, the random seed, and the errors being handled by except blocks (for "raise;").
//
// Thread contract: a run happens on one thread. Abort (through the flags) may be requested from
// any thread; the run notices it at the next loop iteration or call.
#include "scripting/Limits.h"
#include "scripting/ScriptError.h"
#include "scripting/TypeTable.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace kelvara::script {

class Runtime;

// The slots of one activation of a routine (or the globals, for the main block), the frame of
// the routine that lexically encloses it (for nested routines), and the run.
struct Frame {
    Value* vars;
    Frame* outer;
    Runtime* rt;
};

class Runtime {
public:
    Runtime(const Limits& limits, const TypeTable& types, std::atomic<bool>* ownAbort,
            const std::atomic<bool>* externalAbort);

    // Called at every loop iteration and call: stops the run when aborted or out of budget.
    void Poll(const SourcePos& pos) {
        if (FOwnAbort->load(std::memory_order_relaxed) ||
            (FExternalAbort && FExternalAbort->load(std::memory_order_relaxed)) || --FBudget < 0)
            Stop(pos);
    }

    // Around each call of a script routine: depth limit and machine stack guard.
    void EnterCall(const SourcePos& pos);
    void LeaveCall() { --FDepth; }

    void CheckStringLength(int64_t length, const SourcePos& pos) const;
    void CheckArrayLength(int64_t length, const SourcePos& pos) const;

    const Limits& limits() const { return FLimits; }
    const TypeTable& types() const { return FTypes; }

    uint32_t randSeed = 0;
    std::vector<const ScriptError*> handling; // errors whose except blocks are running

private:
    [[noreturn]] void Stop(const SourcePos& pos);

    Limits FLimits;
    const TypeTable& FTypes;
    std::atomic<bool>* FOwnAbort;
    const std::atomic<bool>* FExternalAbort;
    int64_t FBudget;
    int FDepth = 0;
    uintptr_t FStackLimit = 0; // lowest stack address a call may start below
};

// RAII pair of EnterCall / LeaveCall.
class CallGuard {
public:
    CallGuard(Runtime& rt, const SourcePos& pos) : FRt(rt) { rt.EnterCall(pos); }
    ~CallGuard() { FRt.LeaveCall(); }
    CallGuard(const CallGuard&) = delete;
    CallGuard& operator=(const CallGuard&) = delete;

private:
    Runtime& FRt;
};

// How much of the current thread's stack lies below the caller (best effort; a large number
// when unknown).
int64_t StackBytesAvailable();

} // namespace kelvara::script

#include "scripting/Runtime.h"

#include <algorithm>
#include <limits>
#include <pthread.h>

namespace kelvara::script {

namespace {

// Safety margin kept free below the guard for the native routines a script calls.
constexpr int64_t kStackReserve = 256 * 1024;

uintptr_t CurrentStackAddress() {
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

} // namespace

namespace {

struct StackBounds {
    uintptr_t bottom = 0;
    size_t size = 0;
    bool known = false;
};

// The thread's stack, asked once per thread (for the main thread the C library reads
// /proc/self/maps, which is too slow to repeat).
const StackBounds& ThreadStack() {
    thread_local const StackBounds bounds = [] {
        StackBounds b;
        pthread_attr_t attr;
        if (pthread_getattr_np(pthread_self(), &attr) != 0)
            return b;
        void* low = nullptr;
        if (pthread_attr_getstack(&attr, &low, &b.size) == 0) {
            b.bottom = reinterpret_cast<uintptr_t>(low);
            b.known = true;
        }
        pthread_attr_destroy(&attr);
        return b;
    }();
    return bounds;
}

} // namespace

int64_t StackBytesAvailable() {
    const StackBounds& s = ThreadStack();
    const uintptr_t here = CurrentStackAddress();
    if (!s.known || here <= s.bottom || here - s.bottom > s.size)
        return std::numeric_limits<int64_t>::max();
    return int64_t(here - s.bottom);
}

Runtime::Runtime(const Limits& limits, const TypeTable& types, std::atomic<bool>* ownAbort,
                 const std::atomic<bool>* externalAbort)
    : FLimits(limits), FTypes(types), FOwnAbort(ownAbort), FExternalAbort(externalAbort),
      FBudget(limits.budget < 0 ? std::numeric_limits<int64_t>::max() : limits.budget) {
    const int64_t usable =
        std::max<int64_t>(0, std::min(limits.maxStackBytes, StackBytesAvailable() - kStackReserve));
    const uintptr_t here = CurrentStackAddress();
    FStackLimit = here > uintptr_t(usable) ? here - uintptr_t(usable) : 0;
}

void Runtime::EnterCall(const SourcePos& pos) {
    Poll(pos);
    if (FDepth >= FLimits.maxCallDepth)
        throw ScriptError(
            QStringLiteral("Stack overflow: more than %1 nested calls").arg(FLimits.maxCallDepth),
            ErrorKind::StackOverflow, pos);
    if (CurrentStackAddress() < FStackLimit)
        throw ScriptError(QStringLiteral("Stack overflow"), ErrorKind::StackOverflow, pos);
    ++FDepth;
}

void Runtime::CheckStringLength(int64_t length, const SourcePos& pos) const {
    if (length > FLimits.maxStringLength)
        throw ScriptError(QStringLiteral("String too long (%1 characters; at most %2)")
                              .arg(length)
                              .arg(FLimits.maxStringLength),
                          ErrorKind::OutOfMemory, pos);
}

void Runtime::CheckArrayLength(int64_t length, const SourcePos& pos) const {
    if (length < 0)
        throw ScriptError(QStringLiteral("Invalid array length %1").arg(length), ErrorKind::Range,
                          pos);
    if (length > FLimits.maxArrayLength)
        throw ScriptError(QStringLiteral("Array too large (%1 elements; at most %2)")
                              .arg(length)
                              .arg(FLimits.maxArrayLength),
                          ErrorKind::OutOfMemory, pos);
}

void Runtime::Stop(const SourcePos& pos) {
    if (FBudget < 0)
        throw ScriptStop(QStringLiteral("Execution limit reached"), pos);
    throw ScriptStop(QStringLiteral("Script aborted"), pos);
}

} // namespace kelvara::script

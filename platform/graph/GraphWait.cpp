#include "platform/graph/GraphWait.h"

#include "platform/ui/ProcessMessages.h"

namespace {
thread_local int tWaitDepth = 0;
}

bool GraphWaitUntil(const std::function<bool()>& done, int timeoutMs) {
    struct TDepth {
        TDepth() { ++tWaitDepth; }
        ~TDepth() { --tWaitDepth; }
    } depth;
    return WaitServingMessages(done, timeoutMs);
}

bool InsideGraphWait() {
    return tWaitDepth > 0;
}

void GraphWakeWaiters() {
    WakeMessageWaiters();
}

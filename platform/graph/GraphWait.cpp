#include "platform/graph/GraphWait.h"

#include "platform/ui/ProcessMessages.h"

bool GraphWaitUntil(const std::function<bool()>& done, int timeoutMs) {
    return WaitServingMessages(done, timeoutMs);
}

void GraphWakeWaiters() {
    WakeMessageWaiters();
}

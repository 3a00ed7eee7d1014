#include "platform/ui/ProcessMessages.h"

#include "platform/ui/MessageQueue.h"

#include <algorithm>

#include <QCoreApplication>

using kelvara::ui::TMessageQueue;

namespace {
// Longest sleep between two tests of a wait's condition when nobody wakes the waiter.
constexpr int PollSliceMs = 5;
} // namespace

void ProcessMessages() {
    TMessageQueue& queue = TMessageQueue::Instance();
    if (!queue.IsGuiThread())
        return;
    queue.Serve(queue.Pending());
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

bool WaitServingMessages(const std::function<bool()>& done, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    TMessageQueue& queue = TMessageQueue::Instance();
    const bool gui = queue.IsGuiThread();
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        if (done())
            return true;
        if (gui)
            queue.Serve(queue.Pending());
        if (done())
            return true;
        int slice = PollSliceMs;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return false;
            slice = std::min<int>(slice, int(left.count()));
        }
        queue.WaitForArrival(std::max(slice, 1), gui);
    }
}

void WakeMessageWaiters() {
    TMessageQueue::Instance().Wake();
}

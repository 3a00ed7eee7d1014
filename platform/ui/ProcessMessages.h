#pragma once
// Pumping the GUI thread's messages while it waits.
//
// ProcessMessages() is "let pending window messages be processed": it handles the messages that
// are queued for the hidden message windows (posts and sends from other threads, in order), then
// the toolkit's pending events (input, timers, repaints) once.
//
// The deadlock rule of the media graph: a streaming thread may be blocked in Send() to a
// component's window while the GUI thread waits for that streaming thread (graph Stop, Pause, a
// flush on seek, removing a filter). Such a wait must never block the GUI thread outright; it
// must be written as
//
//     WaitServingMessages([&] { return streamingThreadsIdle(); }, 5000);
//
// (or with a future, or with a thread's "finished" flag), which keeps handling the window messages
// (posts and sends, in order) while it waits, so that a blocked sender is released and can reach
// the point the GUI thread is waiting for. It does not run the toolkit's events (no user input,
// repaints or Qt timers run inside it), so a graph operation is not re-entered by a click. A thread
// that changes what done() looks at may call WakeMessageWaiters() to end the wait at once; without
// it the wait notices the change within a few milliseconds.
//
// The re-entry rule: a message handler run inside such a wait (InsideGraphWait() is true) runs on
// the thread of a graph operation that is half done and holds the graph's lock. It may read the
// graph (positions, state, filters) but must not drive it: building, Run, Pause, Stop, seeks and
// removing filters from there are refused (an assertion in debug builds, VFW_E_WRONG_STATE in
// release builds). A handler that wants to seek or stop posts itself a message and acts when that
// message arrives after the operation returned. The graph's locks are plain, not recursive: any
// other call back into the graph or a filter by the thread inside one of its calls is refused the
// same way instead of hiding a half-done state (GraphMutex.h).
//
// All three are for the GUI thread; called from another thread ProcessMessages does nothing and
// WaitServingMessages only waits.
#include <chrono>
#include <functional>
#include <future>

void ProcessMessages();

// True when done() became true, false when timeoutMs passed first (timeoutMs < 0: no limit).
bool WaitServingMessages(const std::function<bool()>& done, int timeoutMs = -1);

// Waits for a future while serving the window messages.
template <class T>
bool WaitServingMessages(const std::future<T>& future, int timeoutMs = -1) {
    return WaitServingMessages(
        [&] { return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        timeoutMs);
}

// Ends a WaitServingMessages early so that it re-tests its condition now.
void WakeMessageWaiters();

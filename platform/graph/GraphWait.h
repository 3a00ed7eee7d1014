#pragma once
// How the thread that drives the graph (the GUI thread) waits for streaming threads: stopping a
// filter, a flush on seek, GetState, removing a filter. A streaming thread may at that moment be
// blocked sending a message to the GUI thread, so such a wait keeps serving those messages
// (WaitServingMessages of platform/ui); on other threads it is a plain wait.
//
// Filters built into loadable modules carry their own copy of this code, and a copy would serve
// its own, empty message queue. So the filter bases wait through the graph they joined
// (IGraphWaitService, offered by the graph manager of the program), and use the functions below
// only while they are in no graph.
#include "platform/com/Unknown.h"

#include <functional>

// True when done() became true, false when timeoutMs passed first (timeoutMs < 0: no limit).
// done() is tested at least every few milliseconds and at every GraphWakeWaiters().
bool GraphWaitUntil(const std::function<bool()>& done, int timeoutMs = -1);

// Makes pending GraphWaitUntil calls test their condition now.
void GraphWakeWaiters();

// True on this thread while a GraphWaitUntil of it serves the window messages: whatever runs now
// is a message handler called from inside a graph operation that waits. Such a handler must not
// drive the graph (state changes, seeks, building): the graph is half-way through an operation of
// its own, under its lock. The graph refuses those calls (an assertion in debug builds,
// VFW_E_WRONG_STATE otherwise); reading its state is fine.
bool InsideGraphWait();

// The graph manager's waits, for filters that live in modules.
struct IGraphWaitService : IUnknown {
    static constexpr IID iid{
        0xD287A602, 0x84D7, 0x44CF, {0x9B, 0x80, 0xA5, 0xC8, 0xBD, 0x6D, 0xD3, 0xBB}};
    virtual bool WaitUntil(const std::function<bool()>& done, int timeoutMs) = 0;
    virtual void WakeWaiters() = 0;
};
inline constexpr const IID& IID_IGraphWaitService = IGraphWaitService::iid;

#pragma once
// Helpers for tests that build graphs: a graph manager, pins by direction and index, direct
// connection of a chain of filters, and a loop that runs the GUI thread's events until a
// condition holds (for the graph's callbacks).
#include "platform/com/ComPtr.h"
#include "platform/graph/BuilderInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/SeekingInterfaces.h"

#include <functional>
#include <initializer_list>

#include <QString>

namespace kelvara::test {

// A new graph manager, created by its class (the framework's classes are registered first).
ComPtr<IGraphBuilder> MakeGraph();
// A capture graph builder bound to the graph.
ComPtr<ICaptureGraphBuilder2> MakeCaptureBuilder(IGraphBuilder* graph);

// The index-th pin of the filter with that direction (empty when there is none).
ComPtr<IPin> PinOf(IBaseFilter* filter, PIN_DIRECTION dir, int index = 0);
// Connects each filter's first output pin directly to the next filter's first input pin.
HRESULT ConnectChain(IGraphBuilder* graph, std::initializer_list<IBaseFilter*> filters);

// Runs the GUI thread's pending events and window messages until done() is true; false after
// timeoutMs.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// The graph's state after a GetState with the given time-out, and that call's result.
struct TGraphState {
    HRESULT result;
    OAFilterState state;
};
TGraphState StateOf(IGraphBuilder* graph, LONG timeoutMs);

} // namespace kelvara::test

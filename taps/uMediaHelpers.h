#pragma once
// Graph walking helpers on the filters of a graph: whether a filter has a connected pin,
// whether one filter feeds another, and removing every filter between two filters.
#include "platform/graph/FilterInterfaces.h"

// True as soon as one of the filter's pins reports a connected pin; false for a nil filter or
// when none is connected.
bool HasConnectedPin(IBaseFilter* filter);

// True when candidate feeds filter: it owns the pin connected to one of filter's input pins, or
// it feeds the filter that does. False on errors and for nil filters.
bool IsUpstreamOf(IBaseFilter* filter, IBaseFilter* candidate);

// Removes from graph every filter that lies on a path from upstream down to downstream; both
// ends stay in the graph, disconnected from what was between them. An input branch of
// downstream that does not lead to upstream is only cut off (its first filter stays in the
// graph). True at once when the two are the same filter or upstream does not feed downstream;
// when a removal fails the walk stops, still answering true; false on errors.
bool RemoveChainBetween(IBaseFilter* downstream, IBaseFilter* upstream, IFilterGraph* graph);

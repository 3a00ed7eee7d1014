#include "taps/uMediaHelpers.h"

#include "platform/com/ComPtr.h"
#include "platform/graph/Enumerators.h"

namespace {

// A connection that loops back would make the upstream walk endless; no real graph is this
// deep.
constexpr int kMaxDepth = 256;

bool IsUpstreamWithin(IBaseFilter* filter, IBaseFilter* candidate, int depth) {
    if (!filter || !candidate || depth > kMaxDepth)
        return false;
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        PIN_DIRECTION dir = PINDIR_INPUT;
        if (FAILED(pin->QueryDirection(&dir)) || dir == PINDIR_OUTPUT)
            continue;
        ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())) || !peer)
            continue;
        const ComPtr<IBaseFilter> owner = FilterOf(peer.Get());
        if (!owner)
            continue;
        if (owner.Get() == candidate || IsUpstreamWithin(owner.Get(), candidate, depth + 1))
            return true;
    }
    return false;
}

void DisconnectPin(IFilterGraph* graph, IPin* pin) {
    if (graph)
        graph->Disconnect(pin);
    else
        pin->Disconnect();
}

} // namespace

bool HasConnectedPin(IBaseFilter* filter) {
    if (!filter)
        return false;
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        ComPtr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())) && peer)
            return true;
    }
    return false;
}

bool IsUpstreamOf(IBaseFilter* filter, IBaseFilter* candidate) {
    return IsUpstreamWithin(filter, candidate, 0);
}

bool RemoveChainBetween(IBaseFilter* downstream, IBaseFilter* upstream, IFilterGraph* graph) {
    if (downstream == upstream || !IsUpstreamOf(downstream, upstream))
        return true;
    // The pins are listed first: the walk changes the connections it looks at.
    for (const ComPtr<IPin>& pin : PinsOf(downstream)) {
        PIN_DIRECTION dir = PINDIR_OUTPUT;
        if (FAILED(pin->QueryDirection(&dir)) || dir != PINDIR_INPUT)
            continue;
        ComPtr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer.ReleaseAndGetAddressOf())) || !peer)
            continue;
        DisconnectPin(graph, peer.Get());
        DisconnectPin(graph, pin.Get());
        const ComPtr<IBaseFilter> above = FilterOf(peer.Get());
        if (!above)
            return false;
        if (above.Get() == upstream)
            return true;
        if (!IsUpstreamOf(above.Get(), upstream))
            continue;
        if (!graph)
            return false;
        RemoveChainBetween(above.Get(), upstream, graph);
        if (FAILED(graph->RemoveFilter(above.Get())))
            return true;
    }
    return true;
}

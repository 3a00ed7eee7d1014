#include "media/uGrapheMan.h"

#include "platform/com/ClassRegistry.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/GraphClasses.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MediaType.h"
#include "platform/ui/ProcessMessages.h"
#include "taps/uMediaHelpers.h"

#include <vector>

namespace {

constexpr int kStatePolls = 60;
constexpr int kRendererPolls = 20;
constexpr LONG kStateTimeoutMs = 40;
constexpr int kPollPauseMs = 10;

// A pause between two polls of a state that serves the window messages meanwhile.
void PollPause() {
    WaitServingMessages([] { return false; }, kPollPauseMs);
}

std::vector<ComPtr<IPin>> PinsIn(IBaseFilter* filter, PIN_DIRECTION direction) {
    std::vector<ComPtr<IPin>> pins;
    for (const ComPtr<IPin>& pin : PinsOf(filter))
        if (DirectionOf(pin.Get()) == direction)
            pins.push_back(pin);
    return pins;
}

ComPtr<IPin> PeerOf(IPin* pin) {
    ComPtr<IPin> peer;
    if (pin)
        pin->ConnectedTo(peer.ReleaseAndGetAddressOf());
    return peer;
}

} // namespace

TGrapheMan::TGrapheMan(QObject* owner) : TZvActionComponent(owner) {
    RegisterGraphClasses();
    FGraphBuilder = CreateInstanceOf<IGraphBuilder>(CLSID_FilterGraph);
    // Capture mode: a capture graph builder bound to the graph.
    FCaptureGraphBuilder = CreateInstanceOf<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2);
    if (FCaptureGraphBuilder && FGraphBuilder)
        FCaptureGraphBuilder->SetFiltergraph(FGraphBuilder.Get());
    FSeeking = QueryInterfaceOf<IMediaSeeking>(FGraphBuilder.Get());
    if (const ComPtr<IMediaEventEx> events = QueryInterfaceOf<IMediaEventEx>(FGraphBuilder.Get()))
        events->SetNotifyCallback([this](LONG code, LONG_PTR param1, LONG_PTR) {
            if (code == EC_COMPLETE)
                GraphComplete(HRESULT(param1));
        });
    RaiseStateChange(gmStopped);
}

TGrapheMan::~TGrapheMan() {
    if (!FGraphBuilder)
        return;
    if (const ComPtr<IMediaControl> control = Control())
        control->Stop();
    // What the taps posted before the stop is handled while their filters still exist.
    ProcessMessages();
    for (const ComPtr<IBaseFilter>& filter : FiltersOf(FGraphBuilder.Get()))
        FGraphBuilder->RemoveFilter(filter.Get());
    if (const ComPtr<IMediaEventEx> events = QueryInterfaceOf<IMediaEventEx>(FGraphBuilder.Get()))
        events->SetNotifyCallback(nullptr);
    FSeeking.Reset();
    FCaptureGraphBuilder.Reset();
    FGraphBuilder.Reset();
}

ComPtr<IMediaControl> TGrapheMan::Control() const {
    return QueryInterfaceOf<IMediaControl>(FGraphBuilder.Get());
}

void TGrapheMan::RaiseStateChange(TGrapheManState state) {
    if (OnStateChange)
        OnStateChange(state);
}

void TGrapheMan::GraphComplete(HRESULT result) {
    if (SUCCEEDED(result) && OnGraphCompleted)
        OnGraphCompleted();
}

void TGrapheMan::WaitForState() {
    const ComPtr<IMediaControl> control = Control();
    for (int i = 0; control && i < kStatePolls; ++i) {
        OAFilterState state = 0;
        if (control->GetState(kStateTimeoutMs, &state) != VFW_S_STATE_INTERMEDIATE)
            return;
        PollPause();
    }
}

bool TGrapheMan::Play() {
    const ComPtr<IMediaControl> control = Control();
    if (!control)
        return false;
    if (FSeeking)
        FSeeking->SetRate(1.0);
    const HRESULT hr = control->Run();
    WaitForState();
    if (FAILED(hr))
        return false;
    RaiseStateChange(gmPlaying);
    return true;
}

bool TGrapheMan::Pause() {
    const ComPtr<IMediaControl> control = Control();
    if (!control)
        return false;
    const HRESULT hr = control->Pause();
    WaitForState();
    if (FAILED(hr))
        return false;
    RaiseStateChange(gmPaused);
    return true;
}

bool TGrapheMan::Stop() {
    const ComPtr<IMediaControl> control = Control();
    if (!control || FAILED(control->Stop()))
        return false;
    RaiseStateChange(gmStopped);
    return true;
}

TGrapheManState TGrapheMan::RunState() const {
    const ComPtr<IMediaControl> control = Control();
    OAFilterState state = State_Stopped;
    if (!control || FAILED(control->GetState(0, &state)))
        return gmStopped;
    return state == State_Running ? gmPlaying : state == State_Paused ? gmPaused : gmStopped;
}

void TGrapheMan::WaitForRenderer() {
    if (!FRendererState)
        return;
    for (int i = 0; i < kRendererPolls; ++i) {
        FILTER_STATE state = State_Stopped;
        const HRESULT hr = FRendererState->GetState(kStateTimeoutMs, &state);
        PollPause();
        if (hr != VFW_S_STATE_INTERMEDIATE)
            return;
    }
}

bool TGrapheMan::WaitForRendererFrame() {
    if (!FRendererState)
        return true;
    FILTER_STATE state = State_Stopped;
    return FRendererState->GetState(kRendererPolls * (kStateTimeoutMs + kPollPauseMs), &state) !=
           VFW_S_STATE_INTERMEDIATE;
}

bool TGrapheMan::IsUpstreamOf(IBaseFilter* downstream, IBaseFilter* upstream) {
    return ::IsUpstreamOf(downstream, upstream);
}

bool TGrapheMan::RemoveChainBetween(IBaseFilter* downstream, IBaseFilter* upstream) {
    return ::RemoveChainBetween(downstream, upstream, FGraphBuilder.Get());
}

bool TGrapheMan::ClearBetween(IBaseFilter* downstream, IBaseFilter* upstream) {
    if (!downstream || !upstream || !FGraphBuilder)
        return false;
    if (downstream == upstream)
        return true;
    for (const ComPtr<IPin>& pin : PinsIn(downstream, PINDIR_INPUT)) {
        const ComPtr<IPin> peer = PeerOf(pin.Get());
        if (!peer)
            continue;
        FGraphBuilder->Disconnect(peer.Get());
        FGraphBuilder->Disconnect(pin.Get());
        const ComPtr<IBaseFilter> feeder = FilterOf(peer.Get());
        if (feeder.Get() == upstream)
            return true;
        ClearBetween(feeder.Get(), upstream);
        FGraphBuilder->RemoveFilter(feeder.Get());
    }
    for (const ComPtr<IPin>& pin : PinsIn(upstream, PINDIR_OUTPUT)) {
        const ComPtr<IPin> peer = PeerOf(pin.Get());
        if (!peer)
            continue;
        FGraphBuilder->Disconnect(peer.Get());
        FGraphBuilder->Disconnect(pin.Get());
        const ComPtr<IBaseFilter> fed = FilterOf(peer.Get());
        if (fed.Get() == downstream)
            return true;
        ClearBetween(downstream, fed.Get());
        FGraphBuilder->RemoveFilter(fed.Get());
    }
    return true;
}

HRESULT TGrapheMan::InsertIntoConnection(IBaseFilter* filter, IPin* pin, bool pinIsOutput) {
    if (!pin || !FGraphBuilder)
        return E_POINTER;
    ComPtr<IPin> peer;
    HRESULT hr = pin->ConnectedTo(peer.ReleaseAndGetAddressOf());
    if (FAILED(hr) || !peer)
        return FAILED(hr) ? hr : VFW_E_NOT_CONNECTED;
    CMediaType saved;
    pin->ConnectionMediaType(&saved);
    hr = E_FAIL;
    const std::vector<ComPtr<IPin>> pins = PinsOf(filter);
    if (pins.size() >= 2 && SUCCEEDED(FGraphBuilder->Disconnect(pin)) &&
        SUCCEEDED(FGraphBuilder->Disconnect(peer.Get()))) {
        IPin* const input = pins[0].Get();
        IPin* const output = pins[1].Get();
        if (pinIsOutput) {
            if (SUCCEEDED(FGraphBuilder->ConnectDirect(pin, input, nullptr)) &&
                SUCCEEDED(FGraphBuilder->ConnectDirect(output, peer.Get(), nullptr)))
                hr = S_OK;
        } else if (SUCCEEDED(FGraphBuilder->ConnectDirect(peer.Get(), input, nullptr)) &&
                   SUCCEEDED(FGraphBuilder->ConnectDirect(output, pin, nullptr))) {
            if (!PeerOf(input))
                FGraphBuilder->ConnectDirect(peer.Get(), input, nullptr);
            hr = PeerOf(output) ? S_OK : E_FAIL;
        }
    }
    if (FAILED(hr)) {
        // Whatever half of the splice was made goes, then the connection is made as it was.
        for (const ComPtr<IPin>& p : pins)
            if (PeerOf(p.Get())) {
                FGraphBuilder->Disconnect(PeerOf(p.Get()).Get());
                FGraphBuilder->Disconnect(p.Get());
            }
        if (pinIsOutput)
            FGraphBuilder->ConnectDirect(pin, peer.Get(), &saved);
        else
            FGraphBuilder->ConnectDirect(peer.Get(), pin, &saved);
    }
    return hr;
}

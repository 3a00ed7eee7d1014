#include "tests/platform/graph/testkit/GraphTestBed.h"

#include "platform/com/ClassRegistry.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/GraphClasses.h"
#include "platform/graph/MediaGuids.h"
#include "platform/ui/ProcessMessages.h"

#include <chrono>
#include <thread>

#include <QCoreApplication>

namespace kelvara::test {

ComPtr<IGraphBuilder> MakeGraph() {
    RegisterGraphClasses();
    return CreateInstanceOf<IGraphBuilder>(CLSID_FilterGraph);
}

ComPtr<ICaptureGraphBuilder2> MakeCaptureBuilder(IGraphBuilder* graph) {
    RegisterGraphClasses();
    ComPtr<ICaptureGraphBuilder2> builder =
        CreateInstanceOf<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2);
    if (builder)
        builder->SetFiltergraph(graph);
    return builder;
}

ComPtr<IPin> PinOf(IBaseFilter* filter, PIN_DIRECTION dir, int index) {
    int seen = 0;
    for (const ComPtr<IPin>& pin : PinsOf(filter))
        if (DirectionOf(pin.Get()) == dir && seen++ == index)
            return pin;
    return {};
}

HRESULT ConnectChain(IGraphBuilder* graph, std::initializer_list<IBaseFilter*> filters) {
    IBaseFilter* previous = nullptr;
    for (IBaseFilter* f : filters) {
        if (previous) {
            ComPtr<IPin> out = PinOf(previous, PINDIR_OUTPUT);
            ComPtr<IPin> in = PinOf(f, PINDIR_INPUT);
            if (!out || !in)
                return E_FAIL;
            const HRESULT hr = graph->ConnectDirect(out.Get(), in.Get(), nullptr);
            if (FAILED(hr))
                return hr;
        }
        previous = f;
    }
    return S_OK;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TGraphState StateOf(IGraphBuilder* graph, LONG timeoutMs) {
    TGraphState s{E_FAIL, -1};
    if (ComPtr<IMediaControl> control = QueryInterfaceOf<IMediaControl>(graph))
        s.result = control->GetState(timeoutMs, &s.state);
    return s;
}

} // namespace kelvara::test

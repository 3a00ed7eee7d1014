#include "media/uFileDevices.h"

#include "platform/com/ClassRegistry.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceInterfaces.h"
#include "taps/uMediaHelpers.h"

#include <QFileInfo>

namespace {

// Past this many names taken, a filter is not added (a graph never holds that many).
constexpr int kMaxNameRetries = 1000;

ComPtr<IPin> PinAt(IBaseFilter* filter, size_t index) {
    const std::vector<ComPtr<IPin>> pins = PinsOf(filter);
    return index < pins.size() ? pins[index] : ComPtr<IPin>();
}

// The parent's unconnected output pin of the type for a sub-device of this index.
ComPtr<IPin> ParentPin(TGrapheMan* g, TGraphChunk* parent, REFGUID type, int index) {
    ComPtr<IPin> pin;
    if (!g || !g->CaptureGraphBuilder() || !parent || !parent->Filter())
        return pin;
    for (const bool withCategory : {true, false})
        if (SUCCEEDED(g->CaptureGraphBuilder()->FindPin(
                parent->Filter(), PINDIR_OUTPUT, withCategory ? &PIN_CATEGORY_CAPTURE : nullptr,
                &type, BOOL(true), index - 1, pin.ReleaseAndGetAddressOf())) &&
            pin)
            return pin;
    return {};
}

bool AddNamed(IGraphBuilder* graph, IBaseFilter* filter, const char16_t* name) {
    return graph->AddFilter(filter, reinterpret_cast<LPCWSTR>(name)) == S_OK;
}

} // namespace

bool AddFilterUnderFreeName(IGraphBuilder* graph, IBaseFilter* filter, const QString& name) {
    QString tried = name;
    HRESULT hr = graph->AddFilter(filter, reinterpret_cast<LPCWSTR>(tried.utf16()));
    for (int n = 1; hr == VFW_S_DUPLICATE_NAME && n <= kMaxNameRetries; ++n) {
        tried = name + QStringLiteral("_%1").arg(n);
        hr = graph->AddFilter(filter, reinterpret_cast<LPCWSTR>(tried.utf16()));
    }
    return hr == S_OK;
}

// TFileDevice

TFileDevice::TFileDevice(const QString& fileName, TFilterRec* splitter, TFilterRec* source)
    : TMediaDevice(QFileInfo(fileName).fileName(), 1), FFileName(fileName), FSource(source),
      FSplitter(splitter) {
    Probe();
}

TFileDevice::~TFileDevice() {
    Detach();
}

bool TFileDevice::Build() {
    IGraphBuilder* graph = FGrapheMan ? FGrapheMan->GraphBuilder() : nullptr;
    if (!graph || !FSource || FSource->IsNull())
        return false;
    FLastFailure = S_OK;
    FSourceFilter = FSource->GetFilter();
    const ComPtr<IFileSourceFilter> file = QueryInterfaceOf<IFileSourceFilter>(FSourceFilter.Get());
    const HRESULT loaded =
        file ? file->Load(reinterpret_cast<LPCWSTR>(FFileName.utf16()), nullptr) : E_NOINTERFACE;
    if (FAILED(loaded)) {
        FLastFailure = loaded;
        Remove();
        return false;
    }
    FFilter = FSourceFilter;
    if (!AddFilterUnderFreeName(graph, FSourceFilter.Get(), FSource->Name())) {
        Remove();
        return false;
    }
    FSplitterFilter = FSplitter ? FSplitter->GetFilter() : ComPtr<IBaseFilter>();
    if (!FSplitterFilter)
        return true;
    FFilter = FSplitterFilter;
    const ComPtr<IPin> out = PinAt(FSourceFilter.Get(), 0);
    const ComPtr<IPin> in = PinAt(FSplitterFilter.Get(), 0);
    HRESULT hr = graph->AddFilter(FSplitterFilter.Get(),
                                  reinterpret_cast<LPCWSTR>(FSplitter->Name().utf16()));
    if (hr == S_OK)
        hr = out && in ? graph->ConnectDirect(out.Get(), in.Get(), nullptr) : E_POINTER;
    if (hr != S_OK) {
        FLastFailure = FAILED(hr) ? hr : E_FAIL;
        Remove();
        return false;
    }
    return true;
}

bool TFileDevice::Remove() {
    if (FGrapheMan && FGrapheMan->GraphBuilder()) {
        if (FSplitterFilter)
            FGrapheMan->GraphBuilder()->RemoveFilter(FSplitterFilter.Get());
        if (FSourceFilter)
            FGrapheMan->GraphBuilder()->RemoveFilter(FSourceFilter.Get());
    }
    // A file source is loaded with one file only: the next build makes a new one.
    if (FSource)
        FSource->SetInstance(nullptr);
    FSplitterFilter.Reset();
    FSourceFilter.Reset();
    return true;
}

// TDVDevice

TDVDevice::TDVDevice(TMediaDevice* parent, int index)
    : TMediaDevice(parent ? parent->DisplayName() : QString(), index) {
    FParent = parent;
    FIndex = index;
    FDVSplitter = CreateInstanceOf<IBaseFilter>(CLSID_DVSplitter);
    FStage = MakeComObject<TDVCodeNotifier>();
    if (!FDVSplitter || !FStage)
        return;
    Probe();
    // A DV pin is a DV device whatever its chain gave: its parent counts it.
    FBuilt = true;
}

TDVDevice::TDVDevice(const QString& placeholder) : TMediaDevice(placeholder, 1) {}

TDVDevice::~TDVDevice() {
    Detach();
}

bool TDVDevice::Build() {
    IGraphBuilder* graph = FGrapheMan ? FGrapheMan->GraphBuilder() : nullptr;
    const ComPtr<IPin> pin = ParentPin(FGrapheMan, FParent, MEDIATYPE_Interleaved, FIndex);
    if (!graph || !pin || !FStage || !FDVSplitter ||
        !AddNamed(graph, FStage.Get(), DVCodeNotifierGraphName) ||
        !AddNamed(graph, FDVSplitter.Get(), u"DV Splitter"))
        return false;
    const ComPtr<IPin> stageIn = PinAt(FStage.Get(), 0);
    const ComPtr<IPin> stageOut = PinAt(FStage.Get(), 1);
    const ComPtr<IPin> splitterIn = PinAt(FDVSplitter.Get(), 0);
    if (!stageIn || !stageOut || !splitterIn || FAILED(graph->Connect(pin.Get(), stageIn.Get())) ||
        FAILED(graph->Connect(stageOut.Get(), splitterIn.Get())))
        return false;
    FFilter = FDVSplitter;
    return true;
}

bool TDVDevice::Remove() {
    IGraphBuilder* graph = FGrapheMan ? FGrapheMan->GraphBuilder() : nullptr;
    if (!graph)
        return false;
    const bool stage = FStage && SUCCEEDED(graph->RemoveFilter(FStage.Get()));
    const bool splitter = FDVSplitter && SUCCEEDED(graph->RemoveFilter(FDVSplitter.Get()));
    return stage && splitter;
}

// TStreamDevice

TStreamDevice::TStreamDevice(TMediaDevice* parent, int index)
    : TMediaDevice(parent ? parent->DisplayName() : QString(), index) {
    FParent = parent;
    FIndex = index;
    FDummy = MakeComObject<TAVDummy>();
    Probe();
    FBuilt = true;
}

TStreamDevice::TStreamDevice(const QString& placeholder) : TMediaDevice(placeholder, 1) {}

TStreamDevice::~TStreamDevice() {
    Detach();
}

bool TStreamDevice::Build() {
    IGraphBuilder* graph = FGrapheMan ? FGrapheMan->GraphBuilder() : nullptr;
    const ComPtr<IPin> pin = ParentPin(FGrapheMan, FParent, MEDIATYPE_Stream, FIndex);
    if (!graph || !pin || !FDummy || !AddNamed(graph, FDummy.Get(), u"AVDummy"))
        return false;
    // The platform puts whatever reads the stream between the pin and the dummy.
    const HRESULT rendered = FGrapheMan->CaptureGraphBuilder()->RenderStream(
        nullptr, nullptr, pin.Get(), nullptr, FDummy.Get());
    const ComPtr<IPin> dummyIn = PinAt(FDummy.Get(), 0);
    ComPtr<IPin> peer;
    if (dummyIn)
        dummyIn->ConnectedTo(peer.ReleaseAndGetAddressOf());
    if (peer) {
        graph->Disconnect(peer.Get());
        graph->Disconnect(dummyIn.Get());
    }
    graph->RemoveFilter(FDummy.Get());
    if (FAILED(rendered) || !peer)
        return false;
    FFilter = FilterOf(peer.Get());
    return bool(FFilter);
}

bool TStreamDevice::Remove() {
    if (!FGrapheMan || !FFilter)
        return false;
    if (FParent)
        FGrapheMan->RemoveChainBetween(FFilter.Get(), FParent->Filter());
    return SUCCEEDED(FGrapheMan->GraphBuilder()->RemoveFilter(FFilter.Get()));
}

TMediaDevice* NoDVDevice() {
    static TDVDevice placeholder(QStringLiteral("No DV"));
    return &placeholder;
}

TMediaDevice* NoStreamDevice() {
    static TStreamDevice placeholder(QStringLiteral("No Stream"));
    return &placeholder;
}

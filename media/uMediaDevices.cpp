#include "media/uMediaDevices.h"

#include "media/uFileDevices.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MediaType.h"
#include "taps/uMediaDescriptions.h"

#include <algorithm>

namespace {

// Whether any output pin of the filter is connected with one of the media major types.
bool HasMediaOutputInUse(IBaseFilter* filter) {
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        if (DirectionOf(pin.Get()) != PINDIR_OUTPUT)
            continue;
        CMediaType type;
        if (FAILED(pin->ConnectionMediaType(&type)))
            continue;
        if (type.majortype == MEDIATYPE_Video || type.majortype == MEDIATYPE_Audio ||
            type.majortype == MEDIATYPE_Interleaved || type.majortype == MEDIATYPE_Stream)
            return true;
    }
    return false;
}

template <typename T>
void Forget(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

// TGraphChunk

TGraphChunk::TGraphChunk(const QString& name, int number) : FName(name), FNumber(number) {}

TGraphChunk::~TGraphChunk() = default;

QString TGraphChunk::DisplayName() const {
    return FNumber < 2 ? FName : FName + QStringLiteral(" #") + QString::number(FNumber);
}

REFERENCE_TIME TGraphChunk::GetDuration() {
    LONGLONG duration = 0;
    if (FGrapheMan && FGrapheMan->Seeking() &&
        SUCCEEDED(FGrapheMan->Seeking()->GetDuration(&duration)))
        return duration;
    return 0;
}

bool TGraphChunk::Attach(TGrapheMan* g) {
    if (g == FGrapheMan)
        return true;
    FGrapheMan = g;
    FFilter.Reset();
    if (FParent && (!FParent->Attach(g) || !FParent->Filter()))
        return false;
    return Build();
}

bool TGraphChunk::AttachSelf(TGrapheMan* g) {
    FFilter.Reset();
    if (g == FGrapheMan)
        return true;
    FGrapheMan = g;
    return Build();
}

bool TGraphChunk::Detach() {
    if (!FGrapheMan)
        return true;
    const bool removed = Remove();
    FGrapheMan = nullptr;
    return removed;
}

bool TGraphChunk::DetachChain() {
    bool result = Detach();
    if (result && FParent)
        result = FParent->DetachChain();
    FFilter.Reset();
    return result;
}

TGraphChunk* TGraphChunk::Root() {
    TGraphChunk* root = FParent;
    while (root && root->FParent)
        root = root->FParent;
    return root;
}

// TMediaDevice

TMediaDevice::TMediaDevice(const QString& name, int number) : TGraphChunk(name, number) {}

TMediaDevice::~TMediaDevice() = default;

TVideoSource* TMediaDevice::VideoSource(int index) const {
    return index >= 0 && index < int(FVideoSources.size()) ? FVideoSources[size_t(index)] : nullptr;
}

TAudioSource* TMediaDevice::AudioSource(int index) const {
    return index >= 0 && index < int(FAudioSources.size()) ? FAudioSources[size_t(index)] : nullptr;
}

TMediaDevice* TMediaDevice::DVDevice(int index) const {
    return index >= 0 && index < int(FDVDevices.size()) ? FDVDevices[size_t(index)].get() : nullptr;
}

TMediaDevice* TMediaDevice::StreamDevice(int index) const {
    return index >= 0 && index < int(FStreamDevices.size()) ? FStreamDevices[size_t(index)].get()
                                                            : nullptr;
}

void TMediaDevice::AddSourcesOf(TMediaDevice* device) {
    for (TVideoSource* source : device->FVideoSources) {
        FVideoSources.push_back(source);
        ++FVideoCount;
    }
    for (TAudioSource* source : device->FAudioSources) {
        FAudioSources.push_back(source);
        ++FAudioCount;
    }
}

ComPtr<IPin> TMediaDevice::FindOutput(REFGUID type, int index, bool withCategory) const {
    ComPtr<IPin> pin;
    ICaptureGraphBuilder2* builder = FGrapheMan ? FGrapheMan->CaptureGraphBuilder() : nullptr;
    if (builder && FFilter)
        builder->FindPin(FFilter.Get(), PINDIR_OUTPUT,
                         withCategory ? &PIN_CATEGORY_CAPTURE : nullptr, &type, BOOL(true), index,
                         pin.ReleaseAndGetAddressOf());
    return pin;
}

template <typename TDevice>
void TMediaDevice::ProbeSubDevices(REFGUID type, int& count,
                                   std::vector<std::unique_ptr<TMediaDevice>>& into) {
    for (const bool withCategory : {true, false}) {
        while (FindOutput(type, count, withCategory)) {
            auto device = std::make_unique<TDevice>(this, count + 1);
            if (!device->Built())
                break; // a pin whose chain cannot be made ends the search there
            ++count;
            AddSourcesOf(device.get());
            into.push_back(std::move(device));
        }
        if (count > 0)
            return;
    }
}

template <typename TSource>
void TMediaDevice::ProbeSources(REFGUID type, int& count, std::vector<TSource*>& list) {
    for (const bool withCategory : {true, false}) {
        while (FindOutput(type, count, withCategory)) {
            ++count;
            auto source = std::make_unique<TSource>(this, count);
            list.push_back(source.get());
            FOwnSources.push_back(std::move(source));
        }
        if (count > 0)
            return;
    }
}

void TMediaDevice::Probe() {
    std::unique_ptr<TGrapheMan> own;
    TGrapheMan* graph = FParent ? FParent->GrapheMan() : nullptr;
    if (!graph) {
        own = std::make_unique<TGrapheMan>();
        graph = own.get();
    }
    if (AttachSelf(graph) && FFilter) {
        FBuilt = true;
        ProbeSubDevices<TDVDevice>(MEDIATYPE_Interleaved, FDVCount, FDVDevices);
        ProbeSubDevices<TStreamDevice>(MEDIATYPE_Stream, FStreamCount, FStreamDevices);
        if (FDVCount == 0 && FStreamCount == 0) {
            ProbeSources(MEDIATYPE_Video, FVideoCount, FVideoSources);
            ProbeSources(MEDIATYPE_Audio, FAudioCount, FAudioSources);
        }
    }
    // The probe leaves nothing in the graph (also after a build that failed half-way).
    Detach();
    FFilter.Reset();
}

// TavSource

TavSource::TavSource(TMediaDevice* device, int index, const QString& name)
    : TGraphChunk(device ? device->DisplayName() : name, 1) {
    FParent = device;
    FIndex = index;
}

ComPtr<IPin> TavSource::FindPin(REFGUID type) const {
    ComPtr<IPin> pin;
    ICaptureGraphBuilder2* builder = FGrapheMan ? FGrapheMan->CaptureGraphBuilder() : nullptr;
    if (!builder || !FParent || !FParent->Filter())
        return pin;
    for (const bool withCategory : {true, false})
        if (SUCCEEDED(builder->FindPin(FParent->Filter(), PINDIR_OUTPUT,
                                       withCategory ? &PIN_CATEGORY_CAPTURE : nullptr, &type,
                                       BOOL(true), FIndex - 1, pin.ReleaseAndGetAddressOf())) &&
            pin)
            return pin;
    return {};
}

bool TavSource::AttachParent(TGrapheMan* g) {
    return FParent && FParent->Attach(g) && FParent->Filter();
}

bool TavSource::RenderInto(IPin* pin, IBaseFilter* tap, const QString& name) {
    IGraphBuilder* graph = FGrapheMan->GraphBuilder();
    HRESULT hr = graph->AddFilter(tap, reinterpret_cast<LPCWSTR>(name.utf16()));
    if (SUCCEEDED(hr))
        hr = FGrapheMan->CaptureGraphBuilder()->RenderStream(nullptr, nullptr, pin, nullptr, tap);
    FLastFailure = FAILED(hr) ? hr : S_OK;
    return SUCCEEDED(hr);
}

void TavSource::DetachParentWhenUnused() {
    if (FParent && !HasMediaOutputInUse(FParent->Filter()))
        FParent->DetachChain();
}

// TVideoSource

TVideoSource::TVideoSource(TMediaDevice* device, int index, const QString& name)
    : TavSource(device, index, name), FTap(MakeComObject<TVideoNotifier>()) {
    FBuilt = device && device->Built() && index > 0 && index <= device->VideoCount();
}

bool TVideoSource::Connect(TGrapheMan* g, const TWindowHandle& window) {
    if (g == FGrapheMan)
        return true;
    FGrapheMan = g;
    if (g && std::find(g->AttachedVideoSources.begin(), g->AttachedVideoSources.end(), this) ==
                 g->AttachedVideoSources.end())
        g->AttachedVideoSources.push_back(this);
    if (!g || !AttachParent(g))
        return false;
    FTap->ResetStreamData();
    FTap->SetIsDVDevice(dynamic_cast<TDVDevice*>(FParent) != nullptr);
    FTap->SetVideoWindow(window);
    FTap->SetVideoDataRelay(true);
    const ComPtr<IPin> pin = FindPin(MEDIATYPE_Video);
    if (!pin || !RenderInto(pin.Get(), FTap.Get(), QString::fromUtf16(VideoNotifierGraphName)))
        return false;
    CopyKeyFrom(*FTap);
    return true;
}

bool TVideoSource::Disconnect() {
    TGrapheMan* const g = FGrapheMan;
    FGrapheMan = nullptr;
    if (!g || !FParent)
        return false;
    Forget(g->AttachedVideoSources, this);
    if (FAILED(g->GraphBuilder()->RemoveFilter(FTap.Get())))
        return false;
    FTap->SetVideoDataRelay(false);
    DetachParentWhenUnused();
    return true;
}

// TAudioSource

TAudioSource::TAudioSource(TMediaDevice* device, int index, const QString& name)
    : TavSource(device, index, name), FTap(MakeComObject<TAudioNotifier>()) {
    FBuilt = device && device->Built() && index > 0 && index <= device->AudioCount();
}

bool TAudioSource::Connect(TGrapheMan* g, const TWindowHandle& window) {
    if (g == FGrapheMan)
        return true;
    FGrapheMan = g;
    if (g && std::find(g->AttachedAudioSources.begin(), g->AttachedAudioSources.end(), this) ==
                 g->AttachedAudioSources.end())
        g->AttachedAudioSources.push_back(this);
    if (!g || !AttachParent(g))
        return false;
    FTap->ResetStreamData();
    const ComPtr<IPin> pin = FindPin(MEDIATYPE_Audio);
    if (!pin)
        return false;
    FTap->SetAudioWindow(window);
    FTap->SetAudioDataRelay(true);
    FTap->SetIsDVDevice(dynamic_cast<TDVDevice*>(FParent) != nullptr);
    if (!RenderInto(pin.Get(), FTap.Get(), QString::fromUtf16(AudioNotifierGraphName)))
        return false;
    CMediaType type;
    if (SUCCEEDED(pin->ConnectionMediaType(&type)))
        FTap->SetFormatName(AudioFormatName(type));
    CopyKeyFrom(*FTap);
    return true;
}

bool TAudioSource::Disconnect() {
    TGrapheMan* const g = FGrapheMan;
    FGrapheMan = nullptr;
    if (!g || !FParent)
        return false;
    Forget(g->AttachedAudioSources, this);
    FTap->SetAudioDataRelay(false);
    if (FAILED(g->GraphBuilder()->RemoveFilter(FTap.Get())))
        return false;
    DetachParentWhenUnused();
    return true;
}

TVideoSource* NoVideoSource() {
    static TVideoSource placeholder(nullptr, 1, QStringLiteral("No Video"));
    return &placeholder;
}

TAudioSource* NoAudioSource() {
    static TAudioSource placeholder(nullptr, 1, QStringLiteral("No Audio"));
    return &placeholder;
}

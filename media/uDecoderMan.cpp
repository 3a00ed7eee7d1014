#include "media/uDecoders.h"
#include "media/uGrapheMan.h"
#include "platform/com/CUnknown.h"
#include "platform/com/Guid.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/GraphTrace.h"
#include "taps/uMediaHelpers.h"

// The graph's site while a decoder manager connects: it hands the graph's questions to the
// manager, for as long as the manager lives.
class TDecoderSite : public CUnknown, public IAMGraphBuilderCallback {
public:
    explicit TDecoderSite(TDecoderMan* manager) : FManager(manager) {}
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IAMGraphBuilderCallback)
            return GetInterface(static_cast<IAMGraphBuilderCallback*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    HRESULT SelectedFilter(IMoniker* pMon) override {
        return FManager ? FManager->SelectedFilter(pMon) : S_OK;
    }
    HRESULT CreatedFilter(IBaseFilter*) override { return S_OK; }
    void Detach() { FManager = nullptr; }

private:
    IUnknown* UnknownInterface() override { return static_cast<IAMGraphBuilderCallback*>(this); }
    TDecoderMan* FManager;
};

namespace {

// Makes the decoder manager the graph's site for the scope's lifetime.
class TSiteScope {
public:
    TSiteScope(IGraphBuilder* graph, IUnknown* site)
        : FSite(QueryInterfaceOf<IObjectWithSite>(graph)) {
        if (FSite)
            FSite->SetSite(site);
    }
    ~TSiteScope() {
        if (FSite)
            FSite->SetSite(nullptr);
    }
    TSiteScope(const TSiteScope&) = delete;
    TSiteScope& operator=(const TSiteScope&) = delete;

private:
    ComPtr<IObjectWithSite> FSite;
};

ComPtr<IPin> PinAt(IBaseFilter* filter, size_t index) {
    const std::vector<ComPtr<IPin>> pins = PinsOf(filter);
    return index < pins.size() ? pins[index] : ComPtr<IPin>();
}

QString FilterName(IBaseFilter* filter) {
    FILTER_INFO info{};
    if (FAILED(filter->QueryFilterInfo(&info)))
        return {};
    if (info.pGraph)
        info.pGraph->Release();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(info.achName)).left(128);
}

} // namespace

TDecoderMan::TDecoderMan() : FSite(MakeComObject<TDecoderSite>(this)) {}

TDecoderMan::~TDecoderMan() {
    FSite->Detach();
}

void TDecoderMan::SetLinks(const TDecoderLinks* exclusions, TDecoderLinks* memory,
                           TFilterRec* noDecoder) {
    FExclusions = exclusions;
    FMemory = memory;
    FNoDecoder = noDecoder;
}

void TDecoderMan::ResetSelection() {
    FExclusionSet.clear();
    FCandidateIndex = 0;
    FStage = 0;
}

bool TDecoderMan::ConnectDecoder(IBaseFilter* tap, IBaseFilter* renderer) {
    if (!FGraph || !FGraph->GraphBuilder() || !tap || !renderer)
        return false;
    FTap = tap;
    FRenderer = renderer;
    FLastFailure = S_OK;
    const TSiteScope site(FGraph->GraphBuilder(),
                          static_cast<IAMGraphBuilderCallback*>(FSite.Get()));
    const ComPtr<IPin> tapInput = PinAt(tap, 0);
    FTapOutput = PinAt(tap, 1);
    FRendererInput = PinAt(renderer, 0);
    CMediaType type;
    if (tapInput && SUCCEEDED(tapInput->ConnectionMediaType(&type)))
        FKey = MediaTypeKeyOf(type);
    if (FStage == 0) {
        FStage = 1;
        FCandidateIndex = 0;
        if (RememberedDecoder && !RememberedDecoder->IsNull() && TryDecoder(RememberedDecoder))
            return true;
    }
    if (FStage == 1) {
        while (FCandidateIndex < int(Candidates.size())) {
            TFilterRec* candidate = Candidates[size_t(FCandidateIndex++)];
            if (RememberedDecoder && candidate && candidate->Name() == RememberedDecoder->Name() &&
                candidate->Clsid() == RememberedDecoder->Clsid())
                continue;
            if (TryDecoder(candidate))
                return true;
        }
        FStage = 2;
        FCandidateIndex = 0;
        FExclusionSet.clear();
        CollectExclusions();
    }
    return ConnectByPlatform();
}

void TDecoderMan::CollectExclusions() {
    if (!FExclusions)
        return;
    const auto matches = [](REFGUID entry, REFGUID key) {
        return entry == GUID_NULL || entry == key;
    };
    for (int i = 0; i < FExclusions->Count(); ++i) {
        const TDecoderLink& link = (*FExclusions)[i];
        if (link.Record && matches(link.Key.Major, FKey.Major) && matches(link.Key.Sub, FKey.Sub) &&
            matches(link.Key.Format, FKey.Format))
            Exclude(link.Record->Clsid());
    }
}

void TDecoderMan::Exclude(REFCLSID clsid) {
    const QString text = GuidToString(clsid);
    if (!FExclusionSet.contains(text))
        FExclusionSet.push_back(text);
}

HRESULT TDecoderMan::SelectedFilter(IMoniker* moniker) {
    ComPtr<IBaseFilter> filter;
    if (!moniker ||
        FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                     filter.ReleaseAndGetVoidAddressOf())) ||
        !filter)
        return E_FAIL;
    CLSID clsid = GUID_NULL;
    filter->GetClassID(&clsid);
    if (FExclusionSet.contains(GuidToString(clsid))) {
        GRAPH_TRACE(
            QStringLiteral("decoder %1: excluded for this stream").arg(GuidToString(clsid)));
        return E_FAIL;
    }
    return S_OK;
}

bool TDecoderMan::ConnectTapToRenderer() {
    if (!FTapOutput || !FRendererInput)
        return false;
    const HRESULT hr = FGraph->GraphBuilder()->Connect(FTapOutput.Get(), FRendererInput.Get());
    if (FAILED(hr))
        FLastFailure = hr;
    return SUCCEEDED(hr);
}

bool TDecoderMan::TryDecoder(TFilterRec* record) {
    if (!record || record->IsNull() || !AddDecoder(record))
        return false;
    if (ConnectTapToRenderer() && HasConnectedPin(record->Instance()))
        return AfterDecoder(record);
    FGraph->RemoveChainBetween(FRenderer.Get(), FTap.Get());
    RemoveDecoder(record);
    return false;
}

bool TDecoderMan::AddDecoder(TFilterRec* record) {
    const ComPtr<IBaseFilter> filter = record ? record->GetFilter() : ComPtr<IBaseFilter>();
    if (!filter)
        return false;
    IGraphBuilder* graph = FGraph->GraphBuilder();
    QString name = record->Name();
    HRESULT hr = graph->AddFilter(filter.Get(), reinterpret_cast<LPCWSTR>(name.utf16()));
    for (int n = 1; hr == VFW_S_DUPLICATE_NAME; ++n) {
        name = record->Name() + QStringLiteral("_%1").arg(n);
        hr = graph->AddFilter(filter.Get(), reinterpret_cast<LPCWSTR>(name.utf16()));
    }
    return hr == S_OK;
}

bool TDecoderMan::RemoveDecoder(TFilterRec* record) {
    if (!record)
        return false;
    const HRESULT hr =
        record->Instance() ? FGraph->GraphBuilder()->RemoveFilter(record->Instance()) : E_POINTER;
    record->SetInstance(nullptr);
    return SUCCEEDED(hr);
}

bool TDecoderMan::SplicedAfter(const TFilterRec* record) const {
    return record && !record->IsNull() &&
           (!CurrentDecoder || record->Clsid() != CurrentDecoder->Clsid());
}

bool TDecoderMan::AfterDecoder(TFilterRec* record) {
    RecordDecoder(record);
    bool result = true;
    // A post-decoder filter that cannot be made (its package is missing) is left out: blaming
    // the decoder for it would leave no decoder at all.
    if (SplicedAfter(PostDecoderFilter) && PostDecoderFilter->GetFilter())
        result = InsertAfterDecoder(PostDecoderFilter);
    if (result && SplicedAfter(FinalFilter))
        result = InsertAfterDecoder(FinalFilter);
    return result;
}

void TDecoderMan::RecordDecoder(TFilterRec* record) {
    if (record) {
        CurrentDecoder = record;
    } else {
        ComPtr<IPin> peer;
        if (!FTapOutput || FAILED(FTapOutput->ConnectedTo(peer.ReleaseAndGetAddressOf())) || !peer)
            return;
        if (peer.Get() == FRendererInput.Get()) {
            CurrentDecoder = FNoDecoder;
        } else {
            const ComPtr<IBaseFilter> decoder = FilterOf(peer.Get());
            CLSID clsid = GUID_NULL;
            if (decoder)
                decoder->GetClassID(&clsid);
            CurrentDecoder = TFilterRecs::Make(clsid, fkRegistered,
                                               decoder ? FilterName(decoder.Get()) : QString());
        }
    }
    if (FMemory && CurrentDecoder)
        FMemory->SetLink(FKey, CurrentDecoder);
}

bool TDecoderMan::InsertAfterDecoder(TFilterRec* record) {
    if (!AddDecoder(record))
        return false;
    if (SUCCEEDED(FGraph->InsertIntoConnection(record->Instance(), FRendererInput.Get(), false)))
        return true;
    // The decoder is blamed: the platform's next choice will be another one.
    FGraph->ClearBetween(FRenderer.Get(), FTap.Get());
    if (CurrentDecoder)
        Exclude(CurrentDecoder->Clsid());
    RemoveDecoder(record);
    return false;
}

bool TDecoderMan::ConnectByPlatform() {
    return ConnectTapToRenderer() && AfterDecoder(nullptr);
}

bool TDecoderMan::RemoveCurrentDecoder() {
    if (!FGraph || !FGraph->RemoveChainBetween(FRenderer.Get(), FTap.Get()))
        return false;
    if (CurrentDecoder) {
        if (IBaseFilter* filter = CurrentDecoder->Instance())
            FGraph->GraphBuilder()->RemoveFilter(filter);
        CurrentDecoder->SetInstance(nullptr);
    }
    CurrentDecoder = FNoDecoder;
    return true;
}

bool TDecoderMan::NextDecoder() {
    if (!FGraph || !CurrentDecoder)
        return false;
    OAFilterState state = State_Stopped;
    if (const ComPtr<IMediaControl> control =
            QueryInterfaceOf<IMediaControl>(FGraph->GraphBuilder()))
        control->GetState(0, &state);
    FGraph->Stop();
    if (FStage == 2) {
        Exclude(CurrentDecoder->Clsid());
        if (FMemory)
            FMemory->DeleteLink(FKey);
    }
    bool result = false;
    if (RemoveCurrentDecoder()) {
        result = ConnectDecoder(FTap.Get(), FRenderer.Get());
        if (!result) {
            // Nothing more connects: start again from the remembered decoder.
            ResetSelection();
            result = ConnectDecoder(FTap.Get(), FRenderer.Get());
        }
    }
    if (state == State_Running)
        FGraph->Play();
    else
        FGraph->Pause();
    return result;
}

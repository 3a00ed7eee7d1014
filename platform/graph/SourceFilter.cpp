#include "platform/graph/SourceFilter.h"

#include "platform/graph/SourceSeeking.h"
#include "platform/graph/SourceStream.h"

CSource::CSource(const QString& objectName, REFCLSID clsid) : CBaseFilter(objectName, clsid) {}

CSource::~CSource() = default;

int CSource::GetPinCount() {
    std::lock_guard lock(FPinsLock);
    return int(FPins.size());
}

CBasePin* CSource::GetPin(int n) {
    std::lock_guard lock(FPinsLock);
    return n >= 0 && n < int(FPins.size()) ? FPins[size_t(n)].get() : nullptr;
}

HRESULT CSource::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CSourceStream* CSource::AddPin(std::unique_ptr<CSourceStream> pin) {
    std::lock_guard lock(FPinsLock);
    FPins.push_back(std::move(pin));
    return FPins.back().get();
}

void CSource::SetSeeking(std::unique_ptr<CSourceSeeking> seeking) {
    FSeeking = std::move(seeking);
}

HRESULT CSource::RestartStreams() {
    std::vector<CSourceStream*> active;
    {
        std::lock_guard lock(FPinsLock);
        for (auto& pin : FPins)
            if (pin->IsConnected() && pin->IsStreaming())
                active.push_back(pin.get());
    }
    // Flush first: it releases threads blocked downstream (a paused renderer holding a sample).
    for (CSourceStream* pin : active)
        pin->DeliverBeginFlush();
    for (CSourceStream* pin : active)
        pin->PauseStreaming();
    for (CSourceStream* pin : active)
        pin->DeliverEndFlush();
    for (CSourceStream* pin : active)
        pin->ResumeStreaming();
    return S_OK;
}

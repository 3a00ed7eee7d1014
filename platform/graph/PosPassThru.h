#pragma once
// IMediaSeeking passed upstream: every call goes to the pin connected to `pin` (the input pin of
// a transform or renderer), so that a seek on a renderer reaches the filter that owns the
// stream. Lives inside a pin or filter and counts its references on it.
#include "platform/com/ComPtr.h"
#include "platform/graph/PinInterfaces.h"
#include "platform/graph/SeekingInterfaces.h"

#include <functional>

class CPosPassThru : public IMediaSeeking {
public:
    // owner: the object that hands this interface out (its IUnknown); pin: the input pin whose
    // peer is asked.
    CPosPassThru(IUnknown* owner, IPin* pin);
    virtual ~CPosPassThru() = default;
    CPosPassThru(const CPosPassThru&) = delete;
    CPosPassThru& operator=(const CPosPassThru&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        return FOwner->QueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return FOwner->AddRef(); }
    ULONG Release() override { return FOwner->Release(); }

    HRESULT GetCapabilities(DWORD* pCapabilities) override;
    HRESULT CheckCapabilities(DWORD* pCapabilities) override;
    HRESULT IsFormatSupported(const GUID* pFormat) override;
    HRESULT QueryPreferredFormat(GUID* pFormat) override;
    HRESULT GetTimeFormat(GUID* pFormat) override;
    HRESULT IsUsingTimeFormat(const GUID* pFormat) override;
    HRESULT SetTimeFormat(const GUID* pFormat) override;
    HRESULT GetDuration(LONGLONG* pDuration) override;
    HRESULT GetStopPosition(LONGLONG* pStop) override;
    HRESULT GetCurrentPosition(LONGLONG* pCurrent) override;
    HRESULT ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                              const GUID* pSourceFormat) override;
    HRESULT SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                         DWORD dwStopFlags) override;
    HRESULT GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
    HRESULT GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) override;
    HRESULT SetRate(double dRate) override;
    HRESULT GetRate(double* pdRate) override;
    HRESULT GetPreroll(LONGLONG* pllPreroll) override;

    // Renderers answer the current position themselves (what they present); without it the
    // question goes upstream.
    void SetCurrentPositionSource(std::function<HRESULT(LONGLONG*)> source) {
        FCurrentPosition = std::move(source);
    }

private:
    ComPtr<IMediaSeeking> PeerSeeking() const;

    IUnknown* FOwner;
    IPin* FPin;
    std::function<HRESULT(LONGLONG*)> FCurrentPosition;
};

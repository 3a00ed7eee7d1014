#include "platform/graph/BasePin.h"

#include "platform/com/NoThrow.h"
#include "platform/graph/BaseFilter.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"

#include <vector>

CBasePin::CBasePin(const QString& objectName, CBaseFilter* filter, HRESULT* phr,
                   const QString& pinName, PIN_DIRECTION dir)
    : FFilter(filter), FObjectName(objectName), FName(pinName), FDirection(dir) {
    if (phr && !filter)
        *phr = E_POINTER;
}

CBasePin::~CBasePin() = default;

HRESULT CBasePin::QueryInterface(REFIID riid, void** ppv) {
    return NonDelegatingQueryInterface(riid, ppv);
}

ULONG CBasePin::AddRef() {
    return FFilter->NonDelegatingAddRef();
}

ULONG CBasePin::Release() {
    return FFilter->NonDelegatingRelease();
}

HRESULT CBasePin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPin)
        return GetInterface(static_cast<IPin*>(this), ppv);
    if (riid == IID_IKsPropertySet && FCategory != GUID_NULL)
        return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

bool CBasePin::IsConnected() const {
    std::lock_guard lock(FConnectionLock);
    return bool(FConnected);
}

ComPtr<IPin> CBasePin::GetConnected() const {
    std::lock_guard lock(FConnectionLock);
    return FConnected;
}

CMediaType CBasePin::CurrentMediaType() const {
    std::lock_guard lock(FConnectionLock);
    return FMediaType;
}

bool CBasePin::IsStopped() const {
    return FFilter->IsStopped();
}

void CBasePin::SetConnection(IPin* peer, const CMediaType* pmt) {
    std::lock_guard lock(FConnectionLock);
    FConnected = peer;
    if (pmt)
        FMediaType = *pmt;
}

void CBasePin::ClearConnection() {
    ComPtr<IPin> released;
    std::lock_guard lock(FConnectionLock);
    released = std::move(FConnected);
    FMediaType = CMediaType();
}

HRESULT CBasePin::Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) {
    if (!pReceivePin)
        return E_POINTER;
    if (IsConnected())
        return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    bool threw = false;
    const HRESULT hr = HResultOf([&] { return AgreeMediaType(pReceivePin, pmt); }, &threw);
    if (threw)
        UndoHalfConnection();
    return hr;
}

void CBasePin::UndoHalfConnection() {
    if (ComPtr<IPin> peer = GetConnected())
        peer->Disconnect();
    ClearConnection();
    BreakConnect();
}

HRESULT CBasePin::AgreeMediaType(IPin* pReceivePin, const CMediaType* pmt) {
    if (pmt && !pmt->IsPartiallySpecified())
        return AttemptConnection(pReceivePin, pmt);
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int pass = 0; pass < 2; ++pass) {
        const bool mine = (pass == 0) == FTryMyTypesFirst;
        ComPtr<IEnumMediaTypes> types;
        const HRESULT hr = mine ? EnumMediaTypes(types.ReleaseAndGetAddressOf())
                                : pReceivePin->EnumMediaTypes(types.ReleaseAndGetAddressOf());
        if (SUCCEEDED(hr) && types) {
            const HRESULT tried = TryMediaTypes(pReceivePin, pmt, types.Get());
            if (SUCCEEDED(tried))
                return tried;
            if (tried != VFW_E_NO_ACCEPTABLE_TYPES)
                failure = tried;
        }
    }
    return failure;
}

HRESULT CBasePin::TryMediaTypes(IPin* pReceivePin, const CMediaType* pmt, IEnumMediaTypes* pEnum) {
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    AM_MEDIA_TYPE* raw = nullptr;
    for (int tried = 0; tried < 1024 && pEnum->Next(1, &raw, nullptr) == S_OK; ++tried) {
        MediaTypePtr type(raw);
        if (!type || (pmt && !type->MatchesPartial(*pmt)))
            continue;
        const HRESULT hr = AttemptConnection(pReceivePin, type.get());
        if (SUCCEEDED(hr))
            return hr;
        if (hr != E_FAIL && hr != VFW_E_TYPE_NOT_ACCEPTED)
            failure = hr;
    }
    return failure;
}

HRESULT CBasePin::AttemptConnection(IPin* pReceivePin, const CMediaType* pmt) {
    HRESULT hr = CheckConnect(pReceivePin);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    hr = CheckMediaType(pmt);
    if (hr != S_OK) {
        BreakConnect();
        return SUCCEEDED(hr) || hr == E_FAIL || hr == E_INVALIDARG ? VFW_E_TYPE_NOT_ACCEPTED : hr;
    }
    // The peer and type are recorded before the other pin is asked, so that it can read them
    // back (ConnectionMediaType) while it completes its side.
    SetConnection(pReceivePin, pmt);
    hr = SetMediaType(pmt);
    if (SUCCEEDED(hr))
        hr = pReceivePin->ReceiveConnection(this, pmt);
    if (SUCCEEDED(hr)) {
        hr = CompleteConnect(pReceivePin);
        if (FAILED(hr))
            pReceivePin->Disconnect();
    }
    if (FAILED(hr)) {
        ClearConnection();
        BreakConnect();
    }
    return hr;
}

HRESULT CBasePin::ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) {
    if (!pConnector || !pmt)
        return E_POINTER;
    if (IsConnected())
        return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    bool threw = false;
    const HRESULT hr = HResultOf([&] { return AcceptConnection(pConnector, pmt); }, &threw);
    if (threw) {
        ClearConnection();
        BreakConnect();
    }
    return hr;
}

HRESULT CBasePin::AcceptConnection(IPin* pConnector, const CMediaType* pmt) {
    HRESULT hr = CheckConnect(pConnector);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    hr = CheckMediaType(pmt);
    if (hr != S_OK) {
        BreakConnect();
        return SUCCEEDED(hr) || hr == E_FAIL || hr == E_INVALIDARG ? VFW_E_TYPE_NOT_ACCEPTED : hr;
    }
    SetConnection(pConnector, pmt);
    hr = SetMediaType(pmt);
    if (SUCCEEDED(hr))
        hr = CompleteConnect(pConnector);
    if (FAILED(hr)) {
        ClearConnection();
        BreakConnect();
    }
    return hr;
}

HRESULT CBasePin::Disconnect() {
    if (!IsConnected())
        return S_FALSE;
    BreakConnect();
    ClearConnection();
    return S_OK;
}

HRESULT CBasePin::ConnectedTo(IPin** pPin) {
    if (!pPin)
        return E_POINTER;
    *pPin = nullptr;
    ComPtr<IPin> peer = GetConnected();
    if (!peer)
        return VFW_E_NOT_CONNECTED;
    return peer.CopyTo(pPin);
}

HRESULT CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* pmt) {
    if (!pmt)
        return E_POINTER;
    std::lock_guard lock(FConnectionLock);
    if (!FConnected) {
        *pmt = AM_MEDIA_TYPE();
        return VFW_E_NOT_CONNECTED;
    }
    *pmt = FMediaType;
    return S_OK;
}

HRESULT CBasePin::QueryPinInfo(PIN_INFO* pInfo) {
    if (!pInfo)
        return E_POINTER;
    pInfo->pFilter = FFilter;
    FFilter->AddRef();
    pInfo->dir = FDirection;
    CopyToNameBuffer(FName, pInfo->achName, MAX_PIN_NAME);
    return S_OK;
}

HRESULT CBasePin::QueryDirection(PIN_DIRECTION* pPinDir) {
    if (!pPinDir)
        return E_POINTER;
    *pPinDir = FDirection;
    return S_OK;
}

HRESULT CBasePin::QueryId(QString* id) {
    if (!id)
        return E_POINTER;
    *id = FName;
    return S_OK;
}

HRESULT CBasePin::QueryAccept(const AM_MEDIA_TYPE* pmt) {
    if (!pmt)
        return E_POINTER;
    return CheckMediaType(pmt) == S_OK ? S_OK : S_FALSE;
}

HRESULT CBasePin::EnumMediaTypes(IEnumMediaTypes** ppEnum) {
    if (!ppEnum)
        return E_POINTER;
    std::vector<AM_MEDIA_TYPE> types;
    for (int i = 0; i < 1024; ++i) {
        CMediaType type;
        if (GetMediaType(i, &type) != S_OK)
            break;
        types.push_back(std::move(type));
    }
    return ComPtr<IEnumMediaTypes>(MakeComObject<CEnumMediaTypes>(std::move(types))).CopyTo(ppEnum);
}

HRESULT CBasePin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;
}

HRESULT CBasePin::EndOfStream() {
    return S_OK;
}

HRESULT CBasePin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    FSegmentStart.store(tStart);
    FSegmentStop.store(tStop);
    FSegmentRate.store(dRate);
    return S_OK;
}

HRESULT CBasePin::SetMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    std::lock_guard lock(FConnectionLock);
    FMediaType = *pmt;
    return S_OK;
}

HRESULT CBasePin::CheckConnect(IPin* pPin) {
    PIN_DIRECTION other = PINDIR_INPUT;
    if (!pPin || FAILED(pPin->QueryDirection(&other)))
        return E_POINTER;
    return other == FDirection ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::BreakConnect() {
    return S_OK;
}

HRESULT CBasePin::CompleteConnect(IPin*) {
    return S_OK;
}

HRESULT CBasePin::GetMediaType(int iPosition, CMediaType*) {
    return iPosition < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
}

HRESULT CBasePin::Active() {
    return S_OK;
}

HRESULT CBasePin::Run(REFERENCE_TIME) {
    return S_OK;
}

HRESULT CBasePin::Inactive() {
    return S_OK;
}

HRESULT CBasePin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) {
    return E_PROP_SET_UNSUPPORTED;
}

HRESULT CBasePin::Get(REFGUID guidPropSet, DWORD dwPropID, void*, DWORD, void* pPropData,
                      DWORD cbPropData, DWORD* pcbReturned) {
    if (guidPropSet != AMPROPSETID_Pin)
        return E_PROP_SET_UNSUPPORTED;
    if (dwPropID != AMPROPERTY_PIN_CATEGORY || FCategory == GUID_NULL)
        return E_PROP_ID_UNSUPPORTED;
    if (!pPropData && !pcbReturned)
        return E_POINTER;
    if (pcbReturned)
        *pcbReturned = sizeof(GUID);
    if (!pPropData)
        return S_OK;
    if (cbPropData < sizeof(GUID))
        return E_UNEXPECTED;
    *static_cast<GUID*>(pPropData) = FCategory;
    return S_OK;
}

HRESULT CBasePin::QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) {
    if (guidPropSet != AMPROPSETID_Pin)
        return E_PROP_SET_UNSUPPORTED;
    if (dwPropID != AMPROPERTY_PIN_CATEGORY)
        return E_PROP_ID_UNSUPPORTED;
    if (pTypeSupport)
        *pTypeSupport = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

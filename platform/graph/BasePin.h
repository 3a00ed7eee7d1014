#pragma once
// Base of every pin: connection (media type agreement, CheckConnect / CompleteConnect /
// BreakConnect), the connected peer and media type, the segment given by NewSegment, and the pin
// category read through IKsPropertySet. A pin lives inside its filter: its references count on
// the filter.
//
// Thread contract: connections are made and broken on the thread that drives the graph (without
// the filter lock: a connection calls into the other filter). Streaming threads read the peer
// and the media type through GetConnected and CurrentMediaType, which copy them under the pin's
// own lock. Connect and ReceiveConnection never throw: memory running out while a connection is
// made fails it with E_OUTOFMEMORY and leaves both pins unconnected.
#include "platform/com/ComPtr.h"
#include "platform/graph/MiscInterfaces.h"
#include "platform/graph/PinInterfaces.h"

#include <atomic>
#include <mutex>

#include <QString>

class CBaseFilter;

class CBasePin : public IPin, public IKsPropertySet {
public:
    CBasePin(const QString& objectName, CBaseFilter* filter, HRESULT* phr, const QString& pinName,
             PIN_DIRECTION dir);
    virtual ~CBasePin();
    CBasePin(const CBasePin&) = delete;
    CBasePin& operator=(const CBasePin&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    virtual HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv);

    HRESULT Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) override;
    HRESULT ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pPin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* pmt) override;
    HRESULT QueryPinInfo(PIN_INFO* pInfo) override;
    HRESULT QueryDirection(PIN_DIRECTION* pPinDir) override;
    HRESULT QueryId(QString* id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* pmt) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
    HRESULT QueryInternalConnections(IPin** apPin, ULONG* nPin) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

    HRESULT Set(REFGUID guidPropSet, DWORD dwPropID, void* pInstanceData, DWORD cbInstanceData,
                void* pPropData, DWORD cbPropData) override;
    HRESULT Get(REFGUID guidPropSet, DWORD dwPropID, void* pInstanceData, DWORD cbInstanceData,
                void* pPropData, DWORD cbPropData, DWORD* pcbReturned) override;
    HRESULT QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) override;

    // S_OK when the pin accepts the type.
    virtual HRESULT CheckMediaType(const CMediaType* pmt) = 0;
    // Records the agreed type; subclasses extend it to learn the type.
    virtual HRESULT SetMediaType(const CMediaType* pmt);
    // Called with the other pin before a type is tried; the base checks the direction.
    virtual HRESULT CheckConnect(IPin* pPin);
    // Undoes what CheckConnect and CompleteConnect did; called on every failed attempt and on
    // disconnection.
    virtual HRESULT BreakConnect();
    virtual HRESULT CompleteConnect(IPin* pReceivePin);
    // The types the pin prefers, from position 0 (VFW_S_NO_MORE_ITEMS past the last).
    virtual HRESULT GetMediaType(int iPosition, CMediaType* pMediaType);
    // Called by the filter (connected pins only) when it leaves Stopped, when it runs, and when
    // it stops.
    virtual HRESULT Active();
    virtual HRESULT Run(REFERENCE_TIME tStart);
    virtual HRESULT Inactive();

    bool IsConnected() const;
    ComPtr<IPin> GetConnected() const;
    CMediaType CurrentMediaType() const;
    bool IsStopped() const;
    PIN_DIRECTION Direction() const { return FDirection; }
    QString Name() const { return FName; }
    CBaseFilter* Filter() const { return FFilter; }
    // The pin category reported through IKsPropertySet (GUID_NULL: none, and no IKsPropertySet).
    void SetPinCategory(REFGUID category) { FCategory = category; }
    GUID PinCategory() const { return FCategory; }
    // The segment of the last NewSegment.
    REFERENCE_TIME CurrentStartTime() const { return FSegmentStart.load(); }
    REFERENCE_TIME CurrentStopTime() const { return FSegmentStop.load(); }
    double CurrentRate() const { return FSegmentRate.load(); }

protected:
    // Tries the partial type pmt against the types of the other pin and then ours (ours first
    // with FTryMyTypesFirst).
    virtual HRESULT AgreeMediaType(IPin* pReceivePin, const CMediaType* pmt);
    HRESULT TryMediaTypes(IPin* pReceivePin, const CMediaType* pmt, IEnumMediaTypes* pEnum);
    HRESULT AttemptConnection(IPin* pReceivePin, const CMediaType* pmt);
    void SetConnection(IPin* peer, const CMediaType* pmt);
    void ClearConnection();

    CBaseFilter* const FFilter;
    bool FTryMyTypesFirst = false;

private:
    // ReceiveConnection's checks and steps (ReceiveConnection guards them against exceptions).
    HRESULT AcceptConnection(IPin* pConnector, const CMediaType* pmt);
    // After a connection attempt cut short by an exception: no peer, no type, nothing held.
    void UndoHalfConnection();

    QString FObjectName;
    QString FName;
    PIN_DIRECTION FDirection;
    GUID FCategory = GUID_NULL;
    mutable std::mutex FConnectionLock;
    // guarded by FConnectionLock
    ComPtr<IPin> FConnected;
    CMediaType FMediaType;
    // end of fields guarded by FConnectionLock
    std::atomic<REFERENCE_TIME> FSegmentStart{0};
    std::atomic<REFERENCE_TIME> FSegmentStop{0x7FFFFFFFFFFFFFFF};
    std::atomic<double> FSegmentRate{1.0};
};

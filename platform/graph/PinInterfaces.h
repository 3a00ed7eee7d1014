#pragma once
// Pins: the connection points of filters, and the enumerators of pins and media types.
#include "platform/com/Unknown.h"
#include "platform/graph/GraphTypes.h"
#include "platform/graph/MediaType.h"

struct IBaseFilter;

struct PIN_INFO {
    IBaseFilter* pFilter = nullptr; // holds a reference: the caller releases it
    PIN_DIRECTION dir = PINDIR_INPUT;
    WCHAR achName[MAX_PIN_NAME] = {};
};

struct IEnumMediaTypes : IUnknown {
    static constexpr IID iid{
        0x89C31040, 0x846B, 0x11CE, {0x97, 0xD3, 0x00, 0xAA, 0x00, 0x55, 0x95, 0x9A}};

    // Fills up to cMediaTypes heap copies (freed with DeleteMediaType); S_OK when all were
    // filled, S_FALSE when fewer.
    virtual HRESULT Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) = 0;
    virtual HRESULT Skip(ULONG cMediaTypes) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMediaTypes** ppEnum) = 0;
};

struct IPin : IUnknown {
    static constexpr IID iid{
        0x56A86891, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    // Output pins only: connect to pReceivePin, with pmt as a complete or partial type (null:
    // any).
    virtual HRESULT Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) = 0;
    // Input pins only: accept a connection from pConnector with the complete type pmt.
    virtual HRESULT ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) = 0;
    // Breaks this end of the connection (S_FALSE when not connected).
    virtual HRESULT Disconnect() = 0;
    // The peer with a reference, or VFW_E_NOT_CONNECTED and null.
    virtual HRESULT ConnectedTo(IPin** pPin) = 0;
    virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE* pmt) = 0;
    virtual HRESULT QueryPinInfo(PIN_INFO* pInfo) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION* pPinDir) = 0;
    virtual HRESULT QueryId(QString* id) = 0;
    virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* pmt) = 0;
    virtual HRESULT EnumMediaTypes(IEnumMediaTypes** ppEnum) = 0;
    virtual HRESULT QueryInternalConnections(IPin** apPin, ULONG* nPin) = 0;
    virtual HRESULT EndOfStream() = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
    virtual HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) = 0;
};

struct IEnumPins : IUnknown {
    static constexpr IID iid{
        0x56A86892, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    virtual HRESULT Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) = 0;
    virtual HRESULT Skip(ULONG cPins) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumPins** ppEnum) = 0;
};

inline constexpr const IID& IID_IEnumMediaTypes = IEnumMediaTypes::iid;
inline constexpr const IID& IID_IPin = IPin::iid;
inline constexpr const IID& IID_IEnumPins = IEnumPins::iid;

#pragma once
// Filters, the graph they join, and the reference clock that times them.
#include "platform/com/Unknown.h"
#include "platform/graph/GraphTypes.h"
#include "platform/graph/MediaType.h"
#include "platform/graph/PinInterfaces.h"

struct IFilterGraph;

struct IPersist : IUnknown {
    static constexpr IID iid{0x0000010C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT GetClassID(CLSID* pClassID) = 0;
};

// A clock in 100-ns units that only moves forward.
struct IReferenceClock : IUnknown {
    static constexpr IID iid{
        0x56A86897, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT GetTime(REFERENCE_TIME* pTime) = 0;
};

struct IMediaFilter : IPersist {
    static constexpr IID iid{
        0x56A86899, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    virtual HRESULT Stop() = 0;
    // S_FALSE when the filter completes the change later (a renderer waiting for data).
    virtual HRESULT Pause() = 0;
    // tStart: the reference time at which stream time 0 is due.
    virtual HRESULT Run(REFERENCE_TIME tStart) = 0;
    // VFW_S_STATE_INTERMEDIATE while a change is not complete after dwMilliSecsTimeout.
    virtual HRESULT GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) = 0;
    // Null: no clock, every sample is due at once.
    virtual HRESULT SetSyncSource(IReferenceClock* pClock) = 0;
    virtual HRESULT GetSyncSource(IReferenceClock** pClock) = 0;
};

struct FILTER_INFO {
    WCHAR achName[MAX_FILTER_NAME] = {};
    IFilterGraph* pGraph = nullptr; // holds a reference when set: the caller releases it
};

struct IBaseFilter : IMediaFilter {
    static constexpr IID iid{
        0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    virtual HRESULT EnumPins(IEnumPins** ppEnum) = 0;
    virtual HRESULT FindPin(LPCWSTR Id, IPin** ppPin) = 0;
    virtual HRESULT QueryFilterInfo(FILTER_INFO* pInfo) = 0;
    // The graph calls it when the filter is added (graph and name) and removed (nulls). The
    // filter does not hold a reference on the graph.
    virtual HRESULT JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) = 0;
    virtual HRESULT QueryVendorInfo(QString* pVendorInfo) = 0;
};

struct IEnumFilters : IUnknown {
    static constexpr IID iid{
        0x56A86893, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    virtual HRESULT Next(ULONG cFilters, IBaseFilter** ppFilter, ULONG* pcFetched) = 0;
    virtual HRESULT Skip(ULONG cFilters) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFilters** ppEnum) = 0;
};

struct IFilterGraph : IUnknown {
    static constexpr IID iid{
        0x56A8689F, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    // Names are unique in a graph: a name in use adds nothing and answers VFW_S_DUPLICATE_NAME.
    // A null or empty name gets a generated one.
    virtual HRESULT AddFilter(IBaseFilter* pFilter, LPCWSTR pName) = 0;
    // Disconnects the filter's pins (stopping it first when the graph is not stopped).
    virtual HRESULT RemoveFilter(IBaseFilter* pFilter) = 0;
    virtual HRESULT EnumFilters(IEnumFilters** ppEnum) = 0;
    virtual HRESULT FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) = 0;
    virtual HRESULT ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) = 0;
    virtual HRESULT Reconnect(IPin* ppin) = 0;
    virtual HRESULT Disconnect(IPin* ppin) = 0;
    virtual HRESULT SetDefaultSyncSource() = 0;
};

inline constexpr const IID& IID_IPersist = IPersist::iid;
inline constexpr const IID& IID_IReferenceClock = IReferenceClock::iid;
inline constexpr const IID& IID_IMediaFilter = IMediaFilter::iid;
inline constexpr const IID& IID_IBaseFilter = IBaseFilter::iid;
inline constexpr const IID& IID_IEnumFilters = IEnumFilters::iid;
inline constexpr const IID& IID_IFilterGraph = IFilterGraph::iid;

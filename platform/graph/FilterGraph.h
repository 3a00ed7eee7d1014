#pragma once
// The filter graph manager (CLSID_FilterGraph): the filters of one graph and their names,
// direct and intelligent connection, rendering, run state, seeking, the reference clock and the
// graph's events.
//
// - AddFilter: names are unique; a name in use adds nothing and answers VFW_S_DUPLICATE_NAME.
// - Connect: directly; else through a filter already in the graph with a free input pin; else
//   through registered filters whose input types match, by merit. Before a registered filter is
//   used, the site's IAMGraphBuilderCallback (IObjectWithSite::SetSite) may veto it in
//   SelectedFilter; CreatedFilter is told once it exists. Render does the same towards any
//   renderer.
// - Run / Pause / Stop go to the filters downstream first. Run waits (serving the GUI thread's
//   messages, at most two seconds) until the renderers hold their first samples before the clock
//   starts. Stop keeps the position, so that the next Run goes on from it.
// - Seeking goes to the renderers, which pass it upstream to the filter that owns the stream;
//   a seek while running pauses, seeks and runs again.
// - SetSyncSource(nullptr) runs every filter as fast as it can; SetDefaultSyncSource takes the
//   clock a filter offers, else the system clock (also chosen at the first Pause or Run).
// - Events: see GraphEvents.h (EC_COMPLETE once every renderer completed, on the GUI thread).
// - RemoveFilter works on a running graph: the filter's connections are flushed, it is stopped,
//   then disconnected.
//
// Thread contract: every method is for the thread that drives the graph (the GUI thread), under
// the graph lock; IMediaEventSink::Notify comes from any thread. Waits for streaming threads go
// through GraphWaitUntil, which serves the window messages meanwhile; a message handler that then
// calls an operation that changes the graph (building, state, seeking) would re-enter it half-way
// through its own operation: such calls are refused (an assertion in debug builds,
// VFW_E_WRONG_STATE otherwise), see InsideGraphWait.
// The graph lock is plain (TGraphMutex): code under it calls the ...Locked forms only, and a
// filter that calls back into the graph from inside one of the graph's own calls on that thread is
// refused (an assertion in debug builds, VFW_E_WRONG_STATE otherwise) instead of working on a
// half-done graph. Abort and ShouldOperationContinue take no lock.
#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/BuilderInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/GraphEvents.h"
#include "platform/graph/GraphMutex.h"
#include "platform/graph/GraphWait.h"
#include "platform/graph/SeekingInterfaces.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class CFilterGraph : public CUnknown,
                     public IGraphBuilder,
                     public IMediaControl,
                     public IMediaSeeking,
                     public IMediaFilter,
                     public IMediaEventEx,
                     public IMediaEventSink,
                     public IObjectWithSite,
                     public IGraphWaitService {
public:
    CFilterGraph();
    ~CFilterGraph() override;
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IFilterGraph
    HRESULT AddFilter(IBaseFilter* pFilter, LPCWSTR pName) override;
    HRESULT RemoveFilter(IBaseFilter* pFilter) override;
    HRESULT EnumFilters(IEnumFilters** ppEnum) override;
    HRESULT FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) override;
    HRESULT ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) override;
    HRESULT Reconnect(IPin* ppin) override;
    HRESULT Disconnect(IPin* ppin) override;
    HRESULT SetDefaultSyncSource() override;
    // IGraphBuilder
    HRESULT Connect(IPin* ppinOut, IPin* ppinIn) override;
    HRESULT Render(IPin* ppinOut) override;
    HRESULT RenderFile(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) override;
    HRESULT AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName,
                            IBaseFilter** ppFilter) override;
    HRESULT Abort() override;
    HRESULT ShouldOperationContinue() override;
    // IMediaControl and IMediaFilter
    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT StopWhenReady() override;
    HRESULT GetState(LONG msTimeout, OAFilterState* pfs) override;
    HRESULT GetClassID(CLSID* pClassID) override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    HRESULT GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) override;
    HRESULT SetSyncSource(IReferenceClock* pClock) override;
    HRESULT GetSyncSource(IReferenceClock** pClock) override;
    // IMediaSeeking
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
    // IMediaEventEx and IMediaEventSink
    HRESULT GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2,
                     LONG msTimeout) override;
    HRESULT WaitForCompletion(LONG msTimeout, LONG* pEvCode) override;
    HRESULT CancelDefaultHandling(LONG lEvCode) override;
    HRESULT RestoreDefaultHandling(LONG lEvCode) override;
    HRESULT FreeEventParams(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) override;
    HRESULT SetNotifyCallback(TGraphEventCallback callback) override;
    HRESULT SetNotifyFlags(LONG lNoNotifyFlags) override;
    HRESULT GetNotifyFlags(LONG* lplNoNotifyFlags) override;
    HRESULT Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) override;
    // IObjectWithSite
    HRESULT SetSite(IUnknown* pUnkSite) override;
    HRESULT GetSite(REFIID riid, void** ppvSite) override;
    // IGraphWaitService
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs) override;
    void WakeWaiters() override;

private:
    // True (and asserted in debug builds) when call comes from a message handler run during one
    // of the graph's waits.
    static bool RefusesReentry(const char* call);
    struct TEntry {
        ComPtr<IBaseFilter> filter;
        QString name;
    };
    IUnknown* UnknownInterface() override { return static_cast<IGraphBuilder*>(this); }

    // Filters and names (FilterGraph.cpp).
    bool ContainsLocked(IBaseFilter* filter) const;
    bool NameInUseLocked(const QString& name) const;
    QString UniqueNameLocked(const QString& base) const;
    HRESULT AddFilterLocked(IBaseFilter* filter, const QString& name);
    HRESULT RemoveFilterLocked(IBaseFilter* filter);
    void FlushAndStopForRemoval(IBaseFilter* filter);
    std::vector<ComPtr<IBaseFilter>> FiltersLocked() const;

    // Intelligent connect and render (FilterGraphConnect.cpp).
    HRESULT ConnectVia(IPin* out, IPin* in, int depth);
    HRESULT ConnectThroughGraphFilters(IPin* out, IPin* in, int depth);
    HRESULT ConnectThroughRegistered(IPin* out, IPin* in, int depth);
    HRESULT RenderVia(IPin* out, int depth);
    HRESULT RenderOutputsOf(IBaseFilter* filter, int depth);
    HRESULT RenderThroughGraphFilters(IPin* out, int depth);
    HRESULT RenderThroughRegistered(IPin* out, int depth);
    ComPtr<IBaseFilter> CreateRegistered(IMoniker* moniker);
    // out->Connect(in), remembering a refusal that says why the stream cannot be shown at all.
    HRESULT TryConnectLocked(IPin* out, IPin* in);
    // What an intelligent connect or render that failed answers: the remembered refusal, or
    // `otherwise`.
    HRESULT FailureLocked(HRESULT otherwise) const;
    void UndoConnection(IPin* out);
    bool IsUpstreamOfLocked(IBaseFilter* candidate, IBaseFilter* of, int depth = 0) const;

    // Run state and clock (FilterGraphControl.cpp).
    std::vector<ComPtr<IBaseFilter>> DownstreamFirstLocked() const;
    HRESULT PauseLocked();
    HRESULT RunLocked(REFERENCE_TIME tStart, bool computeStart);
    HRESULT StopLocked(bool keepPosition);
    HRESULT StateOfFiltersLocked(int timeoutMs);
    void ChooseClockLocked();
    HRESULT SetDefaultSyncSourceLocked();
    HRESULT GetCurrentPositionLocked(LONGLONG* pCurrent);
    HRESULT DistributeClockLocked();
    REFERENCE_TIME ClockTime() const;
    int ConnectedRendererCountLocked() const;

    // Seeking (FilterGraphSeeking.cpp).
    std::vector<ComPtr<IMediaSeeking>> SeekingRenderersLocked() const;

    mutable TGraphMutex FLock;
    // guarded by FLock
    std::vector<TEntry> FFilters;
    FILTER_STATE FState = State_Stopped;
    ComPtr<IReferenceClock> FClock;
    ComPtr<IReferenceClock> FSystemClock;
    bool FClockChosen = false;
    REFERENCE_TIME FStartTime = 0;
    REFERENCE_TIME FPausedStreamTime = 0;
    ComPtr<IUnknown> FSite;
    // The first refusal during the current intelligent connect or render that no other filter
    // can get round (memory running out, a picture larger than the program shows), S_OK when
    // none: the caller learns it instead of VFW_E_CANNOT_CONNECT.
    HRESULT FDecisiveFailure = S_OK;
    // end of fields guarded by FLock
    // Set by Abort from any thread (or from a filter inside the operation it ends), read by the
    // building code under the lock.
    std::atomic<bool> FAbort = false;
    std::shared_ptr<TGraphEventQueue> FEvents;
};

// Whether a filter is a renderer: it says so (IAMFilterMiscFlags), or it has input pins and no
// output pin.
bool IsRendererFilter(IBaseFilter* filter);

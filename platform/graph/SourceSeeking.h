#pragma once
// The position state of a seekable source (start, stop, rate, duration) and the IMediaSeeking
// logic on it, for sources built on CSource: every output pin offers IMediaSeeking and hands the
// calls here with itself as the caller. A change of start, stop or rate is made only through the
// first connected pin (the graph asks every renderer, so the other pins' calls are the same seek
// arriving again); it restarts the filter's streams with a flush and a new segment.
//
// Thread contract: called on the thread that drives the graph; the values are read by the
// streaming threads through Segment().
#include "platform/graph/SeekingInterfaces.h"

#include <mutex>

class CSource;
class CSourceStream;

struct TSourceSegment {
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    double rate = 1.0;
};

class CSourceSeeking {
public:
    CSourceSeeking(CSource* filter, REFERENCE_TIME duration,
                   DWORD capabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards |
                                        AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanGetDuration |
                                        AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetCurrentPos);
    virtual ~CSourceSeeking() = default;

    TSourceSegment Segment() const;
    REFERENCE_TIME Duration() const;
    // A new duration (a file whose length was learnt late); the stop follows when it was at
    // the end.
    void SetDuration(REFERENCE_TIME duration);

    HRESULT GetCapabilities(DWORD* pCapabilities);
    HRESULT CheckCapabilities(DWORD* pCapabilities);
    HRESULT IsFormatSupported(const GUID* pFormat);
    HRESULT QueryPreferredFormat(GUID* pFormat);
    HRESULT GetTimeFormat(GUID* pFormat);
    HRESULT IsUsingTimeFormat(const GUID* pFormat);
    HRESULT SetTimeFormat(const GUID* pFormat);
    HRESULT GetDuration(LONGLONG* pDuration);
    HRESULT GetStopPosition(LONGLONG* pStop);
    // The segment start: streams know their own position better (see CSourceStream).
    HRESULT GetCurrentPosition(LONGLONG* pCurrent);
    HRESULT ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                              const GUID* pSourceFormat);
    HRESULT SetPositions(CSourceStream* caller, LONGLONG* pCurrent, DWORD dwCurrentFlags,
                         LONGLONG* pStop, DWORD dwStopFlags);
    HRESULT GetPositions(LONGLONG* pCurrent, LONGLONG* pStop);
    HRESULT GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest);
    HRESULT SetRate(CSourceStream* caller, double dRate);
    HRESULT GetRate(double* pdRate);
    HRESULT GetPreroll(LONGLONG* pllPreroll);

protected:
    // Hooks after the values changed (the default restarts the streams).
    virtual HRESULT ChangeStart();
    virtual HRESULT ChangeStop();
    virtual HRESULT ChangeRate();

    CSource* const FFilter;

private:
    bool IsMaster(CSourceStream* caller) const;

    mutable std::mutex FLock;
    // guarded by FLock
    REFERENCE_TIME FDuration;
    REFERENCE_TIME FStart = 0;
    REFERENCE_TIME FStop;
    double FRate = 1.0;
    // end of fields guarded by FLock
    DWORD FCapabilities;
};

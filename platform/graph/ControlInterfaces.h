#pragma once
// Driving a graph (run, pause, stop, state) and the events it reports.
#include "platform/com/Unknown.h"
#include "platform/graph/GraphTypes.h"

#include <functional>

// Event codes.
inline constexpr LONG EC_COMPLETE = 0x01;
inline constexpr LONG EC_USERABORT = 0x02;
inline constexpr LONG EC_ERRORABORT = 0x03;
inline constexpr LONG EC_TIME = 0x04;
inline constexpr LONG EC_REPAINT = 0x05;
inline constexpr LONG EC_STREAM_ERROR_STOPPED = 0x06;
inline constexpr LONG EC_STREAM_ERROR_STILLPLAYING = 0x07;
inline constexpr LONG EC_ERROR_STILLPLAYING = 0x08;
inline constexpr LONG EC_VIDEO_SIZE_CHANGED = 0x0A;
inline constexpr LONG EC_QUALITY_CHANGE = 0x0B;
inline constexpr LONG EC_SHUTTING_DOWN = 0x0C;
inline constexpr LONG EC_CLOCK_CHANGED = 0x0D;
inline constexpr LONG EC_PAUSED = 0x0E;
inline constexpr LONG EC_OPENING_FILE = 0x10;
inline constexpr LONG EC_BUFFERING_DATA = 0x11;
inline constexpr LONG EC_DISPLAY_CHANGED = 0x16;
inline constexpr LONG EC_STARVATION = 0x17;
inline constexpr LONG EC_END_OF_SEGMENT = 0x1C;
inline constexpr LONG EC_SEGMENT_STARTED = 0x1D;
inline constexpr LONG EC_LENGTH_CHANGED = 0x1E;
inline constexpr LONG EC_STEP_COMPLETE = 0x24;
inline constexpr LONG EC_CLOCK_UNSET = 0x51;

// Receives the graph's events on the GUI thread, in the order they were raised: the code and
// its two parameters (EC_COMPLETE: the result and the renderer, or null once all completed).
using TGraphEventCallback = std::function<void(LONG code, LONG_PTR param1, LONG_PTR param2)>;

struct IMediaControl : IUnknown {
    static constexpr IID iid{
        0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    // S_FALSE: the graph is changing state and will complete later (see GetState).
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Stop() = 0;
    // Pauses, waits for the pause to complete, then stops: leaves the renderers showing data.
    virtual HRESULT StopWhenReady() = 0;
    // VFW_S_STATE_INTERMEDIATE when the last change did not complete within msTimeout.
    virtual HRESULT GetState(LONG msTimeout, OAFilterState* pfs) = 0;
};

struct IMediaEvent : IUnknown {
    static constexpr IID iid{
        0x56A868B6, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    // Takes the oldest queued event; E_ABORT after msTimeout without one.
    virtual HRESULT GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2,
                             LONG msTimeout) = 0;
    // Waits for EC_COMPLETE, EC_ERRORABORT or EC_USERABORT; E_ABORT after msTimeout.
    virtual HRESULT WaitForCompletion(LONG msTimeout, LONG* pEvCode) = 0;
    virtual HRESULT CancelDefaultHandling(LONG lEvCode) = 0;
    virtual HRESULT RestoreDefaultHandling(LONG lEvCode) = 0;
    virtual HRESULT FreeEventParams(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) = 0;
};

struct IMediaEventEx : IMediaEvent {
    static constexpr IID iid{
        0x56A868C0, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    // Delivers every event to the callback on the GUI thread instead of queuing it (null: queue
    // again). Events raised before the callback was set stay queued.
    virtual HRESULT SetNotifyCallback(TGraphEventCallback callback) = 0;
    virtual HRESULT SetNotifyFlags(LONG lNoNotifyFlags) = 0;
    virtual HRESULT GetNotifyFlags(LONG* lplNoNotifyFlags) = 0;
};

// What filters call, from any thread, to raise an event in their graph.
struct IMediaEventSink : IUnknown {
    static constexpr IID iid{
        0x56A868A2, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) = 0;
};

inline constexpr const IID& IID_IMediaControl = IMediaControl::iid;
inline constexpr const IID& IID_IMediaEvent = IMediaEvent::iid;
inline constexpr const IID& IID_IMediaEventEx = IMediaEventEx::iid;
inline constexpr const IID& IID_IMediaEventSink = IMediaEventSink::iid;

#pragma once
// Seeking: positions, stop, rate and duration of a stream, in a time format.
#include "platform/com/Unknown.h"
#include "platform/graph/GraphTypes.h"

// Capabilities.
inline constexpr DWORD AM_SEEKING_CanSeekAbsolute = 0x1;
inline constexpr DWORD AM_SEEKING_CanSeekForwards = 0x2;
inline constexpr DWORD AM_SEEKING_CanSeekBackwards = 0x4;
inline constexpr DWORD AM_SEEKING_CanGetCurrentPos = 0x8;
inline constexpr DWORD AM_SEEKING_CanGetStopPos = 0x10;
inline constexpr DWORD AM_SEEKING_CanGetDuration = 0x20;
inline constexpr DWORD AM_SEEKING_CanPlayBackwards = 0x40;
inline constexpr DWORD AM_SEEKING_CanDoSegments = 0x80;
inline constexpr DWORD AM_SEEKING_Source = 0x100;

// SetPositions flags.
inline constexpr DWORD AM_SEEKING_NoPositioning = 0x0;
inline constexpr DWORD AM_SEEKING_AbsolutePositioning = 0x1;
inline constexpr DWORD AM_SEEKING_RelativePositioning = 0x2;
inline constexpr DWORD AM_SEEKING_IncrementalPositioning = 0x3;
inline constexpr DWORD AM_SEEKING_PositioningBitsMask = 0x3;
inline constexpr DWORD AM_SEEKING_SeekToKeyFrame = 0x4;
inline constexpr DWORD AM_SEEKING_ReturnTime = 0x8;
inline constexpr DWORD AM_SEEKING_Segment = 0x10;
inline constexpr DWORD AM_SEEKING_NoFlush = 0x20;

struct IMediaSeeking : IUnknown {
    static constexpr IID iid{
        0x36B73880, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};

    virtual HRESULT GetCapabilities(DWORD* pCapabilities) = 0;
    // S_OK when all asked are supported, S_FALSE when some, E_FAIL when none; *pCapabilities
    // keeps those supported.
    virtual HRESULT CheckCapabilities(DWORD* pCapabilities) = 0;
    virtual HRESULT IsFormatSupported(const GUID* pFormat) = 0;
    virtual HRESULT QueryPreferredFormat(GUID* pFormat) = 0;
    virtual HRESULT GetTimeFormat(GUID* pFormat) = 0;
    virtual HRESULT IsUsingTimeFormat(const GUID* pFormat) = 0;
    virtual HRESULT SetTimeFormat(const GUID* pFormat) = 0;
    virtual HRESULT GetDuration(LONGLONG* pDuration) = 0;
    virtual HRESULT GetStopPosition(LONGLONG* pStop) = 0;
    virtual HRESULT GetCurrentPosition(LONGLONG* pCurrent) = 0;
    virtual HRESULT ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                      const GUID* pSourceFormat) = 0;
    virtual HRESULT SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                                 DWORD dwStopFlags) = 0;
    virtual HRESULT GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) = 0;
    virtual HRESULT GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) = 0;
    virtual HRESULT SetRate(double dRate) = 0;
    virtual HRESULT GetRate(double* pdRate) = 0;
    virtual HRESULT GetPreroll(LONGLONG* pllPreroll) = 0;
};

inline constexpr const IID& IID_IMediaSeeking = IMediaSeeking::iid;

#pragma once
// Small interfaces that filters and pins offer on the side: pin categories, renderer flags,
// rendering quality figures.
#include "platform/com/Unknown.h"
#include "platform/graph/GraphTypes.h"

// AMPROPSETID_Pin (MediaGuids.h) property: the pin category GUID.
inline constexpr DWORD AMPROPERTY_PIN_CATEGORY = 0;
inline constexpr DWORD AMPROPERTY_PIN_MEDIUM = 1;
inline constexpr DWORD KSPROPERTY_SUPPORT_GET = 1;
inline constexpr DWORD KSPROPERTY_SUPPORT_SET = 2;
inline constexpr HRESULT E_PROP_SET_UNSUPPORTED = HRESULT_FROM_WIN32(492);
inline constexpr HRESULT E_PROP_ID_UNSUPPORTED = HRESULT_FROM_WIN32(490);

struct IKsPropertySet : IUnknown {
    static constexpr IID iid{
        0x31EFAC30, 0x515C, 0x11D0, {0xA9, 0xAA, 0x00, 0xAA, 0x00, 0x61, 0xBE, 0x93}};

    virtual HRESULT Set(REFGUID guidPropSet, DWORD dwPropID, void* pInstanceData,
                        DWORD cbInstanceData, void* pPropData, DWORD cbPropData) = 0;
    virtual HRESULT Get(REFGUID guidPropSet, DWORD dwPropID, void* pInstanceData,
                        DWORD cbInstanceData, void* pPropData, DWORD cbPropData,
                        DWORD* pcbReturned) = 0;
    virtual HRESULT QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) = 0;
};

inline constexpr ULONG AM_FILTER_MISC_FLAGS_IS_RENDERER = 0x1;
inline constexpr ULONG AM_FILTER_MISC_FLAGS_IS_SOURCE = 0x2;

struct IAMFilterMiscFlags : IUnknown {
    static constexpr IID iid{
        0x2DD74950, 0xA890, 0x11D1, {0xAB, 0xE8, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}};
    virtual ULONG GetMiscFlags() = 0;
};

// Rendering figures of a renderer.
struct IQualProp : IUnknown {
    static constexpr IID iid{
        0x1BD0ECB0, 0xF8E2, 0x11CE, {0xAA, 0xC6, 0x00, 0x20, 0xAF, 0x0B, 0x99, 0xA3}};

    virtual HRESULT get_FramesDroppedInRenderer(int* pcFrames) = 0;
    virtual HRESULT get_FramesDrawn(int* pcFramesDrawn) = 0;
    // Frames per second times 100.
    virtual HRESULT get_AvgFrameRate(int* piAvgFrameRate) = 0;
    // Standard deviation of the frame intervals, in milliseconds.
    virtual HRESULT get_Jitter(int* iJitter) = 0;
    // Mean of (presentation - due) time, in milliseconds.
    virtual HRESULT get_AvgSyncOffset(int* piAvg) = 0;
    virtual HRESULT get_DevSyncOffset(int* piDev) = 0;
};

// A renderer that, while paused, can let the sample it holds go: the stream moves on, and the
// next sample that arrives is shown and held in its place. A step forward without a flush, so
// the decoder goes on from where it is instead of from a key frame. The other renderers of the
// graph (the sound) let theirs go too and drop what comes while paused, so that a source that
// feeds several streams from one thread is not held by them.
struct IHeldSampleRelease : IUnknown {
    static constexpr IID iid{
        0x8C1B6E52, 0x3F0A, 0x4D7E, {0x9B, 0x21, 0x5A, 0x77, 0xC4, 0x0E, 0x19, 0xD3}};
    // holdNext: S_OK when a held sample was let go; S_FALSE when the renderer is not paused
    // with a sample shown (nothing changes).
    // !holdNext: while paused, the sample held (if any) is let go and every later one dropped,
    // until the next state change or flush; S_OK, or S_FALSE when not paused.
    virtual HRESULT ReleaseHeldSample(bool holdNext) = 0;
};

// A decoder that can decode frames without passing them on, up to a sample time: the frames
// before it are decoded (the later ones are predicted from them) and dropped, as the frames
// before a seek's position are. A frame-exact step ahead so spares the work of passing on
// pictures that are never shown.
struct IDecodeAhead : IUnknown {
    static constexpr IID iid{
        0x4E6A2C19, 0x7B3D, 0x4F58, {0xA1, 0x0C, 0x62, 0xD9, 0x3E, 0x85, 0x47, 0xB2}};
    // Frames that end before sampleTime are not delivered, until the first one that does not,
    // a new segment, a flush or a stop.
    virtual HRESULT SkipUntil(REFERENCE_TIME sampleTime) = 0;
};

inline constexpr const IID& IID_IKsPropertySet = IKsPropertySet::iid;
inline constexpr const IID& IID_IAMFilterMiscFlags = IAMFilterMiscFlags::iid;
inline constexpr const IID& IID_IQualProp = IQualProp::iid;
inline constexpr const IID& IID_IHeldSampleRelease = IHeldSampleRelease::iid;
inline constexpr const IID& IID_IDecodeAhead = IDecodeAhead::iid;

#pragma once
// The interfaces of the platform's renderers, with their published IIDs: the windowless video
// renderer with its mixer (IVMRFilterConfig9, IVMRWindowlessControl9, IVMRMixerControl9,
// IVMRMixerBitmap9, IVMRMonitorConfig9, IVMRAspectRatioControl9) and the audio renderer's
// volume (IBasicAudio). Rendering figures come through IQualProp (platform/graph/MiscInterfaces.h).
//
// The toolkit stands in for the window system: a window is a QWidget, a device context is a
// QPainter that is painting on a widget (RepaintVideo) or on a QImage / QPixmap (the mixer
// bitmap's source), and a colour is a COLORREF (0x00BBGGRR).
#include "platform/com/TaskMem.h"
#include "platform/com/Unknown.h"
#include "platform/graph/GraphTypes.h"

class QImage;
class QPainter;
class QWidget;

using HWND = QWidget*;
using HDC = QPainter*;
using COLORREF = DWORD;
using UINT = uint32_t;

inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
inline constexpr BYTE GetRValue(COLORREF c) {
    return BYTE(c & 0xFF);
}
inline constexpr BYTE GetGValue(COLORREF c) {
    return BYTE((c >> 8) & 0xFF);
}
inline constexpr BYTE GetBValue(COLORREF c) {
    return BYTE((c >> 16) & 0xFF);
}

// A call that must come from the GUI thread came from another one.
inline constexpr HRESULT RPC_E_WRONG_THREAD = MakeHResult(0x8001010E);

// Rendering modes (IVMRFilterConfig9::SetRenderingMode).
inline constexpr DWORD VMR9Mode_Windowed = 0x1;
inline constexpr DWORD VMR9Mode_Windowless = 0x2;
inline constexpr DWORD VMR9Mode_Renderless = 0x4;

// Rendering preferences: RenderPrefs9_DoNotRenderBorder leaves the letter-box bars unpainted.
inline constexpr DWORD RenderPrefs9_DoNotRenderBorder = 0x1;
inline constexpr DWORD RenderPrefs9_Mask = 0x1;

// Aspect-ratio modes: stretch to the destination, or keep the picture's aspect inside it.
inline constexpr DWORD VMR9ARMode_None = 0;
inline constexpr DWORD VMR9ARMode_LetterBox = 1;

// Mixing preferences (IVMRMixerControl9::SetMixingPrefs); the filter bits choose how the mixer
// scales the streams and the alpha bitmap.
inline constexpr DWORD MixerPref9_NoDecimation = 0x1;
inline constexpr DWORD MixerPref9_DecimateOutput = 0x2;
inline constexpr DWORD MixerPref9_ARAdjustXorY = 0x4;
inline constexpr DWORD MixerPref9_NonSquareMixing = 0x8;
inline constexpr DWORD MixerPref9_DecimateMask = 0xF;
inline constexpr DWORD MixerPref9_BiLinearFiltering = 0x10;
inline constexpr DWORD MixerPref9_PointFiltering = 0x20;
inline constexpr DWORD MixerPref9_AnisotropicFiltering = 0x40;
inline constexpr DWORD MixerPref9_PyramidalQuadFiltering = 0x80;
inline constexpr DWORD MixerPref9_GaussianQuadFiltering = 0x100;
inline constexpr DWORD MixerPref9_FilteringMask = 0xFF0;
inline constexpr DWORD MixerPref9_RenderTargetRGB = 0x1000;
inline constexpr DWORD MixerPref9_RenderTargetMask = 0xFF000;

// The number of streams the mixer can take.
inline constexpr DWORD MAX_MIXER_STREAMS = 16;

// A rectangle in the mixer's output, 0 to 1 across each axis; left > right (top > bottom)
// mirrors what is drawn in it.
struct VMR9NormalizedRect {
    float left = 0;
    float top = 0;
    float right = 1;
    float bottom = 1;
    friend bool operator==(const VMR9NormalizedRect&, const VMR9NormalizedRect&) = default;
};

// Every edge within 0 to 1, and an area that is not empty.
inline bool IsValidOutputRect(const VMR9NormalizedRect& r) {
    auto inside = [](float v) { return v >= 0.0f && v <= 1.0f; }; // false for NaN
    return inside(r.left) && inside(r.top) && inside(r.right) && inside(r.bottom) &&
           r.left != r.right && r.top != r.bottom;
}

// VMR9AlphaBitmap flags.
inline constexpr DWORD VMR9AlphaBitmap_Disable = 0x1;
inline constexpr DWORD VMR9AlphaBitmap_hDC = 0x2;
inline constexpr DWORD VMR9AlphaBitmap_EntireDDS = 0x4;
inline constexpr DWORD VMR9AlphaBitmap_SrcColorKey = 0x8;
inline constexpr DWORD VMR9AlphaBitmap_SrcRect = 0x10;
inline constexpr DWORD VMR9AlphaBitmap_FilterMode = 0x20;

// The bitmap that the mixer lays over the video. Its pixels come from the image that `hdc`
// paints on (VMR9AlphaBitmap_hDC) or from `pDDS` (the surface: here an image, whose own alpha
// channel counts when it has one); they are copied when the bitmap is set.
struct VMR9AlphaBitmap {
    DWORD dwFlags = 0;
    HDC hdc = nullptr;
    const QImage* pDDS = nullptr;
    RECT rSrc;                // part of the source, in its pixels
    VMR9NormalizedRect rDest; // where it goes in the mixer's output
    float fAlpha = 1.0f;      // 0 transparent .. 1 opaque
    COLORREF clrSrcKey = 0;   // pixels of this colour are transparent (SrcColorKey)
    DWORD dwFilterMode = 0;   // MixerPref9_*Filtering (FilterMode)
};

// IVMRMonitorConfig9::GetAvailableMonitors.
inline constexpr DWORD MONITORINFOF_PRIMARY = 0x1;
struct VMR9MonitorInfo {
    UINT uDevID = 0;
    RECT rcMonitor;
    DWORD dwFlags = 0;
    WCHAR szDevice[32] = {};
    WCHAR szDescription[512] = {};
};

struct IVMRFilterConfig9 : IUnknown {
    static constexpr IID iid{
        0x5A804648, 0x4F66, 0x4867, {0x9C, 0x43, 0x4F, 0x5C, 0x82, 0x2C, 0xF1, 0xB8}};

    // 1 to MAX_MIXER_STREAMS; only before the input is connected.
    virtual HRESULT SetNumberOfStreams(DWORD dwMaxStreams) = 0;
    virtual HRESULT GetNumberOfStreams(DWORD* pdwMaxStreams) = 0;
    virtual HRESULT SetRenderingPrefs(DWORD dwRenderFlags) = 0;
    virtual HRESULT GetRenderingPrefs(DWORD* pdwRenderFlags) = 0;
    // Windowed or windowless (renderless is not offered); only before the input is connected.
    virtual HRESULT SetRenderingMode(DWORD Mode) = 0;
    virtual HRESULT GetRenderingMode(DWORD* pMode) = 0;
};

struct IVMRWindowlessControl9 : IUnknown {
    static constexpr IID iid{
        0x8F537D09, 0xF85E, 0x4414, {0xB2, 0x3B, 0x50, 0x2E, 0x54, 0xC7, 0x99, 0x27}};

    // The video's size in pixels and its picture aspect ratio (any pointer may be null).
    virtual HRESULT GetNativeVideoSize(LONG* lpWidth, LONG* lpHeight, LONG* lpARWidth,
                                       LONG* lpARHeight) = 0;
    virtual HRESULT GetMinIdealVideoSize(LONG* lpWidth, LONG* lpHeight) = 0;
    virtual HRESULT GetMaxIdealVideoSize(LONG* lpWidth, LONG* lpHeight) = 0;
    // The part of the video shown (its pixels) and where it goes in the clipping window's
    // client area. A null rectangle keeps the current one; both null is E_POINTER.
    virtual HRESULT SetVideoPosition(const RECT* lpSRCRect, const RECT* lpDSTRect) = 0;
    virtual HRESULT GetVideoPosition(RECT* lpSRCRect, RECT* lpDSTRect) = 0;
    virtual HRESULT GetAspectRatioMode(DWORD* lpAspectRatioMode) = 0;
    virtual HRESULT SetAspectRatioMode(DWORD AspectRatioMode) = 0;
    // The window the video is shown in (GUI thread only; null detaches it).
    virtual HRESULT SetVideoClippingWindow(HWND hwnd) = 0;
    // Paints the current image into the window; hdc, when given, is the painter of the
    // window's paint event (GUI thread only).
    virtual HRESULT RepaintVideo(HWND hwnd, HDC hdc) = 0;
    virtual HRESULT DisplayModeChanged() = 0;
    // The image as displayed, as a packed DIB (BITMAPINFOHEADER then 32-bit bottom-up pixels)
    // allocated with CoTaskMemAlloc; the caller frees it with CoTaskMemFree.
    virtual HRESULT GetCurrentImage(BYTE** lpDib) = 0;
    // The colour of the letter-box bars.
    virtual HRESULT SetBorderColor(COLORREF Clr) = 0;
    virtual HRESULT GetBorderColor(COLORREF* lpClr) = 0;
};

struct IVMRMixerControl9 : IUnknown {
    static constexpr IID iid{
        0x1A777EAA, 0x47C8, 0x4930, {0xB2, 0xC9, 0x8F, 0xEE, 0x1C, 0x1B, 0x0F, 0x3B}};

    virtual HRESULT SetAlpha(DWORD dwStreamID, float Alpha) = 0;
    virtual HRESULT GetAlpha(DWORD dwStreamID, float* pAlpha) = 0;
    virtual HRESULT SetZOrder(DWORD dwStreamID, DWORD dwZ) = 0;
    virtual HRESULT GetZOrder(DWORD dwStreamID, DWORD* pZ) = 0;
    virtual HRESULT SetOutputRect(DWORD dwStreamID, const VMR9NormalizedRect* pRect) = 0;
    virtual HRESULT GetOutputRect(DWORD dwStreamID, VMR9NormalizedRect* pRect) = 0;
    virtual HRESULT SetBackgroundClr(COLORREF ClrBkg) = 0;
    virtual HRESULT GetBackgroundClr(COLORREF* lpClrBkg) = 0;
    virtual HRESULT SetMixingPrefs(DWORD dwMixerPrefs) = 0;
    virtual HRESULT GetMixingPrefs(DWORD* pdwMixerPrefs) = 0;
};

struct IVMRMixerBitmap9 : IUnknown {
    static constexpr IID iid{
        0xCED175E5, 0x1935, 0x4820, {0x81, 0xBD, 0xFF, 0x6A, 0xD0, 0x0C, 0x91, 0x08}};

    // Copies the bitmap and its parameters; VMR9AlphaBitmap_Disable takes it away.
    virtual HRESULT SetAlphaBitmap(const VMR9AlphaBitmap* pBmpParms) = 0;
    // Changes the parameters of the bitmap already set (hdc and pDDS are not read).
    virtual HRESULT UpdateAlphaBitmapParameters(const VMR9AlphaBitmap* pBmpParms) = 0;
    virtual HRESULT GetAlphaBitmapParameters(VMR9AlphaBitmap* pBmpParms) = 0;
};

struct IVMRMonitorConfig9 : IUnknown {
    static constexpr IID iid{
        0x46C2E457, 0x8BA0, 0x4EEF, {0xB8, 0x0B, 0x06, 0x80, 0xF0, 0x97, 0x87, 0x49}};

    // Monitors are numbered as the toolkit lists its screens, from 0.
    virtual HRESULT SetMonitor(UINT uDev) = 0;
    virtual HRESULT GetMonitor(UINT* puDev) = 0;
    virtual HRESULT SetDefaultMonitor(UINT uDev) = 0;
    virtual HRESULT GetDefaultMonitor(UINT* puDev) = 0;
    virtual HRESULT GetAvailableMonitors(VMR9MonitorInfo* pInfo, DWORD dwMaxInfoArraySize,
                                         DWORD* pdwNumDevices) = 0;
};

struct IVMRAspectRatioControl9 : IUnknown {
    static constexpr IID iid{
        0x00D96C29, 0xBBDE, 0x4EFC, {0x99, 0x01, 0xBB, 0x50, 0x36, 0x39, 0x21, 0x46}};

    virtual HRESULT GetAspectRatioMode(DWORD* lpdwARMode) = 0;
    virtual HRESULT SetAspectRatioMode(DWORD dwARMode) = 0;
};

// Volume and balance of an audio renderer, in hundredths of a decibel.
struct IBasicAudio : IUnknown {
    static constexpr IID iid{
        0x56A868B3, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    // -10000 (silence) to 0 (full volume); E_INVALIDARG outside.
    virtual HRESULT put_Volume(LONG lVolume) = 0;
    virtual HRESULT get_Volume(LONG* plVolume) = 0;
    // -10000 (the right channel silent) to 10000 (the left channel silent); 0 is centred.
    virtual HRESULT put_Balance(LONG lBalance) = 0;
    virtual HRESULT get_Balance(LONG* plBalance) = 0;
};

inline constexpr const IID& IID_IVMRFilterConfig9 = IVMRFilterConfig9::iid;
inline constexpr const IID& IID_IVMRWindowlessControl9 = IVMRWindowlessControl9::iid;
inline constexpr const IID& IID_IVMRMixerControl9 = IVMRMixerControl9::iid;
inline constexpr const IID& IID_IVMRMixerBitmap9 = IVMRMixerBitmap9::iid;
inline constexpr const IID& IID_IVMRMonitorConfig9 = IVMRMonitorConfig9::iid;
inline constexpr const IID& IID_IVMRAspectRatioControl9 = IVMRAspectRatioControl9::iid;
inline constexpr const IID& IID_IBasicAudio = IBasicAudio::iid;

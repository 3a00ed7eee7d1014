#pragma once
// The windowless video renderer (CLSID_VideoMixingRenderer9, "Video Mixing Renderer 9"). It
// takes uncompressed RGB video (RGB32, ARGB32, RGB24; bottom-up or top-down as biHeight says),
// keeps the frame it presented last and shows it in a child widget of the clipping window at
// the destination rectangle. What it shows and what GetCurrentImage returns is the image "as
// displayed": the frame placed by the mixer (output rectangle of stream 0: the flips) with the
// alpha bitmap blended over it. Timing, pause and preroll, frames drawn and sync offset come
// from CBaseRenderer; a format change carried by a sample is applied and raises
// EC_VIDEO_SIZE_CHANGED when the picture's size changes.
//
// The mixer takes one stream: SetNumberOfStreams records the number asked for and the mixer
// keeps an output rectangle, opacity and Z order for each, but only stream 0 has an input pin.
//
// Thread contract: samples arrive on the upstream streaming thread (DoRenderSample), which
// converts the frame and asks the GUI thread to repaint. The window calls
// (SetVideoClippingWindow, RepaintVideo) must come from the GUI thread; every other interface
// call may come from any thread, and changes that touch the widget are carried out on the GUI
// thread. The presentation state is shared with the widget through TVideoPresenter, which
// outlives either of them as long as one needs it.
#include "platform/filters/RendererInterfaces.h"
#include "platform/filters/VideoRendererPresenter.h"
#include "platform/graph/BaseRenderer.h"

#include <atomic>
#include <memory>

#include <QPointer>

class TVideoSurface;

class CVideoMixingRenderer9 : public CBaseRenderer,
                              public IVMRFilterConfig9,
                              public IVMRWindowlessControl9,
                              public IVMRMixerControl9,
                              public IVMRMixerBitmap9,
                              public IVMRMonitorConfig9,
                              public IVMRAspectRatioControl9 {
public:
    CVideoMixingRenderer9();
    ~CVideoMixingRenderer9() override;
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // CBaseRenderer.
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT SetMediaType(const CMediaType* pmt) override;
    HRESULT BreakConnect() override;
    HRESULT DoRenderSample(IMediaSample* pMediaSample) override;

    // IVMRFilterConfig9.
    HRESULT SetNumberOfStreams(DWORD dwMaxStreams) override;
    HRESULT GetNumberOfStreams(DWORD* pdwMaxStreams) override;
    HRESULT SetRenderingPrefs(DWORD dwRenderFlags) override;
    HRESULT GetRenderingPrefs(DWORD* pdwRenderFlags) override;
    HRESULT SetRenderingMode(DWORD Mode) override;
    HRESULT GetRenderingMode(DWORD* pMode) override;

    // IVMRWindowlessControl9 (the aspect-ratio mode also serves IVMRAspectRatioControl9).
    HRESULT GetNativeVideoSize(LONG* lpWidth, LONG* lpHeight, LONG* lpARWidth,
                               LONG* lpARHeight) override;
    HRESULT GetMinIdealVideoSize(LONG* lpWidth, LONG* lpHeight) override;
    HRESULT GetMaxIdealVideoSize(LONG* lpWidth, LONG* lpHeight) override;
    HRESULT SetVideoPosition(const RECT* lpSRCRect, const RECT* lpDSTRect) override;
    HRESULT GetVideoPosition(RECT* lpSRCRect, RECT* lpDSTRect) override;
    HRESULT GetAspectRatioMode(DWORD* lpAspectRatioMode) override;
    HRESULT SetAspectRatioMode(DWORD AspectRatioMode) override;
    HRESULT SetVideoClippingWindow(HWND hwnd) override;
    HRESULT RepaintVideo(HWND hwnd, HDC hdc) override;
    HRESULT DisplayModeChanged() override;
    HRESULT GetCurrentImage(BYTE** lpDib) override;
    HRESULT SetBorderColor(COLORREF Clr) override;
    HRESULT GetBorderColor(COLORREF* lpClr) override;

    // IVMRMixerControl9.
    HRESULT SetAlpha(DWORD dwStreamID, float Alpha) override;
    HRESULT GetAlpha(DWORD dwStreamID, float* pAlpha) override;
    HRESULT SetZOrder(DWORD dwStreamID, DWORD dwZ) override;
    HRESULT GetZOrder(DWORD dwStreamID, DWORD* pZ) override;
    HRESULT SetOutputRect(DWORD dwStreamID, const VMR9NormalizedRect* pRect) override;
    HRESULT GetOutputRect(DWORD dwStreamID, VMR9NormalizedRect* pRect) override;
    HRESULT SetBackgroundClr(COLORREF ClrBkg) override;
    HRESULT GetBackgroundClr(COLORREF* lpClrBkg) override;
    HRESULT SetMixingPrefs(DWORD dwMixerPrefs) override;
    HRESULT GetMixingPrefs(DWORD* pdwMixerPrefs) override;

    // IVMRMixerBitmap9.
    HRESULT SetAlphaBitmap(const VMR9AlphaBitmap* pBmpParms) override;
    HRESULT UpdateAlphaBitmapParameters(const VMR9AlphaBitmap* pBmpParms) override;
    HRESULT GetAlphaBitmapParameters(VMR9AlphaBitmap* pBmpParms) override;

    // IVMRMonitorConfig9.
    HRESULT SetMonitor(UINT uDev) override;
    HRESULT GetMonitor(UINT* puDev) override;
    HRESULT SetDefaultMonitor(UINT uDev) override;
    HRESULT GetDefaultMonitor(UINT* puDev) override;
    HRESULT GetAvailableMonitors(VMR9MonitorInfo* pInfo, DWORD dwMaxInfoArraySize,
                                 DWORD* pdwNumDevices) override;

    // The widget that shows the picture (null without a clipping window); GUI thread only.
    QWidget* Surface() const;

private:
    // Places, shows or hides the surface and repaints it; on the GUI thread (posted there when
    // called from another thread).
    void UpdateSurface();
    // A change of the mixer: the picture is composed anew and repainted.
    template <typename F>
    HRESULT ChangeMixer(F&& f);

    const std::shared_ptr<TVideoPresenter> FPresenter;
    std::atomic<DWORD> FMode{VMR9Mode_Windowed};
    std::atomic<UINT> FMonitor{0};
    std::atomic<UINT> FDefaultMonitor{0};
    const std::shared_ptr<std::atomic<bool>> FRepaintPending; // a refresh is on its way
    // GUI thread only.
    QPointer<QWidget> FClippingWindow;
    QPointer<TVideoSurface> FSurface;
};

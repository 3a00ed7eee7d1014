// The video renderer's windowless control: clipping window, video position, native size,
// aspect-ratio mode, repaint and the current image.
#include "platform/filters/VideoRenderer.h"
#include "platform/filters/VideoRendererMonitors.h"
#include "platform/filters/VideoRendererSurface.h"

#include <algorithm>

#include <QPainter>

HRESULT CVideoMixingRenderer9::GetNativeVideoSize(LONG* lpWidth, LONG* lpHeight, LONG* lpARWidth,
                                                  LONG* lpARHeight) {
    const std::optional<TVideoFormat> format = FPresenter->Format();
    const QSize size = format ? format->PictureSize() : QSize(0, 0);
    if (lpWidth)
        *lpWidth = size.width();
    if (lpHeight)
        *lpHeight = size.height();
    if (lpARWidth)
        *lpARWidth = format ? format->aspectX : 0;
    if (lpARHeight)
        *lpARHeight = format ? format->aspectY : 0;
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetMinIdealVideoSize(LONG* lpWidth, LONG* lpHeight) {
    if (!lpWidth || !lpHeight)
        return E_POINTER;
    const std::optional<TVideoFormat> format = FPresenter->Format();
    if (!format)
        return VFW_E_NOT_CONNECTED;
    // Smaller than this the picture loses detail; the mixer does not decimate.
    *lpWidth = format->PictureSize().width();
    *lpHeight = format->PictureSize().height();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetMaxIdealVideoSize(LONG* lpWidth, LONG* lpHeight) {
    if (!lpWidth || !lpHeight)
        return E_POINTER;
    const std::optional<TVideoFormat> format = FPresenter->Format();
    if (!format)
        return VFW_E_NOT_CONNECTED;
    // As large as the monitor the video is shown on.
    const std::vector<VMR9MonitorInfo> monitors = ListMonitors();
    if (monitors.empty()) {
        *lpWidth = format->PictureSize().width();
        *lpHeight = format->PictureSize().height();
        return S_OK;
    }
    const RECT r = monitors[std::min<size_t>(FMonitor.load(), monitors.size() - 1)].rcMonitor;
    *lpWidth = r.right - r.left;
    *lpHeight = r.bottom - r.top;
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetVideoPosition(const RECT* lpSRCRect, const RECT* lpDSTRect) {
    const HRESULT hr = FPresenter->SetVideoPosition(lpSRCRect, lpDSTRect);
    if (SUCCEEDED(hr))
        UpdateSurface();
    return hr;
}

HRESULT CVideoMixingRenderer9::GetVideoPosition(RECT* lpSRCRect, RECT* lpDSTRect) {
    if (!lpSRCRect && !lpDSTRect)
        return E_POINTER;
    FPresenter->GetVideoPosition(lpSRCRect, lpDSTRect);
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetAspectRatioMode(DWORD* lpAspectRatioMode) {
    if (!lpAspectRatioMode)
        return E_POINTER;
    *lpAspectRatioMode = FPresenter->AspectRatioMode();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetAspectRatioMode(DWORD AspectRatioMode) {
    if (AspectRatioMode != VMR9ARMode_None && AspectRatioMode != VMR9ARMode_LetterBox)
        return E_INVALIDARG;
    FPresenter->SetAspectRatioMode(AspectRatioMode);
    UpdateSurface();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetVideoClippingWindow(HWND hwnd) {
    if (!IsGuiThread())
        return RPC_E_WRONG_THREAD;
    if (hwnd && hwnd == FClippingWindow.data() && FSurface) {
        FSurface->Refresh();
        return S_OK;
    }
    FPresenter->SetRepaintRequest(nullptr);
    delete FSurface.data();
    FClippingWindow = hwnd;
    if (!hwnd)
        return S_OK;
    // The window owns the surface from here on; FSurface forgets it if the window goes first.
    auto* surface = new TVideoSurface(FPresenter, hwnd);
    FSurface = surface;
    FPresenter->SetRepaintRequest(
        [surface = QPointer<TVideoSurface>(surface), pending = FRepaintPending] {
            PostSurfaceRefresh(surface, pending);
        });
    surface->Refresh();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::RepaintVideo(HWND hwnd, HDC hdc) {
    if (!IsGuiThread())
        return RPC_E_WRONG_THREAD;
    if (!hwnd && !hdc)
        return E_POINTER;
    if (hdc && hdc->isActive()) {
        const RECT dst = FPresenter->Destination();
        FPresenter->Paint(*hdc, QRect(QPoint(dst.left, dst.top),
                                      QSize(dst.right - dst.left, dst.bottom - dst.top)));
    }
    if (FSurface)
        FSurface->Refresh();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::DisplayModeChanged() {
    // Nothing is tied to the display's mode: the picture is painted again.
    UpdateSurface();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetCurrentImage(BYTE** lpDib) {
    if (!lpDib)
        return E_POINTER;
    *lpDib = nullptr;
    const QImage image = FPresenter->Composite();
    if (image.isNull())
        return E_FAIL;
    BYTE* dib = static_cast<BYTE*>(CoTaskMemAlloc(PackedDibSize(image)));
    if (!dib)
        return E_OUTOFMEMORY;
    WritePackedDib(image, dib);
    *lpDib = dib;
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetBorderColor(COLORREF Clr) {
    FPresenter->SetBorderColor(Clr & 0x00FFFFFF);
    UpdateSurface();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetBorderColor(COLORREF* lpClr) {
    if (!lpClr)
        return E_POINTER;
    *lpClr = FPresenter->BorderColor();
    return S_OK;
}

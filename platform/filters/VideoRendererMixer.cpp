// The video renderer's mixer interfaces: per-stream output rectangle, opacity and Z order,
// background colour, mixing preferences, and the alpha bitmap.
#include "platform/filters/VideoRenderer.h"

template <typename F>
HRESULT CVideoMixingRenderer9::ChangeMixer(F&& f) {
    const HRESULT hr = FPresenter->WithMixer(std::forward<F>(f));
    if (SUCCEEDED(hr))
        UpdateSurface();
    return hr;
}

HRESULT CVideoMixingRenderer9::SetAlpha(DWORD dwStreamID, float Alpha) {
    return ChangeMixer([&](TVideoMixer& m) { return m.SetAlpha(dwStreamID, Alpha); });
}

HRESULT CVideoMixingRenderer9::GetAlpha(DWORD dwStreamID, float* pAlpha) {
    return FPresenter->ReadMixer(
        [&](const TVideoMixer& m) { return m.GetAlpha(dwStreamID, pAlpha); });
}

HRESULT CVideoMixingRenderer9::SetZOrder(DWORD dwStreamID, DWORD dwZ) {
    return ChangeMixer([&](TVideoMixer& m) { return m.SetZOrder(dwStreamID, dwZ); });
}

HRESULT CVideoMixingRenderer9::GetZOrder(DWORD dwStreamID, DWORD* pZ) {
    return FPresenter->ReadMixer([&](const TVideoMixer& m) { return m.GetZOrder(dwStreamID, pZ); });
}

HRESULT CVideoMixingRenderer9::SetOutputRect(DWORD dwStreamID, const VMR9NormalizedRect* pRect) {
    return ChangeMixer([&](TVideoMixer& m) { return m.SetOutputRect(dwStreamID, pRect); });
}

HRESULT CVideoMixingRenderer9::GetOutputRect(DWORD dwStreamID, VMR9NormalizedRect* pRect) {
    return FPresenter->ReadMixer(
        [&](const TVideoMixer& m) { return m.GetOutputRect(dwStreamID, pRect); });
}

HRESULT CVideoMixingRenderer9::SetBackgroundClr(COLORREF ClrBkg) {
    return ChangeMixer([&](TVideoMixer& m) {
        m.SetBackground(ClrBkg & 0x00FFFFFF);
        return S_OK;
    });
}

HRESULT CVideoMixingRenderer9::GetBackgroundClr(COLORREF* lpClrBkg) {
    if (!lpClrBkg)
        return E_POINTER;
    *lpClrBkg = FPresenter->ReadMixer([](const TVideoMixer& m) { return m.Background(); });
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetMixingPrefs(DWORD dwMixerPrefs) {
    return ChangeMixer([&](TVideoMixer& m) { return m.SetMixingPrefs(dwMixerPrefs); });
}

HRESULT CVideoMixingRenderer9::GetMixingPrefs(DWORD* pdwMixerPrefs) {
    if (!pdwMixerPrefs)
        return E_POINTER;
    *pdwMixerPrefs = FPresenter->ReadMixer([](const TVideoMixer& m) { return m.MixingPrefs(); });
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetAlphaBitmap(const VMR9AlphaBitmap* pBmpParms) {
    if (!pBmpParms)
        return E_POINTER;
    return ChangeMixer([&](TVideoMixer& m) { return m.Bitmap().Set(*pBmpParms); });
}

HRESULT CVideoMixingRenderer9::UpdateAlphaBitmapParameters(const VMR9AlphaBitmap* pBmpParms) {
    if (!pBmpParms)
        return E_POINTER;
    return ChangeMixer([&](TVideoMixer& m) { return m.Bitmap().Update(*pBmpParms); });
}

HRESULT CVideoMixingRenderer9::GetAlphaBitmapParameters(VMR9AlphaBitmap* pBmpParms) {
    if (!pBmpParms)
        return E_POINTER;
    FPresenter->ReadMixer([&](const TVideoMixer& m) {
        m.Bitmap().Get(pBmpParms);
        return 0;
    });
    return S_OK;
}

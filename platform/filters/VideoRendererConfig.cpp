// The video renderer's configuration: rendering mode and preferences, number of mixer streams,
// and the monitor it shows on.
#include "platform/filters/VideoRenderer.h"
#include "platform/filters/VideoRendererMonitors.h"

#include <algorithm>

HRESULT CVideoMixingRenderer9::SetNumberOfStreams(DWORD dwMaxStreams) {
    if (dwMaxStreams < 1 || dwMaxStreams > MAX_MIXER_STREAMS)
        return E_INVALIDARG;
    if (InputPin()->IsConnected())
        return VFW_E_WRONG_STATE;
    FPresenter->WithMixer([&](TVideoMixer& m) {
        m.SetStreamCount(dwMaxStreams);
        return 0;
    });
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetNumberOfStreams(DWORD* pdwMaxStreams) {
    if (!pdwMaxStreams)
        return E_POINTER;
    *pdwMaxStreams = FPresenter->ReadMixer([](const TVideoMixer& m) { return m.StreamCount(); });
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetRenderingPrefs(DWORD dwRenderFlags) {
    if (dwRenderFlags & ~RenderPrefs9_Mask)
        return E_INVALIDARG;
    FPresenter->SetRenderingPrefs(dwRenderFlags);
    UpdateSurface();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetRenderingPrefs(DWORD* pdwRenderFlags) {
    if (!pdwRenderFlags)
        return E_POINTER;
    *pdwRenderFlags = FPresenter->RenderingPrefs();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetRenderingMode(DWORD Mode) {
    if (Mode == VMR9Mode_Renderless)
        return E_NOTIMPL; // no allocator-presenter can be plugged in
    if (Mode != VMR9Mode_Windowed && Mode != VMR9Mode_Windowless)
        return E_INVALIDARG;
    if (InputPin()->IsConnected())
        return VFW_E_WRONG_STATE;
    FMode.store(Mode);
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetRenderingMode(DWORD* pMode) {
    if (!pMode)
        return E_POINTER;
    *pMode = FMode.load();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetMonitor(UINT uDev) {
    const std::vector<VMR9MonitorInfo> monitors = ListMonitors();
    if (uDev >= std::max<size_t>(monitors.size(), 1))
        return E_INVALIDARG;
    FMonitor.store(uDev);
    UpdateSurface();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetMonitor(UINT* puDev) {
    if (!puDev)
        return E_POINTER;
    *puDev = FMonitor.load();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::SetDefaultMonitor(UINT uDev) {
    const std::vector<VMR9MonitorInfo> monitors = ListMonitors();
    if (uDev >= std::max<size_t>(monitors.size(), 1))
        return E_INVALIDARG;
    FDefaultMonitor.store(uDev);
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetDefaultMonitor(UINT* puDev) {
    if (!puDev)
        return E_POINTER;
    *puDev = FDefaultMonitor.load();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::GetAvailableMonitors(VMR9MonitorInfo* pInfo,
                                                    DWORD dwMaxInfoArraySize,
                                                    DWORD* pdwNumDevices) {
    if (!pdwNumDevices)
        return E_POINTER;
    const std::vector<VMR9MonitorInfo> monitors = ListMonitors();
    if (!pInfo) {
        *pdwNumDevices = DWORD(monitors.size());
        return S_OK;
    }
    const DWORD count = std::min<DWORD>(dwMaxInfoArraySize, DWORD(monitors.size()));
    std::copy_n(monitors.begin(), count, pInfo);
    *pdwNumDevices = count;
    return S_OK;
}

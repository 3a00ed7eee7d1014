// The video renderer as a filter: its interfaces, its input type, the frames it presents and
// the surface widget that shows them.
#include "platform/filters/VideoRenderer.h"

#include "platform/filters/VideoRendererSurface.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"

#include <QCoreApplication>

namespace {

LONG_PTR SizeParam(QSize size) {
    return LONG_PTR((uint32_t(size.height()) << 16) | (uint32_t(size.width()) & 0xFFFF));
}

} // namespace

CVideoMixingRenderer9::CVideoMixingRenderer9()
    : CBaseRenderer(CLSID_VideoMixingRenderer9, QStringLiteral("Video Mixing Renderer 9")),
      FPresenter(std::make_shared<TVideoPresenter>()),
      FRepaintPending(std::make_shared<std::atomic<bool>>(false)) {}

CVideoMixingRenderer9::~CVideoMixingRenderer9() {
    FPresenter->SetRepaintRequest(nullptr);
    if (IsGuiThread())
        delete FSurface.data();
    else if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [surface = FSurface] { delete surface.data(); });
}

HRESULT CVideoMixingRenderer9::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IVMRFilterConfig9)
        return GetInterface(static_cast<IVMRFilterConfig9*>(this), ppv);
    if (riid == IID_IVMRWindowlessControl9)
        return GetInterface(static_cast<IVMRWindowlessControl9*>(this), ppv);
    if (riid == IID_IVMRMixerControl9)
        return GetInterface(static_cast<IVMRMixerControl9*>(this), ppv);
    if (riid == IID_IVMRMixerBitmap9)
        return GetInterface(static_cast<IVMRMixerBitmap9*>(this), ppv);
    if (riid == IID_IVMRMonitorConfig9)
        return GetInterface(static_cast<IVMRMonitorConfig9*>(this), ppv);
    if (riid == IID_IVMRAspectRatioControl9)
        return GetInterface(static_cast<IVMRAspectRatioControl9*>(this), ppv);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CVideoMixingRenderer9::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    return TVideoFormat::FromMediaType(*pmt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoMixingRenderer9::SetMediaType(const CMediaType* pmt) {
    const std::optional<TVideoFormat> format = TVideoFormat::FromMediaType(*pmt);
    if (!format)
        return VFW_E_TYPE_NOT_ACCEPTED;
    FPresenter->SetFormat(format);
    GRAPH_TRACE(QStringLiteral("video renderer: input %1 x %2%3")
                    .arg(format->PictureSize().width())
                    .arg(format->PictureSize().height())
                    .arg(format->topDown ? QStringLiteral(", top-down") : QString()));
    return S_OK;
}

HRESULT CVideoMixingRenderer9::BreakConnect() {
    FPresenter->SetFormat(std::nullopt);
    FPresenter->ClearFrame();
    UpdateSurface();
    return S_OK;
}

HRESULT CVideoMixingRenderer9::DoRenderSample(IMediaSample* pMediaSample) {
    AM_MEDIA_TYPE* raw = nullptr;
    if (pMediaSample->GetMediaType(&raw) == S_OK) {
        // A format change that the input pin already checked.
        const MediaTypePtr type(raw);
        const QSize before = FPresenter->Format() ? FPresenter->Format()->PictureSize() : QSize();
        if (FPresenter->SetFormat(TVideoFormat::FromMediaType(*type))) {
            const std::optional<TVideoFormat> now = FPresenter->Format();
            GRAPH_TRACE(QStringLiteral("video renderer: size %1 x %2 -> %3 x %4")
                            .arg(before.width())
                            .arg(before.height())
                            .arg(now ? now->PictureSize().width() : 0)
                            .arg(now ? now->PictureSize().height() : 0));
            if (now)
                NotifyEvent(EC_VIDEO_SIZE_CHANGED, SizeParam(now->PictureSize()), 0);
            UpdateSurface();
        }
    }
    const std::optional<TVideoFormat> format = FPresenter->Format();
    BYTE* data = nullptr;
    if (!format || FAILED(pMediaSample->GetPointer(&data)))
        return E_UNEXPECTED;
    QImage frame = FPresenter->TakeSpareFrame();
    const qsizetype length = pMediaSample->GetActualDataLength();
    if (!format->CopyInto(data, length, frame)) {
        if (!data || length < format->BufferSize() || !frame.isNull())
            return S_OK; // a payload shorter than the format: nothing to show
        GRAPH_TRACE(QStringLiteral("video renderer: no memory for a picture of %1 x %2")
                        .arg(format->PictureSize().width())
                        .arg(format->PictureSize().height()));
        AbortRendering(E_OUTOFMEMORY);
        return E_OUTOFMEMORY;
    }
    FPresenter->ShowFrame(std::move(frame));
    return S_OK;
}

QWidget* CVideoMixingRenderer9::Surface() const {
    return FSurface.data();
}

void CVideoMixingRenderer9::UpdateSurface() {
    if (IsGuiThread()) {
        if (FSurface)
            FSurface->Refresh();
        return;
    }
    FPresenter->RequestRepaint();
}

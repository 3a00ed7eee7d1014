// LAVVideo.ax: the video decoder; reads HKCU\Software\LBV\Video when it is created.
#include "modules/support/ModuleClasses.h"
#include "modules/support/PrivateClsids.h"

namespace {

HRESULT CreateLavVideo(IUnknown* outer, REFIID riid, void** ppv) {
    return CreatePrivateDecoder<TPrivateVideoDecoder>(
        outer, riid, ppv, QStringLiteral("LAV Video Decoder"), CLSID_PrivateLavVideo,
        QString::fromLatin1(kLavSettingsKey) + QStringLiteral("\\Video"), false);
}

} // namespace

KELVARA_MODULE_CLASSES({CLSID_PrivateLavVideo, &CreateLavVideo})

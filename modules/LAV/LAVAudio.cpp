// LAVAudio.ax: the audio decoder; reads HKCU\Software\LBV\Audio when it is created.
#include "modules/support/ModuleClasses.h"
#include "modules/support/PrivateClsids.h"

namespace {

HRESULT CreateLavAudio(IUnknown* outer, REFIID riid, void** ppv) {
    return CreatePrivateDecoder<TPrivateAudioDecoder>(
        outer, riid, ppv, QStringLiteral("LAV Audio Decoder"), CLSID_PrivateLavAudio,
        QString::fromLatin1(kLavSettingsKey) + QStringLiteral("\\Audio"));
}

} // namespace

KELVARA_MODULE_CLASSES({CLSID_PrivateLavAudio, &CreateLavAudio})

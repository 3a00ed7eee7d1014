// ffdshow.ax: the video decoder, which is also the post-processing filter spliced after the
// decoder in use, and the audio decoder; they read HKCU\Software\QRX\Video and \Audio when they
// are created.
#include "modules/support/ModuleClasses.h"
#include "modules/support/PrivateClsids.h"

namespace {

QString Key(const char* part) {
    return QString::fromLatin1(kFfdshowSettingsKey) + u'\\' + QLatin1String(part);
}

HRESULT CreateFfdshowVideo(IUnknown* outer, REFIID riid, void** ppv) {
    return CreatePrivateDecoder<TPrivateVideoDecoder>(
        outer, riid, ppv, QStringLiteral("ffdshow Video Decoder"), CLSID_PrivateFfdshowVideo,
        Key("Video"), true);
}

HRESULT CreateFfdshowAudio(IUnknown* outer, REFIID riid, void** ppv) {
    return CreatePrivateDecoder<TPrivateAudioDecoder>(outer, riid, ppv,
                                                      QStringLiteral("ffdshow Audio Decoder"),
                                                      CLSID_PrivateFfdshowAudio, Key("Audio"));
}

} // namespace

KELVARA_MODULE_CLASSES({CLSID_PrivateFfdshowVideo, &CreateFfdshowVideo},
                       {CLSID_PrivateFfdshowAudio, &CreateFfdshowAudio})

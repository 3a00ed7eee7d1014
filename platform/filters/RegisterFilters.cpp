#include "platform/filters/RegisterFilters.h"

#include "platform/com/ClassRegistry.h"
#include "platform/filters/AsfReader.h"
#include "platform/filters/AudioDecoder.h"
#include "platform/filters/AviSplitter.h"
#include "platform/filters/DVSplitter.h"
#include "platform/filters/FileSourceAsync.h"
#include "platform/filters/FilterGuids.h"
#include "platform/filters/LavSplitter.h"
#include "platform/filters/LavSplitterSource.h"
#include "platform/filters/Mpeg1Splitter.h"
#include "platform/filters/Mpeg2Splitter.h"
#include "platform/filters/VideoDecoder.h"
#include "platform/filters/WaveParser.h"
#include "platform/graph/GraphClasses.h"

#include <mutex>

#if __has_include("platform/filters/RegisterRenderers.h")
#include "platform/filters/RegisterRenderers.h"
#define KELVARA_HAVE_RENDERERS 1
#endif

namespace {

// The H.264 sub-type of some broadcast demultiplexers.
constexpr GUID MEDIASUBTYPE_H264_Broadcast{
    0x8D2D71CB, 0x243F, 0x45E3, {0xB2, 0xD8, 0x5F, 0xD7, 0x96, 0x7E, 0xC0, 0x9B}};
// Just below the general decoders, so that they are the platform's first choice.
constexpr DWORD kMeritSecondChoice = MERIT_NORMAL - 1;

TRegFilterPin Input(std::vector<REGPINTYPES> types) {
    TRegFilterPin pin;
    pin.mediaTypes = std::move(types);
    return pin;
}

TRegFilterPin Output(std::vector<REGPINTYPES> types, bool many = false) {
    TRegFilterPin pin;
    pin.bOutput = true;
    pin.bMany = many;
    pin.bZero = many;
    pin.mediaTypes = std::move(types);
    return pin;
}

const std::vector<REGPINTYPES> kSplitterOutputs = {
    {MEDIATYPE_Video, GUID_NULL}, {MEDIATYPE_Audio, GUID_NULL}, {MEDIATYPE_Interleaved, GUID_NULL}};

template <typename T>
void Register(const char* name, REFCLSID clsid, DWORD merit, std::vector<TRegFilterPin> pins) {
    TClassRegistry& registry = TClassRegistry::Instance();
    registry.RegisterClass(clsid, &CreateComInstance<T>);
    registry.RegisterFilter({clsid, QString::fromLatin1(name), merit, GUID_NULL, std::move(pins)});
}

template <typename TDecoder>
void RegisterDecoder(const char* name, REFCLSID clsid, DWORD merit, TDecoderFamily family,
                     std::vector<REGPINTYPES> inputs, REGPINTYPES output) {
    const QString text = QString::fromLatin1(name);
    TClassRegistry& registry = TClassRegistry::Instance();
    registry.RegisterClass(clsid, [text, clsid, family](IUnknown* outer, REFIID riid, void** ppv) {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return MakeComObject<TDecoder>(text, clsid, family)->QueryInterface(riid, ppv);
    });
    registry.RegisterFilter(
        {clsid, text, merit, GUID_NULL, {Input(std::move(inputs)), Output({output})}});
}

void RegisterSources() {
    Register<TFileSourceAsync>(kFileSourceName, CLSID_AsyncReader, MERIT_UNLIKELY,
                               {Output({{MEDIATYPE_Stream, GUID_NULL}})});
    Register<TLavSplitterSource>(kLavSplitterSourceName, CLSID_LAVSplitterSource, MERIT_NORMAL,
                                 {Output(kSplitterOutputs, true)});
    Register<TAsfReader>(kAsfReaderName, CLSID_WMAsfReader, MERIT_UNLIKELY,
                         {Output(kSplitterOutputs, true)});
}

void RegisterSplitters() {
    Register<TAviSplitter>(
        kAviSplitterName, CLSID_AviSplitter, MERIT_NORMAL,
        {Input({{MEDIATYPE_Stream, MEDIASUBTYPE_Avi}}), Output(kSplitterOutputs, true)});
    Register<TMpeg2Splitter>(kMpeg2SplitterName, CLSID_MMSPLITTER, MERIT_NORMAL,
                             {Input({{MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_PROGRAM},
                                     {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_TRANSPORT}}),
                              Output(kSplitterOutputs, true)});
    Register<TMpeg1Splitter>(kMpeg1SplitterName, CLSID_MPEG1Splitter, MERIT_NORMAL,
                             {Input({{MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1System},
                                     {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1Video},
                                     {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1VideoCD}}),
                              Output(kSplitterOutputs, true)});
    Register<TWaveParser>(
        kWaveParserName, CLSID_WAVEParser, MERIT_UNLIKELY,
        {Input({{MEDIATYPE_Stream, MEDIASUBTYPE_WAVE}}), Output({{MEDIATYPE_Audio, GUID_NULL}})});
    // Below every format-specific splitter: it takes what none of them takes.
    Register<TLavSplitter>(
        kLavSplitterName, CLSID_LAVSplitter, MERIT_UNLIKELY - 1,
        {Input({{MEDIATYPE_Stream, GUID_NULL}}), Output(kSplitterOutputs, true)});
    Register<TDVSplitter>(kDVSplitterName, CLSID_DVSplitter, MERIT_NORMAL,
                          {Input({{MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd}}),
                           Output({{MEDIATYPE_Video, MEDIASUBTYPE_dvsd}}),
                           Output({{MEDIATYPE_Audio, MEDIASUBTYPE_PCM}}, true)});
}

void RegisterDecoders() {
    const REGPINTYPES rgb32{MEDIATYPE_Video, MEDIASUBTYPE_RGB32};
    const REGPINTYPES pcm{MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
    RegisterDecoder<TVideoDecoder>(kDVVideoDecoderName, CLSID_DVVideoCodec, MERIT_PREFERRED,
                                   TDecoderFamily::DV,
                                   {{MEDIATYPE_Video, MEDIASUBTYPE_dvsd},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_DVSD},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_dvsl},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_dv25},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_dv50},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_dvhd},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_dvh1}},
                                   rgb32);
    RegisterDecoder<TVideoDecoder>(kFFmpegVideoDecoderName, CLSID_FFmpegVideoDecoder, MERIT_NORMAL,
                                   TDecoderFamily::All, {{MEDIATYPE_Video, GUID_NULL}}, rgb32);
    RegisterDecoder<TVideoDecoder>(kDtvDvdVideoDecoderName, CLSID_MSDTVDVDVideoDecoder,
                                   kMeritSecondChoice, TDecoderFamily::DtvDvd,
                                   {{MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_H264},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_h264},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_AVC1},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_avc1},
                                    {MEDIATYPE_Video, MEDIASUBTYPE_H264_Broadcast}},
                                   rgb32);
    RegisterDecoder<TAudioDecoder>(kFFmpegAudioDecoderName, CLSID_FFmpegAudioDecoder, MERIT_NORMAL,
                                   TDecoderFamily::All, {{MEDIATYPE_Audio, GUID_NULL}}, pcm);
    RegisterDecoder<TAudioDecoder>(kDtvDvdAudioDecoderName, CLSID_MSDTVDVDAudioDecoder,
                                   kMeritSecondChoice, TDecoderFamily::DtvDvd,
                                   {{MEDIATYPE_Audio, MEDIASUBTYPE_MPEG2_AUDIO},
                                    {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1Audio},
                                    {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload},
                                    {MEDIATYPE_Audio, MEDIASUBTYPE_MP3},
                                    {MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_AC3},
                                    {MEDIATYPE_Audio, MEDIASUBTYPE_AC3},
                                    {MEDIATYPE_Audio, MEDIASUBTYPE_AAC},
                                    {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG_ADTS_AAC},
                                    {MEDIATYPE_Audio, MEDIASUBTYPE_DVD_LPCM_AUDIO}},
                                   pcm);
}

} // namespace

void RegisterPlatformFilters() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterGraphClasses();
        RegisterSources();
        RegisterSplitters();
        RegisterDecoders();
#ifdef KELVARA_HAVE_RENDERERS
        RegisterRendererFilters();
#endif
    });
}

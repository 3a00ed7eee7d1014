#include "platform/filters/DecoderMediaTypes.h"

#include "platform/filters/AvcParameterSets.h"
#include "platform/filters/FilterGuids.h"
#include "platform/graph/MediaGuids.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <span>
#include <vector>

using namespace kelvara::ff;

namespace {

using TBytes = std::span<const uint8_t>;

// The video header fields the decoders need, from whichever block the type has.
struct TVideoFormat {
    BITMAPINFOHEADER bmi;
    REFERENCE_TIME frameDuration = 0;
    DWORD bitRate = 0;
    TBytes extra;            // the codec's extra bytes (sequence header or BITMAPINFOHEADER tail)
    DWORD nalLengthSize = 0; // FORMAT_MPEG2Video dwFlags
    bool sequenceHeader = false;
};

TBytes BlockBytes(const AM_MEDIA_TYPE& mt) {
    return mt.pbFormat() ? TBytes(mt.pbFormat(), mt.cbFormat()) : TBytes();
}

template <typename T>
T Read(TBytes block, size_t at) {
    T value{};
    if (at + sizeof(T) <= block.size())
        std::memcpy(&value, block.data() + at, sizeof(T));
    return value;
}

bool ReadVideoFormat(const AM_MEDIA_TYPE& mt, TVideoFormat* f) {
    const TBytes block = BlockBytes(mt);
    if (mt.formattype == FORMAT_VideoInfo && block.size() >= sizeof(VIDEOINFOHEADER)) {
        const auto vih = Read<VIDEOINFOHEADER>(block, 0);
        f->bmi = vih.bmiHeader;
        f->frameDuration = vih.AvgTimePerFrame;
        f->bitRate = vih.dwBitRate;
        f->extra = block.subspan(sizeof(VIDEOINFOHEADER));
        return true;
    }
    if (mt.formattype == FORMAT_VideoInfo2 && block.size() >= sizeof(VIDEOINFOHEADER2)) {
        const auto vih = Read<VIDEOINFOHEADER2>(block, 0);
        f->bmi = vih.bmiHeader;
        f->frameDuration = vih.AvgTimePerFrame;
        f->bitRate = vih.dwBitRate;
        f->extra = block.subspan(sizeof(VIDEOINFOHEADER2));
        return true;
    }
    if (mt.formattype == FORMAT_MPEG2Video &&
        block.size() >= offsetof(MPEG2VIDEOINFO, dwSequenceHeader)) {
        const auto vih = Read<VIDEOINFOHEADER2>(block, 0);
        f->bmi = vih.bmiHeader;
        f->frameDuration = vih.AvgTimePerFrame;
        f->bitRate = vih.dwBitRate;
        const size_t at = offsetof(MPEG2VIDEOINFO, dwSequenceHeader);
        const size_t count = Read<DWORD>(block, offsetof(MPEG2VIDEOINFO, cbSequenceHeader));
        f->extra = block.subspan(at, std::min(count, block.size() - at));
        f->nalLengthSize = Read<DWORD>(block, offsetof(MPEG2VIDEOINFO, dwFlags));
        f->sequenceHeader = true;
        return true;
    }
    if (mt.formattype == FORMAT_MPEGVideo &&
        block.size() >= offsetof(MPEG1VIDEOINFO, bSequenceHeader)) {
        const auto vih = Read<VIDEOINFOHEADER>(block, 0);
        f->bmi = vih.bmiHeader;
        f->frameDuration = vih.AvgTimePerFrame;
        f->bitRate = vih.dwBitRate;
        const size_t at = offsetof(MPEG1VIDEOINFO, bSequenceHeader);
        const size_t count = Read<DWORD>(block, offsetof(MPEG1VIDEOINFO, cbSequenceHeader));
        f->extra = block.subspan(at, std::min(count, block.size() - at));
        f->sequenceHeader = true;
        return true;
    }
    return false;
}

bool IsRgbSubtype(REFGUID subtype) {
    return subtype == MEDIASUBTYPE_RGB1 || subtype == MEDIASUBTYPE_RGB4 ||
           subtype == MEDIASUBTYPE_RGB8 || subtype == MEDIASUBTYPE_RGB565 ||
           subtype == MEDIASUBTYPE_RGB555 || subtype == MEDIASUBTYPE_RGB24 ||
           subtype == MEDIASUBTYPE_RGB32 || subtype == MEDIASUBTYPE_ARGB32;
}

uint32_t WithCase(uint32_t tag, int (*change)(int)) {
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i)
        out |= uint32_t(change(int((tag >> (8 * i)) & 0xFF)) & 0xFF) << (8 * i);
    return out;
}

// A FOURCC in the AVI table, then the QuickTime table, as written, in upper and in lower case.
AVCodecID VideoCodecOfFourCC(uint32_t fourcc) {
    const AVCodecTag* const riff[] = {avformat_get_riff_video_tags(), nullptr};
    const AVCodecTag* const mov[] = {avformat_get_mov_video_tags(), nullptr};
    for (uint32_t tag : {fourcc, WithCase(fourcc, ::toupper), WithCase(fourcc, ::tolower)}) {
        AVCodecID id = av_codec_get_id(riff, tag);
        if (id == AV_CODEC_ID_NONE)
            id = av_codec_get_id(mov, tag);
        if (id != AV_CODEC_ID_NONE)
            return id;
    }
    return AV_CODEC_ID_NONE;
}

AVCodecID VideoCodecOf(const AM_MEDIA_TYPE& mt, const TVideoFormat& f) {
    if (mt.subtype == MEDIASUBTYPE_MPEG2_VIDEO)
        return AV_CODEC_ID_MPEG2VIDEO;
    if (mt.subtype == MEDIASUBTYPE_MPEG1Payload || mt.subtype == MEDIASUBTYPE_MPEG1Video ||
        mt.subtype == MEDIASUBTYPE_MPEG1Packet)
        return AV_CODEC_ID_MPEG1VIDEO;
    if (IsFFmpegCodecSubtype(mt.subtype))
        return AVCodecID(mt.subtype.Data1);
    if (IsFourCCGuid(mt.subtype)) {
        // The names the platform's splitters give H.264 and HEVC, whatever the tables say.
        const uint32_t upper = WithCase(mt.subtype.Data1, ::toupper);
        if (upper == MAKEFOURCC('A', 'V', 'C', '1') || upper == MAKEFOURCC('H', '2', '6', '4'))
            return AV_CODEC_ID_H264;
        if (upper == MAKEFOURCC('H', 'E', 'V', 'C') || upper == MAKEFOURCC('H', 'V', 'C', '1') ||
            upper == MAKEFOURCC('H', 'E', 'V', '1') || upper == MAKEFOURCC('H', '2', '6', '5'))
            return AV_CODEC_ID_HEVC;
        if (AVCodecID id = VideoCodecOfFourCC(mt.subtype.Data1); id != AV_CODEC_ID_NONE)
            return id;
    }
    return f.bmi.biCompression > BI_BITFIELDS ? VideoCodecOfFourCC(f.bmi.biCompression)
                                              : AV_CODEC_ID_NONE;
}

bool SetExtraData(AVCodecParameters* p, TBytes bytes) {
    if (bytes.empty())
        return true;
    p->extradata = static_cast<uint8_t*>(av_mallocz(bytes.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!p->extradata)
        return false;
    std::memcpy(p->extradata, bytes.data(), bytes.size());
    p->extradata_size = int(bytes.size());
    return true;
}

TParametersPtr NewParameters(AVMediaType type, AVCodecID id) {
    if (id == AV_CODEC_ID_NONE || !avcodec_find_decoder(id))
        return nullptr;
    TParametersPtr p(avcodec_parameters_alloc());
    if (p) {
        p->codec_type = type;
        p->codec_id = id;
    }
    return p;
}

// MPEG audio layer of an MPEG1WAVEFORMAT block (ACM_MPEG_LAYER1/2/3 = 1, 2, 4).
AVCodecID MpegAudioCodec(const AM_MEDIA_TYPE& mt, WORD tag) {
    if (tag == WAVE_FORMAT_MPEGLAYER3 || mt.subtype == MEDIASUBTYPE_MP3)
        return AV_CODEC_ID_MP3;
    const WORD layer = Read<WORD>(BlockBytes(mt), offsetof(MPEG1WAVEFORMAT, fwHeadLayer));
    if (tag == WAVE_FORMAT_MPEG && layer == 1)
        return AV_CODEC_ID_MP1;
    if (tag == WAVE_FORMAT_MPEG && layer == 4)
        return AV_CODEC_ID_MP3;
    return AV_CODEC_ID_MP2;
}

AVCodecID PcmCodec(bool floating, int bits) {
    if (floating)
        return bits == 64   ? AV_CODEC_ID_PCM_F64LE
               : bits == 32 ? AV_CODEC_ID_PCM_F32LE
                            : AV_CODEC_ID_NONE;
    switch (bits) {
    case 8:
        return AV_CODEC_ID_PCM_U8;
    case 16:
        return AV_CODEC_ID_PCM_S16LE;
    case 24:
        return AV_CODEC_ID_PCM_S24LE;
    case 32:
        return AV_CODEC_ID_PCM_S32LE;
    default:
        return AV_CODEC_ID_NONE;
    }
}

AVCodecID AudioCodecOf(const AM_MEDIA_TYPE& mt, const WAVEFORMATEX& wfx) {
    const GUID& s = mt.subtype;
    if (s == MEDIASUBTYPE_MPEG2_AUDIO || s == MEDIASUBTYPE_MPEG1Audio ||
        s == MEDIASUBTYPE_MPEG1AudioPayload || s == MEDIASUBTYPE_MPEG1Payload ||
        s == MEDIASUBTYPE_MP3)
        return MpegAudioCodec(mt, wfx.wFormatTag);
    if (s == MEDIASUBTYPE_DOLBY_AC3 || s == MEDIASUBTYPE_AC3)
        return AV_CODEC_ID_AC3;
    if (s == MEDIASUBTYPE_DVD_LPCM_AUDIO)
        return AV_CODEC_ID_PCM_DVD;
    if (s == MEDIASUBTYPE_DTS)
        return AV_CODEC_ID_DTS;
    if (IsFFmpegCodecSubtype(s))
        return AVCodecID(s.Data1);
    WORD tag = wfx.wFormatTag;
    bool floating = tag == WAVE_FORMAT_IEEE_FLOAT || s == MEDIASUBTYPE_IEEE_FLOAT;
    if (tag == WAVE_FORMAT_EXTENSIBLE) {
        const GUID sub = Read<GUID>(BlockBytes(mt), offsetof(WAVEFORMATEXTENSIBLE, SubFormat));
        floating = sub == MEDIASUBTYPE_IEEE_FLOAT;
        tag = IsFourCCGuid(sub) && sub.Data1 <= 0xFFFF ? WORD(sub.Data1) : 0;
    }
    if (s == MEDIASUBTYPE_PCM || tag == WAVE_FORMAT_PCM || floating)
        return PcmCodec(floating, wfx.wBitsPerSample);
    if (tag == WAVE_FORMAT_MPEG || tag == WAVE_FORMAT_MPEGLAYER3)
        return MpegAudioCodec(mt, tag);
    const AVCodecTag* const riff[] = {avformat_get_riff_audio_tags(), nullptr};
    if (IsFourCCGuid(s) && s.Data1 > 0xFFFF) {
        const AVCodecTag* const mov[] = {avformat_get_mov_audio_tags(), nullptr};
        return av_codec_get_id(mov, s.Data1);
    }
    if (IsFourCCGuid(s) && s.Data1 != 0)
        tag = WORD(s.Data1);
    return tag ? av_codec_get_id(riff, tag) : AV_CODEC_ID_NONE;
}

bool UsesExtraData(AVCodecID id) {
    const AVCodecDescriptor* d = avcodec_descriptor_get(id);
    if (!d)
        return true;
    if (id == AV_CODEC_ID_MP1 || id == AV_CODEC_ID_MP2 || id == AV_CODEC_ID_MP3)
        return false;
    return std::strncmp(d->name, "pcm_", 4) != 0;
}

} // namespace

REFERENCE_TIME VideoTypeFrameDuration(const AM_MEDIA_TYPE& mt) {
    TVideoFormat f;
    return ReadVideoFormat(mt, &f) ? std::max<REFERENCE_TIME>(0, f.frameDuration) : 0;
}

TParametersPtr VideoCodecParameters(const AM_MEDIA_TYPE& mt) {
    TVideoFormat f;
    if (mt.majortype != MEDIATYPE_Video || IsRgbSubtype(mt.subtype) || !ReadVideoFormat(mt, &f))
        return nullptr;
    const int width = f.bmi.biWidth;
    const int height = f.bmi.biHeight == INT32_MIN ? 0 : std::abs(f.bmi.biHeight);
    // Sizes beyond what any codec can state are nonsense; those a codec can state but the
    // program does not show are left to the decoder to refuse by name (PictureLimits.h).
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535)
        return nullptr;
    TParametersPtr p = NewParameters(AVMEDIA_TYPE_VIDEO, VideoCodecOf(mt, f));
    if (!p)
        return nullptr;
    p->width = width;
    p->height = height;
    p->codec_tag = IsFourCCGuid(mt.subtype) ? mt.subtype.Data1 : f.bmi.biCompression;
    p->bits_per_coded_sample = f.bmi.biBitCount;
    p->bit_rate = f.bitRate;
    const bool avc1 = mt.subtype == MEDIASUBTYPE_AVC1 || mt.subtype == MEDIASUBTYPE_avc1;
    if (avc1 && f.sequenceHeader) {
        const int nal = f.nalLengthSize ? int(f.nalLengthSize) : 4;
        const std::vector<uint8_t> avcC = AvcCFromSequenceHeader(f.extra, nal);
        if (!SetExtraData(p.get(), avcC.empty() ? f.extra : TBytes(avcC)))
            return nullptr;
    } else if (!SetExtraData(p.get(), f.extra)) {
        return nullptr;
    }
    return p;
}

TParametersPtr AudioCodecParameters(const AM_MEDIA_TYPE& mt) {
    const TBytes block = BlockBytes(mt);
    if (mt.majortype != MEDIATYPE_Audio || mt.formattype != FORMAT_WaveFormatEx ||
        block.size() < sizeof(WAVEFORMATEX))
        return nullptr;
    const auto wfx = Read<WAVEFORMATEX>(block, 0);
    if (wfx.nChannels == 0 || wfx.nChannels > 64 || wfx.nSamplesPerSec == 0 ||
        wfx.nSamplesPerSec > 768000)
        return nullptr;
    TParametersPtr p = NewParameters(AVMEDIA_TYPE_AUDIO, AudioCodecOf(mt, wfx));
    if (!p)
        return nullptr;
    av_channel_layout_default(&p->ch_layout, wfx.nChannels);
    p->sample_rate = int(wfx.nSamplesPerSec);
    p->block_align = wfx.nBlockAlign;
    p->bit_rate = int64_t(wfx.nAvgBytesPerSec) * 8;
    p->bits_per_coded_sample = wfx.wBitsPerSample;
    p->codec_tag = wfx.wFormatTag;
    if (UsesExtraData(p->codec_id) && wfx.wFormatTag != WAVE_FORMAT_EXTENSIBLE) {
        const size_t count = std::min<size_t>(wfx.cbSize, block.size() - sizeof(WAVEFORMATEX));
        if (!SetExtraData(p.get(), block.subspan(sizeof(WAVEFORMATEX), count)))
            return nullptr;
    }
    return p;
}

#include "platform/filters/SplitterMediaTypes.h"

#include "platform/filters/AvcParameterSets.h"
#include "platform/filters/DVFrameInfo.h"
#include "platform/filters/FFmpegUtil.h"
#include "platform/filters/FilterGuids.h"
#include "platform/graph/MediaGuids.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <numeric>

namespace {

using TBytes = std::span<const uint8_t>;

TBytes ExtraData(const AVCodecParameters* p) {
    if (!p->extradata || p->extradata_size <= 0)
        return {};
    return TBytes(p->extradata, size_t(p->extradata_size));
}

bool IsPrintableFourCC(uint32_t tag) {
    for (int i = 0; i < 4; ++i) {
        const int c = int((tag >> (8 * i)) & 0xFF);
        if (!std::isalnum(c) && c != ' ' && c != '_' && c != '.' && c != '-')
            return false;
    }
    return true;
}

// The FOURCC of a video stream: the file's own when it names the same codec, else the usual
// one of the codec in AVI files, else in QuickTime files; 0 when there is none.
uint32_t VideoFourCC(const AVCodecParameters* p) {
    const AVCodecTag* const riff[] = {avformat_get_riff_video_tags(), nullptr};
    const AVCodecTag* const mov[] = {avformat_get_mov_video_tags(), nullptr};
    const uint32_t own = p->codec_tag;
    if (own && IsPrintableFourCC(own) &&
        (av_codec_get_id(riff, own) == p->codec_id || av_codec_get_id(mov, own) == p->codec_id))
        return own;
    if (const unsigned tag = av_codec_get_tag(riff, p->codec_id))
        return tag;
    return av_codec_get_tag(mov, p->codec_id);
}

bool IsIntraOnly(AVCodecID id) {
    const AVCodecDescriptor* d = avcodec_descriptor_get(id);
    return d && (d->props & AV_CODEC_PROP_INTRA_ONLY);
}

// The display aspect ratio in lowest terms (the picture's own when the pixels are square or
// their shape is unknown).
void DisplayAspect(const AVStream* st, DWORD* x, DWORD* y) {
    const AVCodecParameters* p = st->codecpar;
    AVRational sar = p->sample_aspect_ratio;
    if (sar.num <= 0 || sar.den <= 0)
        sar = st->sample_aspect_ratio;
    if (sar.num <= 0 || sar.den <= 0)
        sar = AVRational{1, 1};
    int64_t w = int64_t(p->width) * sar.num, h = int64_t(p->height) * sar.den;
    if (w <= 0 || h <= 0) {
        *x = *y = 0;
        return;
    }
    const int64_t g = std::gcd(w, h);
    w /= g;
    h /= g;
    while (w > 0xFFFF || h > 0xFFFF) {
        w = (w + 1) / 2;
        h = (h + 1) / 2;
    }
    *x = DWORD(w);
    *y = DWORD(h);
}

BITMAPINFOHEADER BitmapHeader(const AVCodecParameters* p, uint32_t compression) {
    BITMAPINFOHEADER bmi;
    bmi.biWidth = p->width;
    bmi.biHeight = p->height;
    bmi.biBitCount = WORD(p->bits_per_coded_sample > 0 ? p->bits_per_coded_sample : 24);
    bmi.biCompression = compression;
    bmi.biSizeImage = DWORD(std::max(0, p->width) * std::max(0, p->height) * 3);
    return bmi;
}

void FillVideoHeader(const AVStream* st, REFERENCE_TIME frameDuration, RECT* source, RECT* target,
                     DWORD* bitRate, REFERENCE_TIME* avgTimePerFrame) {
    const AVCodecParameters* p = st->codecpar;
    *source = *target = RECT{0, 0, p->width, p->height};
    *bitRate = DWORD(std::clamp<int64_t>(p->bit_rate, 0, 0xFFFFFFFF));
    *avgTimePerFrame = frameDuration;
}

CMediaType BaseVideoType(const AVStream* st, REFGUID subtype, REFGUID format) {
    CMediaType mt(MEDIATYPE_Video, subtype, format);
    mt.bFixedSizeSamples = 0;
    mt.lSampleSize = 0;
    mt.bTemporalCompression = IsIntraOnly(st->codecpar->codec_id) ? 0 : 1;
    return mt;
}

// FORMAT_VideoInfo with the codec's extra bytes after the header, as AVI files carry them.
CMediaType VideoInfoType(const AVStream* st, uint32_t fourcc, REFGUID subtype,
                         REFERENCE_TIME frameDuration) {
    CMediaType mt = BaseVideoType(st, subtype, FORMAT_VideoInfo);
    const TBytes extra = ExtraData(st->codecpar);
    BYTE* block = mt.AllocFormatBuffer(sizeof(VIDEOINFOHEADER) + extra.size());
    VIDEOINFOHEADER vih;
    FillVideoHeader(st, frameDuration, &vih.rcSource, &vih.rcTarget, &vih.dwBitRate,
                    &vih.AvgTimePerFrame);
    vih.bmiHeader = BitmapHeader(st->codecpar, fourcc);
    vih.bmiHeader.biSize = DWORD(sizeof(BITMAPINFOHEADER) + extra.size());
    std::memcpy(block, &vih, sizeof(vih));
    if (!extra.empty())
        std::memcpy(block + sizeof(vih), extra.data(), extra.size());
    return mt;
}

VIDEOINFOHEADER2 VideoHeader2(const AVStream* st, REFERENCE_TIME frameDuration,
                              uint32_t compression) {
    VIDEOINFOHEADER2 vih;
    FillVideoHeader(st, frameDuration, &vih.rcSource, &vih.rcTarget, &vih.dwBitRate,
                    &vih.AvgTimePerFrame);
    DisplayAspect(st, &vih.dwPictAspectRatioX, &vih.dwPictAspectRatioY);
    const AVFieldOrder order = st->codecpar->field_order;
    if (order == AV_FIELD_TT || order == AV_FIELD_TB)
        vih.dwInterlaceFlags = AMINTERLACE_IsInterlaced | AMINTERLACE_Field1First;
    else if (order == AV_FIELD_BB || order == AV_FIELD_BT)
        vih.dwInterlaceFlags = AMINTERLACE_IsInterlaced;
    vih.bmiHeader = BitmapHeader(st->codecpar, compression);
    return vih;
}

// FORMAT_MPEG2Video: the header, then the sequence header bytes (the block is never shorter
// than the structure itself, so that readers of its fixed fields find them).
CMediaType Mpeg2VideoInfoType(const AVStream* st, REFGUID subtype, uint32_t compression,
                              REFERENCE_TIME frameDuration, TBytes sequence, DWORD flags,
                              DWORD profile, DWORD level) {
    CMediaType mt = BaseVideoType(st, subtype, FORMAT_MPEG2Video);
    const size_t size = std::max(MPEG2VIDEOINFO_SIZE(sequence.size()), sizeof(MPEG2VIDEOINFO));
    BYTE* block = mt.AllocFormatBuffer(size);
    MPEG2VIDEOINFO info;
    info.hdr = VideoHeader2(st, frameDuration, compression);
    info.cbSequenceHeader = DWORD(sequence.size());
    info.dwProfile = profile;
    info.dwLevel = level;
    info.dwFlags = flags;
    std::memcpy(block, &info, offsetof(MPEG2VIDEOINFO, dwSequenceHeader));
    if (!sequence.empty())
        std::memcpy(block + offsetof(MPEG2VIDEOINFO, dwSequenceHeader), sequence.data(),
                    sequence.size());
    return mt;
}

// The extra bytes from the first sequence header start code on (MPEG-1 and MPEG-2 video).
TBytes SequenceHeaderOf(TBytes extra) {
    for (size_t i = 0; i + 3 < extra.size(); ++i)
        if (extra[i] == 0 && extra[i + 1] == 0 && extra[i + 2] == 1 && extra[i + 3] == 0xB3)
            return extra.subspan(i);
    return {};
}

DWORD Mpeg2Profile(int profile) {
    switch (profile) {
    case FF_PROFILE_MPEG2_SIMPLE:
        return AM_MPEG2Profile_Simple;
    case FF_PROFILE_MPEG2_SNR_SCALABLE:
        return AM_MPEG2Profile_SNRScalable;
    case FF_PROFILE_MPEG2_SS:
        return AM_MPEG2Profile_SpatiallyScalable;
    case FF_PROFILE_MPEG2_HIGH:
        return AM_MPEG2Profile_High;
    default:
        return AM_MPEG2Profile_Main;
    }
}

DWORD Mpeg2Level(int level) {
    switch (level) {
    case 10:
        return AM_MPEG2Level_Low;
    case 6:
        return AM_MPEG2Level_High1440;
    case 4:
        return AM_MPEG2Level_High;
    default:
        return AM_MPEG2Level_Main;
    }
}

CMediaType Mpeg1VideoType(const AVStream* st, REFERENCE_TIME frameDuration) {
    CMediaType mt = BaseVideoType(st, MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo);
    const TBytes sequence = SequenceHeaderOf(ExtraData(st->codecpar));
    const size_t size = std::max(MPEG1VIDEOINFO_SIZE(sequence.size()), sizeof(MPEG1VIDEOINFO));
    BYTE* block = mt.AllocFormatBuffer(size);
    MPEG1VIDEOINFO info;
    FillVideoHeader(st, frameDuration, &info.hdr.rcSource, &info.hdr.rcTarget, &info.hdr.dwBitRate,
                    &info.hdr.AvgTimePerFrame);
    info.hdr.bmiHeader = BitmapHeader(st->codecpar, 0);
    info.cbSequenceHeader = DWORD(sequence.size());
    std::memcpy(block, &info, offsetof(MPEG1VIDEOINFO, bSequenceHeader));
    if (!sequence.empty())
        std::memcpy(block + offsetof(MPEG1VIDEOINFO, bSequenceHeader), sequence.data(),
                    sequence.size());
    return mt;
}

CMediaType H264Type(const AVStream* st, REFERENCE_TIME frameDuration) {
    const AVCodecParameters* p = st->codecpar;
    const TBytes extra = ExtraData(p);
    if (auto header = SequenceHeaderFromAvcC(extra)) {
        return Mpeg2VideoInfoType(st, MEDIASUBTYPE_AVC1, MAKEFOURCC('A', 'V', 'C', '1'),
                                  frameDuration, header->sets, DWORD(header->nalLengthSize),
                                  DWORD(header->profile), DWORD(header->level));
    }
    return Mpeg2VideoInfoType(st, MEDIASUBTYPE_H264, MAKEFOURCC('H', '2', '6', '4'), frameDuration,
                              extra, 0, DWORD(std::max(0, p->profile)),
                              DWORD(std::max(0, p->level)));
}

CMediaType HevcType(const AVStream* st, REFERENCE_TIME frameDuration) {
    const AVCodecParameters* p = st->codecpar;
    const TBytes extra = ExtraData(p);
    // An hvcC record (length-prefixed NAL units) states the length size in its byte 21.
    const DWORD flags = extra.size() >= 23 && extra[0] == 1 ? DWORD((extra[21] & 0x03) + 1) : 0;
    return Mpeg2VideoInfoType(st, MEDIASUBTYPE_HEVC, MAKEFOURCC('H', 'E', 'V', 'C'), frameDuration,
                              extra, flags, DWORD(std::max(0, p->profile)),
                              DWORD(std::max(0, p->level)));
}

uint32_t DVFourCC(const AVCodecParameters* p) {
    if (p->codec_tag && IsPrintableFourCC(p->codec_tag) &&
        std::tolower(int(p->codec_tag & 0xFF)) == 'd' &&
        std::tolower(int((p->codec_tag >> 8) & 0xFF)) == 'v')
        return p->codec_tag;
    if (p->height > 576)
        return MAKEFOURCC('d', 'v', 'h', '1');
    return p->bit_rate > 30000000 ? MAKEFOURCC('d', 'v', '5', '0') : MAKEFOURCC('d', 'v', 's', 'd');
}

CMediaType DVVideoType(const AVStream* st, REFERENCE_TIME frameDuration) {
    const uint32_t fourcc = DVFourCC(st->codecpar);
    CMediaType mt = VideoInfoType(st, fourcc, FourCCGuid(fourcc), frameDuration);
    const bool pal = st->codecpar->height == 576 || st->codecpar->height == 288;
    const DWORD frameBytes = DWORD(pal ? kDVFrameBytes625 : kDVFrameBytes525);
    if (auto* vih = mt.FormatAs<VIDEOINFOHEADER>())
        vih->bmiHeader.biSizeImage = frameBytes;
    mt.bFixedSizeSamples = 1;
    mt.lSampleSize = frameBytes;
    return mt;
}

bool VideoType(const AVStream* st, TSplitterFlavour flavour, CMediaType* type) {
    const AVCodecParameters* p = st->codecpar;
    if (st->disposition & AV_DISPOSITION_ATTACHED_PIC)
        return false;
    const REFERENCE_TIME fd = StreamFrameDuration(st);
    if (p->codec_id == AV_CODEC_ID_DVVIDEO) {
        *type = DVVideoType(st, fd);
        return true;
    }
    if (flavour != TSplitterFlavour::Avi) {
        switch (p->codec_id) {
        case AV_CODEC_ID_MPEG2VIDEO:
            *type = Mpeg2VideoInfoType(st, MEDIASUBTYPE_MPEG2_VIDEO, 0, fd,
                                       SequenceHeaderOf(ExtraData(p)), 0, Mpeg2Profile(p->profile),
                                       Mpeg2Level(p->level));
            return true;
        case AV_CODEC_ID_MPEG1VIDEO:
            *type = Mpeg1VideoType(st, fd);
            return true;
        case AV_CODEC_ID_H264:
            *type = H264Type(st, fd);
            return true;
        case AV_CODEC_ID_HEVC:
            *type = HevcType(st, fd);
            return true;
        default:
            break;
        }
    }
    const uint32_t fourcc = VideoFourCC(p);
    const GUID subtype = fourcc ? FourCCGuid(fourcc) : FFmpegCodecSubtype(uint32_t(p->codec_id));
    *type = VideoInfoType(st, fourcc, subtype, fd);
    return true;
}

// Wave format tags of the MPEG audio header (ACM_MPEG_* values).
constexpr WORD kMpegLayer[] = {0, 1, 2, 4};
constexpr WORD kMpegStereo = 1, kMpegSingleChannel = 8, kMpegId1 = 0x10, kMpegNoEmphasis = 1;

WORD AudioTag(const AVCodecParameters* p) {
    if (p->codec_id == AV_CODEC_ID_AAC && p->extradata_size <= 0)
        return WAVE_FORMAT_MPEG_ADTS_AAC;
    const AVCodecTag* const riff[] = {avformat_get_riff_audio_tags(), nullptr};
    const unsigned tag = av_codec_get_tag(riff, p->codec_id);
    return tag <= 0xFFFF ? WORD(tag) : 0;
}

int PcmBits(const AVCodecParameters* p) {
    const int bits = av_get_bits_per_sample(p->codec_id);
    return bits > 0 ? bits : p->bits_per_coded_sample;
}

WAVEFORMATEX WaveFormat(const AVCodecParameters* p, WORD tag, int extraBytes) {
    WAVEFORMATEX wfx;
    wfx.wFormatTag = tag;
    wfx.nChannels = WORD(std::clamp(p->ch_layout.nb_channels, 0, 0xFFFF));
    wfx.nSamplesPerSec = DWORD(std::max(0, p->sample_rate));
    const bool pcm = tag == WAVE_FORMAT_PCM || tag == WAVE_FORMAT_IEEE_FLOAT;
    if (pcm) {
        wfx.wBitsPerSample = WORD(PcmBits(p));
        wfx.nBlockAlign = WORD(wfx.nChannels * wfx.wBitsPerSample / 8);
        wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
    } else {
        wfx.wBitsPerSample = WORD(std::max(0, p->bits_per_coded_sample));
        wfx.nBlockAlign = WORD(std::clamp(p->block_align, 1, 0xFFFF));
        wfx.nAvgBytesPerSec = DWORD(std::clamp<int64_t>(p->bit_rate / 8, 0, 0xFFFFFFFF));
    }
    wfx.cbSize = WORD(extraBytes);
    return wfx;
}

CMediaType WaveType(REFGUID subtype, const WAVEFORMATEX& wfx, const void* extra, size_t size) {
    CMediaType mt(MEDIATYPE_Audio, subtype, FORMAT_WaveFormatEx);
    BYTE* block = mt.AllocFormatBuffer(sizeof(WAVEFORMATEX) + size);
    std::memcpy(block, &wfx, sizeof(wfx));
    if (size)
        std::memcpy(block + sizeof(wfx), extra, size);
    mt.bFixedSizeSamples = 1;
    mt.lSampleSize = std::max<ULONG>(1, wfx.nBlockAlign);
    return mt;
}

GUID MpegAudioSubtype(TSplitterFlavour flavour, WORD tag) {
    if (flavour == TSplitterFlavour::MpegProgram)
        return MEDIASUBTYPE_MPEG2_AUDIO;
    if (flavour == TSplitterFlavour::MpegSystem)
        return MEDIASUBTYPE_MPEG1Audio;
    return FourCCGuid(tag);
}

CMediaType MpegAudioType(const AVCodecParameters* p, TSplitterFlavour flavour) {
    if (p->codec_id == AV_CODEC_ID_MP3) {
        MPEGLAYER3WAVEFORMAT mp3;
        mp3.wfx = WaveFormat(p, WAVE_FORMAT_MPEGLAYER3, sizeof(mp3) - sizeof(WAVEFORMATEX));
        mp3.wID = 1;
        mp3.nFramesPerBlock = 1;
        return WaveType(MpegAudioSubtype(flavour, WAVE_FORMAT_MPEGLAYER3), mp3.wfx,
                        reinterpret_cast<const BYTE*>(&mp3) + sizeof(WAVEFORMATEX),
                        sizeof(mp3) - sizeof(WAVEFORMATEX));
    }
    MPEG1WAVEFORMAT mpeg;
    mpeg.wfx = WaveFormat(p, WAVE_FORMAT_MPEG, sizeof(mpeg) - sizeof(WAVEFORMATEX));
    mpeg.fwHeadLayer = kMpegLayer[p->codec_id == AV_CODEC_ID_MP1 ? 1 : 2];
    mpeg.dwHeadBitrate = DWORD(std::clamp<int64_t>(p->bit_rate, 0, 0xFFFFFFFF));
    mpeg.fwHeadMode = p->ch_layout.nb_channels == 1 ? kMpegSingleChannel : kMpegStereo;
    mpeg.wHeadEmphasis = kMpegNoEmphasis;
    mpeg.fwHeadFlags = p->sample_rate >= 32000 ? kMpegId1 : 0;
    return WaveType(MpegAudioSubtype(flavour, WAVE_FORMAT_MPEG), mpeg.wfx,
                    reinterpret_cast<const BYTE*>(&mpeg) + sizeof(WAVEFORMATEX),
                    sizeof(mpeg) - sizeof(WAVEFORMATEX));
}

bool AudioType(const AVStream* st, TSplitterFlavour flavour, CMediaType* type) {
    const AVCodecParameters* p = st->codecpar;
    const bool mpegFlavour =
        flavour == TSplitterFlavour::MpegProgram || flavour == TSplitterFlavour::MpegSystem;
    switch (p->codec_id) {
    case AV_CODEC_ID_MP1:
    case AV_CODEC_ID_MP2:
    case AV_CODEC_ID_MP3:
        *type = MpegAudioType(p, flavour);
        return true;
    case AV_CODEC_ID_PCM_DVD:
        *type = WaveType(MEDIASUBTYPE_DVD_LPCM_AUDIO, WaveFormat(p, 0, 0), nullptr, 0);
        return true;
    default:
        break;
    }
    if (p->codec_id == AV_CODEC_ID_AC3 && mpegFlavour) {
        *type =
            WaveType(MEDIASUBTYPE_DOLBY_AC3, WaveFormat(p, WAVE_FORMAT_DOLBY_AC3, 0), nullptr, 0);
        return true;
    }
    const WORD tag = AudioTag(p);
    TBytes extra;
    if (tag != WAVE_FORMAT_PCM && tag != WAVE_FORMAT_IEEE_FLOAT) {
        extra = ExtraData(p);
        extra = extra.first(std::min<size_t>(extra.size(), 0xFFFF));
    }
    GUID subtype = tag ? FourCCGuid(tag) : FFmpegCodecSubtype(uint32_t(p->codec_id));
    if (!tag) {
        const AVCodecTag* const mov[] = {avformat_get_mov_audio_tags(), nullptr};
        if (const unsigned fourcc = av_codec_get_tag(mov, p->codec_id); IsPrintableFourCC(fourcc))
            subtype = FourCCGuid(fourcc);
    }
    *type = WaveType(subtype, WaveFormat(p, tag, int(extra.size())), extra.data(), extra.size());
    return true;
}

} // namespace

REFERENCE_TIME StreamFrameDuration(const AVStream* st) {
    REFERENCE_TIME fd = kelvara::ff::FrameDurationOf(st->avg_frame_rate);
    if (fd <= 0)
        fd = kelvara::ff::FrameDurationOf(st->r_frame_rate);
    // A rate beyond 1000 frames per second is a time base, not a frame rate.
    return fd >= 10000 ? fd : 0;
}

bool StreamMediaType(const AVStream* stream, TSplitterFlavour flavour, CMediaType* type) {
    if (!stream || !stream->codecpar || !type || stream->codecpar->codec_id == AV_CODEC_ID_NONE)
        return false;
    switch (stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        // A stream whose size is unknown (a damaged sequence header) still gets its pin: the
        // decoders, which cannot take it, then say that it cannot be decoded, not that there
        // is no video.
        return stream->codecpar->width >= 0 && stream->codecpar->height >= 0 &&
               VideoType(stream, flavour, type);
    case AVMEDIA_TYPE_AUDIO:
        return stream->codecpar->ch_layout.nb_channels > 0 && stream->codecpar->sample_rate > 0 &&
               AudioType(stream, flavour, type);
    default:
        return false;
    }
}

CMediaType InterleavedDVType(std::span<const uint8_t> firstFrame) {
    CMediaType mt(MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd, FORMAT_DvInfo);
    mt.SetFormat(ReadDVInfo(firstFrame));
    const std::optional<TDVSystem> system = ReadDVSystem(firstFrame);
    mt.bFixedSizeSamples = 1;
    mt.lSampleSize = ULONG(system ? system->frameBytes : kDVFrameBytes625);
    mt.bTemporalCompression = 0;
    return mt;
}

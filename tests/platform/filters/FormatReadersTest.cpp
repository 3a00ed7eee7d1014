// The small readers of outside data behind the splitters and decoders: the stream sniffer, the
// AVI header walk, the two forms of H.264 parameter sets, and the media types the decoders
// read, each on valid and on hostile input.
#include "platform/filters/AvcParameterSets.h"
#include "platform/filters/AviHeaderProbe.h"
#include "platform/filters/DecoderMediaTypes.h"
#include "platform/filters/FilterGuids.h"
#include "platform/filters/StreamSniffer.h"
#include "platform/graph/MediaGuids.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    return {values.begin(), values.end()};
}

std::vector<uint8_t> Text(const std::string& s) {
    return {s.begin(), s.end()};
}

// The bytes of a literal, zero bytes inside it included.
template <size_t N>
std::vector<uint8_t> Text(const char (&s)[N]) {
    return {s, s + N - 1};
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

std::vector<uint8_t> Le32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

struct TSniff {
    const char* name;
    std::vector<uint8_t> head;
    GUID subtype;
};

std::vector<uint8_t> TransportPackets(size_t packet, size_t offset, int count) {
    std::vector<uint8_t> bytes(packet * size_t(count), 0xAB);
    for (int i = 0; i < count; ++i)
        bytes[size_t(i) * packet + offset] = 0x47;
    return bytes;
}

std::vector<uint8_t> Pack(int marker, size_t junk) {
    std::vector<uint8_t> bytes(junk, 0x11);
    Append(bytes, Bytes({0, 0, 1, 0xBA, marker, 0, 0, 0}));
    return bytes;
}

TEST(StreamSniffer, NamesTheStreamByItsFirstBytes) {
    const TSniff cases[] = {
        {"avi", Text("RIFF\x10\0\0\0AVI LIST"), MEDIASUBTYPE_Avi},
        {"avi extension", Text("RIFF\x10\0\0\0AVIXLIST"), MEDIASUBTYPE_Avi},
        {"wave", Text("RIFF\x10\0\0\0WAVEfmt "), MEDIASUBTYPE_WAVE},
        {"rf64", Text("RF64\xFF\xFF\xFF\xFFWAVEds64"), MEDIASUBTYPE_WAVE},
        {"asf",
         Bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62,
                0xCE, 0x6C}),
         MEDIASUBTYPE_Asf},
        {"transport", TransportPackets(188, 0, 5), MEDIASUBTYPE_MPEG2_TRANSPORT},
        {"transport with time codes", TransportPackets(192, 4, 5), MEDIASUBTYPE_MPEG2_TRANSPORT},
        {"two sync bytes only", TransportPackets(188, 0, 2), GUID_NULL},
        {"program stream", Pack(0x44, 0), MEDIASUBTYPE_MPEG2_PROGRAM},
        {"program stream after junk", Pack(0x44, 3000), MEDIASUBTYPE_MPEG2_PROGRAM},
        {"system stream", Pack(0x21, 0), MEDIASUBTYPE_MPEG1System},
        {"pack of another kind", Pack(0x00, 0), GUID_NULL},
        {"video elementary stream", Bytes({0, 0, 1, 0xB3, 0x16, 0x01, 0x20}),
         MEDIASUBTYPE_MPEG1Video},
        {"riff of another kind", Text("RIFF\x10\0\0\0CDXA"), GUID_NULL},
        {"truncated riff", Text("RIFF\x10\0"), GUID_NULL},
        {"nothing", {}, GUID_NULL},
        {"pack header at the very end", Bytes({0, 0, 1, 0xBA}), GUID_NULL},
    };
    for (const TSniff& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GuidToString(SniffStreamSubtype(c.head)), GuidToString(c.subtype));
    }
}

std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> bytes = Text(std::string(id, 4));
    Append(bytes, Le32(uint32_t(body.size())));
    Append(bytes, body);
    if (body.size() & 1)
        bytes.push_back(0);
    return bytes;
}

std::vector<uint8_t> List(const char* type, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> inner = Text(std::string(type, 4));
    Append(inner, body);
    return Chunk("LIST", inner);
}

std::vector<uint8_t> Avi(const char* streamType) {
    std::vector<uint8_t> strh = Text(std::string(streamType, 4));
    strh.resize(56, 0);
    std::vector<uint8_t> hdrl = Chunk("avih", std::vector<uint8_t>(56, 0));
    Append(hdrl, List("strl", Chunk("strh", strh)));
    std::vector<uint8_t> riff = Text("AVI ");
    Append(riff, List("hdrl", hdrl));
    Append(riff, List("movi", Chunk("00dc", {1, 2, 3})));
    return Chunk("RIFF", riff);
}

TEST(AviHeaderProbe, FindsAnInterleavedDVStream) {
    EXPECT_TRUE(HasInterleavedDVStream(Avi("iavs")));
    EXPECT_FALSE(HasInterleavedDVStream(Avi("vids")));
    // Cut anywhere: no read past the end, and no stream found where its header is cut off.
    const std::vector<uint8_t> whole = Avi("iavs");
    for (size_t n = 0; n < whole.size(); ++n) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(n));
        const bool found = HasInterleavedDVStream(cut);
        if (n < 12 + 12 + 64 + 12 + 12) {
            EXPECT_FALSE(found) << n;
        }
    }
    // A chunk that claims more bytes than there are.
    std::vector<uint8_t> lying = Avi("iavs");
    lying[16] = 0xFF, lying[17] = 0xFF, lying[18] = 0xFF, lying[19] = 0x7F;
    HasInterleavedDVStream(lying);
}

const std::vector<uint8_t> kSps = Bytes({0x67, 0x64, 0x00, 0x1F, 0xAC, 0xD9, 0x40});
const std::vector<uint8_t> kPps = Bytes({0x68, 0xEB, 0xE3, 0xCB});

std::vector<uint8_t> AvcC() {
    std::vector<uint8_t> avcC = Bytes({1, 0x64, 0x00, 0x1F, 0xFF, 0xE1, 0, int(kSps.size())});
    Append(avcC, kSps);
    Append(avcC, Bytes({1, 0, int(kPps.size())}));
    Append(avcC, kPps);
    return avcC;
}

TEST(AvcParameterSets, RoundTripBetweenAvcCAndTheSequenceHeader) {
    const auto header = SequenceHeaderFromAvcC(AvcC());
    ASSERT_TRUE(header);
    EXPECT_EQ(header->nalLengthSize, 4);
    EXPECT_EQ(header->profile, 0x64);
    EXPECT_EQ(header->level, 0x1F);
    std::vector<uint8_t> sets = Bytes({0, int(kSps.size())});
    Append(sets, kSps);
    Append(sets, Bytes({0, int(kPps.size())}));
    Append(sets, kPps);
    EXPECT_EQ(header->sets, sets);
    EXPECT_EQ(AvcCFromSequenceHeader(sets, 4), AvcC());
}

TEST(AvcParameterSets, RefuseWhatIsNotThere) {
    const std::vector<uint8_t> avcC = AvcC();
    for (size_t n = 0; n < avcC.size(); ++n)
        EXPECT_FALSE(SequenceHeaderFromAvcC({avcC.data(), n})) << n;
    std::vector<uint8_t> annexB = Bytes({0, 0, 0, 1});
    Append(annexB, kSps);
    EXPECT_FALSE(SequenceHeaderFromAvcC(annexB));
    EXPECT_TRUE(AvcCFromSequenceHeader(Bytes({0, 20, 0x67}), 4).empty()); // runs past the end
    EXPECT_TRUE(AvcCFromSequenceHeader(Bytes({0, 4, 0x68, 1, 2, 3}), 4).empty()); // no SPS
    std::vector<uint8_t> sets = Bytes({0, int(kSps.size())});
    Append(sets, kSps);
    EXPECT_TRUE(AvcCFromSequenceHeader(sets, 5).empty());
    EXPECT_FALSE(AvcCFromSequenceHeader(sets, 2).empty());
}

CMediaType VideoInfoType(REFGUID subtype, uint32_t compression, int width, int height,
                         const std::vector<uint8_t>& extra = {}) {
    CMediaType mt(MEDIATYPE_Video, subtype, FORMAT_VideoInfo);
    BYTE* block = mt.AllocFormatBuffer(sizeof(VIDEOINFOHEADER) + extra.size());
    VIDEOINFOHEADER vih;
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biCompression = compression;
    vih.AvgTimePerFrame = 400000;
    std::memcpy(block, &vih, sizeof(vih));
    if (!extra.empty())
        std::memcpy(block + sizeof(vih), extra.data(), extra.size());
    return mt;
}

CMediaType WaveType(REFGUID subtype, WORD tag, WORD bits, WORD channels = 2) {
    CMediaType mt(MEDIATYPE_Audio, subtype, FORMAT_WaveFormatEx);
    WAVEFORMATEX wfx;
    wfx.wFormatTag = tag;
    wfx.nChannels = channels;
    wfx.nSamplesPerSec = 48000;
    wfx.wBitsPerSample = bits;
    mt.SetFormat(wfx);
    return mt;
}

struct TCodecCase {
    const char* name;
    CMediaType type;
    AVCodecID codec;
};

TEST(DecoderMediaTypes, NameTheCodecOfEveryUsualType) {
    const TCodecCase video[] = {
        {"dvsd", VideoInfoType(MEDIASUBTYPE_dvsd, MAKEFOURCC('d', 'v', 's', 'd'), 720, 576),
         AV_CODEC_ID_DVVIDEO},
        {"MJPG", VideoInfoType(MEDIASUBTYPE_MJPG, MAKEFOURCC('M', 'J', 'P', 'G'), 64, 48),
         AV_CODEC_ID_MJPEG},
        {"XVID", VideoInfoType(MEDIASUBTYPE_XVID, MAKEFOURCC('X', 'V', 'I', 'D'), 64, 48),
         AV_CODEC_ID_MPEG4},
        {"WMV3", VideoInfoType(MEDIASUBTYPE_WMV3, MAKEFOURCC('W', 'M', 'V', '3'), 64, 48),
         AV_CODEC_ID_WMV3},
        {"WVC1", VideoInfoType(MEDIASUBTYPE_WVC1, MAKEFOURCC('W', 'V', 'C', '1'), 64, 48),
         AV_CODEC_ID_VC1},
        {"avc1 in lower case", VideoInfoType(MEDIASUBTYPE_avc1, 0, 64, 48), AV_CODEC_ID_H264},
        {"HEVC", VideoInfoType(MEDIASUBTYPE_HEVC, 0, 64, 48), AV_CODEC_ID_HEVC},
        {"YUY2", VideoInfoType(MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2'), 64, 48),
         AV_CODEC_ID_RAWVIDEO},
        {"MPEG-2", VideoInfoType(MEDIASUBTYPE_MPEG2_VIDEO, 0, 720, 576), AV_CODEC_ID_MPEG2VIDEO},
        {"FFmpeg family", VideoInfoType(FFmpegCodecSubtype(AV_CODEC_ID_FFV1), 0, 64, 48),
         AV_CODEC_ID_FFV1},
    };
    for (const TCodecCase& c : video) {
        SCOPED_TRACE(c.name);
        const auto p = VideoCodecParameters(c.type);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->codec_id, c.codec);
        EXPECT_EQ(p->width, c.type.ReadFormat<VIDEOINFOHEADER>()->bmiHeader.biWidth);
    }
    const TCodecCase audio[] = {
        {"PCM 16", WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 16), AV_CODEC_ID_PCM_S16LE},
        {"PCM 24", WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 24), AV_CODEC_ID_PCM_S24LE},
        {"PCM 8", WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 8), AV_CODEC_ID_PCM_U8},
        {"float", WaveType(MEDIASUBTYPE_IEEE_FLOAT, WAVE_FORMAT_IEEE_FLOAT, 32),
         AV_CODEC_ID_PCM_F32LE},
        {"MPEG-2 audio", WaveType(MEDIASUBTYPE_MPEG2_AUDIO, WAVE_FORMAT_MPEG, 0), AV_CODEC_ID_MP2},
        {"MP3", WaveType(MEDIASUBTYPE_MP3, WAVE_FORMAT_MPEGLAYER3, 0), AV_CODEC_ID_MP3},
        {"Dolby", WaveType(MEDIASUBTYPE_DOLBY_AC3, WAVE_FORMAT_DOLBY_AC3, 0), AV_CODEC_ID_AC3},
        {"AAC", WaveType(MEDIASUBTYPE_AAC, WAVE_FORMAT_AAC, 0), AV_CODEC_ID_AAC},
        {"ADTS", WaveType(MEDIASUBTYPE_MPEG_ADTS_AAC, WAVE_FORMAT_MPEG_ADTS_AAC, 0),
         AV_CODEC_ID_AAC},
        {"WMA", WaveType(MEDIASUBTYPE_WMAUDIO2, 0x161, 16), AV_CODEC_ID_WMAV2},
        {"LPCM", WaveType(MEDIASUBTYPE_DVD_LPCM_AUDIO, 0, 16), AV_CODEC_ID_PCM_DVD},
    };
    for (const TCodecCase& c : audio) {
        SCOPED_TRACE(c.name);
        const auto p = AudioCodecParameters(c.type);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->codec_id, c.codec);
        EXPECT_EQ(p->sample_rate, 48000);
        EXPECT_EQ(p->ch_layout.nb_channels, 2);
    }
}

TEST(DecoderMediaTypes, RefuseWhatNoDecoderShouldTake) {
    const CMediaType refused[] = {
        VideoInfoType(MEDIASUBTYPE_RGB32, BI_RGB, 64, 48),                         // our own output
        VideoInfoType(FourCCGuid("QZXW"), MAKEFOURCC('Q', 'Z', 'X', 'W'), 64, 48), // unknown
        VideoInfoType(MEDIASUBTYPE_MJPG, MAKEFOURCC('M', 'J', 'P', 'G'), 0, 48),
        VideoInfoType(MEDIASUBTYPE_MJPG, MAKEFOURCC('M', 'J', 'P', 'G'), 64, INT32_MIN),
        VideoInfoType(MEDIASUBTYPE_MJPG, MAKEFOURCC('M', 'J', 'P', 'G'), 100000, 48),
        CMediaType(MEDIATYPE_Video, MEDIASUBTYPE_MJPG, FORMAT_VideoInfo), // no block
    };
    for (const CMediaType& t : refused)
        EXPECT_FALSE(VideoCodecParameters(t));
    EXPECT_FALSE(AudioCodecParameters(WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 16, 0)));
    EXPECT_FALSE(AudioCodecParameters(WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 12)));
    EXPECT_FALSE(VideoCodecParameters(WaveType(MEDIASUBTYPE_PCM, WAVE_FORMAT_PCM, 16)));
}

TEST(DecoderMediaTypes, TakeTheExtraBytesWithinTheBlock) {
    CMediaType mt(MEDIATYPE_Video, MEDIASUBTYPE_AVC1, FORMAT_MPEG2Video);
    std::vector<uint8_t> sets = Bytes({0, int(kSps.size())});
    Append(sets, kSps);
    Append(sets, Bytes({0, int(kPps.size())}));
    Append(sets, kPps);
    BYTE* block = mt.AllocFormatBuffer(MPEG2VIDEOINFO_SIZE(sets.size()));
    MPEG2VIDEOINFO info;
    info.hdr.bmiHeader.biWidth = 64;
    info.hdr.bmiHeader.biHeight = 48;
    info.cbSequenceHeader = DWORD(sets.size());
    info.dwFlags = 4;
    std::memcpy(block, &info, offsetof(MPEG2VIDEOINFO, dwSequenceHeader));
    std::memcpy(block + offsetof(MPEG2VIDEOINFO, dwSequenceHeader), sets.data(), sets.size());
    auto p = VideoCodecParameters(mt);
    ASSERT_TRUE(p);
    EXPECT_EQ(std::vector<uint8_t>(p->extradata, p->extradata + p->extradata_size), AvcC());
    // A sequence header that claims more than the block holds is cut at the block's end.
    reinterpret_cast<MPEG2VIDEOINFO*>(mt.pbFormat())->cbSequenceHeader = 100000;
    p = VideoCodecParameters(mt);
    ASSERT_TRUE(p);
    EXPECT_EQ(std::vector<uint8_t>(p->extradata, p->extradata + p->extradata_size), AvcC());
}

} // namespace

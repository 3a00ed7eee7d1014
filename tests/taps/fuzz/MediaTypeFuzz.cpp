// Media types with any format block bytes and length through the video and audio descriptions.
// The first three bytes pick the major type, sub-type and format type from the ones the readers
// know (or take 16 bytes of the input as a GUID); the rest is the format block.
#include "platform/graph/MediaGuids.h"
#include "taps/uMediaDescriptions.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

const GUID kMajors[] = {MEDIATYPE_Video, MEDIATYPE_Audio, MEDIATYPE_Interleaved, GUID_NULL};
const GUID kSubtypes[] = {
    MEDIASUBTYPE_dvsd,        MEDIASUBTYPE_DVSD,         MEDIASUBTYPE_dvcp,
    MEDIASUBTYPE_YV12,        MEDIASUBTYPE_RGB24,        MEDIASUBTYPE_RGB565,
    MEDIASUBTYPE_MPEG2_VIDEO, MEDIASUBTYPE_MPEG2_AUDIO,  MEDIASUBTYPE_DOLBY_AC3,
    MEDIASUBTYPE_PCM,         MEDIASUBTYPE_MPEG1Payload, MEDIASUBTYPE_MPEG1Audio,
    FourCCGuid(0x00000055),   FourCCGuid(0x01020304),    GUID_NULL};
const GUID kFormats[] = {FORMAT_VideoInfo, FORMAT_VideoInfo2,   FORMAT_MPEG2Video,
                         FORMAT_MPEGVideo, FORMAT_WaveFormatEx, FORMAT_DvInfo,
                         GUID_NULL};

template <size_t N>
GUID Pick(const GUID (&table)[N], uint8_t selector, const uint8_t*& data, size_t& size) {
    if (selector < N)
        return table[selector];
    GUID g;
    if (size >= sizeof g) {
        std::memcpy(&g, data, sizeof g);
        data += sizeof g;
        size -= sizeof g;
    }
    return g;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const uint8_t major = data[0] % 5, sub = data[1] % 16, format = data[2] % 8;
    data += 3;
    size -= 3;
    AM_MEDIA_TYPE mt;
    mt.majortype = Pick(kMajors, major, data, size);
    mt.subtype = Pick(kSubtypes, sub, data, size);
    mt.formattype = Pick(kFormats, format, data, size);
    mt.SetFormat(data, size);
    DescribeVideoType(mt);
    VideoFormatName(mt);
    AudioFormatName(mt);
    TframeData f;
    DescribeAudioFormat(mt, false, f);
    DescribeAudioFormat(mt, true, f);
    if (size >= 2)
        WaveFormatTagName(uint16_t(data[0] | data[1] << 8));
    return 0;
}

// The renderers' readers of media types and payloads: any format block, as an upstream filter
// might hand it over, is read by the video and audio renderers' format parsers, and when they
// take it a payload is converted (the picture copied into an image, the sound into floats).
#include "platform/filters/AudioRendererFormat.h"
#include "platform/filters/VideoRendererFormat.h"
#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Payloads larger than this are not made up (a picture of the largest size takes a gigabyte).
constexpr size_t kMaxPayload = 1 << 18;

const GUID kVideoSubtypes[] = {MEDIASUBTYPE_RGB32, MEDIASUBTYPE_ARGB32, MEDIASUBTYPE_RGB24,
                               MEDIASUBTYPE_YUY2};
const GUID kAudioSubtypes[] = {MEDIASUBTYPE_PCM, MEDIASUBTYPE_IEEE_FLOAT,
                               FourCCGuid(WAVE_FORMAT_EXTENSIBLE), MEDIASUBTYPE_MP3};

void Video(uint8_t selector, const uint8_t* data, size_t size) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Video, kVideoSubtypes[selector % 4],
                     (selector & 0x10) ? FORMAT_VideoInfo2 : FORMAT_VideoInfo);
    const size_t block = std::min(size, size_t((selector & 0x20) ? 112 : 88));
    mt.SetFormat(data, block);
    const std::optional<TVideoFormat> format = TVideoFormat::FromMediaType(mt);
    if (!format || size_t(format->BufferSize()) > kMaxPayload)
        return;
    // The rest of the input is the payload, repeated to the size the format asks for.
    std::vector<BYTE> payload(size_t(format->BufferSize()));
    const uint8_t* rest = data + block;
    const size_t restSize = size - block;
    for (size_t i = 0; i < payload.size() && restSize > 0; ++i)
        payload[i] = rest[i % restSize];
    const qsizetype length = (selector & 0x40) ? qsizetype(payload.size()) / 2 : payload.size();
    QImage image;
    format->CopyInto(payload.data(), length, image);
    format->CopyInto(payload.data(), length, image); // again into the image of the first copy
}

void Audio(uint8_t selector, const uint8_t* data, size_t size) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Audio, kAudioSubtypes[selector % 4], FORMAT_WaveFormatEx);
    const size_t block = std::min(size, size_t((selector & 0x10) ? 40 : 18));
    mt.SetFormat(data, block);
    const std::optional<TAudioFormat> format = TAudioFormat::FromMediaType(mt);
    if (!format)
        return;
    const size_t bytes = std::min(size - block, kMaxPayload);
    std::vector<float> out(size_t(format->FramesIn(bytes)) * size_t(format->channels));
    format->ToFloat(data + block, bytes, out.data());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const uint8_t selector = data[0];
    if (selector & 0x80)
        Audio(selector, data + 1, size - 1);
    else
        Video(selector, data + 1, size - 1);
    return 0;
}

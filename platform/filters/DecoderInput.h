#pragma once
// What both libavcodec decoders do with a compressed sample: copy it into a packet and feed it
// to the codec, reading decoded frames whenever the codec is full.
//
// Damaged data never ends a stream: a packet the codec refuses is skipped and the codec picks
// up at the next one, as FFmpeg's own tools do. Only memory running out does (E_OUTOFMEMORY,
// which the decoders report to the graph).
#include "platform/filters/FFmpegUtil.h"
#include "platform/graph/SampleInterfaces.h"

#include <functional>

namespace kelvara::ff {

// Fills `packet` with the sample's payload and its start time as the presentation time
// (AV_NOPTS_VALUE when it has none): S_OK; S_FALSE when the sample holds nothing;
// E_OUTOFMEMORY.
HRESULT PacketFromSample(IMediaSample* sample, AVPacket* packet);

// The result for a libavcodec error code: E_OUTOFMEMORY for AVERROR(ENOMEM), else S_OK (the
// codec met damaged data and goes on with the next packet).
HRESULT CodecFailure(int err);

// Sends `packet` to `codec`; while the codec wants its output read first, `drain` reads it and
// the packet is sent again. Then `drain` reads what the packet gave. A packet the codec refuses
// (damaged data) is skipped. Returns the first result of `drain` other than S_OK; when the codec
// itself runs out of memory, E_OUTOFMEMORY with *codecOutOfMemory set (so that the decoder can
// tell its own failure from one that came back from downstream).
HRESULT SendAndDrain(AVCodecContext* codec, const AVPacket* packet,
                     const std::function<HRESULT()>& drain, bool* codecOutOfMemory);

} // namespace kelvara::ff

#pragma once
// What both libavcodec decoders do with a compressed sample: copy it into a packet and feed it
// to the codec, reading decoded frames whenever the codec is full.
#include "platform/filters/FFmpegUtil.h"
#include "platform/graph/SampleInterfaces.h"

#include <functional>

namespace kelvara::ff {

// Fills `packet` with the sample's payload and its start time as the presentation time
// (AV_NOPTS_VALUE when it has none); false when the sample holds nothing or memory runs out.
bool PacketFromSample(IMediaSample* sample, AVPacket* packet);

// Sends `packet` to `codec`; while the codec wants its output read first, `drain` reads it and
// the packet is sent again. Then `drain` reads what the packet gave. A packet the codec refuses
// (damaged data) is skipped: the codec picks up at the next one. Returns the first result of
// `drain` other than S_OK.
HRESULT SendAndDrain(AVCodecContext* codec, const AVPacket* packet,
                     const std::function<HRESULT()>& drain);

} // namespace kelvara::ff

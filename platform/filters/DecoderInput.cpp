#include "platform/filters/DecoderInput.h"

#include <cstring>

namespace kelvara::ff {

bool PacketFromSample(IMediaSample* sample, AVPacket* packet) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const LONG length = sample->GetActualDataLength();
    av_packet_unref(packet);
    if (length <= 0 || !data || av_new_packet(packet, length) < 0)
        return false;
    std::memcpy(packet->data, data, size_t(length));
    REFERENCE_TIME start = 0, stop = 0;
    packet->pts = SUCCEEDED(sample->GetTime(&start, &stop)) ? start : AV_NOPTS_VALUE;
    return true;
}

HRESULT SendAndDrain(AVCodecContext* codec, const AVPacket* packet,
                     const std::function<HRESULT()>& drain) {
    int r = avcodec_send_packet(codec, packet);
    while (r == AVERROR(EAGAIN)) {
        const HRESULT hr = drain();
        if (hr != S_OK)
            return hr;
        r = avcodec_send_packet(codec, packet);
    }
    return drain();
}

} // namespace kelvara::ff

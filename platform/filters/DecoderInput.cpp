#include "platform/filters/DecoderInput.h"

#include <cerrno>
#include <cstring>

namespace kelvara::ff {

HRESULT PacketFromSample(IMediaSample* sample, AVPacket* packet) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const LONG length = sample->GetActualDataLength();
    av_packet_unref(packet);
    if (length <= 0 || !data)
        return S_FALSE;
    if (av_new_packet(packet, length) < 0)
        return E_OUTOFMEMORY;
    std::memcpy(packet->data, data, size_t(length));
    REFERENCE_TIME start = 0, stop = 0;
    packet->pts = SUCCEEDED(sample->GetTime(&start, &stop)) ? start : AV_NOPTS_VALUE;
    return S_OK;
}

HRESULT CodecFailure(int err) {
    return err == AVERROR(ENOMEM) ? E_OUTOFMEMORY : S_OK;
}

HRESULT SendAndDrain(AVCodecContext* codec, const AVPacket* packet,
                     const std::function<HRESULT()>& drain, bool* codecOutOfMemory) {
    *codecOutOfMemory = false;
    int r = avcodec_send_packet(codec, packet);
    while (r == AVERROR(EAGAIN)) {
        const HRESULT hr = drain();
        if (hr != S_OK)
            return hr;
        r = avcodec_send_packet(codec, packet);
    }
    if (FAILED(CodecFailure(r))) {
        *codecOutOfMemory = true;
        return E_OUTOFMEMORY;
    }
    return drain();
}

} // namespace kelvara::ff

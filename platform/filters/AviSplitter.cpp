#include "platform/filters/AviSplitter.h"

#include "platform/filters/AviHeaderProbe.h"
#include "platform/filters/FormatProbe.h"
#include "platform/filters/StreamSniffer.h"
#include "platform/graph/MediaGuids.h"

namespace {
// Packets read at most while looking for the first DV frame of a type-1 file.
constexpr int kMaxPacketsToFirstFrame = 256;
} // namespace

TAviSplitter::TAviSplitter()
    : TPullSplitter(QStringLiteral("AVI Splitter"), CLSID_AviSplitter, TSplitterFlavour::Avi,
                    {MEDIASUBTYPE_Avi}) {}

bool TAviSplitter::ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) {
    if (SniffStreamSubtype(head) != MEDIASUBTYPE_Avi)
        return false;
    FInterleavedDV = HasInterleavedDVStream(head);
    *format = InputFormat("avi");
    return *format != nullptr;
}

bool TAviSplitter::MakeStreamType(int stream, CMediaType* type) {
    const AVStream* st = Demuxer().Context()->streams[stream];
    if (!FInterleavedDV)
        return TPullSplitter::MakeStreamType(stream, type);
    // FFmpeg splits the interleaved stream into video and audio; the pin gives the whole
    // frames of the video side and its type needs the packs of the first frame.
    if (st->codecpar->codec_id != AV_CODEC_ID_DVVIDEO)
        return false;
    kelvara::ff::TPacketPtr packet = kelvara::ff::NewPacket();
    for (int i = 0; i < kMaxPacketsToFirstFrame; ++i) {
        if (MutableDemuxer().Read(packet.get()) < 0)
            return false;
        if (packet->stream_index == stream) {
            *type = InterleavedDVType(std::span<const uint8_t>(packet->data, size_t(packet->size)));
            return true;
        }
        av_packet_unref(packet.get());
    }
    return false;
}

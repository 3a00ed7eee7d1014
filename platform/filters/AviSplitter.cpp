#include "platform/filters/AviSplitter.h"

#include "platform/filters/AviHeaderProbe.h"
#include "platform/filters/DVFrameInfo.h"
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

std::vector<uint8_t> TAviSplitter::FirstRecordedDVFrame(int stream) {
    kelvara::ff::TPacketPtr packet = kelvara::ff::NewPacket();
    std::vector<uint8_t> first, recorded;
    for (int i = 0; packet && i < kMaxPacketsToFirstFrame && recorded.empty(); ++i) {
        if (MutableDemuxer().Read(packet.get()) < 0)
            break;
        if (packet->stream_index == stream) {
            const std::span<const uint8_t> frame(packet->data, size_t(std::max(0, packet->size)));
            if (first.empty())
                first.assign(frame.begin(), frame.end());
            if (IsRecordedDVFrame(frame))
                recorded.assign(frame.begin(), frame.end());
        }
        av_packet_unref(packet.get());
    }
    // The packets are read again from the start when the pins start.
    MutableDemuxer().Seek(0, 0);
    return recorded.empty() ? first : recorded;
}

bool TAviSplitter::MakeStreamType(int stream, CMediaType* type) {
    const AVStream* st = Demuxer().Context()->streams[stream];
    const bool dv = st->codecpar->codec_id == AV_CODEC_ID_DVVIDEO;
    if (!FInterleavedDV && !dv)
        return TPullSplitter::MakeStreamType(stream, type);
    // FFmpeg splits the interleaved stream into video and audio; the pin gives the whole frames
    // of the video side. Its type needs the packs of a frame, and both kinds need the frame's TV
    // system: they are read from the first frame the tape recorded, not from a dropout before it.
    if (!dv)
        return false;
    const std::vector<uint8_t> frame = FirstRecordedDVFrame(stream);
    if (FInterleavedDV) {
        if (frame.empty())
            return false;
        *type = InterleavedDVType(frame);
        return true;
    }
    if (!TPullSplitter::MakeStreamType(stream, type))
        return false;
    const std::optional<TDVSystem> system = ReadDVSystem(frame);
    auto* vih = type->FormatAs<VIDEOINFOHEADER>();
    if (system && vih && IsRecordedDVFrame(frame)) {
        const LONG height = system->pal ? 576 : 480;
        vih->bmiHeader.biHeight = height;
        vih->rcSource.bottom = vih->rcTarget.bottom = height;
        vih->bmiHeader.biSizeImage = DWORD(system->frameBytes);
        type->lSampleSize = ULONG(system->frameBytes);
    }
    return true;
}

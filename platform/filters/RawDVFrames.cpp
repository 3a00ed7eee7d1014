#include "platform/filters/RawDVFrames.h"

#include "platform/filters/DVFrameInfo.h"
#include "platform/graph/GraphTrace.h"

#include <span>

using namespace kelvara::ff;

namespace {

std::span<const uint8_t> Bytes(const AVPacket& packet) {
    return {packet.data, packet.data ? size_t(packet.size) : 0};
}

bool SameBase(AVRational a, AVRational b) {
    return av_cmp_q(a, b) == 0;
}

} // namespace

void TRawDVFrames::Reset() {
    FNextFrame = -1;
    FDroppedAt = -1;
    FRealignedTo = -1;
    FRetriedAt = -1;
}

bool TRawDVFrames::Accept(AVFormatContext* context, AVPacket* packet, int64_t before) {
    if (packet->stream_index != FVideo) {
        // The sound of a frame read from its middle is as wrong as its picture.
        if (FDroppedAt >= 0 && packet->pos == FDroppedAt)
            return false;
        return true;
    }
    AVIOContext* pb = context->pb;
    const std::optional<int> sequence = ReadDVSequenceNumber(Bytes(*packet));
    // This call read the frame (it was not queued during the stream analysis).
    const bool readNow = pb && before >= 0 && packet->pos == before;
    if (sequence && *sequence != 0 && readNow &&
        (packet->size == int(kDVFrameBytes525) || packet->size == int(kDVFrameBytes625))) {
        const int64_t start = packet->pos - int64_t(*sequence) * int64_t(kDVSequenceBytes);
        if (start >= FDataStart && start > FRealignedTo &&
            avio_seek(pb, start, SEEK_SET) == start) {
            GRAPH_TRACE(QStringLiteral("raw DV: frame at %1 starts with DIF sequence %2; "
                                       "read again from %3")
                            .arg(packet->pos)
                            .arg(*sequence)
                            .arg(start));
            FRealignedTo = start;
            FDroppedAt = packet->pos;
            // The dropped frame took an index; the frame read instead takes its time.
            if (FNextFrame >= 0 && packet->pts == FNextFrame) {
                ++FRunFrame;
                ++FNextFrame;
            }
            return false;
        }
    }
    if (sequence && readNow) {
        const int64_t end = packet->pos + packet->size;
        if (avio_tell(pb) != end) {
            GRAPH_TRACE(QStringLiteral("raw DV: the frame at %1 has %2 bytes but %3 were read; "
                                       "the next frame is read from %4")
                            .arg(packet->pos)
                            .arg(packet->size)
                            .arg(avio_tell(pb) - packet->pos)
                            .arg(end));
            avio_seek(pb, end, SEEK_SET);
        }
    }
    Stamp(packet, sequence.has_value());
    return true;
}

void TRawDVFrames::Stamp(AVPacket* packet, bool recorded) {
    // A dropout says nothing of the tape's system (FFmpeg takes a frame of zeros for NTSC): it
    // lasts as long as the frames around it.
    const bool sequential = packet->pts == FNextFrame;
    const AVRational base = recorded || !sequential ? packet->time_base : FRunBase;
    if (packet->pts == AV_NOPTS_VALUE || base.num <= 0 || base.den <= 0)
        return;
    if (!sequential) {
        // The first frame, or the first after a seek: its index in its own system, from where
        // it lies (FFmpeg's count is one ahead when a frame read from its middle was dropped).
        const int64_t index = packet->pos >= FDataStart && packet->size > 0
                                  ? (packet->pos - FDataStart) / packet->size
                                  : packet->pts;
        FRunFrame = packet->pts;
        FRunStart = ToMediaTime(index, base);
        FRunBase = base;
    } else if (!SameBase(base, FRunBase)) {
        // The tape switched systems: the new run starts where the last frame ended.
        FRunStart += ToMediaTime(packet->pts - FRunFrame, FRunBase);
        FRunFrame = packet->pts;
        FRunBase = base;
    }
    const REFERENCE_TIME t = FRunStart + ToMediaTime(packet->pts - FRunFrame, base);
    const REFERENCE_TIME end = FRunStart + ToMediaTime(packet->pts + 1 - FRunFrame, base);
    FNextFrame = packet->pts + 1;
    packet->pts = packet->dts = t;
    packet->duration = end - t;
    packet->time_base = kMediaTimeBase;
}

bool TRawDVFrames::Retry(AVFormatContext* context, int error, int64_t before) {
    // FFmpeg has taken the system of the larger frame from its header (its error is not always
    // AVERROR_INVALIDDATA), and reads it whole the next time.
    AVIOContext* pb = context->pb;
    if (error == AVERROR_EOF || error == AVERROR_EXIT || !pb || before < 0 ||
        before == FRetriedAt || avio_tell(pb) == before)
        return false;
    if (avio_seek(pb, before, SEEK_SET) != before)
        return false;
    GRAPH_TRACE(QStringLiteral("raw DV: the frame at %1 is larger than the size read; "
                               "read again")
                    .arg(before));
    FRetriedAt = before;
    return true;
}

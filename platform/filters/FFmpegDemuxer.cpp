#include "platform/filters/FFmpegDemuxer.h"

#include "platform/com/NoThrow.h"
#include "platform/filters/FormatProbe.h"
#include "platform/filters/PictureLimits.h"
#include "platform/filters/StreamSniffer.h"
#include "platform/graph/GraphTrace.h"

extern "C" {
#include <libavutil/avstring.h>
}

using namespace kelvara::ff;

namespace {

// Read errors in a row after which a file counts as unreadable from there on.
constexpr int kMaxReadErrors = 64;
// Seek attempts, each further back, before a seek falls back to the file's start.
constexpr int kMaxSeekAttempts = 10;
// Packets read at most, and time stamps of the seek stream taken, to check a stream's start;
// time stamps this close together belong to one run.
constexpr int kOriginPackets = 256;
constexpr int kOriginTimes = 32;
constexpr REFERENCE_TIME kOriginSpread = 10 * UNITS;
// How much of a file's end is read to find its last frame.
constexpr int kMaxTailPackets = 4000;
constexpr int64_t kMaxTailBytes = 64 << 20;

AVRational TimeBaseOf(const AVFormatContext* c, int stream) {
    return stream >= 0 ? c->streams[stream]->time_base : AV_TIME_BASE_Q;
}

// Formats whose file only names other files or addresses: playlists (HLS, DASH), concatenation
// lists, manifests (IMF), session descriptions and streaming protocols. A video file may not make
// the program open anything else, so these are refused whatever the file is called.
constexpr const char* kReferringFormats[] = {"hls", "dash", "concat", "imf", "sdp", "rtp", "rtsp"};

bool RefersToOtherFiles(const AVInputFormat* format) {
    if (!format || !format->name)
        return false;
    // A format that reads no stream of its own opens its inputs itself (image sequences by
    // pattern, devices, filter graphs).
    if (format->flags & AVFMT_NOFILE)
        return true;
    for (const char* name : kReferringFormats)
        if (av_match_name(name, format->name))
            return true;
    return false;
}

// Whatever a demuxer asks to open besides its own stream is refused.
int RefuseNestedOpen(AVFormatContext*, AVIOContext**, const char* url, int, AVDictionary**) {
    GRAPH_TRACE(QStringLiteral("demuxer: refused to open \"%1\" named inside the file")
                    .arg(QString::fromUtf8(url ? url : "")));
    return AVERROR(EPERM);
}

void RestrictToOwnInput(AVFormatContext* context) {
    context->io_open = &RefuseNestedOpen;
}

// Options of the open: no protocol at all for anything a demuxer (or a context it makes, which
// inherits the lists) would open by name.
AVDictionary* OwnInputOptions() {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    return options;
}

// FFmpeg decodes a few frames of each stream to learn its parameters; a picture larger than the
// program shows is refused before it is allocated (its size is known from the stream's headers
// all the same).
int FindStreamInfo(AVFormatContext* context) {
    std::vector<AVDictionary*> options(context->nb_streams, nullptr);
    for (AVDictionary*& o : options)
        av_dict_set_int(&o, "max_pixels", kMaxPicturePixels, 0);
    const int r = avformat_find_stream_info(context, options.empty() ? nullptr : options.data());
    for (AVDictionary*& o : options)
        av_dict_free(&o);
    return r;
}

} // namespace

TFFmpegDemuxer::TFFmpegDemuxer() {
    InitLogging();
}

TFFmpegDemuxer::~TFFmpegDemuxer() {
    Close();
}

void TFFmpegDemuxer::Close() {
    FPending.reset();
    FContext.reset(); // closes the input before its I/O context goes
    FIO.reset();
    FRawDV.reset();
    FHead.clear();
    FOrigin = FDuration = 0;
    FSeekStream = -1;
    FFresh = true;
    FErrors = 0;
}

int TFFmpegDemuxer::InterruptCallback(void* opaque) {
    return static_cast<TFFmpegDemuxer*>(opaque)->FInterrupt.load() ? 1 : 0;
}

HRESULT TFFmpegDemuxer::Open(IAsyncReader* reader, const TFormatChooser& choose,
                             const TStreamCheck& check) {
    Close();
    if (!reader)
        return E_POINTER;
    return HResultOf([&] {
        FIO = std::make_unique<TReaderIOContext>(reader);
        return OpenIO(choose, check);
    });
}

HRESULT TFFmpegDemuxer::Open(const QString& path, const TFormatChooser& choose,
                             const TStreamCheck& check) {
    Close();
    return HResultOf([&] {
        auto file = std::make_unique<TAsyncFileReader>();
        const HRESULT opened = file->Open(path);
        if (FAILED(opened))
            return opened;
        // The file is read through a context of our own like a source's stream, so that FFmpeg
        // neither opens it by name nor anything else.
        FIO = std::make_unique<TReaderIOContext>(std::move(file));
        return OpenIO(choose, check);
    });
}

HRESULT TFFmpegDemuxer::OpenIO(const TFormatChooser& choose, const TStreamCheck& check) {
    if (!FIO->Context())
        return E_OUTOFMEMORY;
    FHead = FIO->Head(kProbeBytes);
    AVFormatContext* context = avformat_alloc_context();
    if (!context)
        return E_OUTOFMEMORY;
    context->pb = FIO->Context();
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
    const HRESULT hr = OpenContext(context, choose, check);
    if (FAILED(hr))
        Close();
    return hr;
}

HRESULT TFFmpegDemuxer::OpenContext(AVFormatContext* context, const TFormatChooser& choose,
                                    const TStreamCheck& check) {
    const AVInputFormat* format = nullptr;
    if (choose && !choose(FHead, &format)) {
        avformat_free_context(context);
        return VFW_E_UNSUPPORTED_STREAM;
    }
    if (format && RefersToOtherFiles(format)) {
        GRAPH_TRACE(QStringLiteral("demuxer %1: refused, it names other files")
                        .arg(QString::fromLatin1(format->name)));
        avformat_free_context(context);
        return KELVARA_E_REFERS_TO_OTHER_FILES;
    }
    context->interrupt_callback = {&TFFmpegDemuxer::InterruptCallback, this};
    RestrictToOwnInput(context);
    AVDictionary* options = OwnInputOptions();
    const int opened = avformat_open_input(&context, "", format, &options);
    av_dict_free(&options);
    if (opened < 0) // the library has freed the context
        return opened == AVERROR(ENOMEM) ? E_OUTOFMEMORY : VFW_E_INVALID_FILE_FORMAT;
    FContext.reset(context);
    if (RefersToOtherFiles(context->iformat)) {
        GRAPH_TRACE(QStringLiteral("demuxer %1: refused, it names other files")
                        .arg(QString::fromLatin1(context->iformat->name)));
        return KELVARA_E_REFERS_TO_OTHER_FILES;
    }
    FDataStart = context->pb ? avio_tell(context->pb) : 0;
    if (FindStreamInfo(context) < 0 || context->nb_streams == 0)
        return VFW_E_INVALID_FILE_FORMAT;
    if (check && !check(context))
        return VFW_E_UNSUPPORTED_STREAM;
    if (av_match_name("dv", context->iformat->name) && context->pb) {
        const int video = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (video >= 0)
            FRawDV = std::make_unique<TRawDVFrames>(video, FDataStart);
    }
    LearnTimes();
    GRAPH_TRACE(QStringLiteral("demuxer %1: %2 streams, origin %3, duration %4")
                    .arg(QString::fromLatin1(context->iformat->name))
                    .arg(context->nb_streams)
                    .arg(FOrigin)
                    .arg(FDuration));
    return S_OK;
}

void TFFmpegDemuxer::LearnTimes() {
    AVFormatContext* c = FContext.get();
    FSeekStream = -1;
    for (unsigned i = 0; i < c->nb_streams; ++i) {
        const AVStream* st = c->streams[i];
        if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(st->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
            FSeekStream = int(i);
            break;
        }
    }
    const int64_t fileStart = c->start_time != AV_NOPTS_VALUE ? c->start_time : 0;
    FOrigin = ToMediaTime(fileStart, AV_TIME_BASE_Q);
    REFERENCE_TIME end = AV_NOPTS_VALUE;
    bool originFound = false;
    if (FSeekStream >= 0) {
        const AVStream* st = c->streams[FSeekStream];
        const int64_t start = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
        if (st->start_time != AV_NOPTS_VALUE) {
            FOrigin = ToMediaTime(start, st->time_base);
            originFound = CheckOrigin();
        }
        if (!originFound && st->duration != AV_NOPTS_VALUE && st->duration > 0)
            end = ToMediaTime(start + st->duration, st->time_base);
    }
    if (!originFound && end == AV_NOPTS_VALUE && c->duration != AV_NOPTS_VALUE && c->duration > 0)
        end = ToMediaTime(fileStart + c->duration, AV_TIME_BASE_Q);
    FDuration = end == AV_NOPTS_VALUE ? 0 : std::max<REFERENCE_TIME>(0, end - FOrigin);
    if (FSeekStream >= 0 &&
        (originFound || c->duration_estimation_method != AVFMT_DURATION_FROM_STREAM)) {
        const REFERENCE_TIME decoded = DecodedEnd();
        if (decoded != AV_NOPTS_VALUE)
            FDuration = std::max<REFERENCE_TIME>(FDuration, decoded - FOrigin);
    }
}

bool TFFmpegDemuxer::CheckOrigin() {
    // The time stamps of the seek stream's first packets.
    std::vector<REFERENCE_TIME> times;
    TPacketPtr packet = NewPacket();
    if (!packet)
        return false;
    FFresh = false;
    for (int i = 0;
         i < kOriginPackets && int(times.size()) < kOriginTimes && Read(packet.get()) >= 0; ++i) {
        if (packet->stream_index == FSeekStream) {
            const AVRational base = PacketTimeBase(*packet);
            REFERENCE_TIME t = ToMediaTime(packet->pts, base);
            if (t == AV_NOPTS_VALUE)
                t = ToMediaTime(packet->dts, base);
            if (t != AV_NOPTS_VALUE)
                times.push_back(t);
        }
        av_packet_unref(packet.get());
    }
    SeekToStart(); // the packets are read again from the start
    const auto near = [](REFERENCE_TIME a, REFERENCE_TIME b) {
        return std::abs(a - b) <= kOriginSpread;
    };
    const auto hasNeighbour = [&](size_t i) {
        for (size_t j = 0; j < times.size(); ++j)
            if (j != i && near(times[i], times[j]))
                return true;
        return false;
    };
    // The start agrees with the stream when it is near two of the time stamps (its own first
    // one and another).
    const auto agreeing = std::count_if(times.begin(), times.end(),
                                        [&](REFERENCE_TIME t) { return near(t, FOrigin); });
    if (times.size() < 2 || agreeing >= 2)
        return false;
    // The start lies apart from every time stamp that follows it (a damaged first time stamp):
    // the presentation starts at the earliest time stamp that agrees with another one.
    REFERENCE_TIME origin = AV_NOPTS_VALUE;
    for (size_t i = 0; i < times.size(); ++i)
        if (hasNeighbour(i) && (origin == AV_NOPTS_VALUE || times[i] < origin))
            origin = times[i];
    if (origin == AV_NOPTS_VALUE)
        return false;
    GRAPH_TRACE(QStringLiteral("demuxer: the stream's start %1 lies apart from its time stamps, "
                               "%2 taken instead")
                    .arg(FOrigin)
                    .arg(origin));
    FOrigin = origin;
    return true;
}

REFERENCE_TIME TFFmpegDemuxer::DecodedEnd() {
    AVFormatContext* c = FContext.get();
    const AVStream* st = c->streams[FSeekStream];
    // The base the decoder works in: packets are read in the base they carry (raw DV's are in
    // media time), and the stream's own may change while the tail is read.
    const AVRational base = st->time_base;
    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    TCodecPtr decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!decoder || avcodec_parameters_to_context(decoder.get(), st->codecpar) < 0)
        return AV_NOPTS_VALUE;
    decoder->pkt_timebase = base;
    decoder->thread_count = 1;
    decoder->max_pixels = kMaxPicturePixels;
    decoder->skip_loop_filter = AVDISCARD_ALL; // only the time stamps matter
    decoder->flags2 |= AV_CODEC_FLAG2_FAST;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return AV_NOPTS_VALUE;
    FFresh = false;
    if (!SeekFile(std::max<REFERENCE_TIME>(0, FDuration - UNITS)))
        return AV_NOPTS_VALUE;
    const REFERENCE_TIME frame = FrameDurationOf(st->avg_frame_rate);
    REFERENCE_TIME last = AV_NOPTS_VALUE;
    TPacketPtr packet = NewPacket();
    TFramePtr picture = NewFrame();
    if (!packet || !picture)
        return AV_NOPTS_VALUE;
    const auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), picture.get()) >= 0) {
            REFERENCE_TIME t = ToMediaTime(picture->best_effort_timestamp, base);
            if (t == AV_NOPTS_VALUE && last != AV_NOPTS_VALUE)
                t = last + frame;
            if (t != AV_NOPTS_VALUE && (last == AV_NOPTS_VALUE || t > last))
                last = t;
            av_frame_unref(picture.get());
        }
    };
    int64_t bytes = 0;
    for (int i = 0; i < kMaxTailPackets && bytes < kMaxTailBytes && Read(packet.get()) >= 0; ++i) {
        bytes += packet->size;
        if (packet->stream_index == FSeekStream) {
            av_packet_rescale_ts(packet.get(), PacketTimeBase(*packet), base);
            if (avcodec_send_packet(decoder.get(), packet.get()) >= 0)
                drain();
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    drain();
    return last == AV_NOPTS_VALUE ? last : last + frame;
}

REFERENCE_TIME TFFmpegDemuxer::PresentationTime(const AVPacket& packet) const {
    if (!FContext || packet.stream_index < 0 ||
        unsigned(packet.stream_index) >= FContext->nb_streams)
        return AV_NOPTS_VALUE;
    const int64_t t = ToMediaTime(packet.pts, PacketTimeBase(packet));
    return t == AV_NOPTS_VALUE ? t : t - FOrigin;
}

REFERENCE_TIME TFFmpegDemuxer::DecodingTime(const AVPacket& packet) const {
    if (!FContext || packet.stream_index < 0 ||
        unsigned(packet.stream_index) >= FContext->nb_streams)
        return AV_NOPTS_VALUE;
    const int64_t t = ToMediaTime(packet.dts, PacketTimeBase(packet));
    return t == AV_NOPTS_VALUE ? t : t - FOrigin;
}

REFERENCE_TIME TFFmpegDemuxer::PacketDuration(const AVPacket& packet) const {
    if (!FContext || packet.stream_index < 0 ||
        unsigned(packet.stream_index) >= FContext->nb_streams || packet.duration <= 0)
        return 0;
    return ToMediaTime(packet.duration, PacketTimeBase(packet));
}

void TFFmpegDemuxer::StampTimeBase(AVPacket* packet) const {
    if (packet->stream_index >= 0 && unsigned(packet->stream_index) < FContext->nb_streams)
        packet->time_base = FContext->streams[packet->stream_index]->time_base;
}

AVRational TFFmpegDemuxer::PacketTimeBase(const AVPacket& packet) const {
    // The base the packet was read with: a demuxer may change a stream's base later (raw DV
    // does when the tape switches between PAL and NTSC), and the reading thread does so while
    // the delivering threads still hold packets read before.
    if (packet.time_base.num > 0 && packet.time_base.den > 0)
        return packet.time_base;
    return FContext->streams[packet.stream_index]->time_base;
}

int TFFmpegDemuxer::Read(AVPacket* packet) {
    if (!packet)
        return AVERROR(ENOMEM); // the caller had no memory for the packet
    if (!FContext)
        return AVERROR_EOF;
    FFresh = false;
    if (FPending) {
        av_packet_move_ref(packet, FPending.get());
        FPending.reset();
        return 0;
    }
    for (;;) {
        const int64_t before = FRawDV ? avio_tell(FContext->pb) : -1;
        const int r = av_read_frame(FContext.get(), packet);
        if (r >= 0) {
            StampTimeBase(packet);
            if (FRawDV && !FRawDV->Accept(FContext.get(), packet, before)) {
                av_packet_unref(packet);
                continue;
            }
            FErrors = 0;
            return 0;
        }
        if (FRawDV && FRawDV->Retry(FContext.get(), r, before))
            continue;
        if (r == AVERROR_EOF || FInterrupt.load() || (FContext->pb && avio_feof(FContext->pb)))
            return AVERROR_EOF;
        // A damaged packet: the demuxer resynchronises on the next call.
        if (++FErrors > kMaxReadErrors)
            return r;
    }
}

bool TFFmpegDemuxer::SeekFile(REFERENCE_TIME target) {
    if (FRawDV)
        FRawDV->Reset();
    const int64_t ts = FromMediaTime(FOrigin + target, TimeBaseOf(FContext.get(), FSeekStream));
    return av_seek_frame(FContext.get(), FSeekStream, ts, AVSEEK_FLAG_BACKWARD) >= 0;
}

void TFFmpegDemuxer::SeekToStart() {
    AVFormatContext* c = FContext.get();
    if (FRawDV)
        FRawDV->Reset();
    // Forwards from well before the first time stamp: the first key frame of an index, the
    // first packet of a stream searched by time stamps. A backward seek to the first time stamp
    // could land after the first key frame of a stream whose decoding times precede it.
    // Program and transport streams allow jumps in their time stamps, so a damaged one can send
    // a search by time anywhere: their start is where their data starts.
    const int flags = c->iformat->flags;
    if ((flags & AVFMT_TS_DISCONT) && !(flags & AVFMT_NO_BYTE_SEEK) &&
        av_seek_frame(c, -1, FDataStart, AVSEEK_FLAG_BYTE) >= 0)
        return;
    const int stream = FSeekStream >= 0 ? FSeekStream : 0;
    const AVStream* st = c->streams[stream];
    int64_t first = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    if (FSeekStream >= 0)
        first = FromMediaTime(FOrigin, st->time_base); // the start as checked, not as claimed
    const int64_t early = first - av_rescale_q(60 * AV_TIME_BASE, AV_TIME_BASE_Q, st->time_base);
    if (av_seek_frame(c, stream, early, 0) < 0 && c->pb) {
        avio_seek(c->pb, FDataStart, SEEK_SET);
        avformat_flush(c);
    }
}

int TFFmpegDemuxer::ReadToKeyFrame(AVPacket* packet) {
    for (;;) {
        const int r = Read(packet);
        if (r < 0)
            return r;
        if (packet->stream_index == FSeekStream && (packet->flags & AV_PKT_FLAG_KEY))
            return 0;
        av_packet_unref(packet);
    }
}

HRESULT TFFmpegDemuxer::Seek(REFERENCE_TIME target, REFERENCE_TIME tolerance) {
    if (!FContext)
        return E_UNEXPECTED;
    FPending.reset();
    if (target <= 0 && FFresh)
        return S_OK; // nothing has been read since the open
    FFresh = false;
    FErrors = 0;
    if (FSeekStream < 0) {
        const int64_t ts =
            av_rescale(FOrigin + std::max<REFERENCE_TIME>(0, target), AV_TIME_BASE, UNITS);
        if (target <= 0 || av_seek_frame(FContext.get(), -1, ts, AVSEEK_FLAG_BACKWARD) < 0)
            SeekToStart();
        return S_OK;
    }
    REFERENCE_TIME attempt = target, step = UNITS;
    for (int i = 0; i < kMaxSeekAttempts && attempt > 0; ++i, step *= 2) {
        if (!SeekFile(attempt)) {
            attempt -= step;
            continue;
        }
        TPacketPtr key = NewPacket();
        if (!key)
            return E_OUTOFMEMORY;
        if (ReadToKeyFrame(key.get()) < 0) {
            attempt -= step; // no key frame after this point: the target is past the last one
            continue;
        }
        REFERENCE_TIME t = PresentationTime(*key);
        if (t == AV_NOPTS_VALUE)
            t = DecodingTime(*key);
        if (t == AV_NOPTS_VALUE || t <= target + tolerance) {
            FPending = std::move(key);
            GRAPH_TRACE(QStringLiteral("demuxer seek %1: key frame at %2").arg(target).arg(t));
            return S_OK;
        }
        attempt = std::min(attempt, t) - step;
    }
    GRAPH_TRACE(QStringLiteral("demuxer seek %1: from the start").arg(target));
    SeekToStart();
    return S_OK;
}

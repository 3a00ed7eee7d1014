#include "platform/filters/FFmpegSplitter.h"

#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceSeeking.h"

using namespace kelvara::ff;

namespace {

// Bounds of a stream's queue while another stream is being read for. At the soft bound the
// reading thread waits until the queue's own thread takes packets again; only when that thread
// has taken nothing for kStallLimit (it is held downstream: a paused renderer, or a clock that
// waits for the stream being read for) does the queue grow on, up to the hard bound, past which
// its oldest packets are dropped to protect the memory.
constexpr size_t kSoftQueuedBytes = 64u << 20;
constexpr size_t kSoftQueuedPackets = 20000;
constexpr size_t kHardQueuedBytes = 2 * kSoftQueuedBytes;
constexpr size_t kHardQueuedPackets = 2 * kSoftQueuedPackets;
constexpr auto kStallLimit = std::chrono::seconds(1);
constexpr auto kRoomPoll = std::chrono::milliseconds(20);

QString PinName(const CMediaType& type, int videos, int audios) {
    if (type.majortype == MEDIATYPE_Interleaved)
        return QStringLiteral("DV A/V Out");
    if (type.majortype == MEDIATYPE_Video)
        return videos == 1 ? QStringLiteral("Video") : QStringLiteral("Video %1").arg(videos);
    return audios == 1 ? QStringLiteral("Audio") : QStringLiteral("Audio %1").arg(audios);
}

} // namespace

TFFmpegSplitter::TFFmpegSplitter(const QString& objectName, REFCLSID clsid,
                                 TSplitterFlavour flavour)
    : CSource(objectName, clsid), FFlavour(flavour) {}

TFFmpegSplitter::~TFFmpegSplitter() {
    Stop();
}

std::vector<TSplitterOutputPin*> TFFmpegSplitter::OutputPins() const {
    std::vector<TSplitterOutputPin*> pins;
    std::lock_guard lock(FPinsLock);
    for (const auto& pin : FPins)
        pins.push_back(static_cast<TSplitterOutputPin*>(pin.get()));
    return pins;
}

HRESULT TFFmpegSplitter::OpenDemuxer(IAsyncReader* reader) {
    CloseDemuxer();
    return AfterOpen(FDemuxer.Open(
        reader, [this](auto head, auto format) { return ChooseFormat(head, format); },
        [this](const AVFormatContext* c) { return CheckStreams(c); }));
}

HRESULT TFFmpegSplitter::OpenDemuxer(const QString& path) {
    CloseDemuxer();
    return AfterOpen(FDemuxer.Open(
        path, [this](auto head, auto format) { return ChooseFormat(head, format); },
        [this](const AVFormatContext* c) { return CheckStreams(c); }));
}

HRESULT TFFmpegSplitter::AfterOpen(HRESULT opened) {
    if (FAILED(opened))
        return opened;
    const HRESULT hr = CreatePins();
    if (FAILED(hr)) {
        CloseDemuxer();
        return hr;
    }
    SetSeeking(std::make_unique<CSourceSeeking>(this, FDemuxer.Duration()));
    std::lock_guard lock(FQueueLock);
    ResetQueuesLocked(true);
    return S_OK;
}

bool TFFmpegSplitter::MakeStreamType(int stream, CMediaType* type) {
    return StreamMediaType(FDemuxer.Context()->streams[stream], FFlavour, type);
}

HRESULT TFFmpegSplitter::CreatePins() {
    const AVFormatContext* c = FDemuxer.Context();
    int videos = 0, audios = 0;
    std::vector<std::unique_ptr<CSourceStream>> pins;
    for (unsigned i = 0; i < c->nb_streams; ++i) {
        CMediaType type;
        if (!MakeStreamType(int(i), &type))
            continue;
        if (type.majortype == MEDIATYPE_Audio)
            ++audios;
        else
            ++videos;
        auto pin = std::make_unique<TSplitterOutputPin>(this, PinName(type, videos, audios), int(i),
                                                        type, StreamFrameDuration(c->streams[i]));
        FPinOfStream[int(i)] = pin.get();
        pins.push_back(std::move(pin));
    }
    if (pins.empty())
        return VFW_E_UNSUPPORTED_STREAM;
    for (auto& pin : pins)
        AddPin(std::move(pin));
    return S_OK;
}

void TFFmpegSplitter::CloseDemuxer() {
    std::vector<std::unique_ptr<CSourceStream>> old;
    {
        std::lock_guard lock(FPinsLock);
        old.swap(FPins);
    }
    for (auto& pin : old) {
        if (ComPtr<IPin> peer = pin->GetConnected())
            peer->Disconnect();
        pin->Disconnect();
        FRetired.push_back(std::move(pin));
    }
    FPinOfStream.clear();
    SetSeeking(nullptr);
    std::lock_guard read(FReadLock);
    std::lock_guard queue(FQueueLock);
    FQueues.clear();
    FDemuxer.Close();
}

TSplitterOutputPin* TFFmpegSplitter::PinOfStream(int stream) const {
    const auto it = FPinOfStream.find(stream);
    return it == FPinOfStream.end() ? nullptr : it->second;
}

void TFFmpegSplitter::ResetQueuesLocked(bool seek) {
    FQueues.clear();
    FEnded = false;
    FNeedSeek = FNeedSeek || seek;
}

HRESULT TFFmpegSplitter::Pause() {
    if (IsStopped() && FDemuxer.IsOpen()) {
        // Streams start where the segment starts; streams nobody takes are not even read,
        // except the one that seeks follow.
        std::lock_guard read(FReadLock);
        AVFormatContext* c = FDemuxer.Context();
        for (unsigned i = 0; i < c->nb_streams; ++i) {
            TSplitterOutputPin* pin = PinOfStream(int(i));
            const bool wanted = (pin && pin->IsConnected()) || int(i) == FDemuxer.SeekStream();
            c->streams[i]->discard = wanted ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        }
        FDemuxer.Interrupt(false);
        std::lock_guard queue(FQueueLock);
        ResetQueuesLocked(true);
        for (TSplitterOutputPin* pin : OutputPins())
            pin->MarkDiscontinuity();
    }
    return CSource::Pause();
}

HRESULT TFFmpegSplitter::Stop() {
    const HRESULT hr = CSource::Stop();
    std::lock_guard read(FReadLock);
    FDemuxer.Interrupt(false);
    std::lock_guard queue(FQueueLock);
    FQueues.clear();
    return hr;
}

void TFFmpegSplitter::InterruptReads() {
    FDemuxer.Interrupt(true);
}

HRESULT TFFmpegSplitter::RestartStreams() {
    std::vector<TSplitterOutputPin*> active;
    for (TSplitterOutputPin* pin : OutputPins())
        if (pin->IsConnected() && pin->IsStreaming())
            active.push_back(pin);
    for (TSplitterOutputPin* pin : active)
        pin->DeliverBeginFlush();
    for (TSplitterOutputPin* pin : active)
        pin->PauseStreaming();
    {
        std::lock_guard read(FReadLock);
        FDemuxer.Interrupt(false);
        std::lock_guard queue(FQueueLock);
        ResetQueuesLocked(true);
    }
    for (TSplitterOutputPin* pin : OutputPins())
        pin->MarkDiscontinuity();
    for (TSplitterOutputPin* pin : active)
        pin->DeliverEndFlush();
    for (TSplitterOutputPin* pin : active)
        pin->ResumeStreaming();
    return S_OK;
}

REFERENCE_TIME TFFmpegSplitter::SeekTolerance() const {
    const TSplitterOutputPin* pin = PinOfStream(FDemuxer.SeekStream());
    return pin ? pin->FrameDuration() / 2 : 0;
}

void TFFmpegSplitter::SeekLocked() {
    const REFERENCE_TIME target = Seeking() ? Seeking()->Segment().start : 0;
    FDemuxer.Seek(target, SeekTolerance());
    std::lock_guard queue(FQueueLock);
    FQueues.clear();
    FEnded = false;
    FNeedSeek = false;
}

void TFFmpegSplitter::Dispatch(TPacketPtr packet) {
    TSplitterOutputPin* pin = PinOfStream(packet->stream_index);
    if (!pin || !pin->IsConnected())
        return;
    std::lock_guard lock(FQueueLock);
    TQueue& queue = FQueues[packet->stream_index];
    if (queue.packets.empty())
        queue.lastTaken = std::chrono::steady_clock::now();
    const size_t bytes = size_t(std::max(0, packet->size));
    queue.packets.push_back(std::move(packet));
    queue.bytes += bytes; // counted once the packet is in the queue
    while (queue.packets.size() > kHardQueuedPackets || queue.bytes > kHardQueuedBytes) {
        GRAPH_TRACE(QStringLiteral("%1: its queue is full and its thread is held, the oldest "
                                   "packet is dropped")
                        .arg(TraceName(static_cast<IPin*>(pin))));
        queue.bytes -= size_t(std::max(0, queue.packets.front()->size));
        queue.packets.pop_front();
    }
}

bool TFFmpegSplitter::OverSoftBound(const TQueue& queue) {
    return queue.packets.size() >= kSoftQueuedPackets || queue.bytes >= kSoftQueuedBytes;
}

bool TFFmpegSplitter::WaitForRoomLocked(std::unique_lock<std::mutex>& lock,
                                        TSplitterOutputPin* pin) {
    const auto waitStart = std::chrono::steady_clock::now();
    for (;;) {
        if (pin->IsStopRequested())
            return false;
        if (!FQueues[pin->Stream()].packets.empty() || (FEnded && !FNeedSeek))
            return true;
        const TQueue* full = nullptr;
        for (const auto& [stream, queue] : FQueues)
            if (stream != pin->Stream() && OverSoftBound(queue))
                full = &queue;
        if (!full)
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (now - std::max(full->lastTaken, waitStart) >= kStallLimit)
            return true; // its thread is held downstream: let the queue grow
        FRoomChanged.wait_for(lock, kRoomPoll);
    }
}

HRESULT TFFmpegSplitter::NextPacket(TSplitterOutputPin* pin, TPacketPtr* packet) {
    const int stream = pin->Stream();
    for (;;) {
        if (pin->IsStopRequested())
            return E_ABORT;
        {
            std::lock_guard lock(FQueueLock);
            TQueue& queue = FQueues[stream];
            if (!queue.packets.empty()) {
                *packet = std::move(queue.packets.front());
                queue.packets.pop_front();
                queue.bytes -= size_t(std::max(0, (*packet)->size));
                queue.lastTaken = std::chrono::steady_clock::now();
                FRoomChanged.notify_all();
                return S_OK;
            }
            if (FEnded && !FNeedSeek)
                return S_FALSE;
        }
        {
            // Reading on while another stream's queue is full would only make it fuller.
            std::unique_lock lock(FQueueLock);
            if (!WaitForRoomLocked(lock, pin))
                return E_ABORT;
        }
        std::lock_guard read(FReadLock);
        bool needSeek = false;
        {
            std::lock_guard lock(FQueueLock);
            if (!FQueues[stream].packets.empty() || (FEnded && !FNeedSeek))
                continue; // another thread read for us meanwhile
            needSeek = FNeedSeek;
        }
        if (needSeek) {
            SeekLocked();
            continue;
        }
        TPacketPtr next = NewPacket();
        if (!next)
            return E_OUTOFMEMORY;
        if (FDemuxer.Read(next.get()) < 0) {
            std::lock_guard lock(FQueueLock);
            FEnded = true;
            continue;
        }
        Dispatch(std::move(next));
    }
}

HRESULT TFFmpegSplitter::FillSample(TSplitterOutputPin* pin, IMediaSample* sample) {
    const TSourceSegment segment =
        Seeking() ? Seeking()->Segment() : TSourceSegment{0, FDemuxer.Duration(), 1.0};
    const bool stopSet = Seeking() && segment.stop < Seeking()->Duration();
    for (;;) {
        TPacketPtr packet;
        const HRESULT hr = NextPacket(pin, &packet);
        if (hr != S_OK)
            return hr;
        const REFERENCE_TIME pts = FDemuxer.PresentationTime(*packet);
        const REFERENCE_TIME dts = FDemuxer.DecodingTime(*packet);
        REFERENCE_TIME duration = FDemuxer.PacketDuration(*packet);
        if (duration <= 0)
            duration = pin->IsVideo() ? pin->FrameDuration() : 0;
        if (stopSet && pts != AV_NOPTS_VALUE && pts >= segment.stop)
            return S_FALSE;
        if (pts != AV_NOPTS_VALUE) {
            REFERENCE_TIME start = pts - segment.start;
            REFERENCE_TIME stop = start + std::max<REFERENCE_TIME>(duration, 1);
            sample->SetTime(&start, &stop);
            const bool preroll = pin->IsVideo() ? 2 * start < -pin->FrameDuration() : stop <= 0;
            sample->SetPreroll(preroll);
        }
        if (dts != AV_NOPTS_VALUE) {
            LONGLONG start = dts - segment.start, stop = start + duration;
            sample->SetMediaTime(&start, &stop);
        }
        sample->SetSyncPoint((packet->flags & AV_PKT_FLAG_KEY) != 0);
        sample->SetDiscontinuity(pin->TakeDiscontinuity());
        const HRESULT put = pin->PutPacket(sample, packet.get());
        if (put != S_FALSE)
            return put;
        GRAPH_TRACE(QStringLiteral("%1: a packet of %2 bytes does not fit a sample, dropped")
                        .arg(TraceName(static_cast<IPin*>(pin)))
                        .arg(packet->size));
    }
}

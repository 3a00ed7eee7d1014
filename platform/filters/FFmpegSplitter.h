#pragma once
// Base of the splitters and of the sources that split: an FFmpeg demuxer, one output pin per
// stream, and the streaming protocol around them.
//
// Streaming. Each connected output pin has a streaming thread (CSourceStream). A thread that
// wants its stream's next packet takes it from the stream's queue, or, when the queue is empty,
// reads the file itself under the read lock and sorts what it reads into the queues of the
// connected streams (packets of other streams are dropped). So the streams advance together in
// file order, and a stream whose downstream is blocked (a paused renderer holding its sample)
// only lets the others queue what the file interleaves in the meantime; a queue that grows past
// its bound makes the reading thread wait until the queue's own thread takes from it again, so
// that no packet is lost while every stream moves on (see the bounds in FFmpegSplitter.cpp for
// the one exception: a queue whose thread is held downstream).
//
// Times. A packet's sample time is its presentation time from the file's first frame minus the
// segment start, so the first frame after a seek to T is at 0. Key frames are sync points; a
// video frame more than half a frame before the segment start, and audio that ends before it,
// carry the preroll flag (the decoders decode them and deliver nothing). The decoding time rides
// along as the sample's media time.
//
// Seeking. A change of position (CSourceSeeking) flushes downstream, stops the threads' loops,
// marks the demuxer for a seek, ends the flush and restarts the loops, which send
// NewSegment(T) and then seek the demuxer (a key frame at or before T) before their first read.
// Leaving Stopped does the same without the flush.
//
// Thread contract: Open / Close, pin creation and the state methods run on the graph's thread;
// FillSample runs on the pins' streaming threads. The read lock serialises the demuxer; the queue
// lock (taken inside it, never the other way) guards the queues and the end and seek flags.
#include "platform/filters/FFmpegDemuxer.h"
#include "platform/filters/SplitterMediaTypes.h"
#include "platform/filters/SplitterOutputPin.h"
#include "platform/graph/SourceFilter.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class TFFmpegSplitter : public CSource {
public:
    TFFmpegSplitter(const QString& objectName, REFCLSID clsid, TSplitterFlavour flavour);
    ~TFFmpegSplitter() override;

    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT RestartStreams() override;

    // The next sample of a pin's stream (called by the pin's FillBuffer): S_OK, S_FALSE at the
    // end of the stream, E_ABORT when the pin is told to stop.
    HRESULT FillSample(TSplitterOutputPin* pin, IMediaSample* sample);
    // Makes a blocked read give up (the pins' threads are being stopped).
    void InterruptReads();

    const TFFmpegDemuxer& Demuxer() const { return FDemuxer; }
    // The output pins, in stream order.
    std::vector<TSplitterOutputPin*> OutputPins() const;

protected:
    // Opens the demuxer on a reader or a file and makes the output pins; fails when no stream
    // gets a pin.
    HRESULT OpenDemuxer(IAsyncReader* reader);
    HRESULT OpenDemuxer(const QString& path);
    // Disconnects and retires the output pins and closes the demuxer.
    void CloseDemuxer();

    // How a subclass recognises its formats (see TFFmpegDemuxer).
    virtual bool ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) = 0;
    virtual bool CheckStreams(const AVFormatContext*) { return true; }
    // The type of a stream's pin; false: no pin. The default describes it for the flavour.
    virtual bool MakeStreamType(int stream, CMediaType* type);
    TFFmpegDemuxer& MutableDemuxer() { return FDemuxer; }

private:
    HRESULT AfterOpen(HRESULT opened);
    HRESULT CreatePins();
    HRESULT NextPacket(TSplitterOutputPin* pin, kelvara::ff::TPacketPtr* packet);
    void Dispatch(kelvara::ff::TPacketPtr packet);
    struct TQueue;
    static bool OverSoftBound(const TQueue& queue);
    // Waits while another stream's queue is at its soft bound; false when the pin must stop.
    bool WaitForRoomLocked(std::unique_lock<std::mutex>& lock, TSplitterOutputPin* pin);
    void SeekLocked();
    void ResetQueuesLocked(bool seek);
    TSplitterOutputPin* PinOfStream(int stream) const;
    REFERENCE_TIME SeekTolerance() const;

    const TSplitterFlavour FFlavour;
    TFFmpegDemuxer FDemuxer;
    // Pins of an earlier file or connection: never destroyed before the filter, since their
    // references count on the filter and someone may still hold one.
    std::vector<std::unique_ptr<CSourceStream>> FRetired;
    std::map<int, TSplitterOutputPin*> FPinOfStream; // changed only while stopped

    std::mutex FReadLock;
    std::mutex FQueueLock;
    std::condition_variable FRoomChanged; // a packet was taken from a queue
    // guarded by FQueueLock
    struct TQueue {
        std::deque<kelvara::ff::TPacketPtr> packets;
        size_t bytes = 0;
        std::chrono::steady_clock::time_point lastTaken; // or when it stopped being empty
    };
    std::map<int, TQueue> FQueues;
    bool FEnded = false;
    bool FNeedSeek = true;
};

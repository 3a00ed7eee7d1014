#pragma once
// An output pin of a splitter: one stream of the demuxer, its media type, and a streaming thread
// (CSourceStream) that asks the splitter for the stream's next packet. It prefers an allocator
// of its own whose samples carry the packets without a copy; when the downstream pin insists on
// its own allocator, packets are copied into its buffers.
#include "platform/filters/PacketAllocator.h"
#include "platform/graph/SourceStream.h"

#include <atomic>

class TFFmpegSplitter;

class TSplitterOutputPin : public CSourceStream {
public:
    TSplitterOutputPin(TFFmpegSplitter* splitter, const QString& name, int stream,
                       const CMediaType& type, REFERENCE_TIME frameDuration);

    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
    HRESULT DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
    HRESULT BreakConnect() override;

    int Stream() const { return FStream; }
    const CMediaType& StreamType() const { return FType; }
    REFERENCE_TIME FrameDuration() const { return FFrameDuration; }
    bool IsVideo() const;
    // Hands the packet's data to the sample (without a copy when the sample is one of this
    // pin's own): S_OK; S_FALSE when the sample cannot hold it; E_OUTOFMEMORY.
    HRESULT PutPacket(IMediaSample* sample, AVPacket* packet);
    // The first sample after a start or seek is flagged as a discontinuity.
    void MarkDiscontinuity() { FDiscontinuity.store(true); }
    bool TakeDiscontinuity() { return FDiscontinuity.exchange(false); }
    bool IsStopRequested() const { return StopRequested(); }

protected:
    HRESULT FillBuffer(IMediaSample* pSample) override;
    void OnStopRequested() override;

private:
    TFFmpegSplitter* const FSplitter;
    const int FStream;
    const CMediaType FType;
    const REFERENCE_TIME FFrameDuration;
    ComPtr<TPacketAllocator> FPacketAllocator; // set while connected with it
    std::atomic<bool> FDiscontinuity{true};
};

#pragma once
// An audio decoder on libavcodec: takes any audio type whose codec the library decodes and its
// family admits (PCM of other depths included) and gives 16-bit PCM (FORMAT_WaveFormatEx, the
// input's rate, one or two channels) in samples of at most a tenth of a second.
//
// Timing. Sound is stamped from the decoded frames' time stamps and runs on continuously
// between them; sound before the segment start is decoded and cut off, so that after a seek to
// T the first sample delivered starts at T. A new segment drops what the decoder holds; the end
// of the stream delivers it.
//
// Thread contract: as TVideoDecoder.
#include "platform/filters/AudioConverter.h"
#include "platform/filters/DecoderFamily.h"
#include "platform/graph/TransformFilter.h"

#include <vector>

class TAudioDecoder : public CTransformFilter {
public:
    TAudioDecoder(const QString& name, REFCLSID clsid, TDecoderFamily family);
    ~TAudioDecoder() override;

    HRESULT CheckInputType(const CMediaType* mtIn) override;
    HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
    HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;

    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    HRESULT DrainFrames();
    HRESULT DeliverPcm(REFERENCE_TIME start);
    HRESULT OpenCodec();

    const TDecoderFamily FFamily;
    // Set while stopped, read by the streaming thread.
    int FChannels = 2, FRate = 48000;
    // Streaming state, under the receive lock.
    kelvara::ff::TCodecPtr FCodec;
    kelvara::ff::TFramePtr FFrame;
    kelvara::ff::TPacketPtr FPacket;
    TAudioConverter FConverter;
    std::vector<int16_t> FPcm;
    REFERENCE_TIME FNextTime = AV_NOPTS_VALUE;
    bool FSegmentStart = true;
};

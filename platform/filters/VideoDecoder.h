#pragma once
// A video decoder on libavcodec: takes any compressed (or raw YUV) video type whose codec the
// library decodes and its family admits, and gives 32-bit RGB (MEDIASUBTYPE_RGB32,
// FORMAT_VideoInfo, the input's picture size and AvgTimePerFrame; positive biHeight: bottom-up
// rows, negative: top-down when downstream asks for it), converted with the picture's colour
// matrix and range (TVideoConverter). Frame threads are on, as many as the picture size allows
// (PictureLimits.h).
//
// Limits and damage. A type whose pictures are larger than the program shows is refused
// (KELVARA_E_PICTURE_TOO_LARGE); a picture that grows beyond that midway is skipped. Damaged
// data is concealed and decoding goes on; a picture whose size changed midway is scaled to the
// output size. Memory running out ends the stream with EC_ERRORABORT (E_OUTOFMEMORY).
//
// Timing. Packets go in with their presentation time (the sample time) and decoding time (the
// media time); frames come out in presentation order with libavcodec's best-effort time stamp,
// and each lasts one frame. A frame more than half a frame before the segment start is decoded
// and not delivered, so that after a seek to T the first frame delivered is the one at T. A new
// segment drops what the decoder holds; the end of the stream delivers it. IDecodeAhead drops
// the frames before a sample time in the same way, without a seek (set while the stream is held
// downstream; read on the streaming thread, atomic).
//
// Thread contract: Receive, EndOfStream and NewSegment run on the upstream streaming thread
// under the receive lock; the codec is opened and closed in StartStreaming / StopStreaming on
// the graph's thread, never while a sample is in Receive.
#include "platform/filters/DecoderFamily.h"
#include "platform/filters/FFmpegUtil.h"
#include "platform/filters/VideoConverter.h"
#include "platform/graph/MiscInterfaces.h"
#include "platform/graph/TransformFilter.h"

#include <atomic>

class TVideoDecoder : public CTransformFilter, public IDecodeAhead {
public:
    TVideoDecoder(const QString& name, REFCLSID clsid, TDecoderFamily family);
    ~TVideoDecoder() override;
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT SkipUntil(REFERENCE_TIME sampleTime) override;
    HRESULT BeginFlush() override;

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

    // Frames the codec gave back, and those delivered (for tests).
    int DecodedFrames() const { return FDecoded.load(); }
    int DeliveredFrames() const { return FDelivered.load(); }

private:
    HRESULT DrainFrames();
    HRESULT DeliverFrame(const AVFrame* frame);
    // False for a picture larger than the program shows (skipped, with a trace).
    bool TakesPicture(const AVFrame* frame);
    HRESULT OpenCodec();

    const TDecoderFamily FFamily;
    // Set while stopped (connection), read by the streaming thread.
    int FWidth = 0, FHeight = 0;
    REFERENCE_TIME FFrameDuration = 0;
    bool FTopDown = false;
    // Streaming state, under the receive lock.
    kelvara::ff::TCodecPtr FCodec;
    kelvara::ff::TFramePtr FFrame;
    kelvara::ff::TPacketPtr FPacket;
    TVideoConverter FConverter;
    REFERENCE_TIME FNextTime = AV_NOPTS_VALUE;
    bool FSegmentStart = true;
    static constexpr REFERENCE_TIME kNoSkip = INT64_MIN;
    std::atomic<REFERENCE_TIME> FSkipUntil{kNoSkip};
    int FSkippedWidth = 0, FSkippedHeight = 0; // the size of the last picture skipped
    std::atomic<int> FDecoded{0};
    std::atomic<int> FDelivered{0};
};

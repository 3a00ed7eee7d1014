#pragma once
// The DV splitter (CLSID_DVSplitter): interleaved DV frames in (MEDIATYPE_Interleaved, dvsd,
// FORMAT_DvInfo, 25 Mbit/s PAL or NTSC), the frames out as DV video (dvsd, FORMAT_VideoInfo)
// and their sound out as 16-bit stereo PCM at the rate the frames state. The audio pin exists
// when the input's DVINFO describes sound. Every output sample keeps the times and flags of the
// frame it came from; a frame whose sound has another rate than the pin's gives no sound.
//
// Each output delivers from a thread and queue of its own (TOutputQueue), so that a paused video
// renderer holding its frame does not keep the sound from reaching the audio renderer.
//
// Thread contract: Receive, EndOfStream and NewSegment come on the upstream streaming thread and
// run under the receive lock; the state changes come from the graph's thread. Stop first stops
// the output queues (releasing an input thread that waits for room in one), then waits for the
// receive lock through the graph's wait (a downstream filter may be sending to the GUI thread
// meanwhile).
#include "platform/filters/OutputQueue.h"
#include "platform/graph/BaseFilter.h"
#include "platform/graph/BaseInputPin.h"
#include "platform/graph/BaseOutputPin.h"
#include "platform/graph/PosPassThru.h"

#include <memory>
#include <mutex>
#include <vector>

class TDVSplitter;

class TDVSplitterInputPin : public CBaseInputPin {
public:
    explicit TDVSplitterInputPin(TDVSplitter* splitter);
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

protected:
    HRESULT EndOfStreamFromReceive() override;

private:
    TDVSplitter* const FSplitter;
};

class TDVSplitterOutputPin : public CBaseOutputPin {
public:
    TDVSplitterOutputPin(TDVSplitter* splitter, const QString& name, const CMediaType& type,
                         LONG buffers, LONG bufferBytes, IPin* input);
    // Seeking goes upstream, to the filter that reads the frames.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
    const CMediaType& Type() const { return FType; }
    TOutputQueue& Queue() { return FQueue; }

private:
    TDVSplitter* const FSplitter;
    const CMediaType FType;
    const LONG FBuffers, FBufferBytes;
    TOutputQueue FQueue;
    std::unique_ptr<CPosPassThru> FPosition;
};

class TDVSplitter : public CBaseFilter {
public:
    TDVSplitter();
    ~TDVSplitter() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;
    HRESULT Stop() override;
    HRESULT Pause() override;

    // From the input pin.
    HRESULT MakeOutputPins(const CMediaType& input);
    void RemoveOutputPins();
    HRESULT ProcessFrame(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);
    TGraphMutex& ReceiveLock() { return FReceiveLock; }
    // Whether seeks of this output go upstream: the video's when it is connected, else the
    // sound's.
    bool LeadsSeeking(const TDVSplitterOutputPin* pin) const;

private:
    HRESULT DeliverVideo(IMediaSample* frame);
    HRESULT DeliverAudio(IMediaSample* frame);
    std::vector<TDVSplitterOutputPin*> Outputs() const;

    std::unique_ptr<TDVSplitterInputPin> FInput;
    mutable std::mutex FPinsLock;
    // guarded by FPinsLock; changed only while stopped
    std::unique_ptr<TDVSplitterOutputPin> FVideo;
    std::unique_ptr<TDVSplitterOutputPin> FAudio;
    // end of fields guarded by FPinsLock
    std::vector<std::unique_ptr<TDVSplitterOutputPin>> FRetired; // see TFFmpegSplitter
    TGraphMutex FReceiveLock;
    int FAudioRate = 0;        // set with the pins
    std::vector<int16_t> FPcm; // under the receive lock
};

#pragma once
// The decoders of the private packages: the platform's libavcodec decoders under the packages'
// class identifiers, with the settings of their package read when they are created.
//
// - Both refuse the codecs their package's Formats key switches off, so that the decoder choice
//   moves on to the next candidate.
// - The ffdshow video decoder is also the post-processing filter spliced after whatever decoder
//   is in use: given uncompressed RGB32 it passes each picture through, deinterlaced when the
//   package's Video\Deinterlace value is non-zero. A step ahead's skip is then handed on to the
//   decoder in front of it, so that the pictures it drops are neither converted nor copied.
//
// Thread contract: as TVideoDecoder and TAudioDecoder; the post-processing state is set while
// the filter is stopped (connection) and read on the streaming thread under the receive lock.
#include "platform/filters/AudioDecoder.h"
#include "platform/filters/VideoDecoder.h"
#include "taps/deinter.h"

#include <QSet>

class TPrivateVideoDecoder : public TVideoDecoder {
public:
    // settingsKey: "Software\LBV\Video"; postProcessing: also takes RGB32 (ffdshow).
    TPrivateVideoDecoder(const QString& name, REFCLSID clsid, const QString& settingsKey,
                         bool postProcessing);

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
    HRESULT BeginFlush() override;
    HRESULT Transform(IMediaSample* pIn, IMediaSample* pOut) override;
    // As the post-processing filter: handed on to the decoder in front of it.
    HRESULT SkipUntil(REFERENCE_TIME sampleTime) override;

    bool Deinterlaces() const { return FDeinterlace; }

private:
    static bool IsRgb32(const CMediaType& mt);

    const bool FPostCapable;
    const bool FDeinterlace;
    const QSet<QString> FRefused;
    bool FPostProcess = false; // the input is RGB32: pass-through post-processing
    int FWidth = 0, FHeight = 0;
    TDeinterlacer FDeinterlacer;
};

class TPrivateAudioDecoder : public TAudioDecoder {
public:
    TPrivateAudioDecoder(const QString& name, REFCLSID clsid, const QString& settingsKey);

    HRESULT CheckInputType(const CMediaType* mtIn) override;

private:
    const QSet<QString> FRefused;
};

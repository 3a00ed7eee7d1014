#include "platform/filters/DVSplitter.h"

#include "platform/com/NoThrow.h"
#include "platform/filters/DVFrameInfo.h"
#include "platform/filters/FFmpegUtil.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MediaSample.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

constexpr LONG kVideoBuffers = 8;
constexpr LONG kAudioBuffers = 16;
constexpr size_t kQueueDepth = 4;
constexpr int kMaxSamplesPerFrame = 1944; // 48 kHz in 625/50 with the largest spread

bool IsDVSubtype(REFGUID subtype) {
    return subtype == MEDIASUBTYPE_dvsd || subtype == MEDIASUBTYPE_DVSD ||
           subtype == MEDIASUBTYPE_dv25 || subtype == MEDIASUBTYPE_dvsl;
}

// PAL from the VAUX source pack's 50/60 flag, else from the sample size.
bool IsPal(const CMediaType& input) {
    if (const auto info = input.ReadFormat<DVINFO>(); info && info->dwDVVAuxSrc != 0)
        return (info->dwDVVAuxSrc >> 16) & 0x20;
    return input.lSampleSize != kDVFrameBytes525;
}

// The rate the AAUX source pack states, or 0 when the pack states no sound we can give.
int AudioRate(const CMediaType& input) {
    const auto info = input.ReadFormat<DVINFO>();
    if (!info || info->dwDVAAuxSrc == 0)
        return 0;
    const uint8_t pc4 = uint8_t(info->dwDVAAuxSrc >> 24);
    const int rateCode = (pc4 >> 3) & 0x07, quantisation = pc4 & 0x07;
    static const int rates[] = {48000, 44100, 32000};
    return rateCode <= 2 && quantisation <= 1 ? rates[rateCode] : 0;
}

CMediaType DVVideoType(bool pal) {
    const int width = 720, height = pal ? 576 : 480;
    const DWORD frameBytes = DWORD(pal ? kDVFrameBytes625 : kDVFrameBytes525);
    CMediaType mt(MEDIATYPE_Video, MEDIASUBTYPE_dvsd, FORMAT_VideoInfo);
    VIDEOINFOHEADER vih;
    vih.rcSource = vih.rcTarget = RECT{0, 0, width, height};
    vih.AvgTimePerFrame = pal ? 400000 : 333667;
    vih.dwBitRate = pal ? 28800000 : 28771200;
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biBitCount = 24;
    vih.bmiHeader.biCompression = MAKEFOURCC('d', 'v', 's', 'd');
    vih.bmiHeader.biSizeImage = frameBytes;
    mt.SetFormat(vih);
    mt.bFixedSizeSamples = 1;
    mt.bTemporalCompression = 0;
    mt.lSampleSize = frameBytes;
    return mt;
}

CMediaType DVAudioType(int rate) {
    WAVEFORMATEX wfx;
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = DWORD(rate);
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = 4;
    wfx.nAvgBytesPerSec = DWORD(rate) * 4;
    CMediaType mt(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
    mt.SetFormat(wfx);
    mt.bFixedSizeSamples = 1;
    mt.lSampleSize = 4;
    return mt;
}

void CopyFlags(IMediaSample* from, IMediaSample* to) {
    to->SetSyncPoint(from->IsSyncPoint() == S_OK);
    to->SetPreroll(from->IsPreroll() == S_OK);
    to->SetDiscontinuity(from->IsDiscontinuity() == S_OK);
}

} // namespace

TDVSplitterInputPin::TDVSplitterInputPin(TDVSplitter* splitter)
    : CBaseInputPin(QStringLiteral("DV splitter input pin"), splitter, nullptr,
                    QStringLiteral("Input")),
      FSplitter(splitter) {}

HRESULT TDVSplitterInputPin::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    const bool ok = pmt->majortype == MEDIATYPE_Interleaved && IsDVSubtype(pmt->subtype) &&
                    (pmt->formattype == FORMAT_DvInfo || pmt->formattype == GUID_NULL);
    return ok ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TDVSplitterInputPin::CompleteConnect(IPin* pReceivePin) {
    const HRESULT hr = FSplitter->MakeOutputPins(CurrentMediaType());
    return FAILED(hr) ? hr : CBaseInputPin::CompleteConnect(pReceivePin);
}

HRESULT TDVSplitterInputPin::BreakConnect() {
    FSplitter->RemoveOutputPins();
    return CBaseInputPin::BreakConnect();
}

HRESULT TDVSplitterInputPin::Receive(IMediaSample* pSample) {
    std::lock_guard lock(FSplitter->ReceiveLock());
    const HRESULT checked = CBaseInputPin::Receive(pSample);
    if (checked != S_OK)
        return checked;
    bool threw = false;
    const HRESULT hr = HResultOf([&] { return FSplitter->ProcessFrame(pSample); }, &threw);
    if (threw) {
        // Memory ran out for a frame's sound or a queued sample: the stream ends.
        SetRunTimeError();
        FSplitter->NotifyEvent(EC_ERRORABORT, hr, 0);
        FSplitter->DeliverEndOfStream();
    }
    return hr;
}

HRESULT TDVSplitterInputPin::EndOfStream() {
    std::lock_guard lock(FSplitter->ReceiveLock());
    const HRESULT hr = CheckStreaming();
    return hr == S_OK ? FSplitter->DeliverEndOfStream() : hr;
}

HRESULT TDVSplitterInputPin::EndOfStreamFromReceive() {
    return FSplitter->DeliverEndOfStream();
}

HRESULT TDVSplitterInputPin::BeginFlush() {
    CBaseInputPin::BeginFlush();
    return FSplitter->DeliverBeginFlush();
}

HRESULT TDVSplitterInputPin::EndFlush() {
    FSplitter->DeliverEndFlush();
    return CBaseInputPin::EndFlush();
}

HRESULT TDVSplitterInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    CBasePin::NewSegment(tStart, tStop, dRate);
    return FSplitter->DeliverNewSegment(tStart, tStop, dRate);
}

namespace {

// Both outputs pass seeking to the one upstream pin that reads the frames: only the leading
// output (the video when it is connected, else the sound) moves it, or every renderer's seek
// would seek the file again, and a second seek arriving late restarts a stream whose first one
// already delivered.
class TDVOutputPosition : public CPosPassThru {
public:
    TDVOutputPosition(IPin* owner, IPin* input, std::function<bool()> leads)
        : CPosPassThru(owner, input), FLeads(std::move(leads)) {}
    HRESULT SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                         DWORD dwStopFlags) override {
        if (!FLeads())
            return S_OK;
        return CPosPassThru::SetPositions(pCurrent, dwCurrentFlags, pStop, dwStopFlags);
    }
    HRESULT SetRate(double dRate) override {
        return FLeads() ? CPosPassThru::SetRate(dRate) : S_OK;
    }

private:
    std::function<bool()> FLeads;
};

} // namespace

TDVSplitterOutputPin::TDVSplitterOutputPin(TDVSplitter* splitter, const QString& name,
                                           const CMediaType& type, LONG buffers, LONG bufferBytes,
                                           IPin* input)
    : CBaseOutputPin(QStringLiteral("DV splitter output pin"), splitter, nullptr, name),
      FSplitter(splitter), FType(type), FBuffers(buffers), FBufferBytes(bufferBytes),
      FQueue(this, kQueueDepth),
      FPosition(std::make_unique<TDVOutputPosition>(
          static_cast<IPin*>(this), input, [this] { return FSplitter->LeadsSeeking(this); })) {}

HRESULT TDVSplitterOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMediaSeeking)
        return GetInterface(FPosition.get(), ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT TDVSplitterOutputPin::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    const bool ok = pmt->majortype == FType.majortype && pmt->subtype == FType.subtype &&
                    pmt->formattype == FType.formattype && pmt->cbFormat() >= FType.cbFormat() &&
                    std::memcmp(pmt->pbFormat(), FType.pbFormat(), FType.cbFormat()) == 0;
    return ok ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TDVSplitterOutputPin::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = FType;
    return S_OK;
}

HRESULT TDVSplitterOutputPin::DecideBufferSize(IMemAllocator* pAlloc,
                                               ALLOCATOR_PROPERTIES* pRequest) {
    if (!pAlloc || !pRequest)
        return E_POINTER;
    ALLOCATOR_PROPERTIES wanted = *pRequest;
    wanted.cBuffers = std::max(wanted.cBuffers, FBuffers);
    wanted.cbBuffer = std::max(wanted.cbBuffer, FBufferBytes);
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAlloc->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= FBufferBytes ? S_OK : E_FAIL;
}

TDVSplitter::TDVSplitter()
    : CBaseFilter(QStringLiteral("DV Splitter"), CLSID_DVSplitter),
      FInput(std::make_unique<TDVSplitterInputPin>(this)) {}

TDVSplitter::~TDVSplitter() {
    Stop();
}

int TDVSplitter::GetPinCount() {
    std::lock_guard lock(FPinsLock);
    return 1 + (FVideo ? 1 : 0) + (FAudio ? 1 : 0);
}

CBasePin* TDVSplitter::GetPin(int n) {
    if (n == 0)
        return FInput.get();
    std::lock_guard lock(FPinsLock);
    if (n == 1)
        return FVideo.get();
    if (n == 2)
        return FAudio.get();
    return nullptr;
}

bool TDVSplitter::LeadsSeeking(const TDVSplitterOutputPin* pin) const {
    std::lock_guard lock(FPinsLock);
    if (FVideo && FVideo->IsConnected())
        return pin == FVideo.get();
    return pin == FAudio.get();
}

std::vector<TDVSplitterOutputPin*> TDVSplitter::Outputs() const {
    std::lock_guard lock(FPinsLock);
    std::vector<TDVSplitterOutputPin*> pins;
    if (FVideo)
        pins.push_back(FVideo.get());
    if (FAudio)
        pins.push_back(FAudio.get());
    return pins;
}

HRESULT TDVSplitter::MakeOutputPins(const CMediaType& input) {
    RemoveOutputPins();
    const bool pal = IsPal(input);
    const int rate = AudioRate(input);
    auto video = std::make_unique<TDVSplitterOutputPin>(
        this, QStringLiteral("DVVidOut0"), DVVideoType(pal), kVideoBuffers,
        LONG(pal ? kDVFrameBytes625 : kDVFrameBytes525), FInput.get());
    std::unique_ptr<TDVSplitterOutputPin> audio;
    if (rate > 0)
        audio = std::make_unique<TDVSplitterOutputPin>(this, QStringLiteral("AudOut00"),
                                                       DVAudioType(rate), kAudioBuffers,
                                                       kMaxSamplesPerFrame * 4, FInput.get());
    std::lock_guard lock(FPinsLock);
    FVideo = std::move(video);
    FAudio = std::move(audio);
    FAudioRate = rate;
    return S_OK;
}

void TDVSplitter::RemoveOutputPins() {
    std::unique_ptr<TDVSplitterOutputPin> video, audio;
    {
        std::lock_guard lock(FPinsLock);
        video = std::move(FVideo);
        audio = std::move(FAudio);
    }
    for (auto* pin : {&video, &audio}) {
        if (!*pin)
            continue;
        if (ComPtr<IPin> peer = (*pin)->GetConnected())
            peer->Disconnect();
        (*pin)->Disconnect();
        FRetired.push_back(std::move(*pin));
    }
}

HRESULT TDVSplitter::Pause() {
    {
        std::lock_guard lock(FFilterLock);
        if (FState.load() == State_Stopped) {
            for (TDVSplitterOutputPin* pin : Outputs()) {
                const HRESULT hr = pin->IsConnected() ? pin->Queue().Start() : S_OK;
                if (FAILED(hr)) {
                    for (TDVSplitterOutputPin* started : Outputs())
                        started->Queue().Stop();
                    return hr;
                }
            }
        }
    }
    return CBaseFilter::Pause();
}

HRESULT TDVSplitter::Stop() {
    {
        std::lock_guard lock(FFilterLock);
        if (FState.load() == State_Stopped)
            return S_OK;
        FState.store(State_Stopped);
    }
    FInput->Inactive();
    for (TDVSplitterOutputPin* pin : Outputs()) {
        pin->Queue().Stop();
        pin->Inactive();
    }
    std::unique_lock receive(FReceiveLock, std::defer_lock);
    WaitForThreads([&] { return receive.try_lock(); });
    return S_OK;
}

HRESULT TDVSplitter::ProcessFrame(IMediaSample* sample) {
    const HRESULT video = DeliverVideo(sample);
    const HRESULT audio = DeliverAudio(sample);
    // Upstream goes on while either output still takes samples.
    if (video == S_OK || audio == S_OK)
        return S_OK;
    return FAILED(video) ? video : audio;
}

HRESULT TDVSplitter::DeliverVideo(IMediaSample* frame) {
    TDVSplitterOutputPin* pin = nullptr;
    {
        std::lock_guard lock(FPinsLock);
        pin = FVideo.get();
    }
    if (!pin || !pin->IsConnected())
        return S_FALSE;
    IMediaSample* raw = nullptr;
    HRESULT hr = pin->GetDeliveryBuffer(&raw, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    ComPtr<IMediaSample> out;
    out.Attach(raw);
    hr = CopySampleData(frame, out.Get());
    if (hr == VFW_E_BUFFER_OVERFLOW) {
        // A damaged frame longer than the tape's system allows: skipped, the stream goes on.
        GRAPH_TRACE(QStringLiteral("DV splitter: a frame of %1 bytes is longer than a frame of "
                                   "the stream, skipped")
                        .arg(frame->GetActualDataLength()));
        return S_OK;
    }
    if (FAILED(hr))
        return hr;
    out->SetMediaType(nullptr);
    return pin->Queue().Receive(out.Get());
}

HRESULT TDVSplitter::DeliverAudio(IMediaSample* frame) {
    TDVSplitterOutputPin* pin = nullptr;
    {
        std::lock_guard lock(FPinsLock);
        pin = FAudio.get();
    }
    if (!pin || !pin->IsConnected())
        return S_FALSE;
    BYTE* data = nullptr;
    frame->GetPointer(&data);
    const std::span<const uint8_t> bytes(data,
                                         size_t(std::max<LONG>(0, frame->GetActualDataLength())));
    const std::optional<TDVAudioFormat> format = ReadDVAudioFormat(bytes);
    FPcm.clear();
    if (!format || format->rate != FAudioRate || !ExtractDVAudio(bytes, *format, &FPcm))
        return S_OK; // no sound in this frame
    IMediaSample* raw = nullptr;
    HRESULT hr = pin->GetDeliveryBuffer(&raw, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    ComPtr<IMediaSample> out;
    out.Attach(raw);
    const LONG size = LONG(FPcm.size() * sizeof(int16_t));
    BYTE* buffer = nullptr;
    out->GetPointer(&buffer);
    if (!buffer || out->GetSize() < size)
        return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(buffer, FPcm.data(), size_t(size));
    out->SetActualDataLength(size);
    REFERENCE_TIME start = 0, stop = 0;
    if (SUCCEEDED(frame->GetTime(&start, &stop))) {
        stop = start + av_rescale(int64_t(FPcm.size() / 2), UNITS, FAudioRate);
        out->SetTime(&start, &stop);
    }
    CopyFlags(frame, out.Get());
    return pin->Queue().Receive(out.Get());
}

HRESULT TDVSplitter::DeliverEndOfStream() {
    for (TDVSplitterOutputPin* pin : Outputs())
        if (pin->IsConnected())
            pin->Queue().EndOfStream();
    return S_OK;
}

HRESULT TDVSplitter::DeliverBeginFlush() {
    for (TDVSplitterOutputPin* pin : Outputs())
        if (pin->IsConnected())
            pin->Queue().BeginFlush();
    return S_OK;
}

HRESULT TDVSplitter::DeliverEndFlush() {
    for (TDVSplitterOutputPin* pin : Outputs())
        if (pin->IsConnected())
            pin->Queue().EndFlush();
    return S_OK;
}

HRESULT TDVSplitter::DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
    for (TDVSplitterOutputPin* pin : Outputs())
        if (pin->IsConnected())
            pin->Queue().NewSegment(tStart, tStop, dRate);
    return S_OK;
}

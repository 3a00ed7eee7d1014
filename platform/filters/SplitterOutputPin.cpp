#include "platform/filters/SplitterOutputPin.h"

#include "platform/filters/FFmpegSplitter.h"
#include "platform/filters/PacketAllocator.h"
#include "platform/graph/MediaGuids.h"

#include <algorithm>
#include <cstring>

namespace {

// Samples a pin may have downstream at once: enough for the decoders' reordering and frame
// threads, few enough that the taps' rings (48 frames) cover everything between a tap and the
// renderer.
constexpr LONG kVideoBuffers = 12;
constexpr LONG kAudioBuffers = 32;

LONG BufferBytes(const CMediaType& type) {
    if (const auto* vih = type.FormatAs<VIDEOINFOHEADER>()) {
        const int64_t bytes =
            int64_t(std::abs(vih->bmiHeader.biWidth)) * std::abs(vih->bmiHeader.biHeight) * 4 +
            65536;
        return LONG(std::clamp<int64_t>(bytes, 1 << 20, 64 << 20));
    }
    if (type.lSampleSize > 1)
        return LONG(std::max<ULONG>(type.lSampleSize, 65536));
    return 1 << 20;
}

} // namespace

TSplitterOutputPin::TSplitterOutputPin(TFFmpegSplitter* splitter, const QString& name, int stream,
                                       const CMediaType& type, REFERENCE_TIME frameDuration)
    : CSourceStream(QStringLiteral("Splitter output pin"), nullptr, splitter, name),
      FSplitter(splitter), FStream(stream), FType(type), FFrameDuration(frameDuration) {}

bool TSplitterOutputPin::IsVideo() const {
    return FType.majortype == MEDIATYPE_Video || FType.majortype == MEDIATYPE_Interleaved;
}

HRESULT TSplitterOutputPin::GetMediaType(int iPosition, CMediaType* pMediaType) {
    if (!pMediaType)
        return E_POINTER;
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    *pMediaType = FType;
    return S_OK;
}

HRESULT TSplitterOutputPin::DecideBufferSize(IMemAllocator* pAlloc,
                                             ALLOCATOR_PROPERTIES* pRequest) {
    if (!pAlloc || !pRequest)
        return E_POINTER;
    ALLOCATOR_PROPERTIES wanted = *pRequest;
    wanted.cBuffers = std::max(wanted.cBuffers, IsVideo() ? kVideoBuffers : kAudioBuffers);
    wanted.cbBuffer = std::max(wanted.cbBuffer, BufferBytes(FType));
    wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual;
    const HRESULT hr = pAlloc->SetProperties(&wanted, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cBuffers > 0 ? S_OK : E_FAIL;
}

HRESULT TSplitterOutputPin::DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc) {
    if (!pPin || !ppAlloc)
        return E_POINTER;
    *ppAlloc = nullptr;
    ComPtr<TPacketAllocator> mine = MakeComObject<TPacketAllocator>();
    ALLOCATOR_PROPERTIES props;
    pPin->GetAllocatorRequirements(&props);
    if (SUCCEEDED(DecideBufferSize(mine.Get(), &props)) &&
        SUCCEEDED(pPin->NotifyAllocator(mine.Get(), 0))) {
        FPacketAllocator = mine;
        return ComPtr<IMemAllocator>(mine.Get()).CopyTo(ppAlloc);
    }
    FPacketAllocator = nullptr;
    return CSourceStream::DecideAllocator(pPin, ppAlloc);
}

HRESULT TSplitterOutputPin::BreakConnect() {
    FPacketAllocator = nullptr;
    return CSourceStream::BreakConnect();
}

HRESULT TSplitterOutputPin::PutPacket(IMediaSample* sample, AVPacket* packet) {
    if (FPacketAllocator) {
        const HRESULT hr = FPacketAllocator->AttachPacket(sample, packet);
        if (hr != S_FALSE)
            return hr;
    }
    if (packet->size > sample->GetSize())
        return S_FALSE;
    BYTE* buffer = nullptr;
    sample->GetPointer(&buffer);
    if (packet->size > 0)
        std::memcpy(buffer, packet->data, size_t(packet->size));
    sample->SetActualDataLength(packet->size);
    return S_OK;
}

HRESULT TSplitterOutputPin::FillBuffer(IMediaSample* pSample) {
    return FSplitter->FillSample(this, pSample);
}

void TSplitterOutputPin::OnStopRequested() {
    FSplitter->InterruptReads();
}

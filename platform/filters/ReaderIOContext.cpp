#include "platform/filters/ReaderIOContext.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace {
constexpr int kBufferSize = 64 * 1024;
} // namespace

TReaderIOContext::TReaderIOContext(IAsyncReader* reader) : FReader(reader) {
    MakeContext();
}

TReaderIOContext::TReaderIOContext(std::unique_ptr<TAsyncFileReader> file)
    : FFile(std::move(file)) {
    MakeContext();
}

void TReaderIOContext::MakeContext() {
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer)
        return;
    FContext = avio_alloc_context(buffer, kBufferSize, 0, this, &TReaderIOContext::ReadPacket,
                                  nullptr, &TReaderIOContext::Seek);
    if (!FContext)
        av_free(buffer);
}

TReaderIOContext::~TReaderIOContext() {
    if (FContext) {
        av_freep(&FContext->buffer);
        avio_context_free(&FContext);
    }
}

int64_t TReaderIOContext::Total() {
    if (FFile) {
        FTotal = FFile->IsOpen() ? FFile->Length() : -1;
        return FTotal;
    }
    LONGLONG total = 0, available = 0;
    if (!FReader || FAILED(FReader->Length(&total, &available)))
        return -1;
    FTotal = available;
    return FTotal;
}

HRESULT TReaderIOContext::ReadAt(int64_t position, int32_t length, uint8_t* buffer, int32_t* read) {
    *read = 0;
    if (FFile)
        return FFile->Read(position, length, buffer, read);
    const HRESULT hr = FReader->SyncRead(position, length, buffer);
    if (FAILED(hr))
        return hr;
    *read = hr == S_OK ? length : 0;
    return hr == S_OK ? S_OK : E_FAIL;
}

std::vector<uint8_t> TReaderIOContext::Head(size_t count) {
    std::vector<uint8_t> head;
    const int64_t total = Total();
    if (total <= 0)
        return head;
    head.resize(size_t(std::min<int64_t>(total, int64_t(count))));
    int32_t read = 0;
    if (ReadAt(0, int32_t(head.size()), head.data(), &read) != S_OK)
        read = 0;
    head.resize(size_t(read));
    return head;
}

int TReaderIOContext::ReadPacket(void* opaque, uint8_t* buffer, int size) {
    auto* self = static_cast<TReaderIOContext*>(opaque);
    int64_t total = self->FTotal;
    if (total < 0 || self->FPosition >= total)
        total = self->Total(); // a file that is still growing
    if (total < 0)
        return AVERROR(EIO);
    const int64_t left = total - self->FPosition;
    if (left <= 0)
        return AVERROR_EOF;
    int32_t n = 0;
    const HRESULT hr =
        self->ReadAt(self->FPosition, int32_t(std::min<int64_t>(left, size)), buffer, &n);
    if (FAILED(hr))
        return AVERROR(EIO);
    if (n <= 0)
        return AVERROR_EOF;
    self->FPosition += n;
    return n;
}

int64_t TReaderIOContext::Seek(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<TReaderIOContext*>(opaque);
    const int64_t total = self->Total();
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return total >= 0 ? total : AVERROR(ENOSYS);
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += self->FPosition;
        break;
    case SEEK_END:
        if (total < 0)
            return AVERROR(ENOSYS);
        offset += total;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (offset < 0)
        return AVERROR(EINVAL);
    self->FPosition = offset;
    return offset;
}

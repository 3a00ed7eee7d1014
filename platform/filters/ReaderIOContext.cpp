#include "platform/filters/ReaderIOContext.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace {
constexpr int kBufferSize = 64 * 1024;
} // namespace

TReaderIOContext::TReaderIOContext(IAsyncReader* reader) : FReader(reader) {
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
    LONGLONG total = 0, available = 0;
    if (!FReader || FAILED(FReader->Length(&total, &available)))
        return -1;
    FTotal = available;
    return FTotal;
}

std::vector<uint8_t> TReaderIOContext::Head(size_t count) {
    std::vector<uint8_t> head;
    const int64_t total = Total();
    if (total <= 0)
        return head;
    head.resize(size_t(std::min<int64_t>(total, int64_t(count))));
    if (FReader->SyncRead(0, LONG(head.size()), head.data()) != S_OK)
        head.clear();
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
    const int n = int(std::min<int64_t>(left, size));
    const HRESULT hr = self->FReader->SyncRead(self->FPosition, n, buffer);
    if (FAILED(hr))
        return AVERROR(EIO);
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

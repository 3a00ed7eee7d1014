#pragma once
// An FFmpeg I/O context that reads through an IAsyncReader (the output pin of a file source), so
// that the pulling splitters demux whatever the source reads. Reads past the end answer
// AVERROR_EOF; a read error of the source answers AVERROR(EIO). An interrupt flag lets a
// blocked open or read give up.
#include "platform/com/ComPtr.h"
#include "platform/filters/FFmpegUtil.h"
#include "platform/graph/SourceInterfaces.h"

#include <atomic>
#include <memory>
#include <vector>

class TReaderIOContext {
public:
    explicit TReaderIOContext(IAsyncReader* reader);
    ~TReaderIOContext();
    TReaderIOContext(const TReaderIOContext&) = delete;
    TReaderIOContext& operator=(const TReaderIOContext&) = delete;

    // The context for AVFormatContext::pb (null when it could not be made).
    AVIOContext* Context() const { return FContext; }
    // Bytes at the start of the stream (at most `count`), read without moving the context.
    std::vector<uint8_t> Head(size_t count);

private:
    static int ReadPacket(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    int64_t Total();

    ComPtr<IAsyncReader> FReader;
    AVIOContext* FContext = nullptr;
    int64_t FPosition = 0;
    int64_t FTotal = -1;
};

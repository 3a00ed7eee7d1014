#pragma once
// An FFmpeg I/O context that reads through an IAsyncReader (the output pin of a file source), so
// that the pulling splitters demux whatever the source reads, or from a file the sources that
// split opened themselves. Every byte FFmpeg reads comes through it: the library opens nothing
// of its own. Reads past the end answer AVERROR_EOF; a read error of the source answers
// AVERROR(EIO). An interrupt flag lets a blocked open or read give up.
#include "platform/com/ComPtr.h"
#include "platform/filters/AsyncFileReader.h"
#include "platform/filters/FFmpegUtil.h"
#include "platform/graph/SourceInterfaces.h"

#include <atomic>
#include <memory>
#include <vector>

class TReaderIOContext {
public:
    explicit TReaderIOContext(IAsyncReader* reader);
    // Reads an opened file (the context owns it from here on).
    explicit TReaderIOContext(std::unique_ptr<TAsyncFileReader> file);
    ~TReaderIOContext();
    TReaderIOContext(const TReaderIOContext&) = delete;
    TReaderIOContext& operator=(const TReaderIOContext&) = delete;

    // The context for AVFormatContext::pb (null when it could not be made).
    AVIOContext* Context() const { return FContext; }
    // Bytes at the start of the stream (at most `count`), read without moving the context.
    std::vector<uint8_t> Head(size_t count);

private:
    void MakeContext();
    static int ReadPacket(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    int64_t Total();
    // Reads length bytes at position (fewer at the end): S_OK with *read set, or a failure.
    HRESULT ReadAt(int64_t position, int32_t length, uint8_t* buffer, int32_t* read);

    ComPtr<IAsyncReader> FReader;
    std::unique_ptr<TAsyncFileReader> FFile;
    AVIOContext* FContext = nullptr;
    int64_t FPosition = 0;
    int64_t FTotal = -1;
};

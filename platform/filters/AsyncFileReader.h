#pragma once
// Random-access reads of one file for the file source's IAsyncReader: positioned reads that
// never share a file position (so that any thread may read at any time), the file's length (a
// file that is still being written grows), and the queue of requests that Request fills and
// WaitForNext empties.
//
// Thread contract: every member may be called from any thread.
#include "platform/com/ComPtr.h"
#include "platform/graph/SampleInterfaces.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include <QString>

class TAsyncFileReader {
public:
    TAsyncFileReader() = default;
    ~TAsyncFileReader();
    TAsyncFileReader(const TAsyncFileReader&) = delete;
    TAsyncFileReader& operator=(const TAsyncFileReader&) = delete;

    // Opens the file for reading (closing the one open before): S_OK, or the failure of
    // OpenRegularFile (a pipe, device or folder is refused at once, without waiting).
    HRESULT Open(const QString& path);
    void Close();
    bool IsOpen() const;

    // Reads up to length bytes at position; *read receives the count (short at the end).
    HRESULT Read(int64_t position, int32_t length, uint8_t* buffer, int32_t* read);
    // Total bytes of the file now.
    int64_t Length() const;

    // The asynchronous requests: Request reads the sample's byte range (its times divided by
    // 10 000 000) at once and queues it; WaitForNext hands queued samples back in order.
    HRESULT Request(IMediaSample* sample, intptr_t user);
    HRESULT WaitForNext(uint32_t timeoutMs, IMediaSample** sample, intptr_t* user);
    // Reads the byte range of a sample into it.
    HRESULT ReadSample(IMediaSample* sample);
    void BeginFlush();
    void EndFlush();

private:
    struct TDone {
        ComPtr<IMediaSample> sample;
        intptr_t user;
        HRESULT result;
    };

    mutable std::mutex FLock;
    std::condition_variable FQueued;
    // guarded by FLock
    int FFile = -1;
    std::deque<TDone> FDone;
    bool FFlushing = false;
};

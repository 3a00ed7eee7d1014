#include "platform/filters/AsyncFileReader.h"

#include "platform/filters/FilePaths.h"
#include "platform/graph/FormatBlocks.h"

#include <cerrno>
#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

TAsyncFileReader::~TAsyncFileReader() {
    Close();
}

HRESULT TAsyncFileReader::Open(const QString& path) {
    Close();
    int fd = -1;
    const HRESULT hr = OpenRegularFile(path, &fd);
    if (FAILED(hr))
        return hr;
    std::lock_guard lock(FLock);
    FFile = fd;
    return S_OK;
}

void TAsyncFileReader::Close() {
    std::lock_guard lock(FLock);
    if (FFile >= 0)
        ::close(FFile);
    FFile = -1;
    FDone.clear();
}

bool TAsyncFileReader::IsOpen() const {
    std::lock_guard lock(FLock);
    return FFile >= 0;
}

HRESULT TAsyncFileReader::Read(int64_t position, int32_t length, uint8_t* buffer, int32_t* read) {
    if (!read || (!buffer && length > 0))
        return E_POINTER;
    *read = 0;
    if (position < 0 || length < 0)
        return E_INVALIDARG;
    int fd;
    {
        std::lock_guard lock(FLock);
        fd = FFile;
    }
    if (fd < 0)
        return VFW_E_NOT_CONNECTED;
    int32_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, buffer + done, size_t(length - done), off_t(position + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
        if (n == 0)
            break;
        done += int32_t(n);
    }
    *read = done;
    return S_OK;
}

int64_t TAsyncFileReader::Length() const {
    std::lock_guard lock(FLock);
    struct stat info {};
    if (FFile < 0 || ::fstat(FFile, &info) != 0)
        return 0;
    return int64_t(info.st_size);
}

HRESULT TAsyncFileReader::ReadSample(IMediaSample* sample) {
    if (!sample)
        return E_POINTER;
    REFERENCE_TIME start = 0, stop = 0;
    if (FAILED(sample->GetTime(&start, &stop)))
        return VFW_E_SAMPLE_TIME_NOT_SET;
    const int64_t position = start / UNITS;
    const int64_t wanted = stop / UNITS - position;
    BYTE* buffer = nullptr;
    sample->GetPointer(&buffer);
    if (wanted < 0 || wanted > sample->GetSize())
        return E_INVALIDARG;
    int32_t read = 0;
    const HRESULT hr = Read(position, int32_t(wanted), buffer, &read);
    if (FAILED(hr))
        return hr;
    sample->SetActualDataLength(read);
    return read == wanted ? S_OK : S_FALSE;
}

HRESULT TAsyncFileReader::Request(IMediaSample* sample, intptr_t user) {
    if (!sample)
        return E_POINTER;
    {
        std::lock_guard lock(FLock);
        if (FFlushing)
            return VFW_E_WRONG_STATE;
    }
    const HRESULT hr = ReadSample(sample);
    {
        std::lock_guard lock(FLock);
        FDone.push_back({ComPtr<IMediaSample>(sample), user, hr});
    }
    FQueued.notify_all();
    return S_OK;
}

HRESULT TAsyncFileReader::WaitForNext(uint32_t timeoutMs, IMediaSample** sample, intptr_t* user) {
    if (!sample || !user)
        return E_POINTER;
    *sample = nullptr;
    *user = 0;
    std::unique_lock lock(FLock);
    const auto ready = [this] { return !FDone.empty() || FFlushing; };
    if (timeoutMs == 0xFFFFFFFF)
        FQueued.wait(lock, ready);
    else if (!FQueued.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return VFW_E_TIMEOUT;
    if (FDone.empty())
        return VFW_E_WRONG_STATE; // flushing with nothing left to hand back
    TDone done = std::move(FDone.front());
    FDone.pop_front();
    *user = done.user;
    *sample = done.sample.Detach();
    return FFlushing ? VFW_E_WRONG_STATE : done.result;
}

void TAsyncFileReader::BeginFlush() {
    {
        std::lock_guard lock(FLock);
        FFlushing = true;
    }
    FQueued.notify_all();
}

void TAsyncFileReader::EndFlush() {
    std::lock_guard lock(FLock);
    FFlushing = false;
}

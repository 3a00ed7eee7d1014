#pragma once
// A media type: major type, sub-type, sample properties and a format block (format type plus
// its bytes, a VIDEOINFOHEADER, WAVEFORMATEX, ... of FormatBlocks.h). The object owns its format
// block: copies are deep, and the block is freed with the object.
#include "platform/com/ComTypes.h"
#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

class AM_MEDIA_TYPE {
public:
    GUID majortype = GUID_NULL;
    GUID subtype = GUID_NULL;
    BOOL bFixedSizeSamples = 1;
    BOOL bTemporalCompression = 0;
    ULONG lSampleSize = 1;
    GUID formattype = GUID_NULL;

    AM_MEDIA_TYPE() = default;
    AM_MEDIA_TYPE(REFGUID major, REFGUID sub, REFGUID format = GUID_NULL)
        : majortype(major), subtype(sub), formattype(format) {}

    // Size and bytes of the format block (empty: 0 and nullptr).
    ULONG cbFormat() const { return ULONG(FFormat.size()); }
    const BYTE* pbFormat() const { return FFormat.empty() ? nullptr : FFormat.data(); }
    BYTE* pbFormat() { return FFormat.empty() ? nullptr : FFormat.data(); }

    // Replaces the format block with `size` zero bytes and returns it (nullptr for 0).
    BYTE* AllocFormatBuffer(size_t size);
    // Replaces the format block with a copy of `size` bytes at `data`.
    void SetFormat(const void* data, size_t size);
    template <typename T>
    requires std::is_trivially_copyable_v<T>
    void SetFormat(const T& block) { SetFormat(&block, sizeof(T)); }
    // Drops the format block; the format type is left as it is.
    void ResetFormatBuffer() { FFormat.clear(); }

    // The format block read as T, or nullptr when it is shorter than T. The pointer lives until
    // the block is changed.
    template <typename T>
    const T* FormatAs() const {
        return FFormat.size() >= sizeof(T) ? reinterpret_cast<const T*>(FFormat.data()) : nullptr;
    }
    template <typename T>
    T* FormatAs() {
        return FFormat.size() >= sizeof(T) ? reinterpret_cast<T*>(FFormat.data()) : nullptr;
    }
    // A copy of the first sizeof(T) bytes of the block, when it has that many.
    template <typename T>
    requires std::is_trivially_copyable_v<T> std::optional<T> ReadFormat()
    const {
        if (FFormat.size() < sizeof(T))
            return std::nullopt;
        T value;
        std::memcpy(&value, FFormat.data(), sizeof(T));
        return value;
    }

    // True when every GUID field that is not GUID_NULL in `partial` equals this type's, and when
    // `partial` has a format block of the same format type, the blocks are equal too.
    bool MatchesPartial(const AM_MEDIA_TYPE& partial) const;
    // True when major type or sub-type is GUID_NULL, or format type is GUID_NULL (a type that
    // leaves something open, as asked for in a connection or a search).
    bool IsPartiallySpecified() const;
    // True once a major type is set.
    bool IsValid() const { return majortype != GUID_NULL; }

    friend bool operator==(const AM_MEDIA_TYPE&, const AM_MEDIA_TYPE&) = default;

private:
    std::vector<BYTE> FFormat;
};

// The name the filter base classes use for a media type.
using CMediaType = AM_MEDIA_TYPE;

// Helpers in the shape of the platform's C functions, for code that hands media types out
// through pointers (IEnumMediaTypes::Next, ConnectionMediaType, IMediaSample::GetMediaType).
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE& source); // a heap copy; null: no memory
void DeleteMediaType(AM_MEDIA_TYPE* type);                   // frees a CreateMediaType copy
void FreeMediaType(AM_MEDIA_TYPE& type);                     // clears the format block
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);

// Owning handle for the heap copies above.
struct MediaTypeDeleter {
    void operator()(AM_MEDIA_TYPE* type) const { DeleteMediaType(type); }
};
using MediaTypePtr = std::unique_ptr<AM_MEDIA_TYPE, MediaTypeDeleter>;

#include "platform/graph/MediaType.h"

#include <algorithm>
#include <new>

BYTE* AM_MEDIA_TYPE::AllocFormatBuffer(size_t size) {
    FFormat.assign(size, 0);
    return pbFormat();
}

void AM_MEDIA_TYPE::SetFormat(const void* data, size_t size) {
    if (!data || size == 0) {
        FFormat.clear();
        return;
    }
    const auto* bytes = static_cast<const BYTE*>(data);
    FFormat.assign(bytes, bytes + size);
}

bool AM_MEDIA_TYPE::MatchesPartial(const AM_MEDIA_TYPE& partial) const {
    if (partial.majortype != GUID_NULL && partial.majortype != majortype)
        return false;
    if (partial.subtype != GUID_NULL && partial.subtype != subtype)
        return false;
    if (partial.formattype == GUID_NULL)
        return true;
    if (partial.formattype != formattype)
        return false;
    if (partial.FFormat.empty())
        return true;
    return partial.FFormat == FFormat;
}

bool AM_MEDIA_TYPE::IsPartiallySpecified() const {
    return majortype == GUID_NULL || subtype == GUID_NULL || formattype == GUID_NULL;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE& source) {
    try {
        return new AM_MEDIA_TYPE(source);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void DeleteMediaType(AM_MEDIA_TYPE* type) {
    delete type;
}

void FreeMediaType(AM_MEDIA_TYPE& type) {
    type.ResetFormatBuffer();
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source) {
    if (!target || !source)
        return E_POINTER;
    *target = *source;
    return S_OK;
}

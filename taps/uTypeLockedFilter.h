#pragma once
// The in-place pass-through base of the video tap, the audio tap and the DV stage: media type
// locking, the transform check and the output type.
//
// Locking: the first connection (and each start of streaming) records the major type, sub-type
// and format type of the connection; from then on, for the filter's whole life, the input takes
// only types with the same three GUIDs (a GUID still GUID_NULL matches anything). So a tap that
// was connected to a YUY2 stream accepts another YUY2 size later, but never RGB32.
//
// Thread contract: CompleteConnect and StartStreaming come from the thread that drives the graph;
// CheckInputType also from a streaming thread (a format change carried by a sample). The locked
// GUIDs are guarded by their own lock.
#include "platform/graph/TransInPlaceFilter.h"

#include <mutex>

// The three GUIDs that identify a media type's kind (what decoder memory is keyed on).
struct TMediaTypeKey {
    GUID Major = GUID_NULL;
    GUID Sub = GUID_NULL;
    GUID Format = GUID_NULL;
    friend bool operator==(const TMediaTypeKey&, const TMediaTypeKey&) = default;
};

class TTypeLockedFilter : public CTransInPlaceFilter {
public:
    TTypeLockedFilter(const QString& objectName, REFCLSID clsid, bool modifiesData);

    // S_OK when each GUID equals the locked one or the locked one is GUID_NULL, else E_FAIL.
    HRESULT CheckInputType(const CMediaType* mtIn) override;
    // S_OK when major types and sub-types are equal, else VFW_E_TYPE_NOT_ACCEPTED.
    HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) override;
    // Locks the type of the connection that receivePin reports, then the base operation.
    HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* pReceivePin) override;
    // Locks the input's connection type again, when the input is connected.
    HRESULT StartStreaming() override;

    TMediaTypeKey LockedType() const;

private:
    void Lock(const AM_MEDIA_TYPE& type);

    mutable std::mutex FLockedLock;
    TMediaTypeKey FLocked; // guarded by FLockedLock
};

#pragma once
// The system reference clock: the monotonic clock of the machine in 100-ns units. The graph
// uses it when no filter offers a clock of its own.
#include "platform/com/CUnknown.h"
#include "platform/graph/FilterInterfaces.h"

class CSystemClock : public CUnknown, public IReferenceClock {
public:
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT GetTime(REFERENCE_TIME* pTime) override;

private:
    IUnknown* UnknownInterface() override { return static_cast<IReferenceClock*>(this); }
};

#pragma once
// The audio renderer's reference clock. It never goes back. While the renderer plays, it follows
// the sound being heard: each report of the output's position pulls it gently towards that
// time (a large difference is taken at once); between reports, and whenever no sound flows, it
// runs with the system's monotonic clock. While the renderer is paused it stands still, so that
// stream time holds too; stopped, it runs on from where it stood.
//
// The clock is an object of its own, which the renderer hands out for IReferenceClock: filters
// that hold the graph's clock then hold no reference on the renderer.
//
// Thread contract: every member may be called from any thread.
#include "platform/com/CUnknown.h"
#include "platform/graph/FilterInterfaces.h"

#include <functional>
#include <mutex>

class CAudioClock : public CUnknown, public IReferenceClock {
public:
    // systemTime: the monotonic time the clock runs with (tests give their own).
    explicit CAudioClock(std::function<REFERENCE_TIME()> systemTime = &CAudioClock::SystemTime);
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT GetTime(REFERENCE_TIME* pTime) override;

    REFERENCE_TIME Now();
    // Stands still from now on (paused).
    void Hold();
    // Moves again from where it stood (running or stopped).
    void Resume();
    bool IsHeld() const;
    // The output says this is the time now (only while it moves).
    void Follow(REFERENCE_TIME heard);

    // The system's monotonic time in 100-ns units.
    static REFERENCE_TIME SystemTime();

private:
    IUnknown* UnknownInterface() override { return static_cast<IReferenceClock*>(this); }
    REFERENCE_TIME NowLocked(REFERENCE_TIME system);

    const std::function<REFERENCE_TIME()> FSystemTime;
    mutable std::mutex FLock;
    // guarded by FLock
    REFERENCE_TIME FBase = 0; // the clock's time at FBaseSystem
    REFERENCE_TIME FBaseSystem = 0;
    REFERENCE_TIME FLast = 0; // the last time handed out
    bool FHeld = false;
};

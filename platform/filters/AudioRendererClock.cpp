#include "platform/filters/AudioRendererClock.h"

#include <algorithm>
#include <chrono>

namespace {

// A difference beyond this is taken at once; below it, one eighth of it per report, so that the
// jitter of the output's callbacks does not shake the clock.
constexpr REFERENCE_TIME kSnap = 100 * MILLISECONDS;
constexpr REFERENCE_TIME kFollowShare = 8;

} // namespace

REFERENCE_TIME CAudioClock::SystemTime() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count() / 100;
}

CAudioClock::CAudioClock(std::function<REFERENCE_TIME()> systemTime)
    : FSystemTime(std::move(systemTime)), FBase(FSystemTime()), FBaseSystem(FBase), FLast(FBase) {}

HRESULT CAudioClock::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IReferenceClock)
        return GetInterface(static_cast<IReferenceClock*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CAudioClock::GetTime(REFERENCE_TIME* pTime) {
    if (!pTime)
        return E_POINTER;
    *pTime = Now();
    return S_OK;
}

REFERENCE_TIME CAudioClock::NowLocked(REFERENCE_TIME system) {
    const REFERENCE_TIME raw = FHeld ? FBase : FBase + (system - FBaseSystem);
    FLast = std::max(FLast, raw);
    return FLast;
}

REFERENCE_TIME CAudioClock::Now() {
    std::lock_guard lock(FLock);
    return NowLocked(FSystemTime());
}

void CAudioClock::Hold() {
    std::lock_guard lock(FLock);
    if (FHeld)
        return;
    const REFERENCE_TIME system = FSystemTime();
    FBase = NowLocked(system);
    FBaseSystem = system;
    FHeld = true;
}

void CAudioClock::Resume() {
    std::lock_guard lock(FLock);
    if (!FHeld)
        return;
    const REFERENCE_TIME system = FSystemTime();
    FBase = NowLocked(system);
    FBaseSystem = system;
    FHeld = false;
}

bool CAudioClock::IsHeld() const {
    std::lock_guard lock(FLock);
    return FHeld;
}

void CAudioClock::Follow(REFERENCE_TIME heard) {
    std::lock_guard lock(FLock);
    if (FHeld)
        return;
    const REFERENCE_TIME system = FSystemTime();
    const REFERENCE_TIME now = FBase + (system - FBaseSystem);
    const REFERENCE_TIME difference = heard - now;
    FBase = (difference > kSnap || difference < -kSnap) ? heard : now + difference / kFollowShare;
    FBaseSystem = system;
}

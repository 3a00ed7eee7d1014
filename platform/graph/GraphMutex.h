#pragma once
// The lock of the filter graph and of the filter bases: a plain mutex that knows its owner, so that
// a second lock by the thread that holds it is found instead of hidden.
//
// A graph operation holds its lock while it calls into filters and waits for their threads. A call
// that comes back into the same object on the same thread takes the lock a second time: a filter
// calling its graph from inside the graph's own call, or a message handler run during a graph wait
// (see ProcessMessages.h). A recursive lock would let that call work on a half-done state and a
// plain one would hang. TGraphCallLock refuses it instead: an assertion in debug builds, and in
// release builds the call gets no lock and the public function returns VFW_E_WRONG_STATE.
//
// Code that runs with the lock held calls the ...Locked forms of the public functions, never the
// public ones. One second entry is allowed: a message handler run during one of the object's own
// waits (InsideGraphWait on the thread that holds the lock). The waiting operation is parked in
// that wait, so the handler goes ahead without taking the lock again; the graph refuses the calls
// that would drive it from there (RefusesReentry), and reading its state is fine.
#include <atomic>
#include <mutex>
#include <thread>

class TGraphMutex {
public:
    TGraphMutex() = default;
    TGraphMutex(const TGraphMutex&) = delete;
    TGraphMutex& operator=(const TGraphMutex&) = delete;

    // For std::lock_guard and std::unique_lock in the filter bases and in code that cannot be
    // entered twice; the graph's public calls take a TGraphCallLock. A second lock by the owner is
    // a fault of the code: an assertion in debug builds; a release build traces it and counts the
    // lock, as the recursive lock did, rather than hang.
    void lock() {
        if (HeldByThisThread()) {
            Relocked();
            ++FDepth;
            return;
        }
        FMutex.lock();
        FOwner.store(std::this_thread::get_id(), std::memory_order_relaxed);
        FDepth = 1;
    }
    bool try_lock() {
        if (HeldByThisThread()) {
            Relocked();
            ++FDepth;
            return true;
        }
        if (!FMutex.try_lock())
            return false;
        FOwner.store(std::this_thread::get_id(), std::memory_order_relaxed);
        FDepth = 1;
        return true;
    }
    void unlock() {
        if (--FDepth > 0)
            return;
        FOwner.store(std::thread::id(), std::memory_order_relaxed);
        FMutex.unlock();
    }
    // Only the owner sees itself here; another thread may read a stale owner, never its own id.
    bool HeldByThisThread() const {
        return FOwner.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }

private:
    static void Relocked();

    std::mutex FMutex;
    std::atomic<std::thread::id> FOwner{};
    int FDepth = 0; // touched by the owner only
};

// The lock of one public call (see above). False when the call must be refused.
class TGraphCallLock {
public:
    // call names the function in the trace and the assertion's message.
    explicit TGraphCallLock(TGraphMutex& mutex, const char* call = nullptr);
    ~TGraphCallLock() {
        if (FTaken)
            FTaken->unlock();
    }
    TGraphCallLock(const TGraphCallLock&) = delete;
    TGraphCallLock& operator=(const TGraphCallLock&) = delete;

    explicit operator bool() const { return FEntered; }

private:
    TGraphMutex* FTaken = nullptr;
    bool FEntered = true;
};

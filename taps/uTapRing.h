#pragma once
// A ring of 48 records that a tap fills on its streaming thread, one slot per frame, and that the
// frame keeper reads on the renderer's streaming thread when the same frame is presented; the
// keeper posts the address of the slot to a manager, which reads it on the GUI thread.
//
// Indexes run 1..48; 0 means that nothing was written since the last Reset. The slot after 48 is
// 1. The segment-start index names the slot of the first frame written after a new segment
// (a seek), so that the reader can realign on it.
//
// Each slot also remembers the stream time of its frame (segment start plus the sample's start
// time) and a serial number. The reader normally follows the writer one slot per frame; when a
// filter between the two drops or reorders frames (a decoder that drops a damaged frame, or
// B-frames that leave the decoder in another order than they entered), the times let the reader
// find the slot of the frame it actually presents (FindTime).
//
// Thread contract: Write and Reset come from the tap (streaming thread, or the GUI thread while
// nothing streams); Read, ReadSlot, TimeOf, FindTime from any thread. The slot contents are
// guarded by the ring's lock; the indexes are atomic. Slot addresses stay valid for the ring's
// lifetime; a receiver that dereferences one directly reads what was written there last, which
// the 48-slot distance between writer and reader keeps stable. ReadSlot copies it under the lock.
#include "platform/graph/FormatBlocks.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

// a + b, held at the limits of the 64-bit range instead of overflowing (times from damaged files
// can be anything).
inline REFERENCE_TIME AddTimes(REFERENCE_TIME a, REFERENCE_TIME b) {
    REFERENCE_TIME sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

template <typename T>
class TTapRing {
public:
    static constexpr int Depth = 48;

    // The index after `index`, with the wrap from 48 back to 1 (0 gives 1).
    static constexpr int Next(int index) { return index >= Depth || index < 0 ? 1 : index + 1; }

    // Writes value into the next slot and returns its index. segmentStart marks the slot as the
    // first of a segment.
    int Write(const T& value, std::optional<REFERENCE_TIME> time, bool segmentStart) {
        std::lock_guard lock(FLock);
        const int index = Next(FWriteIndex.load());
        TSlot& slot = FSlots[size_t(index - 1)];
        slot.Value = value;
        slot.Time = time;
        slot.Serial = ++FSerial;
        FWriteIndex.store(index);
        if (segmentStart)
            FSegmentStartIndex.store(index);
        return index;
    }

    // Back to "nothing written": both indexes 0. The records stay as they are.
    void Reset() {
        std::lock_guard lock(FLock);
        for (TSlot& slot : FSlots) {
            slot.Time.reset();
            slot.Serial = 0;
        }
        FWriteIndex.store(0);
        FSegmentStartIndex.store(0);
    }

    int WriteIndex() const { return FWriteIndex.load(); }
    int SegmentStartIndex() const { return FSegmentStartIndex.load(); }

    // Address of slot `index` (1..48), nullptr for any other index.
    const T* Slot(int index) const {
        return index >= 1 && index <= Depth ? &FSlots[size_t(index - 1)].Value : nullptr;
    }

    // A copy of slot `index`; a default record for an index outside 1..48.
    T Read(int index) const {
        std::lock_guard lock(FLock);
        return index >= 1 && index <= Depth ? FSlots[size_t(index - 1)].Value : T{};
    }

    // A copy of the slot at `address`, when the address is one of this ring's slots.
    bool ReadSlot(const T* address, T& out) const {
        for (int index = 1; index <= Depth; ++index)
            if (Slot(index) == address) {
                out = Read(index);
                return true;
            }
        return false;
    }

    // Whether slot `index` was written since the last reset.
    bool Written(int index) const {
        std::lock_guard lock(FLock);
        return index >= 1 && index <= Depth && FSlots[size_t(index - 1)].Serial != 0;
    }

    // Stream time of the frame written into slot `index`, if it had one.
    std::optional<REFERENCE_TIME> TimeOf(int index) const {
        std::lock_guard lock(FLock);
        if (index < 1 || index > Depth || FSlots[size_t(index - 1)].Serial == 0)
            return std::nullopt;
        return FSlots[size_t(index - 1)].Time;
    }

    // The slot written last whose frame time lies within tolerance of `time`; 0 when none.
    int FindTime(REFERENCE_TIME time, REFERENCE_TIME tolerance) const {
        std::lock_guard lock(FLock);
        int found = 0;
        uint64_t newest = 0;
        for (int index = 1; index <= Depth; ++index) {
            const TSlot& slot = FSlots[size_t(index - 1)];
            if (slot.Serial == 0 || !slot.Time || slot.Serial < newest)
                continue;
            // Unsigned, so that no pair of times can overflow.
            const uint64_t distance = *slot.Time > time ? uint64_t(*slot.Time) - uint64_t(time)
                                                        : uint64_t(time) - uint64_t(*slot.Time);
            if (tolerance >= 0 && distance <= uint64_t(tolerance)) {
                found = index;
                newest = slot.Serial;
            }
        }
        return found;
    }

private:
    struct TSlot {
        T Value{};
        std::optional<REFERENCE_TIME> Time;
        uint64_t Serial = 0; // 0: never written since the last reset
    };

    mutable std::mutex FLock;
    std::array<TSlot, Depth> FSlots; // guarded by FLock
    uint64_t FSerial = 0;            // guarded by FLock
    std::atomic<int> FWriteIndex{0};
    std::atomic<int> FSegmentStartIndex{0};
};

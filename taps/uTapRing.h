#pragma once
// A ring of 48 records that a tap fills on its streaming thread, one slot per frame (or per
// report), and that receivers read later: the frame keeper reads it on the renderer's streaming
// thread when the same frame is presented, and the managers read the slots that the keeper or
// the tap announced to them in a posted or sent message (see taps/uTapMessages.h).
//
// Indexes run 1..48; 0 means that nothing was written since the last Reset. The slot after 48 is
// 1. The segment-start index names the slot of the first frame written after a new segment
// (a seek), so that the reader can realign on it.
//
// Each slot also remembers the stream time of its frame (segment start plus the sample's start
// time) and the serial number of the write that filled it. The reader normally follows the
// writer one slot per frame; when a filter between the two drops or reorders frames (a decoder
// that drops a damaged frame, or B-frames that leave the decoder in another order than they
// entered), the times let the reader find the slot of the frame it actually presents (FindTime).
//
// Announcements. A message never hands a receiver a slot to read through its address: it
// carries the slot and the serial of the write it announces (Announce), and the receiver copies
// the record under the ring's lock with ReadAnnounced, which answers false when the slot has
// been written again since. So a receiver that falls behind the writer by a whole ring gets no
// record for the frames it missed, never the record of another frame: every ring drops, none
// waits (a streaming thread never waits for the GUI thread to catch up on a posted record).
//
// Thread contract: Write and Reset come from the tap (streaming thread, or the GUI thread while
// nothing streams); every other operation from any thread. The slots and the serial counter are
// guarded by the ring's lock; the indexes are atomic.
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

// a - b, held at the limits likewise.
inline REFERENCE_TIME SubtractTimes(REFERENCE_TIME a, REFERENCE_TIME b) {
    REFERENCE_TIME difference = 0;
    if (__builtin_sub_overflow(a, b, &difference))
        return b > 0 ? INT64_MIN : INT64_MAX;
    return difference;
}

// A ring slot as a message announces it: the slot and the serial of the write that filled it.
struct TRingAnnouncement {
    const void* Slot = nullptr;
    uint64_t Serial = 0; // low 56 bits
};

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

    // A copy of slot `index`; a default record for an index outside 1..48.
    T Read(int index) const {
        std::lock_guard lock(FLock);
        return index >= 1 && index <= Depth ? FSlots[size_t(index - 1)].Value : T{};
    }

    // What a message announces: slot `index` as it holds the record written last into it. An
    // empty announcement (no slot) for an index outside 1..48 or a slot not written since the
    // last reset.
    TRingAnnouncement Announce(int index) const {
        std::lock_guard lock(FLock);
        if (index < 1 || index > Depth || FSlots[size_t(index - 1)].Serial == 0)
            return {};
        return {&FSlots[size_t(index - 1)], FSlots[size_t(index - 1)].Serial & SerialMask};
    }

    // A copy of slot `index` with its announcement; an empty announcement (and `out` untouched)
    // when the slot was not written since the last reset.
    TRingAnnouncement ReadAt(int index, T& out) const {
        std::lock_guard lock(FLock);
        if (index < 1 || index > Depth || FSlots[size_t(index - 1)].Serial == 0)
            return {};
        out = FSlots[size_t(index - 1)].Value;
        return {&FSlots[size_t(index - 1)], FSlots[size_t(index - 1)].Serial & SerialMask};
    }

    // Copies the announced record: true when `slot` is one of this ring's slots and still holds
    // the write with that serial (serials compare in their low 56 bits, as messages carry them).
    bool ReadAnnounced(const void* slot, uint64_t serial, T& out) const {
        std::lock_guard lock(FLock);
        for (const TSlot& s : FSlots)
            if (&s == slot) {
                if (s.Serial == 0 || (s.Serial & SerialMask) != (serial & SerialMask))
                    return false;
                out = s.Value;
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
    static constexpr uint64_t SerialMask = (uint64_t(1) << 56) - 1;

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

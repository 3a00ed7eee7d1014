// The taps' rings: indexes, wrap, segment starts, copies and the search by stream time.
#include "taps/uTapRing.h"

#include "platform/com/ClassRegistry.h"
#include "taps/uAVDummy.h"
#include "taps/uAudioNotifier.h"
#include "taps/uDVcodeNotifier.h"
#include "taps/uFramesNotifier.h"
#include "taps/uTapClasses.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

TEST(TTapRing, IndexesRunFrom1To48AndWrap) {
    EXPECT_EQ(TTapRing<int>::Next(0), 1);
    EXPECT_EQ(TTapRing<int>::Next(47), 48);
    EXPECT_EQ(TTapRing<int>::Next(48), 1);
    EXPECT_EQ(TTapRing<int>::Next(-3), 1);
    TTapRing<int> ring;
    EXPECT_EQ(ring.WriteIndex(), 0);
    EXPECT_EQ(ring.Announce(0).Slot, nullptr);
    EXPECT_EQ(ring.Announce(1).Slot, nullptr); // not written yet
    EXPECT_EQ(ring.Announce(49).Slot, nullptr);
    EXPECT_EQ(ring.Read(0), 0);
    for (int n = 1; n <= 50; ++n)
        EXPECT_EQ(ring.Write(n, n * 10, n == 49), n > 48 ? n - 48 : n);
    EXPECT_EQ(ring.SegmentStartIndex(), 1);
    EXPECT_EQ(ring.Read(1), 49);
    EXPECT_EQ(ring.Read(2), 50);
    EXPECT_EQ(ring.Read(3), 3);
    EXPECT_TRUE(ring.Written(48));
    EXPECT_FALSE(ring.Written(0));
    ring.Reset();
    EXPECT_FALSE(ring.Written(1));
    EXPECT_EQ(ring.WriteIndex(), 0);
    EXPECT_EQ(ring.SegmentStartIndex(), 0);
    EXPECT_EQ(ring.TimeOf(1), std::nullopt);
    EXPECT_EQ(ring.FindTime(490, 0), 0);
}

// An announcement is read back only while its slot holds the same write: once the writer has gone
// round the ring, the reader gets nothing rather than a later record.
TEST(TTapRing, AnAnnouncedRecordIsReadUntilItsSlotIsWrittenAgain) {
    TTapRing<int> ring;
    ring.Write(7, 0, true);
    int copy = 0;
    const TRingAnnouncement first = ring.ReadAt(1, copy);
    EXPECT_EQ(copy, 7);
    ASSERT_NE(first.Slot, nullptr);
    EXPECT_EQ(ring.Announce(1).Serial, first.Serial);
    copy = 0;
    EXPECT_TRUE(ring.ReadAnnounced(first.Slot, first.Serial, copy));
    EXPECT_EQ(copy, 7);
    for (int n = 0; n < TTapRing<int>::Depth - 1; ++n)
        ring.Write(100 + n, std::nullopt, false);
    EXPECT_TRUE(ring.ReadAnnounced(first.Slot, first.Serial, copy)); // slot 1 not reached yet
    ring.Write(999, std::nullopt, false);                            // slot 1 again
    copy = 0;
    EXPECT_FALSE(ring.ReadAnnounced(first.Slot, first.Serial, copy));
    EXPECT_EQ(copy, 0);
    const TRingAnnouncement second = ring.Announce(1);
    EXPECT_TRUE(ring.ReadAnnounced(second.Slot, second.Serial, copy));
    EXPECT_EQ(copy, 999);
    // Addresses that are no slot of this ring, and a reset ring, give nothing.
    const int outside = 7;
    EXPECT_FALSE(ring.ReadAnnounced(&outside, second.Serial, copy));
    EXPECT_FALSE(ring.ReadAnnounced(nullptr, 0, copy));
    TTapRing<int> other;
    other.Write(1, 0, false);
    EXPECT_FALSE(other.ReadAnnounced(second.Slot, second.Serial, copy));
    ring.Reset();
    EXPECT_FALSE(ring.ReadAnnounced(second.Slot, second.Serial, copy));
}

// A reader on another thread never sees a torn record or one of another write, however the
// writer races it.
TEST(TTapRing, ConcurrentReadsSeeWholeRecordsOfTheAnnouncedWrite) {
    struct TPair {
        int64_t A = 0, B = 0;
    };
    TTapRing<TPair> ring;
    std::atomic<bool> done{false};
    std::atomic<int64_t> reads{0};
    // The writer goes on until the reader has raced it often enough: on a busy machine the
    // reader's thread may get its first turn only after a fixed number of writes.
    std::thread writer([&] {
        for (int64_t n = 1; n <= 200000 || reads.load() < 1000; ++n)
            ring.Write({n, -n}, n, false);
        done.store(true);
    });
    int64_t delivered = 0, dropped = 0;
    while (!done.load()) {
        const int index = ring.WriteIndex();
        TPair seen;
        const TRingAnnouncement a = ring.ReadAt(index, seen);
        if (!a.Slot)
            continue;
        TPair again;
        if (ring.ReadAnnounced(a.Slot, a.Serial, again)) {
            EXPECT_EQ(again.A, seen.A);
            EXPECT_EQ(again.B, -again.A);
            ++delivered;
        } else {
            ++dropped;
        }
        reads.fetch_add(1);
    }
    writer.join();
    EXPECT_GE(delivered + dropped, 1000);
}

TEST(TTapRing, FindTimeTakesTheNewestSlotWithinTheTolerance) {
    TTapRing<int> ring;
    ring.Write(1, 0, true);
    ring.Write(2, 400000, false);
    ring.Write(3, std::nullopt, false);
    ring.Write(4, 0, true); // the same time again, after a seek back
    EXPECT_EQ(ring.FindTime(0, 0), 4);
    EXPECT_EQ(ring.FindTime(399000, 1000), 2);
    EXPECT_EQ(ring.FindTime(398999, 1000), 0);
    EXPECT_EQ(ring.FindTime(INT64_MAX, INT64_MAX), 4);
    EXPECT_EQ(ring.FindTime(INT64_MIN, 5), 0);
    EXPECT_EQ(ring.TimeOf(3), std::nullopt);
    EXPECT_EQ(ring.TimeOf(2), std::optional<REFERENCE_TIME>(400000));
}

TEST(AddTimes, HoldsAtTheLimits) {
    EXPECT_EQ(AddTimes(1, 2), 3);
    EXPECT_EQ(AddTimes(INT64_MAX, 1), INT64_MAX);
    EXPECT_EQ(AddTimes(INT64_MIN, -1), INT64_MIN);
    EXPECT_EQ(AddTimes(INT64_MIN, INT64_MAX), -1);
}

TEST(RegisterTapClasses, EveryFilterCanBeCreatedByItsClass) {
    RegisterTapClasses();
    RegisterTapClasses();
    for (const CLSID& clsid : {CLSID_VideoNotifier, CLSID_AudioNotifier, CLSID_DVCodeNotifier,
                               CLSID_AVDummy, CLSID_FramesNotifier}) {
        ComPtr<IBaseFilter> filter = CreateInstanceOf<IBaseFilter>(clsid);
        ASSERT_TRUE(filter) << GuidToString(clsid).toStdString();
        CLSID created;
        ASSERT_EQ(filter->GetClassID(&created), S_OK);
        EXPECT_EQ(created, clsid);
        EXPECT_FALSE(TClassRegistry::Instance().FindFilter(clsid)) << "no intelligent connect";
    }
}

} // namespace

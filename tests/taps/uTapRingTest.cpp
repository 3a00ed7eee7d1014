// The taps' rings: indexes, wrap, segment starts, copies and the search by stream time.
#include "taps/uTapRing.h"

#include "platform/com/ClassRegistry.h"
#include "taps/uAVDummy.h"
#include "taps/uAudioNotifier.h"
#include "taps/uDVcodeNotifier.h"
#include "taps/uFramesNotifier.h"
#include "taps/uTapClasses.h"

#include <gtest/gtest.h>

namespace {

TEST(TTapRing, IndexesRunFrom1To48AndWrap) {
    EXPECT_EQ(TTapRing<int>::Next(0), 1);
    EXPECT_EQ(TTapRing<int>::Next(47), 48);
    EXPECT_EQ(TTapRing<int>::Next(48), 1);
    EXPECT_EQ(TTapRing<int>::Next(-3), 1);
    TTapRing<int> ring;
    EXPECT_EQ(ring.WriteIndex(), 0);
    EXPECT_EQ(ring.Slot(0), nullptr);
    EXPECT_EQ(ring.Slot(49), nullptr);
    EXPECT_EQ(ring.Read(0), 0);
    for (int n = 1; n <= 50; ++n)
        EXPECT_EQ(ring.Write(n, n * 10, n == 49), n > 48 ? n - 48 : n);
    EXPECT_EQ(ring.SegmentStartIndex(), 1);
    EXPECT_EQ(*ring.Slot(1), 49);
    EXPECT_EQ(ring.Read(2), 50);
    EXPECT_EQ(ring.Read(3), 3);
    int copy = 0;
    EXPECT_TRUE(ring.ReadSlot(ring.Slot(48), copy));
    EXPECT_EQ(copy, 48);
    const int outside = 7;
    EXPECT_FALSE(ring.ReadSlot(&outside, copy));
    EXPECT_TRUE(ring.Written(48));
    EXPECT_FALSE(ring.Written(0));
    ring.Reset();
    EXPECT_FALSE(ring.Written(1));
    EXPECT_EQ(ring.WriteIndex(), 0);
    EXPECT_EQ(ring.SegmentStartIndex(), 0);
    EXPECT_EQ(ring.TimeOf(1), std::nullopt);
    EXPECT_EQ(ring.FindTime(490, 0), 0);
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

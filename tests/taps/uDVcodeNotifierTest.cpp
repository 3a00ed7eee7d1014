// The DV stage: sync points pass at once, other samples wait 10 ms first; nothing is changed.
#include "taps/uDVcodeNotifier.h"

#include "tests/taps/TapBench.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

TEST(TDVCodeNotifier, IdentityAndDefaultWait) {
    ComPtr<TDVCodeNotifier> stage = MakeComObject<TDVCodeNotifier>();
    CLSID clsid;
    ASSERT_EQ(stage->GetClassID(&clsid), S_OK);
    EXPECT_EQ(GuidToString(clsid), QStringLiteral("{192E0B3B-446C-49D1-8AED-E8AE0CF82ED2}"));
    EXPECT_EQ(stage->ObjectName(), QStringLiteral("Osric Taskel's DVNotifier"));
    EXPECT_EQ(TDVCodeNotifier::NonSyncDelay, std::chrono::milliseconds(10));
}

TEST(TDVCodeNotifier, OnlySamplesThatAreNoSyncPointWait) {
    TTapBench<TDVCodeNotifier> b(DvInfoType(), 144000);
    std::vector<std::chrono::milliseconds> waits;
    b.filter->SetDelay([&](std::chrono::milliseconds w) { waits.push_back(w); });
    ASSERT_EQ(b.Connect(), S_OK);
    ASSERT_EQ(b.Run(), S_OK);
    for (bool sync : {true, true, false, true, false}) {
        TFeedSample s;
        s.Bytes = {1, 2, 3};
        s.Sync = sync;
        s.Start = 7;
        ASSERT_EQ(b.Feed(s), S_OK);
    }
    EXPECT_EQ(waits, (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(10),
                                                             std::chrono::milliseconds(10)}));
    EXPECT_EQ(b.filter->DelayedSamples(), 2);
    const std::vector<TCollectedSample> passed = b.collector->Samples();
    ASSERT_EQ(passed.size(), 5u);
    EXPECT_FALSE(passed[2].Sync);
    EXPECT_EQ(passed[2].Bytes, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(passed[2].Start, 7);
}

} // namespace

// The frame keeper on a feeder -> keeper -> collector graph: the position rule, marks, position
// texts, PassSamples, and the relays of a video tap's rings (the tap is fed on a graph of its
// own, so that the two can see frames in different orders, as across a decoder).
#include "taps/uFramesNotifier.h"

#include "taps/uTapMessages.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/taps/DVFrameBuilder.h"
#include "tests/taps/TapBench.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr REFERENCE_TIME kFrame = 400000;

struct KeeperBench : TTapBench<TFramesNotifier> {
    explicit KeeperBench(bool interCoded = false, REFERENCE_TIME typeDuration = kFrame)
        : TTapBench(VideoInfoType(MEDIASUBTYPE_RGB32, 8, 8, typeDuration, interCoded), 256) {
        filter->SetNavigationWindow(nav.Handle());
        filter->SetPositionTextWindow(video.Handle());
    }
    // Connects, sets the frame duration, runs and starts a segment at `segment`.
    void Start(REFERENCE_TIME segment = 0) {
        ASSERT_EQ(Connect(), S_OK);
        filter->SetFrameDuration(kFrame);
        ASSERT_EQ(Run(), S_OK);
        ASSERT_EQ(feeder->NewSegment(segment), S_OK);
    }
    REFERENCE_TIME At(std::optional<REFERENCE_TIME> start) {
        TFeedSample s;
        s.Bytes = {0};
        s.Start = start;
        if (start)
            s.Stop = *start + kFrame;
        EXPECT_EQ(feeder->Feed(s), S_OK);
        return filter->Position();
    }
    TMessageLog nav;
    TMessageLog video;
};

TEST(TFramesNotifier, IdentityAndStateAtCreation) {
    ComPtr<TFramesNotifier> keeper = MakeComObject<TFramesNotifier>();
    CLSID clsid;
    ASSERT_EQ(keeper->GetClassID(&clsid), S_OK);
    EXPECT_EQ(GuidToString(clsid), QStringLiteral("{5104DD25-61F8-458D-AD1D-FCCF8BA18B60}"));
    EXPECT_EQ(keeper->ObjectName(), QStringLiteral("Osric Taskel's FramesNotifier"));
    EXPECT_EQ(keeper->FrameDuration(), 1);
    EXPECT_EQ(keeper->Position(), 0);
    EXPECT_TRUE(keeper->PassSamples());
    EXPECT_FALSE(keeper->PositionTextReports());
    EXPECT_FALSE(keeper->MarkArmed(0));
    EXPECT_FALSE(keeper->MarkArmed(1));
    EXPECT_FALSE(keeper->MarkArmed(2));
}

TEST(TFramesNotifier, ConnectingSendsTheInputsFrameDurationToNavigation) {
    struct TCase {
        REFERENCE_TIME TypeDuration;
        int64_t Sent;
    };
    for (const TCase c : {TCase{400000, 400000}, TCase{333667, 333667}, TCase{0, 100000}}) {
        KeeperBench b(false, c.TypeDuration);
        ASSERT_EQ(b.Connect(), S_OK);
        const std::vector<TLoggedMessage> sent = b.nav.Of(WM_FRAMEDURATION);
        ASSERT_EQ(sent.size(), 1u) << c.TypeDuration;
        EXPECT_EQ(sent[0].Value, c.Sent) << c.TypeDuration;
        EXPECT_EQ(b.filter->FrameDuration(), 1) << "the navigation manager sets it";
    }
}

TEST(TFramesNotifier, IntraCodedFramesFollowOneFrameApartWhateverTheirTimes) {
    KeeperBench b;
    b.filter->SetPositionTextReports(true);
    b.Start();
    EXPECT_EQ(b.At(0), 0);
    EXPECT_EQ(b.At(123), 400000);
    EXPECT_EQ(b.At(5555555), 800000);
    EXPECT_EQ(b.At(std::nullopt), 1200000);
    std::vector<QString> texts;
    for (const TLoggedMessage& m : b.nav.Of(WM_NAVPOSITIONTEXT))
        texts.push_back(m.Text);
    EXPECT_EQ(texts,
              (std::vector<QString>{"0:00:00:00", "0:00:00:01", "0:00:00:02", "0:00:00:03"}));
}

TEST(TFramesNotifier, InterCodedFramesTakeTheNearestFrameOfTheirTime) {
    struct TCase {
        REFERENCE_TIME Start;
        REFERENCE_TIME Position;
    };
    KeeperBench b(true);
    b.Start();
    EXPECT_EQ(b.At(0), 0); // the restart: FirstStart 0
    for (const TCase c :
         {TCase{1210000, 1200000}, TCase{1400000, 1200000}, TCase{1400001, 1600000},
          TCase{1599999, 1600000}, TCase{400000, 400000}, TCase{-1, 0}, TCase{-200000, 0},
          TCase{-399999, 0}, TCase{-400000, 0}, TCase{-1200001, 0}})
        EXPECT_EQ(b.At(c.Start), c.Position) << c.Start;
}

// A frame stamped a little before the first one (an encoder's rounding, a preroll frame that a
// decoder let through) is shown as the first frame, never as frame -1.
TEST(TFramesNotifier, NoPositionOrTextLiesBeforeTheFirstFrame) {
    KeeperBench b(true);
    b.filter->SetPositionTextReports(true);
    b.Start();
    EXPECT_EQ(b.At(0), 0);
    EXPECT_EQ(b.At(-300000), 0);
    ASSERT_FALSE(b.nav.Of(WM_NAVPOSITIONTEXT).empty());
    EXPECT_EQ(b.nav.Of(WM_NAVPOSITIONTEXT).back().Text, QStringLiteral("0:00:00:00"));
}

TEST(TFramesNotifier, ATapSaysWhetherTheStreamIsInterCoded) {
    ComPtr<TVideoNotifier> intra = MakeComObject<TVideoNotifier>();
    KeeperBench b(true); // the keeper's own input says inter-coded; the tap's input was never set
    b.filter->SetVideoSource(intra.Get());
    b.Start();
    EXPECT_EQ(b.At(0), 0);
    EXPECT_EQ(b.At(1210000), 400000);
    b.filter->SetVideoSource(nullptr);
    EXPECT_EQ(b.At(1210000), 1200000);
}

TEST(TFramesNotifier, ASeekPlacesTheFirstFrameAtTheSegmentStart) {
    KeeperBench b(false);
    b.Start();
    EXPECT_EQ(b.At(0), 0);
    EXPECT_EQ(b.At(400000), 400000);
    ASSERT_EQ(b.feeder->NewSegment(5000000000), S_OK);
    EXPECT_EQ(b.At(0), 5000000000);
    EXPECT_EQ(b.At(400000), 5000400000);
    // A restart at 0 takes the first time stamp as the origin.
    ASSERT_EQ(b.feeder->NewSegment(0), S_OK);
    EXPECT_EQ(b.At(280000), 0);
    ASSERT_EQ(b.feeder->NewSegment(5000000000), S_OK);
    EXPECT_EQ(b.At(0), 5000000000 - 400000); // 4 999 720 000 lies nearer to that frame
}

TEST(TFramesNotifier, AMarkFiresOnceOnTheFirstFrameWithinHalfAFrameOfIt) {
    KeeperBench b;
    TMessageLog marks;
    b.filter->SetMarkWindow(0, marks.Handle());
    b.filter->SetMark(0, 4000000);
    b.Start();
    for (int n = 0; n <= 9; ++n)
        b.At(n * kFrame);
    EXPECT_TRUE(b.filter->MarkArmed(0));
    b.At(10 * kFrame);
    EXPECT_FALSE(b.filter->MarkArmed(0));
    b.At(11 * kFrame);
    const std::vector<TLoggedMessage> reached = marks.Of(WM_MARKREACHED);
    ASSERT_EQ(reached.size(), 1u);
    EXPECT_EQ(reached[0].Value, 4000000);
    EXPECT_EQ(reached[0].Position, 4000000);
}

// The navigation's precise seek arms the mark, then seeks: a frame still on its way from before
// the seek's flush reaches the target's position but is not the target.
TEST(TFramesNotifier, AMarkForTheNextSegmentIgnoresTheFramesBeforeIt) {
    KeeperBench b;
    TMessageLog marks;
    b.filter->SetMarkWindow(0, marks.Handle());
    b.Start();
    for (int n = 0; n <= 2; ++n)
        b.At(n * kFrame);
    b.filter->SetMark(0, 3 * kFrame, true);
    b.At(3 * kFrame); // position 3: from before the seek
    EXPECT_TRUE(b.filter->MarkArmed(0));
    ASSERT_EQ(b.feeder->NewSegment(0), S_OK);
    for (int n = 0; n <= 2; ++n)
        b.At(n * kFrame);
    EXPECT_TRUE(b.filter->MarkArmed(0));
    b.At(3 * kFrame);
    EXPECT_FALSE(b.filter->MarkArmed(0));
    EXPECT_EQ(marks.Of(WM_MARKREACHED).size(), 1u);
}

TEST(TFramesNotifier, InterCodedPositionsSnapToTheMarkThatFires) {
    KeeperBench b(true);
    TMessageLog marks;
    b.filter->SetMarkWindow(1, marks.Handle());
    b.filter->SetMark(1, 3900000); // between two frames
    b.Start();
    b.At(0);
    EXPECT_EQ(b.At(3600000), 3600000);
    EXPECT_TRUE(b.filter->MarkArmed(1));
    EXPECT_EQ(b.At(4000000), 3900000); // 4 000 000 by the grid, 3 900 000 by the mark
    ASSERT_EQ(marks.Of(WM_MARKREACHED).size(), 1u);
    EXPECT_EQ(marks.Of(WM_MARKREACHED)[0].Position, 3900000);
}

// The frame-exact seek: every frame is held back until the mark's handler lets samples pass
// again, so the renderer's first frame is the target frame itself.
TEST(TFramesNotifier, HeldFramesReachTheRendererFromTheMarkOn) {
    KeeperBench b;
    TMessageLog marks;
    marks.SetHook([&](const TLoggedMessage& m) {
        if (m.Msg == WM_MARKREACHED) {
            b.filter->SetPassSamples(true);
            b.filter->SetPositionTextReports(true);
        }
    });
    b.filter->SetMarkWindow(0, marks.Handle());
    b.filter->SetMark(0, 2000000);
    b.filter->SetPassSamples(false);
    b.Start();
    for (int n = 0; n < 8; ++n)
        b.At(n * kFrame);
    const std::vector<TCollectedSample> shown = b.collector->Samples();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].Start, 2000000);
    const std::vector<TLoggedMessage> texts = b.nav.Of(WM_NAVPOSITIONTEXT);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].Text, QStringLiteral("0:00:00:05"));
}

TEST(TFramesNotifier, EqualTextsGoOnceToTheVideoManagerAndEachTimeToNavigation) {
    KeeperBench b(true);
    b.filter->SetPositionTextReports(true);
    b.Start();
    b.At(0);
    b.At(10000);
    b.At(400000);
    ASSERT_EQ(b.video.Of(WM_POSITIONTEXT).size(), 2u);
    EXPECT_EQ(b.video.Of(WM_POSITIONTEXT)[1].Text, QStringLiteral("0:00:00:01"));
    EXPECT_EQ(b.nav.Of(WM_NAVPOSITIONTEXT).size(), 3u);
    EXPECT_EQ(b.video.Of(WM_POSITIONTEXT)[0].LParam, 0);
    // A new start of streaming forgets the last text.
    ASSERT_EQ(b.Stop(), S_OK);
    ASSERT_EQ(b.Run(), S_OK);
    b.At(400000);
    EXPECT_EQ(b.video.Of(WM_POSITIONTEXT).size(), 3u);
}

TEST(TFramesNotifier, WithoutPassSamplesNothingIsDeliveredButTextsAreMade) {
    KeeperBench b;
    b.filter->SetPositionTextReports(true);
    b.filter->SetPassSamples(false);
    b.Start();
    for (int n = 0; n < 5; ++n)
        b.At(n * kFrame);
    EXPECT_EQ(b.collector->Count(), 0u);
    EXPECT_EQ(b.nav.Of(WM_NAVPOSITIONTEXT).size(), 5u);
    EXPECT_EQ(b.filter->Position(), 4 * kFrame);
}

TEST(TFramesNotifier, ReportsOffSendNoTexts) {
    KeeperBench b;
    b.Start();
    b.At(0);
    EXPECT_TRUE(b.nav.Of(WM_NAVPOSITIONTEXT).empty());
    EXPECT_TRUE(b.video.Of(WM_POSITIONTEXT).empty());
    EXPECT_EQ(b.collector->Count(), 1u);
}

// The ring relays: a tap sees the frames first, on a graph of its own; the keeper then presents
// them and relays what the tap decoded from the very frame it presents.
struct RelayBench {
    RelayBench() : tapBench(DVVideoType(true), 144000) {
        tapBench.filter->SetDVCodeWindow(log.Handle());
        tapBench.filter->SetVideoWindow(log.Handle());
        tapBench.filter->SetDVRelay(true);
        tapBench.filter->SetVideoDataRelay(true);
        log.ReadRecordsOf(tapBench.filter.Get(), nullptr);
        keeper.filter->SetDVSource(tapBench.filter.Get());
        keeper.filter->SetVideoSource(tapBench.filter.Get());
        EXPECT_EQ(tapBench.Connect(), S_OK);
        EXPECT_EQ(tapBench.Run(), S_OK);
        keeper.Start();
        EXPECT_EQ(tapBench.feeder->NewSegment(0), S_OK);
    }
    // Frame n of the tape carries its number as the time code's frames and seconds.
    void Tap(int n, REFERENCE_TIME start, bool preroll = false, bool wide = false) {
        TDVFrameBuilder frame(tvPal);
        frame.SetTimecode(0, 0, n / 25, n % 25);
        if (wide)
            frame.SetAspect(2, 0);
        TFeedSample s;
        s.Bytes = frame.Bytes;
        s.Start = start;
        s.Preroll = preroll;
        EXPECT_EQ(tapBench.feeder->Feed(s), S_OK);
    }
    std::vector<QString> RelayedTimecodes() {
        log.Pump();
        std::vector<QString> out;
        for (const TLoggedMessage& m : log.Of(WM_DVCODE))
            out.push_back(m.Frame.TimecodeText);
        return out;
    }
    TMessageLog log;
    TTapBench<TVideoNotifier> tapBench;
    KeeperBench keeper;
};

TEST(TFramesNotifier, DVCodesOfEachPresentedFrameArePosted) {
    RelayBench r;
    for (int n = 0; n < 4; ++n)
        r.Tap(n, n * kFrame);
    for (int n = 0; n < 4; ++n)
        r.keeper.At(n * kFrame);
    EXPECT_EQ(r.RelayedTimecodes(),
              (std::vector<QString>{"0:00:00:00", "0:00:00:01", "0:00:00:02", "0:00:00:03"}));
    for (const TLoggedMessage& m : r.log.Of(WM_DVCODE)) {
        EXPECT_TRUE(m.Delivered);
        EXPECT_EQ(RecordKind(TMessage{m.Msg, m.WParam, m.LParam, 0}), 0u);
    }
}

// The GUI thread falls a whole ring behind: the posts it handles late announce slots that the
// tap has written again since. Their records are dropped, never replaced by later frames' codes.
TEST(TFramesNotifier, ARecordWrittenOverBeforeItsMessageIsHandledIsDropped) {
    RelayBench r;
    for (int n = 0; n < 3; ++n)
        r.Tap(n, n * kFrame);
    for (int n = 0; n < 3; ++n)
        r.keeper.At(n * kFrame);
    for (int n = 3; n < 3 + TTapRing<TframeData>::Depth; ++n)
        r.Tap(n, n * kFrame); // slots 1..48 written again; the three posts are still queued
    r.keeper.At(3 * kFrame);
    r.log.Pump();
    const std::vector<TLoggedMessage> posted = r.log.Of(WM_DVCODE);
    ASSERT_EQ(posted.size(), 4u);
    EXPECT_FALSE(posted[0].Delivered);
    EXPECT_FALSE(posted[1].Delivered);
    EXPECT_FALSE(posted[2].Delivered);
    EXPECT_TRUE(posted[3].Delivered);
    EXPECT_EQ(posted[3].Frame.TimecodeText, QStringLiteral("0:00:00:03"));
}

// The keeper presents a frame whose slot the tap has already written over (it ran a ring ahead):
// no record is relayed for it rather than the record of the frame now in its slot.
TEST(TFramesNotifier, AFrameWithoutItsSlotRelaysNothing) {
    RelayBench r;
    for (int n = 0; n < 50; ++n)
        r.Tap(n, n * kFrame);
    r.keeper.At(0); // frame 0's slot now holds frame 48
    r.keeper.At(2 * kFrame);
    EXPECT_EQ(r.RelayedTimecodes(), (std::vector<QString>{"0:00:00:02"}));
}

TEST(TFramesNotifier, AFrameDroppedBetweenTapAndKeeperDoesNotShiftTheCodes) {
    RelayBench r;
    for (int n = 0; n < 6; ++n)
        r.Tap(n, n * kFrame);
    for (int n : {0, 1, 3, 4, 5}) // frame 2 never reaches the keeper
        r.keeper.At(n * kFrame);
    EXPECT_EQ(r.RelayedTimecodes(), (std::vector<QString>{"0:00:00:00", "0:00:00:01", "0:00:00:03",
                                                          "0:00:00:04", "0:00:00:05"}));
}

TEST(TFramesNotifier, FramesReorderedBetweenTapAndKeeperKeepTheirCodes) {
    RelayBench r;
    for (int n : {0, 3, 1, 2, 6, 4, 5}) // decoding order of I P B B P B B
        r.Tap(n, n * kFrame);
    for (int n = 0; n < 7; ++n)
        r.keeper.At(n * kFrame);
    const std::vector<QString> codes = r.RelayedTimecodes();
    ASSERT_EQ(codes.size(), 7u);
    for (int n = 0; n < 7; ++n)
        EXPECT_EQ(codes[size_t(n)], QStringLiteral("0:00:00:%1").arg(n, 2, 10, QChar('0')));
}

TEST(TFramesNotifier, AfterASeekTheRelayRestartsAtTheFirstFrameShown) {
    RelayBench r;
    for (int n = 0; n < 5; ++n)
        r.Tap(n, n * kFrame);
    for (int n = 0; n < 3; ++n)
        r.keeper.At(n * kFrame);
    // Seek to frame 40: the splitter restarts at 39 (preroll), the decoder shows 40 first.
    ASSERT_EQ(r.tapBench.feeder->NewSegment(40 * kFrame), S_OK);
    r.Tap(39, -kFrame, true);
    for (int n = 40; n < 43; ++n)
        r.Tap(n, (n - 40) * kFrame);
    ASSERT_EQ(r.keeper.feeder->NewSegment(40 * kFrame), S_OK);
    for (int n = 40; n < 43; ++n)
        EXPECT_EQ(r.keeper.At((n - 40) * kFrame), n * kFrame);
    const std::vector<QString> codes = r.RelayedTimecodes();
    ASSERT_EQ(codes.size(), 6u);
    EXPECT_EQ(codes[3], QStringLiteral("0:00:01:15"));
    EXPECT_EQ(codes[4], QStringLiteral("0:00:01:16"));
    EXPECT_EQ(codes[5], QStringLiteral("0:00:01:17"));
}

TEST(TFramesNotifier, TheVideoDescriptionIsPostedAtRestartAndWhenItChanges) {
    RelayBench r;
    r.Tap(0, 0);
    r.Tap(1, kFrame);
    r.Tap(2, 2 * kFrame, false, true);
    r.Tap(3, 3 * kFrame, false, true);
    for (int n = 0; n < 4; ++n)
        r.keeper.At(n * kFrame);
    r.log.Pump();
    const std::vector<TLoggedMessage> posted = r.log.Of(WM_VIDEODATA);
    ASSERT_EQ(posted.size(), 4u);
    const auto kind = [](const TLoggedMessage& m) {
        return RecordKind(TMessage{m.Msg, m.WParam, m.LParam, 0});
    };
    EXPECT_EQ(kind(posted[0]), VideoDataKindAspect);
    EXPECT_EQ(kind(posted[1]), VideoDataKindFormat);
    EXPECT_EQ(posted[0].LParam, posted[1].LParam);
    EXPECT_EQ(posted[1].Video.Description, QStringLiteral("DV Type 2 Pal (4x3)"));
    EXPECT_EQ(posted[3].Video.Description, QStringLiteral("DV Type 2 Pal (16x9)"));
    EXPECT_EQ(posted[3].Video.AspectKind, akSixteenNine);
}

// More frames reach the keeper than passed the tap (frames a decoder made up, or a tap whose
// relay was switched on late): slots the tap never wrote are not relayed.
TEST(TFramesNotifier, SlotsTheTapNeverWroteAreNotRelayed) {
    RelayBench r;
    r.Tap(0, 0);
    r.Tap(1, kFrame);
    for (int n = 0; n < 4; ++n)
        r.keeper.At(std::nullopt);
    r.log.Pump();
    EXPECT_EQ(r.log.Of(WM_DVCODE).size(), 2u);
    EXPECT_EQ(r.log.Of(WM_VIDEODATA).size(), 2u); // aspect and format of the restart only
}

// The tap sees frames ahead of the screen (the decoder holds some back); the inlay is sent when a
// frame is presented, with that frame's values, and not for frames held back by a precise seek.
TEST(TFramesNotifier, TheInlayShowsTheCodesOfTheFramePresented) {
    RelayBench r;
    r.tapBench.filter->SetInlayWindow(r.log.Handle());
    r.tapBench.filter->SetInlayRelay(true);
    r.log.Clear();
    for (int n = 0; n < 6; ++n)
        r.Tap(n, n * kFrame);
    EXPECT_TRUE(r.log.Of(WM_DVINLAY).empty());
    for (int n = 0; n < 3; ++n)
        r.keeper.At(n * kFrame);
    r.keeper.filter->SetPassSamples(false);
    r.keeper.At(3 * kFrame);
    const std::vector<TLoggedMessage> sent = r.log.Of(WM_DVINLAY);
    ASSERT_EQ(sent.size(), 3u);
    for (int n = 0; n < 3; ++n) {
        EXPECT_TRUE(sent[size_t(n)].Delivered);
        EXPECT_EQ(sent[size_t(n)].Inlay.TimecodeText,
                  QStringLiteral("0:00:00:%1").arg(n, 2, 10, QChar('0')));
    }
}

TEST(TFramesNotifier, HeldFramesPostNoVideoDescription) {
    RelayBench r;
    r.keeper.filter->SetPassSamples(false);
    r.Tap(0, 0);
    r.keeper.At(0);
    r.log.Pump();
    EXPECT_TRUE(r.log.Of(WM_VIDEODATA).empty());
    EXPECT_EQ(r.log.Of(WM_DVCODE).size(), 1u);
}

TEST(TFramesNotifier, WithoutATapNothingIsRelayed) {
    KeeperBench b;
    b.Start();
    EXPECT_EQ(b.At(0), 0);
    EXPECT_EQ(b.At(kFrame), kFrame);
    EXPECT_EQ(b.collector->Count(), 2u);
    EXPECT_FALSE(b.filter->DVSource());
}

} // namespace

// The video tap on a feeder -> tap -> collector graph: DV decoding into the rings frame by frame,
// the relays' switches, segments, format changes, inlay messages and frame duration reports.
#include "taps/uVideoNotifier.h"

#include "platform/rtl/DateTime.h"
#include "taps/uTapMessages.h"
#include "tests/taps/DVFrameBuilder.h"
#include "tests/taps/TapBench.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TStamp {
    int Year, Month, Day, Hour, Minute, Second;
};

double DateOf(const TStamp& s) {
    double v = 0;
    EXPECT_TRUE(TryEncodeDateTime(s.Year, s.Month, s.Day, s.Hour, s.Minute, s.Second, 0, v));
    return v;
}

std::vector<uint8_t> DVFrame(uint8_t system, std::optional<TStamp> date,
                             std::optional<std::array<int, 4>> timecode) {
    TDVFrameBuilder b(system);
    if (date)
        b.SetDate(date->Year, date->Month, date->Day, date->Hour, date->Minute, date->Second);
    else
        b.RemoveDate();
    if (timecode)
        b.SetTimecode((*timecode)[0], (*timecode)[1], (*timecode)[2], (*timecode)[3]);
    else
        b.RemoveTimecode();
    return b.Bytes;
}

TFormatSettings UsLocale() {
    return TFormatSettings::FromLocale(QLocale(QStringLiteral("en_US")));
}

struct DVBench : TTapBench<TVideoNotifier> {
    DVBench(const AM_MEDIA_TYPE& type, LONG size) : TTapBench(type, size) {
        filter->SetFormatSettings(UsLocale());
        filter->SetDVCodeWindow(log.Handle());
        filter->SetVideoWindow(log.Handle());
        filter->SetInlayWindow(log.Handle());
        log.ReadRecordsOf(filter.Get(), nullptr);
    }
    TMessageLog log;
};

TEST(TVideoNotifier, IdentityAndStateAtCreation) {
    ComPtr<TVideoNotifier> tap = MakeComObject<TVideoNotifier>();
    CLSID clsid;
    ASSERT_EQ(tap->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_VideoNotifier);
    EXPECT_EQ(GuidToString(clsid), QStringLiteral("{B5876E86-32D4-4CAD-B3B7-772BF0966F73}"));
    EXPECT_EQ(tap->ObjectName(), QStringLiteral("Osric Taskel's Video Notifier"));
    EXPECT_FALSE(tap->Enabled());
    EXPECT_EQ(tap->DateFormat(), QStringLiteral("ddddd - tt"));
    const TframeData f = tap->FrameData();
    EXPECT_FALSE(f.DateValid);
    EXPECT_FALSE(f.TimecodeValid);
    EXPECT_EQ(f.DateText, QStringLiteral("No Datecode"));
    EXPECT_EQ(f.TimecodeText, QStringLiteral("NoTimecode"));
    EXPECT_EQ(tap->FrameDataRing().WriteIndex(), 0);
}

TEST(TVideoNotifier, WithoutRelaysSamplesPassUntouched) {
    DVBench b(DVVideoType(true), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    ASSERT_EQ(b.Run(), S_OK);
    std::vector<uint8_t> frame = DVFrame(tvPal, TStamp{2005, 12, 25, 15, 4, 5}, {{1, 2, 3, 4}});
    frame[3] = 0x3F; // a vote that the DV decoding would repair
    ASSERT_EQ(b.FeedFrame(frame, 0, 400000), S_OK);
    ASSERT_EQ(b.collector->Count(), 1u);
    EXPECT_EQ(b.collector->Samples()[0].Bytes, frame);
    EXPECT_EQ(b.filter->FrameData().FrameNumber, -1);
    EXPECT_FALSE(b.filter->FrameData().DateValid);
    b.log.Pump();
    EXPECT_TRUE(b.log.Messages().empty());
}

struct TRingCase {
    const char* Name;
    uint8_t System;
    bool Interleaved;
};

class TVideoNotifierRing : public testing::TestWithParam<TRingCase> {};

// Frames across midnight, one without a time code and one without a date: the ring holds each
// frame's own values, texts and number, and the frames leave repaired.
TEST_P(TVideoNotifierRing, DVRelayCopiesEachFramesCodesIntoTheNextSlot) {
    const TRingCase c = GetParam();
    const bool pal = c.System == tvPal;
    DVBench b(c.Interleaved ? DvInfoType() : DVVideoType(pal), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetDVRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    struct TFrameCase {
        std::optional<TStamp> Date;
        std::optional<std::array<int, 4>> Timecode;
        QString DateText;
        QString TimecodeText;
    };
    const std::vector<TFrameCase> frames = {
        {TStamp{2005, 12, 31, 23, 59, 59},
         {{23, 59, 59, 24}},
         "12/31/2005 - 11:59:59 PM",
         "23:59:59:24"},
        {TStamp{2006, 1, 1, 0, 0, 0}, {{0, 0, 0, 0}}, "1/1/2006 - 12:00:00 AM", "0:00:00:00"},
        {TStamp{2006, 1, 1, 0, 0, 0}, std::nullopt, "1/1/2006 - 12:00:00 AM", "NoTimecode"},
        {std::nullopt, {{0, 0, 0, 2}}, "No Datecode", "0:00:00:02"},
    };
    for (size_t n = 0; n < frames.size(); ++n) {
        std::vector<uint8_t> bytes = DVFrame(c.System, frames[n].Date, frames[n].Timecode);
        bytes[3 + 2 * DIFSequenceSize] = pal ? 0x3F : 0xBF; // one bad vote
        ASSERT_EQ(b.FeedFrame(bytes, int(n), pal ? 400000 : 333667), S_OK);
    }
    const TTapRing<TframeData>& ring = b.filter->FrameDataRing();
    ASSERT_EQ(ring.WriteIndex(), int(frames.size()));
    for (size_t n = 0; n < frames.size(); ++n) {
        SCOPED_TRACE(testing::Message() << c.Name << " frame " << n);
        const TframeData f = ring.Read(int(n) + 1);
        EXPECT_EQ(f.FrameNumber, int(n));
        EXPECT_EQ(f.DateValid, frames[n].Date.has_value());
        if (frames[n].Date) {
            EXPECT_DOUBLE_EQ(f.RecordingDate, DateOf(*frames[n].Date));
        }
        EXPECT_EQ(f.DateText, frames[n].DateText);
        EXPECT_EQ(f.TimecodeValid, frames[n].Timecode.has_value());
        EXPECT_EQ(f.TimecodeText, frames[n].TimecodeText);
        EXPECT_EQ(f.TVSystem, c.System);
        const std::vector<uint8_t> sent = b.collector->Samples()[n].Bytes;
        EXPECT_EQ(sent[3 + 2 * DIFSequenceSize], pal ? 0xBF : 0x3F);
    }
    EXPECT_EQ(b.filter->FrameData().FrameNumber, int(frames.size()) - 1);
}

INSTANTIATE_TEST_SUITE_P(Streams, TVideoNotifierRing,
                         testing::Values(TRingCase{"PAL dvsd", tvPal, false},
                                         TRingCase{"NTSC dvsd", tvNTSC, false},
                                         TRingCase{"PAL interleaved", tvPal, true},
                                         TRingCase{"NTSC interleaved", tvNTSC, true}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(TVideoNotifier, ADVSampleOfAnotherLengthKeepsTheLastValues) {
    DVBench b(DVVideoType(true), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetDVRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedFrame(DVFrame(tvPal, TStamp{2004, 2, 29, 8, 0, 0}, {{0, 0, 1, 0}}), 0, 400000),
              S_OK);
    std::vector<uint8_t> shortFrame = DVFrame(tvPal, TStamp{2010, 1, 1, 0, 0, 0}, {{5, 0, 0, 0}});
    shortFrame.resize(100000);
    ASSERT_EQ(b.FeedFrame(shortFrame, 1, 400000), S_OK);
    const TframeData second = b.filter->FrameDataRing().Read(2);
    EXPECT_EQ(second.FrameNumber, 1);
    EXPECT_DOUBLE_EQ(second.RecordingDate, DateOf({2004, 2, 29, 8, 0, 0}));
    EXPECT_EQ(second.TimecodeText, QStringLiteral("0:00:01:00"));
}

TEST(TVideoNotifier, ShortInterleavedSamplesAreReadOnlyAsFarAsTheyGo) {
    DVBench b(DvInfoType(), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetDVRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    for (size_t length : {size_t(0), size_t(11999), size_t(12000), size_t(50000), size_t(119999)}) {
        std::vector<uint8_t> bytes = DVFrame(tvNTSC, TStamp{2001, 9, 8, 7, 6, 5}, {{1, 1, 1, 1}});
        bytes.resize(length);
        TFeedSample s;
        s.Bytes = bytes;
        EXPECT_EQ(b.Feed(s), S_OK) << length;
    }
    EXPECT_EQ(b.collector->Count(), 5u);
    EXPECT_TRUE(b.filter->FrameDataRing().Read(4).DateValid); // one whole sequence is enough
}

TEST(TVideoNotifier, TheRingWrapsFrom48BackTo1) {
    DVBench b(DVVideoType(true), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetDVRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    for (int n = 0; n < 50; ++n)
        ASSERT_EQ(b.FeedFrame(DVFrame(tvPal, TStamp{2005, 1, 1, 0, n / 60, n % 60}, std::nullopt),
                              n, 400000),
                  S_OK);
    const TTapRing<TframeData>& ring = b.filter->FrameDataRing();
    EXPECT_EQ(ring.WriteIndex(), 2);
    EXPECT_EQ(ring.Read(48).FrameNumber, 47);
    EXPECT_EQ(ring.Read(1).FrameNumber, 48);
    EXPECT_EQ(ring.Read(2).FrameNumber, 49);
    EXPECT_EQ(ring.TimeOf(2), std::optional<REFERENCE_TIME>(49 * 400000));
}

// After a seek the first frame that can reach the screen becomes the segment start of both
// rings; the preroll frames before it are decoded but take no slot.
TEST(TVideoNotifier, NewSegmentMarksTheFirstPresentableFrameOfBothRings) {
    DVBench b(DVVideoType(true), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetDVRelay(true);
    b.filter->SetVideoDataRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(b.FeedFrame(DVFrame(tvPal, TStamp{2005, 1, 1, 0, 0, n}, std::nullopt), n, 400000),
                  S_OK);
    ASSERT_EQ(b.feeder->NewSegment(2000000), S_OK);
    TFeedSample preroll;
    preroll.Bytes = DVFrame(tvPal, TStamp{2005, 1, 1, 0, 0, 30}, std::nullopt);
    preroll.Start = -200000;
    preroll.Preroll = true;
    ASSERT_EQ(b.Feed(preroll), S_OK);
    EXPECT_EQ(b.filter->FrameDataRing().WriteIndex(), 3);
    EXPECT_DOUBLE_EQ(b.filter->FrameData().RecordingDate, DateOf({2005, 1, 1, 0, 0, 30}));
    ASSERT_EQ(b.FeedFrame(DVFrame(tvPal, TStamp{2005, 1, 1, 0, 0, 31}, std::nullopt), 0, 400000),
              S_OK);
    for (int segmentStart : {b.filter->FrameDataRing().SegmentStartIndex(),
                             b.filter->VideoDataRing().SegmentStartIndex()})
        EXPECT_EQ(segmentStart, 4);
    EXPECT_EQ(b.filter->FrameDataRing().TimeOf(4), std::optional<REFERENCE_TIME>(2000000));
    EXPECT_DOUBLE_EQ(b.filter->FrameDataRing().Read(4).RecordingDate,
                     DateOf({2005, 1, 1, 0, 0, 31}));
    EXPECT_EQ(b.collector->SegmentStarts().back(), 2000000);
}

TEST(TVideoNotifier, VideoDataRelayKeepsTheDescriptionOfEachFrame) {
    DVBench b(DVVideoType(false), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetVideoDataRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    TDVFrameBuilder wide(tvNTSC);
    wide.SetAspect(2, 0);
    ASSERT_EQ(b.FeedFrame(wide.Bytes, 0, 333667), S_OK);
    ASSERT_EQ(b.FeedFrame(DVFrame(tvNTSC, std::nullopt, std::nullopt), 1, 333667), S_OK);
    const TVideoData first = b.filter->VideoDataRing().Read(1);
    EXPECT_EQ(first.Description, QStringLiteral("DV Type 2 NTSC (16x9)"));
    EXPECT_EQ(first.AspectKind, akSixteenNine);
    EXPECT_EQ(first.Width, 720);
    EXPECT_EQ(b.filter->VideoDataRing().Read(2).Description,
              QStringLiteral("DV Type 2 NTSC (4x3)"));
    EXPECT_EQ(b.filter->FrameDataRing().WriteIndex(), 0); // DV relay off: no frame data
}

TEST(TVideoNotifier, DVDeviceDescriptionsSayType1) {
    DVBench b(DVVideoType(true), 144000);
    b.filter->SetIsDVDevice(true);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetVideoDataRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedFrame(DVFrame(tvPal, std::nullopt, std::nullopt), 0, 400000), S_OK);
    EXPECT_EQ(b.filter->VideoData().Description, QStringLiteral("DV type 1 Pal (4x3)"));
}

// Switching the inlay relay on sends the current values at once; from then on every frame
// writes its values into the inlay ring, one slot per frame (the frame keeper sends them when the
// frame is presented), beside the frame-data ring, which still advances by one slot per frame.
TEST(TVideoNotifier, InlayRelayFillsItsRingPerFrameAndSendsOnceWhenSwitched) {
    DVBench b(DVVideoType(true), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetDVRelay(true);
    b.filter->SetInlayRelay(true);
    ASSERT_EQ(b.log.Of(WM_DVINLAY).size(), 1u);
    EXPECT_TRUE(b.log.Of(WM_DVINLAY)[0].Delivered);
    EXPECT_FALSE(b.log.Of(WM_DVINLAY)[0].Inlay.DateValid);
    ASSERT_EQ(b.Run(), S_OK);
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(
            b.FeedFrame(DVFrame(tvPal, TStamp{2005, 6, 7, 8, 9, n}, {{1, 2, 3, n}}), n, 400000),
            S_OK);
    EXPECT_EQ(b.log.Of(WM_DVINLAY).size(), 1u);
    const TTapRing<TIncrustDV>& ring = b.filter->InlayRing();
    EXPECT_EQ(ring.WriteIndex(), 4);
    for (int n = 0; n < 3; ++n) {
        const TIncrustDV slot = ring.Read(n + 2);
        EXPECT_TRUE(slot.DateValid);
        EXPECT_DOUBLE_EQ(slot.RecordingDate, DateOf({2005, 6, 7, 8, 9, n}));
        EXPECT_EQ(slot.TimecodeText, QStringLiteral("1:02:03:%1").arg(n, 2, 10, QChar('0')));
        EXPECT_EQ(ring.TimeOf(n + 2), std::optional<REFERENCE_TIME>(n * 400000));
    }
    EXPECT_EQ(b.filter->FrameDataRing().WriteIndex(), 3);
    b.filter->SetInlayRelay(false);
    ASSERT_EQ(b.log.Of(WM_DVINLAY).size(), 2u);
    EXPECT_EQ(b.log.Of(WM_DVINLAY).back().Inlay.TimecodeText, QStringLiteral("1:02:03:02"));
    ASSERT_EQ(b.FeedFrame(DVFrame(tvPal, std::nullopt, std::nullopt), 3, 400000), S_OK);
    EXPECT_EQ(ring.WriteIndex(), 5);
}

TEST(TVideoNotifier, DateFormatShapesTheDateText) {
    DVBench b(DVVideoType(true), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetDVRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    const std::vector<uint8_t> frame = DVFrame(tvPal, TStamp{2005, 12, 25, 15, 4, 5}, std::nullopt);
    ASSERT_EQ(b.FeedFrame(frame, 0, 400000), S_OK);
    EXPECT_EQ(b.filter->FrameData().DateText, QStringLiteral("12/25/2005 - 3:04:05 PM"));
    b.filter->SetDateFormat(QString());
    ASSERT_EQ(b.FeedFrame(frame, 1, 400000), S_OK);
    EXPECT_EQ(b.filter->FrameData().DateText, QStringLiteral("12/25/2005 3:04:05 PM"));
    b.filter->SetDateFormat(QStringLiteral("yyyy-mm-dd hh:nn:ss"));
    ASSERT_EQ(b.FeedFrame(frame, 2, 400000), S_OK);
    EXPECT_EQ(b.filter->FrameData().DateText, QStringLiteral("2005-12-25 15:04:05"));
    b.filter->SetNoDatecodeText(QStringLiteral("none"));
    ASSERT_EQ(b.FeedFrame(DVFrame(tvPal, std::nullopt, std::nullopt), 3, 400000), S_OK);
    EXPECT_EQ(b.filter->FrameData().DateText, QStringLiteral("none"));
}

TEST(TVideoNotifier, ResetStreamDataClearsTheValuesAndEmptiesTheRings) {
    DVBench b(DVVideoType(true), 144000);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->SetDVRelay(true);
    b.filter->SetVideoDataRelay(true);
    b.filter->SetDateFormat(QStringLiteral("yyyy"));
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedFrame(DVFrame(tvPal, TStamp{2005, 1, 2, 3, 4, 5}, {{1, 1, 1, 1}}), 0, 400000),
              S_OK);
    b.filter->ResetStreamData();
    EXPECT_FALSE(b.filter->DVRelay());
    EXPECT_FALSE(b.filter->VideoDataRelay());
    EXPECT_TRUE(b.filter->Enabled());
    EXPECT_EQ(b.filter->DateFormat(), QStringLiteral("ddddd - tt"));
    const TframeData f = b.filter->FrameData();
    EXPECT_FALSE(f.DateValid);
    EXPECT_FALSE(f.TimecodeValid);
    EXPECT_EQ(f.DateText, QStringLiteral("No Datecode"));
    EXPECT_EQ(f.TimecodeText, QStringLiteral("NoTimecode"));
    EXPECT_EQ(f.FrameNumber, 0);
    EXPECT_EQ(b.filter->FrameDataRing().WriteIndex(), 0);
    EXPECT_EQ(b.filter->VideoDataRing().SegmentStartIndex(), 0);
    EXPECT_FALSE(b.filter->VideoData().Parsed);
}

TEST(TVideoNotifier, AnMpeg2SequenceHeaderUpdatesTheDescription) {
    AM_MEDIA_TYPE type(MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, FORMAT_MPEG2Video);
    MPEG2VIDEOINFO info;
    info.hdr.AvgTimePerFrame = 400000;
    info.hdr.bmiHeader.biWidth = 352;
    info.hdr.bmiHeader.biHeight = 288;
    type.SetFormat(info);
    type.bTemporalCompression = 1;
    TTapBench<TVideoNotifier> b(type, 4096);
    ASSERT_EQ(b.Connect(), S_OK);
    EXPECT_TRUE(b.filter->TemporalCompression());
    b.filter->SetVideoDataRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    // 720 x 576, aspect code 3 (16:9), frame rate code 3 (25).
    const std::vector<uint8_t> header = {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02,
                                         0x40, 0x33, 0xFF, 0xFF, 0xE0, 0x18};
    ASSERT_EQ(b.FeedFrame(header, 0, 400000), S_OK);
    ASSERT_EQ(b.FeedFrame({0x00, 0x00, 0x01, 0x00, 0x12}, 1, 400000), S_OK);
    for (int slot : {1, 2}) {
        const TVideoData v = b.filter->VideoDataRing().Read(slot);
        EXPECT_EQ(v.Width, 720) << slot;
        EXPECT_EQ(v.Height, 576) << slot;
        EXPECT_EQ(v.AspectKind, akSixteenNine) << slot;
        EXPECT_EQ(v.Description, QStringLiteral("MPEG2 (16x9)")) << slot;
    }
}

// A sample that carries a type of another size is described before it is relayed; the new frame
// duration is reported once, and an unchanged duration is not reported again.
TEST(TVideoNotifier, AFormatChangeCarriedByASampleIsAppliedAndReported) {
    TTapBench<TVideoNotifier> b(VideoInfoType(MEDIASUBTYPE_YUY2, 320, 240, 400000), 640 * 480 * 2);
    TMessageLog log;
    b.filter->SetVideoDataRelay(true);
    b.filter->SetFrameDurationWindow(log.Handle());
    ASSERT_EQ(b.Connect(), S_OK);
    log.Pump();
    ASSERT_EQ(log.Of(WM_FRAMEDURATION).size(), 1u);
    EXPECT_EQ(log.Of(WM_FRAMEDURATION)[0].Value, 400000);
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedFrame({1, 2, 3, 4}, 0, 400000), S_OK);
    TFeedSample bigger;
    bigger.Bytes = {5, 6, 7, 8};
    bigger.Start = 400000;
    bigger.Type = VideoInfoType(MEDIASUBTYPE_YUY2, 640, 480, 333667);
    ASSERT_EQ(b.Feed(bigger), S_OK);
    TFeedSample sameRate = bigger;
    sameRate.Start = 733667;
    sameRate.Type = VideoInfoType(MEDIASUBTYPE_YUY2, 320, 240, 333667);
    ASSERT_EQ(b.Feed(sameRate), S_OK);
    log.Pump();
    const std::vector<TLoggedMessage> durations = log.Of(WM_FRAMEDURATION);
    ASSERT_EQ(durations.size(), 2u);
    EXPECT_EQ(durations[1].Value, 333667);
    EXPECT_EQ(b.filter->VideoDataRing().Read(1).Width, 320);
    EXPECT_EQ(b.filter->VideoDataRing().Read(2).Width, 640);
    EXPECT_EQ(b.filter->VideoDataRing().Read(3).Width, 320);
    EXPECT_EQ(b.collector->Count(), 3u);
    EXPECT_TRUE(b.collector->Samples()[1].HasType);
    b.filter->StopFrameDurationReports();
    TFeedSample again = bigger;
    again.Start = 1200000;
    again.Type = VideoInfoType(MEDIASUBTYPE_YUY2, 320, 240, 400000);
    ASSERT_EQ(b.Feed(again), S_OK);
    log.Pump();
    EXPECT_EQ(log.Of(WM_FRAMEDURATION).size(), 2u);
}

TEST(TVideoNotifier, TheFirstSampleReportsADurationThatChangedSinceTheConnection) {
    TTapBench<TVideoNotifier> b(VideoInfoType(MEDIASUBTYPE_YUY2, 320, 240, 417083), 320 * 240 * 2);
    TMessageLog log;
    ASSERT_EQ(b.Connect(), S_OK); // the relays are off: nothing is reported
    b.filter->SetFrameDurationWindow(log.Handle());
    b.filter->SetDVRelay(true);
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedFrame({1}, 0, 417083), S_OK);
    ASSERT_EQ(b.FeedFrame({2}, 1, 417083), S_OK);
    log.Pump();
    ASSERT_EQ(log.Of(WM_FRAMEDURATION).size(), 1u);
    EXPECT_EQ(log.Of(WM_FRAMEDURATION)[0].Value, 417083);
    EXPECT_EQ(log.Of(WM_FRAMEDURATION)[0].LParam, 0);
}

} // namespace

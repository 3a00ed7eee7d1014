// The audio tap: its description messages at connection, at the first sample of each start of
// streaming and on format changes carried by samples.
#include "taps/uAudioNotifier.h"

#include "taps/uTapMessages.h"
#include "tests/taps/TapBench.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct AudioBench : TTapBench<TAudioNotifier> {
    AudioBench() : TTapBench(PcmType(48000, 2), 4096) {
        filter->SetAudioWindow(log.Handle());
        log.ReadRecordsOf(nullptr, filter.Get());
    }
    HRESULT FeedOne(std::optional<AM_MEDIA_TYPE> type = std::nullopt) {
        TFeedSample s;
        s.Bytes.assign(64, 0);
        s.Type = std::move(type);
        return Feed(s);
    }
    std::vector<TLoggedMessage> Posted() {
        log.Pump();
        return log.Of(WM_AUDIODATA);
    }
    TMessageLog log;
};

TEST(TAudioNotifier, IdentityAndStateAtCreation) {
    ComPtr<TAudioNotifier> tap = MakeComObject<TAudioNotifier>();
    CLSID clsid;
    ASSERT_EQ(tap->GetClassID(&clsid), S_OK);
    EXPECT_EQ(GuidToString(clsid), QStringLiteral("{EEB59708-9EEF-4CBB-A5FA-F1B0C67F72FB}"));
    EXPECT_EQ(tap->ObjectName(), QStringLiteral("Osric Taskel's AudioNotifier"));
    EXPECT_FALSE(tap->Enabled());
    EXPECT_FALSE(tap->AudioDataRelay());
}

TEST(TAudioNotifier, TheDescriptionIsPostedAtConnectionAndWithTheFirstSample) {
    AudioBench b;
    b.filter->SetAudioDataRelay(true);
    ASSERT_EQ(b.Connect(), S_OK);
    std::vector<TLoggedMessage> posted = b.Posted();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(RecordKind(TMessage{posted[0].Msg, posted[0].WParam, posted[0].LParam, 0}),
              VideoDataKindAudio);
    EXPECT_TRUE(posted[0].Delivered);
    EXPECT_EQ(posted[0].Frame.AudioText, QStringLiteral("PCM 48000Hz 16bits  stereo"));
    EXPECT_EQ(posted[0].Frame.SampleRate, 48000);
    EXPECT_EQ(posted[0].Frame.Channels, 2);
    EXPECT_EQ(posted[0].Frame.BitRate, 48000 * 2 * 16);
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedOne(), S_OK);
    ASSERT_EQ(b.FeedOne(), S_OK);
    EXPECT_EQ(b.Posted().size(), 2u);
    // Each start of streaming reports again with its first sample.
    ASSERT_EQ(b.Stop(), S_OK);
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedOne(), S_OK);
    EXPECT_EQ(b.Posted().size(), 3u);
    EXPECT_EQ(b.collector->Count(), 3u);
}

TEST(TAudioNotifier, AFormatChangeCarriedByASampleIsDescribedAndPosted) {
    AudioBench b;
    b.filter->SetFormatName(QStringLiteral("PCM"));
    b.filter->SetAudioDataRelay(true);
    ASSERT_EQ(b.Connect(), S_OK);
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedOne(), S_OK);
    ASSERT_EQ(b.FeedOne(PcmType(32000, 1)), S_OK);
    const std::vector<TLoggedMessage> posted = b.Posted();
    ASSERT_EQ(posted.size(), 3u);
    EXPECT_EQ(posted[2].Frame.AudioText, QStringLiteral("PCM 32000Hz 16bits  mono"));
    EXPECT_EQ(b.filter->AudioData().SampleRate, 32000);
}

TEST(TAudioNotifier, DVSoundAt32kHzReadsTwelveBits) {
    AudioBench b;
    b.filter->SetIsDVDevice(true);
    b.filter->SetAudioDataRelay(true);
    ASSERT_EQ(b.Connect(), S_OK);
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedOne(), S_OK);
    ASSERT_EQ(b.FeedOne(PcmType(32000, 2)), S_OK);
    EXPECT_EQ(b.filter->AudioData().AudioText, QStringLiteral("PCM 32000Hz 12bits stereo"));
}

TEST(TAudioNotifier, WithoutTheRelayNothingIsPosted) {
    AudioBench b;
    ASSERT_EQ(b.Connect(), S_OK);
    ASSERT_EQ(b.Run(), S_OK);
    ASSERT_EQ(b.FeedOne(), S_OK);
    EXPECT_TRUE(b.Posted().empty());
    // The description is kept all the same.
    EXPECT_EQ(b.filter->AudioData().SampleRate, 48000);
    b.filter->SetAudioDataRelay(false); // enables the tap, relay off
    ASSERT_EQ(b.FeedOne(), S_OK);       // its first sample
    ASSERT_EQ(b.FeedOne(PcmType(44100, 2)), S_OK);
    EXPECT_TRUE(b.Posted().empty());
    EXPECT_EQ(b.filter->AudioData().SampleRate, 44100);
}

TEST(TAudioNotifier, ResetStreamDataClearsTheRecord) {
    AudioBench b;
    b.filter->SetAudioDataRelay(true);
    ASSERT_EQ(b.Connect(), S_OK);
    b.filter->ResetStreamData();
    EXPECT_FALSE(b.filter->AudioDataRelay());
    const TframeData f = b.filter->AudioData();
    EXPECT_TRUE(f.AudioText.isEmpty());
    EXPECT_EQ(f.SampleRate, 0);
    EXPECT_EQ(f.DateText, QStringLiteral("No Datecode"));
}

} // namespace

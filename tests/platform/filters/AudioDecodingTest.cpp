// The audio decoder gives 16-bit PCM whatever comes in: PCM of other depths and float from WAV
// files, and sound of more than two channels mixed down to stereo, at the stream's rate; the
// samples are the source's own, and after a seek the sound starts at the target.
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/ClipWriter.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TPcmCase {
    const char* name;
    const char* encoder;
    int channels;
    double tolerance; // in 16-bit steps: the source's own precision
};

std::ostream& operator<<(std::ostream& os, const TPcmCase& c) {
    return os << c.name;
}

// The test tone of ClipWriter: 0.3 of full scale at 440 Hz.
double Tone(int64_t n, int rate) {
    return 0.3 * std::sin(2 * M_PI * 440.0 * double(n) / rate);
}

class PcmDecoding : public testing::TestWithParam<TPcmCase> {};

TEST_P(PcmDecoding, GivesTheSourcesSamplesIn16Bits) {
    const TPcmCase& c = GetParam();
    const QString path = ClipFolder() + QStringLiteral("/pcm-%1.wav").arg(c.name);
    TAudioClipRecipe recipe;
    recipe.encoder = c.encoder;
    recipe.channels = c.channels;
    ASSERT_EQ(WriteClip(path.toStdString(), "wav", nullptr, &recipe), "");
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(path, CLSID_AsyncReader, CLSID_WAVEParser), S_OK);
    EXPECT_EQ(graph.AudioDecoderName(), QStringLiteral("FFmpeg Audio Decoder"));
    ASSERT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    EXPECT_EQ(graph.Audio()->Rate(), 48000);
    ASSERT_EQ(graph.Audio()->Channels(), std::min(c.channels, 2));
    const std::vector<int16_t> got = graph.Audio()->Samples();
    const size_t frames = got.size() / size_t(graph.Audio()->Channels());
    ASSERT_EQ(frames, 48000u);
    // Every channel carries the tone; a mix-down of equal channels keeps its shape.
    const double scale = c.channels > 2 ? -1 : 1;
    for (size_t i = 0; i < frames; i += 97) {
        const double want = Tone(int64_t(i), 48000) * 32767;
        const int16_t left = got[i * size_t(graph.Audio()->Channels())];
        if (scale > 0) {
            ASSERT_NEAR(left, want, c.tolerance) << i;
        } else if (std::abs(want) > 3000) {
            ASSERT_EQ(left > 0, want > 0) << i;
            ASSERT_GT(std::abs(left), 1000) << i;
        }
    }
}

const TPcmCase kPcm[] = {
    {"u8", "pcm_u8", 2, 260},     {"s24", "pcm_s24le", 2, 2},      {"s32", "pcm_s32le", 1, 2},
    {"float", "pcm_f32le", 2, 2}, {"surround", "pcm_s16le", 6, 0},
};

INSTANTIATE_TEST_SUITE_P(Formats, PcmDecoding, testing::ValuesIn(kPcm),
                         [](const testing::TestParamInfo<TPcmCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(AudioSeeking, SoundStartsAtTheTarget) {
    const QString path = Clip("seek-sound.mp2", "audio", {"--seconds", "2"});
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(path, CLSID_LAVSplitterSource), S_OK);
    LONGLONG start = 7 * UNITS / 10;
    QueryInterfaceOf<IMediaSeeking>(graph.Graph())
        ->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    ASSERT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    const std::vector<REFERENCE_TIME> starts = graph.Audio()->Starts();
    ASSERT_FALSE(starts.empty());
    EXPECT_EQ(starts[0], 0);
    const double seconds = double(graph.Audio()->Samples().size()) / 2 / 48000;
    EXPECT_NEAR(seconds, 1.3, 0.03);
}

} // namespace

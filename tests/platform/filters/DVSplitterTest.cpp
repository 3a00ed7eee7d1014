// The DV splitter's sound equals what libavformat's DV demuxer reads from the same frames, for
// every rate and depth DV carries, PAL and NTSC (whose 48 kHz frames alternate 1600 and 1602
// samples); its video is the frames themselves. The frame readers stay inside what they are
// given.
#include "platform/filters/DVFrameInfo.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <algorithm>
#include <memory>

#include <QFile>

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

using namespace kelvara::test;

// The first sound stream of the file as libavformat's demuxers give it (16-bit PCM).
std::vector<int16_t> ReferenceSound(const QString& path) {
    std::vector<int16_t> samples;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return samples;
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> in(
        raw, [](AVFormatContext* c) { avformat_close_input(&c); });
    avformat_find_stream_info(raw, nullptr);
    const int s = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    AVPacket* p = av_packet_alloc();
    while (s >= 0 && av_read_frame(raw, p) >= 0) {
        if (p->stream_index == s)
            samples.insert(samples.end(), reinterpret_cast<const int16_t*>(p->data),
                           reinterpret_cast<const int16_t*>(p->data) + p->size / 2);
        av_packet_unref(p);
    }
    av_packet_free(&p);
    return samples;
}

struct TSoundCase {
    const char* name;
    QStringList args;
    int rate;
};

std::ostream& operator<<(std::ostream& os, const TSoundCase& c) {
    return os << c.name;
}

class DVSound : public testing::TestWithParam<TSoundCase> {};

TEST_P(DVSound, EqualsTheDemuxersSound) {
    const TSoundCase& c = GetParam();
    const QString raw = Clip(QStringLiteral("sound-%1.dv").arg(c.name), "dv",
                             c.args + QStringList{"--seconds", "1"});
    const QString avi = Clip(QStringLiteral("sound-%1.avi").arg(c.name), "dv",
                             c.args + QStringList{"--seconds", "1", "--avi-type", "1"});
    const std::vector<int16_t> expected = ReferenceSound(raw);
    ASSERT_GT(expected.size(), size_t(c.rate));
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(avi, CLSID_AsyncReader, CLSID_AviSplitter), S_OK);
    ASSERT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    EXPECT_EQ(graph.Audio()->Rate(), c.rate);
    EXPECT_EQ(graph.Audio()->Channels(), 2);
    const std::vector<int16_t> got = graph.Audio()->Samples();
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);
    // Each frame's sound starts with its frame.
    const std::vector<REFERENCE_TIME> starts = graph.Audio()->Starts();
    ASSERT_GE(starts.size(), 2u);
    EXPECT_EQ(starts[0], 0);
    EXPECT_EQ(starts[1], c.args.contains("ntsc") ? 333667 : 400000);
}

const TSoundCase kSound[] = {
    {"pal48", {"--system", "pal"}, 48000},
    {"pal44", {"--system", "pal", "--audio-rate", "44100"}, 44100},
    {"pal32-12bit", {"--system", "pal", "--audio-rate", "32000", "--audio-bits", "12"}, 32000},
    {"ntsc48", {"--system", "ntsc"}, 48000},
    {"ntsc32", {"--system", "ntsc", "--audio-rate", "32000"}, 32000},
};

INSTANTIATE_TEST_SUITE_P(Rates, DVSound, testing::ValuesIn(kSound),
                         [](const testing::TestParamInfo<TSoundCase>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(DVFrameReaders, StayInsideShortAndForeignBuffers) {
    std::vector<uint8_t> frame(kDVFrameBytes625, 0);
    frame[3] = 0x80; // a 625/50 header block: the frame needs all 12 sequences
    for (size_t size : {size_t(0), size_t(1), size_t(79), size_t(80), size_t(11999), size_t(12000),
                        size_t(143999)}) {
        SCOPED_TRACE(size);
        const std::span<const uint8_t> part(frame.data(), size);
        EXPECT_FALSE(ReadDVAudioFormat(part).has_value());
        std::vector<int16_t> pcm;
        EXPECT_FALSE(ExtractDVAudio(part, {48000, 16, 1920}, &pcm));
        EXPECT_TRUE(pcm.empty());
        const DVINFO info = ReadDVInfo(part);
        EXPECT_EQ(info.dwDVAAuxSrc, 0u);
    }
    frame[0] = 0xFF; // not a header block
    EXPECT_FALSE(ReadDVSystem(frame).has_value());
}

TEST(DVFrameReaders, ReadTheSystemAndTheSoundOfAFrame) {
    QFile file(Clip("sound-ntsc48.dv", "dv", {"--system", "ntsc", "--seconds", "1"}));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.read(qint64(kDVFrameBytes525) * 2);
    const std::span<const uint8_t> first(reinterpret_cast<const uint8_t*>(bytes.data()),
                                         kDVFrameBytes525);
    const auto system = ReadDVSystem(first);
    ASSERT_TRUE(system);
    EXPECT_FALSE(system->pal);
    EXPECT_EQ(system->frameBytes, kDVFrameBytes525);
    const auto sound = ReadDVAudioFormat(first);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->rate, 48000);
    EXPECT_EQ(sound->bits, 16);
    EXPECT_EQ(sound->samples, 1600); // the locked pattern starts with 1600
    const std::span<const uint8_t> next(
        reinterpret_cast<const uint8_t*>(bytes.data()) + kDVFrameBytes525, kDVFrameBytes525);
    EXPECT_EQ(ReadDVAudioFormat(next)->samples, 1602);
}

} // namespace

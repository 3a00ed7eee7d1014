// Raw DV tapes that switch between PAL and NTSC: every frame is delivered whole, as the file
// holds it (compared byte for byte with the frames at the offsets they were written at), with
// times that run on across the switch, also after a seek; and a graph shows every frame.
#include "platform/filters/FFmpegDemuxer.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;
using kelvara::ff::NewPacket;

constexpr int kPalBytes = 144000, kNtscBytes = 120000;
constexpr REFERENCE_TIME kPalFrame = 400000;

QByteArray Bytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// A tape of runs of frames of either system, written one after the other, and where each frame
// lies in it.
struct TTape {
    QString path;
    QByteArray bytes;
    std::vector<qsizetype> offsets;
    std::vector<REFERENCE_TIME> starts; // each frame's time, the durations of those before
};

TTape MakeTape(const QString& name, const std::vector<bool>& palRuns) {
    TTape tape;
    REFERENCE_TIME t = 0;
    for (size_t i = 0; i < palRuns.size(); ++i) {
        const bool pal = palRuns[i];
        const QString part = QStringLiteral("%1-part%2.dv").arg(name).arg(i);
        // Each run its own time codes, so that no two frames of the tape are alike.
        const QByteArray frames =
            Bytes(Clip(part, "dv",
                       {"--system", pal ? "pal" : "ntsc", "--seconds", "0.4", "--timecode",
                        QStringLiteral("00:%1:00:00").arg(i, 2, 10, QLatin1Char('0'))}));
        const int size = pal ? kPalBytes : kNtscBytes;
        EXPECT_EQ(frames.size() % size, 0);
        const REFERENCE_TIME runStart = t;
        int64_t n = 0;
        for (qsizetype at = 0; at + size <= frames.size(); at += size, ++n) {
            tape.offsets.push_back(tape.bytes.size() + at);
            // A run's frames are n frame durations after its start, in exact arithmetic.
            t = runStart + (pal ? n * kPalFrame : (n * 10'010'000'000 + 15'000) / 30'000);
            tape.starts.push_back(t);
        }
        t = runStart + (pal ? n * kPalFrame : (n * 10'010'000'000 + 15'000) / 30'000);
        tape.bytes += frames;
    }
    tape.path = WriteFile(name + QStringLiteral(".dv"), tape.bytes);
    return tape;
}

// The frame of the tape that a packet holds, byte for byte; -1 when it is none of them.
int FrameOf(const TTape& tape, const AVPacket& packet) {
    for (size_t i = 0; i < tape.offsets.size(); ++i) {
        const qsizetype at = tape.offsets[i];
        const qsizetype end = i + 1 < tape.offsets.size() ? tape.offsets[i + 1] : tape.bytes.size();
        if (end - at == packet.size &&
            std::memcmp(tape.bytes.constData() + at, packet.data, size_t(packet.size)) == 0)
            return int(i);
    }
    return -1;
}

struct TRead {
    int frame;
    REFERENCE_TIME time;
};

// The video packets read from where the demuxer stands to the end.
std::vector<TRead> ReadVideo(TFFmpegDemuxer& demuxer, const TTape& tape) {
    std::vector<TRead> read;
    auto packet = NewPacket();
    while (demuxer.Read(packet.get()) == 0) {
        if (packet->stream_index == demuxer.SeekStream())
            read.push_back({FrameOf(tape, *packet), demuxer.PresentationTime(*packet)});
        av_packet_unref(packet.get());
    }
    return read;
}

class MixedDVTape : public testing::TestWithParam<std::vector<bool>> {};

TEST_P(MixedDVTape, EveryFrameIsReadWholeWithTimesThatRunOnAcrossTheSwitch) {
    const std::vector<bool>& runs = GetParam();
    const TTape tape = MakeTape(QStringLiteral("mixed%1").arg(runs.size() * 10 + runs[0]), runs);
    TFFmpegDemuxer demuxer;
    ASSERT_EQ(demuxer.Open(tape.path, nullptr, nullptr), S_OK);
    ASSERT_GE(demuxer.SeekStream(), 0);
    ASSERT_EQ(demuxer.Seek(0, 0), S_OK); // the open has read the tape's end
    const std::vector<TRead> read = ReadVideo(demuxer, tape);
    ASSERT_EQ(read.size(), tape.offsets.size());
    for (size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        EXPECT_EQ(read[i].frame, int(i));
        EXPECT_NEAR(double(read[i].time), double(tape.starts[i]), 1.0);
    }
}

TEST_P(MixedDVTape, AFrameReachedByASeekIsAWholeFrameOfTheTape) {
    const std::vector<bool>& runs = GetParam();
    const TTape tape = MakeTape(QStringLiteral("seek%1").arg(runs.size() * 10 + runs[0]), runs);
    TFFmpegDemuxer demuxer;
    ASSERT_EQ(demuxer.Open(tape.path, nullptr, nullptr), S_OK);
    // A seek lands by the frame size of one system; in the other system's part it falls into
    // the middle of a frame, and reading goes back to that frame's start.
    for (const REFERENCE_TIME target : {tape.starts[12], tape.starts[3], tape.starts.back()}) {
        SCOPED_TRACE(testing::Message() << "seek to " << target);
        ASSERT_EQ(demuxer.Seek(target, 0), S_OK);
        const std::vector<TRead> read = ReadVideo(demuxer, tape);
        ASSERT_FALSE(read.empty());
        for (size_t i = 0; i < read.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "packet " << i);
            ASSERT_GE(read[i].frame, 0);
            if (i > 0) {
                EXPECT_EQ(read[i].frame, read[i - 1].frame + 1);
            }
        }
        EXPECT_EQ(read.back().frame, int(tape.offsets.size()) - 1);
    }
}

TEST_P(MixedDVTape, AGraphShowsEveryFrameOfTheTapeInTimeOrder) {
    const std::vector<bool>& runs = GetParam();
    const TTape tape = MakeTape(QStringLiteral("play%1").arg(runs.size() * 10 + runs[0]), runs);
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(tape.path, CLSID_LAVSplitterSource), S_OK);
    ASSERT_TRUE(graph.HasVideo());
    EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    const std::vector<TShownFrame> shown = graph.Video()->Shown();
    ASSERT_EQ(shown.size(), tape.starts.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        ASSERT_TRUE(shown[i].hasTime);
        EXPECT_NEAR(double(shown[i].start), double(tape.starts[i]), 1.0);
    }
}

// A dropout is a frame of zeros, which FFmpeg takes for an NTSC frame; in a PAL tape the frames
// after it are read whole, and run on in PAL time.
TEST(MixedDVTapeDropout, TheFramesAfterADropoutInAPalTapeAreReadWholeInPalTime) {
    TTape tape = MakeTape(QStringLiteral("dropout-in-pal"), {true});
    const qsizetype dropout = tape.offsets[5];
    tape.bytes.replace(dropout, kPalBytes, QByteArray(kPalBytes, '\0'));
    tape.path = WriteFile(QStringLiteral("dropout-in-pal.dv"), tape.bytes);
    TFFmpegDemuxer demuxer;
    ASSERT_EQ(demuxer.Open(tape.path, nullptr, nullptr), S_OK);
    ASSERT_EQ(demuxer.Seek(0, 0), S_OK);
    const std::vector<TRead> read = ReadVideo(demuxer, tape);
    ASSERT_EQ(read.size(), tape.offsets.size());
    for (size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        if (i != 5) {
            EXPECT_EQ(read[i].frame, int(i));
        }
        EXPECT_EQ(read[i].time, REFERENCE_TIME(i) * kPalFrame);
    }
}

// PAL then NTSC, NTSC then PAL, and two switches.
INSTANTIATE_TEST_SUITE_P(Runs, MixedDVTape,
                         testing::Values(std::vector<bool>{true, false},
                                         std::vector<bool>{false, true},
                                         std::vector<bool>{true, false, true}));

} // namespace

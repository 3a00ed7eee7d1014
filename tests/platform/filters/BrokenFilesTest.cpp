// Broken files fail cleanly: a truncated clip plays what it has to its end and seeks anywhere
// without hanging; a file of zero bytes or of random bytes with a video extension is refused by
// every source and splitter; a valid container whose video codec nobody knows gives no video
// pin but its sound still plays. After each, the same graph is emptied and plays a good clip.
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TPair {
    CLSID source, splitter;
};
const TPair kLav{CLSID_LAVSplitterSource, GUID_NULL};
const TPair kAvi{CLSID_AsyncReader, CLSID_AviSplitter};
const TPair kMpeg2{CLSID_AsyncReader, CLSID_MMSPLITTER};

// The same graph plays a good clip after whatever happened to it.
void ExpectReusable(TPlaybackGraph& graph) {
    graph.Clear();
    ASSERT_EQ(graph.Open(Clip("good.avi", "dv", {"--seconds", "1"}), kAvi.source, kAvi.splitter),
              S_OK);
    EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    EXPECT_EQ(graph.Video()->ShownCount(), 25u);
}

struct TTruncated {
    const char* name;
    const char* from;
    TPair reader;
};

std::ostream& operator<<(std::ostream& os, const TTruncated& c) {
    return os << c.name;
}

class TruncatedFiles : public testing::TestWithParam<TTruncated> {};

TEST_P(TruncatedFiles, PlayWhatTheyHaveAndSeekWithoutHanging) {
    const TTruncated& c = GetParam();
    const QString path = Clip(QString::fromLatin1(c.name), "truncated",
                              {"--from", c.from, "--keep", "0.6", "--seconds", "2"});
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(path, c.reader.source, c.reader.splitter), S_OK);
    EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    EXPECT_GT(graph.Video()->ShownCount(), 5u);
    EXPECT_LT(graph.Video()->ShownCount(), 50u);
    graph.Stop();
    // Inside what is left, at its edge and beyond it (where the header says there is more).
    for (double seconds : {0.4, 1.1, 1.9, 0.0}) {
        SCOPED_TRACE(seconds);
        EXPECT_TRUE(graph.PauseAt(REFERENCE_TIME(seconds * UNITS)));
    }
    ExpectReusable(graph);
}

const TTruncated kTruncated[] = {
    {"cut-mpeg2.vob", "mpeg2", kMpeg2},   {"cut-mpeg2-lav.vob", "mpeg2", kLav},
    {"cut-h264.mp4", "h264-mkv", kLav},   {"cut-dv.avi", "dv", kAvi},
    {"cut-mjpeg.avi", "mjpeg-avi", kAvi},
};

INSTANTIATE_TEST_SUITE_P(Clips, TruncatedFiles, testing::ValuesIn(kTruncated),
                         [](const testing::TestParamInfo<TTruncated>& info) {
                             return "Case" + std::to_string(info.index);
                         });

struct TUnreadable {
    const char* name;
    const char* kind;
    QStringList args;
};

class UnreadableFiles : public testing::TestWithParam<TUnreadable> {};

TEST_P(UnreadableFiles, AreRefusedByEveryReader) {
    const TUnreadable& c = GetParam();
    const QString path = Clip(QString::fromLatin1(c.name), QString::fromLatin1(c.kind), c.args);
    TPlaybackGraph graph;
    for (const TPair& pair :
         {kLav, kAvi, kMpeg2, TPair{CLSID_AsyncReader, CLSID_MPEG1Splitter},
          TPair{CLSID_AsyncReader, CLSID_LAVSplitter}, TPair{CLSID_WMAsfReader, GUID_NULL}}) {
        EXPECT_TRUE(FAILED(graph.Open(path, pair.source, pair.splitter)));
        graph.Clear();
    }
    ExpectReusable(graph);
}

const TUnreadable kUnreadable[] = {
    {"empty.avi", "empty", {}},
    {"empty.mpg", "empty", {}},
    {"noise.avi", "random", {"--bytes", "300000", "--seed", "3"}},
    {"noise.mp4", "random", {"--bytes", "65536", "--seed", "4"}},
    {"noise.mpg", "random", {"--bytes", "1000", "--seed", "5"}},
};

INSTANTIATE_TEST_SUITE_P(Files, UnreadableFiles, testing::ValuesIn(kUnreadable),
                         [](const testing::TestParamInfo<TUnreadable>& info) {
                             return "Case" + std::to_string(info.index);
                         });

// An AVI whose video FOURCC is unknown: the stream has no pin, the sound plays.
TEST(UnknownCodec, LeavesTheVideoOutAndPlaysTheSound) {
    QFile original(Clip("known.avi", "mjpeg-avi", {"--seconds", "1"}));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray bytes = original.readAll();
    // The stream header's handler and the format's compression both name the codec.
    bytes.replace("MJPG", "QZXW");
    bytes.replace("mjpg", "qzxw");
    const QString path = WriteFile("unknown-codec.avi", bytes);
    for (const TPair& pair : {kAvi, kLav}) {
        TPlaybackGraph graph;
        ASSERT_EQ(graph.Open(path, pair.source, pair.splitter), S_OK);
        EXPECT_FALSE(graph.HasVideo());
        EXPECT_TRUE(graph.HasAudio());
        EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
        EXPECT_GT(graph.Audio()->Samples().size(), 40000u);
        ExpectReusable(graph);
    }
}

} // namespace

// Every container and codec the program takes plays to the end through intelligent connect:
// the source (and splitter) of the media factory's table, the decoders the graph chooses, and
// test sinks; the duration is the clip's and every frame arrives.
#include "platform/filters/FilterGuids.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TCase {
    const char* name;
    const char* kind;
    QStringList args;
    CLSID source;
    CLSID splitter;
    int frames; // video frames of the clip (0: no video)
    bool audio;
};

std::ostream& operator<<(std::ostream& os, const TCase& c) {
    return os << c.name;
}

class Playback : public testing::TestWithParam<TCase> {};

TEST_P(Playback, PlaysToTheEnd) {
    const TCase& c = GetParam();
    const QString path = Clip(QString::fromLatin1(c.name), QString::fromLatin1(c.kind), c.args);
    ASSERT_FALSE(path.isEmpty());
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(path, c.source, c.splitter), S_OK);
    EXPECT_EQ(graph.HasVideo(), c.frames > 0);
    EXPECT_EQ(graph.HasAudio(), c.audio);
    EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    if (c.frames > 0) {
        EXPECT_EQ(int(graph.Video()->ShownCount()), c.frames)
            << graph.VideoDecoderName().toStdString();
    }
    if (c.audio) {
        EXPECT_GT(graph.Audio()->Samples().size(), 0u);
    }
}

const TCase kCases[] = {
    {"lav-mpeg2.mpg", "mpeg2", {"--seconds", "1"}, CLSID_LAVSplitterSource, GUID_NULL, 25, true},
    {"split-mpeg2.mpg", "mpeg2", {"--seconds", "1"}, CLSID_AsyncReader, CLSID_MMSPLITTER, 25, true},
    {"lav-h264.mp4", "h264-mp4", {"--seconds", "1"}, CLSID_LAVSplitterSource, GUID_NULL, 25, true},
    {"dv2.avi",
     "dv",
     {"--seconds", "1", "--avi-type", "2"},
     CLSID_AsyncReader,
     CLSID_AviSplitter,
     25,
     true},
    {"dv1.avi",
     "dv",
     {"--seconds", "1", "--avi-type", "1"},
     CLSID_AsyncReader,
     CLSID_AviSplitter,
     25,
     true},
};

INSTANTIATE_TEST_SUITE_P(Clips, Playback, testing::ValuesIn(kCases));

} // namespace

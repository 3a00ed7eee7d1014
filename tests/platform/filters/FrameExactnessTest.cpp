// A seek to frame N while paused shows exactly frame N: the picture equals libavcodec's own
// decode of the file counted from its start (PSNR above 45 dB) for DV, MPEG-2 with open GOPs,
// H.264 with B-frames and Motion JPEG, at the first frame, in the middle, on a key frame and
// just after it, and on the last frame.
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TClipCase {
    const char* name;
    const char* kind;
    QStringList args;
    CLSID source;
    CLSID splitter;
};

struct TExactCase {
    TClipCase clip;
    TVideoOutput output;
};

std::ostream& operator<<(std::ostream& os, const TExactCase& c) {
    return os << c.clip.name << (c.output == TVideoOutput::Vmr9 ? " through the renderer" : "");
}

// The frames to look at: first, middle, a key frame after the first and the one after it,
// the last.
std::set<int> FramesToCheck(const TReference& ref) {
    std::set<int> frames = {0, ref.frameCount / 2, ref.frameCount - 1};
    const auto key =
        std::find_if(ref.keyFrames.begin(), ref.keyFrames.end(), [](int k) { return k > 0; });
    if (key != ref.keyFrames.end()) {
        frames.insert(*key);
        if (*key + 1 < ref.frameCount)
            frames.insert(*key + 1);
    }
    return frames;
}

class FrameExactness : public testing::TestWithParam<TExactCase> {};

TEST_P(FrameExactness, ShowsTheFrameSoughtTo) {
    const TExactCase& c = GetParam();
    const QString path =
        Clip(QString::fromLatin1(c.clip.name), QString::fromLatin1(c.clip.kind), c.clip.args);
    ASSERT_FALSE(path.isEmpty());
    const TReference count = DecodeReference(path.toStdString(), {});
    ASSERT_GT(count.frameCount, 2);
    const std::set<int> frames = FramesToCheck(count);
    const TReference ref = DecodeReference(path.toStdString(), frames);

    TPlaybackGraph graph(c.output);
    if (!graph.VideoRenderer())
        GTEST_SKIP() << "the windowless renderer is not registered";
    ASSERT_EQ(graph.Open(path, c.clip.source, c.clip.splitter), S_OK);
    // Backwards as well as forwards: the last frame first, then the others.
    std::vector<int> order(frames.rbegin(), frames.rend());
    std::rotate(order.begin(), order.begin() + 1, order.end());
    order.insert(order.begin(), *frames.rbegin());
    for (int n : order) {
        SCOPED_TRACE(testing::Message() << "frame " << n);
        ASSERT_TRUE(graph.PauseAt(ref.pts[size_t(n)] - ref.pts[0]));
        const TRgbImage shown = graph.CurrentImage();
        const TRgbImage& expected = ref.pictures.at(n);
        ASSERT_EQ(shown.width, expected.width);
        ASSERT_EQ(shown.height, expected.height);
        EXPECT_EQ(ReadNumber(shown), n);
        EXPECT_GT(Psnr(shown, expected), 45.0);
    }
}

const QStringList kNumbers = {"--pattern", "numbers", "--seconds", "2"};

const TClipCase kClips[] = {
    {"exact-dv2.avi", "dv", kNumbers + QStringList{"--avi-type", "2"}, CLSID_AsyncReader,
     CLSID_AviSplitter},
    {"exact-dv1.avi", "dv", kNumbers + QStringList{"--avi-type", "1"}, CLSID_AsyncReader,
     CLSID_AviSplitter},
    {"exact-dv-ntsc.avi", "dv", kNumbers + QStringList{"--system", "ntsc"}, CLSID_AsyncReader,
     CLSID_AviSplitter},
    {"exact-mpeg2.mpg", "mpeg2", kNumbers, CLSID_AsyncReader, CLSID_MMSPLITTER},
    {"exact-mpeg2-lav.mpg", "mpeg2", kNumbers, CLSID_LAVSplitterSource, GUID_NULL},
    {"exact-h264.mp4", "h264-mp4", kNumbers + QStringList{"--gop", "12"}, CLSID_LAVSplitterSource,
     GUID_NULL},
    {"exact-h264.mkv", "h264-mkv", kNumbers + QStringList{"--gop", "12"}, CLSID_LAVSplitterSource,
     GUID_NULL},
    {"exact-mjpeg.avi", "mjpeg-avi", kNumbers, CLSID_AsyncReader, CLSID_AviSplitter},
};

std::vector<TExactCase> Cases() {
    std::vector<TExactCase> cases;
    for (const TClipCase& clip : kClips)
        for (TVideoOutput output : {TVideoOutput::PixelSink, TVideoOutput::Vmr9})
            cases.push_back({clip, output});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Clips, FrameExactness, testing::ValuesIn(Cases()));

} // namespace

// Colours come out right: 75 % bars made with a known colour matrix and range, encoded without
// loss, decode to RGB within 3 code values of the bars' colours at each bar's centre, through
// the decoder and the test sink and through the windowless renderer: HD BT.709 limited range
// (stated in the stream and not stated: HD means BT.709), BT.709 full range, SD BT.601, and a
// 10-bit source.
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/ClipWriter.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TBarCase {
    const char* name;
    int width, height;
    AVPixelFormat format;
    AVColorSpace matrix;
    AVColorRange range;
    bool tagged;
    TVideoOutput output;
};

std::ostream& operator<<(std::ostream& os, const TBarCase& c) {
    return os << c.name << (c.output == TVideoOutput::Vmr9 ? " through the renderer" : "");
}

QString BarClip(const TBarCase& c) {
    const QString path = ClipFolder() + QStringLiteral("/bars-%1.mkv").arg(c.name);
    TVideoClipRecipe recipe;
    recipe.width = c.width;
    recipe.height = c.height;
    recipe.format = c.format;
    recipe.matrix = c.matrix;
    recipe.range = c.range;
    recipe.tagged = c.tagged;
    recipe.pattern = TPattern::Bars;
    recipe.frames = 3;
    recipe.options = {{"qp", "0"}, {"preset", "ultrafast"}};
    const std::string error = WriteClip(path.toStdString(), "matroska", &recipe, nullptr);
    EXPECT_EQ(error, "");
    return path;
}

class Colours : public testing::TestWithParam<TBarCase> {};

TEST_P(Colours, BarsComeOutWithTheirColours) {
    const TBarCase& c = GetParam();
    const QString path = BarClip(c);
    TPlaybackGraph graph(c.output);
    if (!graph.VideoRenderer())
        GTEST_SKIP() << "the windowless renderer is not registered";
    ASSERT_EQ(graph.Open(path, CLSID_LAVSplitterSource), S_OK);
    ASSERT_TRUE(graph.PauseAt(0));
    const TRgbImage image = graph.CurrentImage();
    ASSERT_EQ(image.width, c.width);
    ASSERT_EQ(image.height, c.height);
    for (size_t bar = 0; bar < BarColours().size(); ++bar) {
        const TRgb& want = BarColours()[bar];
        const int x = int((2 * bar + 1) * size_t(c.width) / 16), y = c.height / 2;
        SCOPED_TRACE(testing::Message() << "bar " << bar);
        EXPECT_NEAR(image.At(x, y, 2), want.r, 3);
        EXPECT_NEAR(image.At(x, y, 1), want.g, 3);
        EXPECT_NEAR(image.At(x, y, 0), want.b, 3);
    }
}

const TBarCase kBars[] = {
    {"hd709", 1280, 720, AV_PIX_FMT_YUV420P, AVCOL_SPC_BT709, AVCOL_RANGE_MPEG, true,
     TVideoOutput::PixelSink},
    {"hd709-untagged", 1280, 720, AV_PIX_FMT_YUV420P, AVCOL_SPC_BT709, AVCOL_RANGE_MPEG, false,
     TVideoOutput::PixelSink},
    {"hd709-full", 1280, 720, AV_PIX_FMT_YUV420P, AVCOL_SPC_BT709, AVCOL_RANGE_JPEG, true,
     TVideoOutput::PixelSink},
    {"sd601", 720, 576, AV_PIX_FMT_YUV420P, AVCOL_SPC_BT470BG, AVCOL_RANGE_MPEG, false,
     TVideoOutput::PixelSink},
    {"sd601-tagged", 720, 480, AV_PIX_FMT_YUV420P, AVCOL_SPC_SMPTE170M, AVCOL_RANGE_MPEG, true,
     TVideoOutput::PixelSink},
    {"hd709-10bit", 1280, 720, AV_PIX_FMT_YUV420P10LE, AVCOL_SPC_BT709, AVCOL_RANGE_MPEG, true,
     TVideoOutput::PixelSink},
    {"hd709-10bit-full", 1280, 720, AV_PIX_FMT_YUV420P10LE, AVCOL_SPC_BT709, AVCOL_RANGE_JPEG, true,
     TVideoOutput::PixelSink},
    {"hd709-vmr", 1280, 720, AV_PIX_FMT_YUV420P, AVCOL_SPC_BT709, AVCOL_RANGE_MPEG, true,
     TVideoOutput::Vmr9},
    {"hd709-untagged-vmr", 1280, 720, AV_PIX_FMT_YUV420P, AVCOL_SPC_BT709, AVCOL_RANGE_MPEG, false,
     TVideoOutput::Vmr9},
    {"hd709-full-vmr", 1280, 720, AV_PIX_FMT_YUV420P, AVCOL_SPC_BT709, AVCOL_RANGE_JPEG, true,
     TVideoOutput::Vmr9},
    {"sd601-vmr", 720, 576, AV_PIX_FMT_YUV420P, AVCOL_SPC_BT470BG, AVCOL_RANGE_MPEG, false,
     TVideoOutput::Vmr9},
    {"hd709-10bit-vmr", 1280, 720, AV_PIX_FMT_YUV420P10LE, AVCOL_SPC_BT709, AVCOL_RANGE_MPEG, true,
     TVideoOutput::Vmr9},
};

INSTANTIATE_TEST_SUITE_P(Bars, Colours, testing::ValuesIn(kBars));

} // namespace

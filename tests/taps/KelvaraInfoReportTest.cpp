// kelvara-info's command line, scenes and the three reports, on frames made up by the tests.
#include "InfoOptions.h"
#include "InfoReport.h"
#include "InfoScenes.h"
#include "platform/rtl/DateTime.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t kPal = 400000;

double Date(int y, int mo, int d, int h, int mi, int s) {
    double v = 0;
    EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, 0, v));
    return v;
}

// Frame i of a run: 25 frames per recorded second.
TInfoFrame Frame(int64_t index, std::optional<double> date, std::string timecode = "") {
    TInfoFrame f;
    f.Index = index;
    f.Position = index * kPal;
    f.PositionText = "0:00:" + std::string(index / 25 < 10 ? "0" : "") +
                     std::to_string(index / 25) + ":" + (index % 25 < 10 ? "0" : "") +
                     std::to_string(index % 25);
    f.DateValid = date.has_value();
    f.RecordingDate = date.value_or(0);
    f.TimecodeValid = !timecode.empty();
    f.TimecodeText = timecode;
    return f;
}

TEST(ParseInfoOptions, AcceptsEachOptionAndRefusesMistakes) {
    struct TCase {
        std::vector<std::string> Args;
        bool Ok;
        std::string Error;
    };
    const std::vector<TCase> cases = {
        {{"clip.dv"}, true, ""},
        {{"--csv", "clip.dv", "--scenes"}, true, ""},
        {{"--json", "--frames", "10", "clip.dv"}, true, ""},
        {{"--frames=0", "--source=lav", "clip.dv"}, true, ""},
        {{"--", "--odd-name.dv"}, true, ""},
        {{"--help"}, true, ""},
        {{}, false, "no file given"},
        {{"a.dv", "b.dv"}, false, "more than one file given: b.dv"},
        {{"--csv", "--json", "a.dv"}, false, "--csv and --json cannot be combined"},
        {{"--frames", "a.dv"}, false, "--frames needs a number of frames, not \"a.dv\""},
        {{"a.dv", "--frames"}, false, "--frames needs a value"},
        {{"--frames=-3", "a.dv"}, false, "--frames needs a number of frames, not \"-3\""},
        {{"--frames=99999999999999999999", "a.dv"},
         false,
         "--frames needs a number of frames, not \"99999999999999999999\""},
        {{"--scenes=yes", "a.dv"}, false, "--scenes takes no value"},
        {{"--source", "net", "a.dv"}, false, "--source is auto, lav, file or private, not \"net\""},
        {{"--verbose", "a.dv"}, false, "unknown option --verbose"},
        {{"--at", "#0,0:00:01:05,12,#936", "--save", "out", "a.mp4"}, true, ""},
        {{"--at=#3", "a.mp4", "--json"}, true, ""},
        {{"--at", "x", "a.mp4"},
         false,
         "--at takes positions (h:mm:ss:ff) or frames (#N), not \"x\""},
        {{"--at", "#-3", "a.mp4"},
         false,
         "--at takes positions (h:mm:ss:ff) or frames (#N), not \"#-3\""},
        {{"--at", "1::2", "a.mp4"},
         false,
         "--at takes positions (h:mm:ss:ff) or frames (#N), not \"1::2\""},
        {{"--at", "1:2:3:4:5", "a.mp4"},
         false,
         "--at takes positions (h:mm:ss:ff) or frames (#N), not \"1:2:3:4:5\""},
        {{"--at", "#3,", "a.mp4"},
         false,
         "--at takes positions (h:mm:ss:ff) or frames (#N), not \"\""},
        {{"--save", "out", "a.mp4"}, false, "--save goes with --at"},
        {{"--at", "#3", "--frames", "2", "a.mp4"},
         false,
         "--at cannot be combined with --scenes or --frames"},
    };
    for (const TCase& c : cases) {
        std::string joined;
        for (const std::string& a : c.Args)
            joined += a + " ";
        const TInfoOptionsResult r = ParseInfoOptions(c.Args);
        EXPECT_EQ(r.Options.has_value(), c.Ok) << joined;
        EXPECT_EQ(r.Error, c.Error) << joined;
    }
    const TInfoOptions o =
        *ParseInfoOptions({"--csv", "x.avi", "--frames", "7", "--scenes", "--source", "file"})
             .Options;
    EXPECT_EQ(o.File, "x.avi");
    EXPECT_EQ(o.Format, TInfoFormat::Csv);
    EXPECT_TRUE(o.Scenes);
    EXPECT_EQ(o.MaxFrames, 7);
    EXPECT_EQ(o.Source, TInfoSource::File);
    EXPECT_EQ(ParseInfoOptions({"--", "--odd-name.dv"}).Options->File, "--odd-name.dv");
    const TInfoOptions seeks = *ParseInfoOptions({"--at", "#936,#935,0:00:01:05", "a.mp4"}).Options;
    EXPECT_EQ(seeks.At, (std::vector<std::string>{"#936", "#935", "0:00:01:05"}));
}

TEST(FindScenes, ANewSceneWhereTheDateJumps) {
    const double t = Date(2005, 12, 31, 23, 59, 58);
    const double second = 1.0 / 86400;
    std::vector<TInfoFrame> frames;
    int64_t n = 0;
    // Scene 1: 2 s across midnight; scene 2: back in time; scene 3: 2 s plus a frame later;
    // scene 4: no date; scene 5: dated again.
    for (int s = 0; s < 3; ++s)
        for (int k = 0; k < 25; ++k)
            frames.push_back(Frame(n++, t + s * second));
    frames.push_back(Frame(n++, t - 10 * second));
    frames.push_back(Frame(n++, t - 9 * second));
    frames.push_back(Frame(n++, t + 2 * second + 0.04 * second + 0.001 * second));
    frames.push_back(Frame(n++, std::nullopt));
    frames.push_back(Frame(n++, std::nullopt));
    frames.push_back(Frame(n++, t));
    const std::vector<TInfoScene> scenes = FindScenes(frames, kPal);
    ASSERT_EQ(scenes.size(), 5u);
    EXPECT_EQ(scenes[0].First, 0u);
    EXPECT_EQ(scenes[0].Last, 74u);
    EXPECT_EQ(scenes[1].First, 75u);
    EXPECT_EQ(scenes[1].Last, 76u);
    EXPECT_EQ(scenes[2].First, 77u);
    EXPECT_FALSE(scenes[3].Dated);
    EXPECT_EQ(scenes[3].First, 78u);
    EXPECT_EQ(scenes[3].Last, 79u);
    EXPECT_TRUE(scenes[4].Dated);
    EXPECT_TRUE(FindScenes({}, kPal).empty());
}

TEST(FindScenes, ASecondAndAFrameIsStillTheSameScene) {
    const double t = Date(2010, 6, 1, 12, 0, 0);
    const double ms = 1.0 / 86400000;
    const std::vector<TInfoFrame> frames = {Frame(0, t), Frame(1, t + 1040 * ms),
                                            Frame(2, t + 2081 * ms)};
    const std::vector<TInfoScene> scenes = FindScenes(frames, kPal);
    ASSERT_EQ(scenes.size(), 2u);
    EXPECT_EQ(scenes[0].Last, 1u);
}

TInfoResult SampleResult() {
    TInfoResult r;
    r.File = "tape \"1\".dv";
    r.VideoText = "DV Type 2 Pal (4x3) - 720x576 - 25 fps";
    r.AudioText = "PCM 48000Hz 16bits  stereo";
    r.FrameDuration = kPal;
    const double t = Date(2005, 12, 25, 15, 4, 5);
    r.Frames = {Frame(0, t, "1:02:03:04"), Frame(1, t, ""), Frame(2, std::nullopt, "1:02:03:06")};
    return r;
}

TEST(Reports, CsvHasTheFourColumnsAndEmptyFieldsForMissingCodes) {
    EXPECT_EQ(CsvReport(SampleResult(), false), "frame,position,recording_date,timecode\n"
                                                "0,0:00:00:00,2005-12-25T15:04:05,1:02:03:04\n"
                                                "1,0:00:00:01,2005-12-25T15:04:05,\n"
                                                "2,0:00:00:02,,1:02:03:06\n");
    EXPECT_EQ(CsvReport(SampleResult(), true),
              "scene,first_frame,last_frame,first_position,last_position,first_date,last_date\n"
              "1,0,1,0:00:00:00,0:00:00:01,2005-12-25T15:04:05,2005-12-25T15:04:05\n"
              "2,2,2,0:00:00:02,0:00:00:02,,\n");
}

TEST(Reports, TextNamesTheMissingCodes) {
    const std::string text = TextReport(SampleResult(), false);
    EXPECT_NE(text.find("Video:  DV Type 2 Pal (4x3) - 720x576 - 25 fps\n"), std::string::npos);
    EXPECT_NE(text.find("Audio:  PCM 48000Hz 16bits  stereo\n"), std::string::npos);
    EXPECT_NE(text.find("Frames: 3\n"), std::string::npos);
    EXPECT_NE(text.find("0       0:00:00:00    2005-12-25T15:04:05  1:02:03:04\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("1       0:00:00:01    2005-12-25T15:04:05  NoTimecode\n"),
              std::string::npos);
    EXPECT_NE(text.find("2       0:00:00:02    No Datecode          1:02:03:06\n"),
              std::string::npos);
    const std::string scenes = TextReport(SampleResult(), true);
    EXPECT_NE(scenes.find("Scenes: 2\n"), std::string::npos);
    EXPECT_NE(scenes.find("2      2-2             0:00:00:02 - 0:00:00:02   No Datecode\n"),
              std::string::npos)
        << scenes;
    TInfoResult silent = SampleResult();
    silent.AudioText.reset();
    EXPECT_NE(TextReport(silent, false).find("Audio:  none\n"), std::string::npos);
}

TEST(Reports, JsonEscapesTextsAndWritesNullForMissingValues) {
    const std::string json = JsonReport(SampleResult());
    EXPECT_NE(json.find("\"file\": \"tape \\\"1\\\".dv\""), std::string::npos) << json;
    EXPECT_NE(json.find("{\"frame\": 2, \"position\": \"0:00:00:02\", \"recording_date\": null, "
                        "\"timecode\": \"1:02:03:06\"}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"frame_duration\": 400000"), std::string::npos);
    EXPECT_NE(json.find("\"first_date\": \"2005-12-25T15:04:05\""), std::string::npos);
    TInfoResult empty;
    empty.File = "a\tb\x01";
    const std::string none = JsonReport(empty);
    EXPECT_NE(none.find("\"file\": \"a\\tb\\u0001\""), std::string::npos) << none;
    EXPECT_NE(none.find("\"audio\": null"), std::string::npos);
    EXPECT_NE(none.find("\"frames\": [],"), std::string::npos);
}

TEST(IsoDateTime, RoundsToTheSecondAndRefusesNonDates) {
    EXPECT_EQ(IsoDateTime(Date(2039, 12, 31, 23, 59, 59)), "2039-12-31T23:59:59");
    EXPECT_EQ(IsoDateTime(Date(1940, 1, 1, 0, 0, 0) - 0.4 / 86400), "1940-01-01T00:00:00");
    EXPECT_EQ(IsoDateTime(-1.0), "");
    EXPECT_EQ(IsoDateTime(1e300), "");
}

} // namespace

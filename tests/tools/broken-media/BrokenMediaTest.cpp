// The broken-media corpus: kelvara-info, the built tool, run as a child process on clips of
// kelvara-mksample that were cut, had bits flipped, had their first frame zeroed or their
// headers made to lie, and on inputs that are no media file at all (a FIFO, a device, a folder,
// an empty file, random bytes, playlists, a name that is no UTF-8). The corpus is made at run
// time from clips kept in the test home's cache.
//
// Whatever the input, the tool must not crash or hang, must end with one of the exit codes it
// documents for a file, and must say what happened: exit 0 only with frames printed, any other
// code with a line "kelvara-info: ..." on standard error. Outside sanitizer builds some inputs
// also run with the address space limited to 600 and 300 MB.
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"
#include "tests/tools/broken-media/Damage.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

using namespace kelvara::test;

// The exit codes that kelvara-info documents for a file it was given; a damaged file is no bad
// command line (1), no report it cannot write (9) and no error of the tool itself (10).
const std::set<int> kFileExits{0, 2, 3, 4, 5, 6, 7, 8};
constexpr uint64_t kMegabyte = 1024 * 1024;

std::string Tool() {
    return ToolPath(QStringLiteral("kelvara-info")).toStdString();
}

// Runs the tool with CSV output. Sanitizers get the behaviour of a release build for
// allocations that cannot be made (they fail instead of stopping the program) and the project's
// leak suppressions.
TChildRun RunInfo(const std::string& file, uint64_t addressSpace = 0) {
    TChildOptions options;
    options.Timeout = std::chrono::seconds(60);
    options.AddressSpaceLimit = SanitizerBuild() ? 0 : addressSpace;
    options.Environment = {{"ASAN_OPTIONS", "allocator_may_return_null=1"},
                           {"LSAN_OPTIONS", "suppressions=" KELVARA_SOURCE_DIR
                                            "/tests/support/lsan.supp:print_suppressions=0"}};
    return RunChild(Tool(), {"--csv", file}, options);
}

// The CSV rows of frames that a run printed.
int Rows(const std::string& out) {
    int rows = 0;
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = std::min(out.find('\n', start), out.size());
        if (end > start && out[start] >= '0' && out[start] <= '9')
            ++rows;
        start = end + 1;
    }
    return rows;
}

std::string Tail(const std::string& text) {
    return text.size() > 2000 ? "..." + text.substr(text.size() - 2000) : text;
}

// The tool's message: the first line of standard error that starts with its name.
std::string MessageOf(const std::string& err) {
    const size_t at = err.rfind("kelvara-info: ", 0) == 0 ? 0 : err.find("\nkelvara-info: ");
    if (at == std::string::npos)
        return {};
    const size_t start = at == 0 ? 0 : at + 1;
    return err.substr(start, err.find('\n', start) - start);
}

// What must hold for every input. Each run is summed up in a line of the test's output.
void ExpectCleanOutcome(const TChildRun& r, const std::string& what) {
    SCOPED_TRACE(what);
    const std::string outcome = r.TimedOut ? std::string("timed out")
                                : r.Signal ? "signal " + std::to_string(r.Signal)
                                           : "exit " + std::to_string(r.ExitCode);
    const std::string message = MessageOf(r.Err);
    const std::string name = what.substr(what.rfind('/') + 1);
    std::printf("  %s: %s, %d rows, %lld ms %s\n", name.c_str(), outcome.c_str(), Rows(r.Out),
                static_cast<long long>(r.Took.count()), message.c_str());
    ASSERT_TRUE(r.Started);
    EXPECT_FALSE(r.TimedOut) << "still running after " << r.Took.count()
                             << " ms; stderr: " << Tail(r.Err);
    EXPECT_EQ(r.Signal, 0) << "ended by signal " << r.Signal << " (" << strsignal(r.Signal)
                           << "); stderr: " << Tail(r.Err);
    if (!r.Exited())
        return;
    EXPECT_TRUE(kFileExits.count(r.ExitCode))
        << "exit " << r.ExitCode << " is none of a file's; stderr: " << Tail(r.Err);
    if (r.ExitCode == 0)
        EXPECT_GT(Rows(r.Out), 0) << "exit 0 without a frame";
    else
        EXPECT_GT(message.size(), std::strlen("kelvara-info: "))
            << "exit " << r.ExitCode << " without a message: " << Tail(r.Err);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A corpus entry in the run's folder: the damage's tag, then the clip's name and extension.
std::string Entry(const std::string& tag, const QString& clip, const QByteArray& bytes) {
    return WriteFile(QString::fromStdString(tag) + u'-' + QFileInfo(clip).fileName(), bytes)
        .toStdString();
}

uint32_t SeedOf(const std::string& name, uint32_t salt) {
    uint32_t h = 2166136261u ^ salt; // FNV-1a
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    return h;
}

struct TClipKind {
    const char* Name; // file name: its extension decides the container
    const char* Kind;
    QStringList Args;
};

std::ostream& operator<<(std::ostream& os, const TClipKind& c) {
    return os << c.Name;
}

const TClipKind kDVRaw{"dv.dv", "dv", {"--system", "pal", "--seconds", "1"}};
const TClipKind kDVType1{
    "dv1.avi", "dv", {"--system", "ntsc", "--seconds", "1", "--avi-type", "1"}};
const TClipKind kDVType2{"dv2.avi", "dv", {"--system", "pal", "--seconds", "1", "--avi-type", "2"}};
const TClipKind kMpeg2Ps{"m2.mpg", "mpeg2", {"--seconds", "1", "--size", "320x240"}};
const TClipKind kMpeg2Ts{"m2.ts", "mpeg2-ts", {"--seconds", "1", "--size", "320x240"}};
const TClipKind kMjpeg{"mj.avi", "mjpeg-avi", {"--seconds", "1", "--size", "320x240"}};

const TClipKind kClips[] = {
    kDVRaw,
    kDVType1,
    kDVType2,
    kMpeg2Ps,
    kMpeg2Ts,
    {"m1.mpg", "mpeg1", {"--seconds", "1"}},
    {"h.mp4", "h264-mp4", {"--seconds", "1", "--size", "320x180"}},
    {"h.mkv", "h264-mkv", {"--seconds", "1", "--size", "320x180"}},
    {"hevc.mkv", "hevc-mkv", {"--seconds", "1"}},
    kMjpeg,
    {"s.wav", "wav", {"--seconds", "0.5"}},
    {"a.mp2", "audio", {"--seconds", "0.5"}},
};

QString MakeClip(const TClipKind& c) {
    return Clip(QString::fromLatin1(c.Name), QString::fromLatin1(c.Kind), c.Args);
}

std::string CaseName(const TClipKind& c) {
    std::string name = c.Name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
}

std::string ParamName(const testing::TestParamInfo<TClipKind>& info) {
    return CaseName(info.param);
}

class DamagedClips : public testing::TestWithParam<TClipKind> {};

// Cut at three points, 300 bits flipped with two seeds, the first frame zeroed.
TEST_P(DamagedClips, EndCleanly) {
    const TClipKind& c = GetParam();
    if (std::strcmp(c.Kind, "hevc-mkv") == 0 && !avcodec_find_encoder_by_name("libx265"))
        GTEST_SKIP() << "no HEVC encoder";
    const QString clip = MakeClip(c);
    ASSERT_FALSE(clip.isEmpty());
    const QByteArray bytes = ReadAll(clip);
    ASSERT_FALSE(bytes.isEmpty());
    ExpectCleanOutcome(RunInfo(clip.toStdString()), std::string(c.Name) + " as made");

    std::vector<std::pair<std::string, QByteArray>> corpus;
    for (double keep : {0.03, 0.37, 0.81})
        corpus.emplace_back("cut" + std::to_string(int(keep * 100)), Truncated(bytes, keep));
    for (uint32_t salt : {1u, 2u})
        corpus.emplace_back("flip" + std::to_string(salt),
                            FlipBits(bytes, SeedOf(c.Name, salt), 300));
    qsizetype from = bytes.size() / 8, length = bytes.size() / 8;
    if (std::string(c.Name).ends_with(".dv")) {
        from = 0;
        length = 144000; // a PAL DV frame
    } else if (const auto frame = FirstAviFrame(bytes)) {
        std::tie(from, length) = *frame;
    }
    corpus.emplace_back("zero", Zeroed(bytes, from, length));
    for (const auto& [tag, damaged] : corpus) {
        const std::string file = Entry(tag, clip, damaged);
        ExpectCleanOutcome(RunInfo(file), file);
    }
}

INSTANTIATE_TEST_SUITE_P(Clips, DamagedClips, testing::ValuesIn(kClips), ParamName);

class AviHeadersThatLie : public testing::TestWithParam<TClipKind> {};

// AVI headers whose sizes, counts and rates lie.
TEST_P(AviHeadersThatLie, EndCleanly) {
    const TClipKind& c = GetParam();
    const QString clip = MakeClip(c);
    ASSERT_FALSE(clip.isEmpty());
    const QByteArray bytes = ReadAll(clip);
    const std::vector<TAviChunk> chunks = AviChunks(bytes);
    const auto find = [&](const std::string& id, const std::string& list = {}) {
        for (const TAviChunk& ch : chunks)
            if (ch.Id == id && (list.empty() || ch.List == list))
                return std::optional<TAviChunk>(ch);
        return std::optional<TAviChunk>();
    };
    // The video stream's header and format: the strh of type vids or iavs and the strf
    // after it.
    std::optional<TAviChunk> strh, strf;
    for (size_t i = 0; i < chunks.size(); ++i) {
        const QByteArray type = bytes.mid(chunks[i].Offset + 8, 4);
        if (chunks[i].Id == "strh" && (type == "vids" || type == "iavs")) {
            strh = chunks[i];
            if (i + 1 < chunks.size() && chunks[i + 1].Id == "strf")
                strf = chunks[i + 1];
            break;
        }
    }
    const auto avih = find("avih");
    const auto movi = find("LIST", "movi");
    const auto hdrl = find("LIST", "hdrl");
    ASSERT_TRUE(avih && strh && strf && movi && hdrl);
    const bool vids = bytes.mid(strh->Offset + 8, 4) == "vids";
    const qsizetype h = avih->Offset + 8, s = strh->Offset + 8, f = strf->Offset + 8;

    std::vector<std::pair<std::string, QByteArray>> corpus;
    const auto lie = [&](const std::string& tag, auto patch) {
        QByteArray b = bytes;
        patch(b);
        corpus.emplace_back(tag, b);
    };
    lie("frames", [&](QByteArray& b) {
        Put32(b, h + 16, 0xFFFFFFFF);
        Put32(b, s + 32, 0xFFFFFFFF);
    });
    lie("avih-size", [&](QByteArray& b) {
        Put32(b, h + 32, 0x7FFFFFFF);
        Put32(b, h + 36, 0x7FFFFFFF);
    });
    lie("rate-zero", [&](QByteArray& b) {
        Put32(b, s + 20, 0);
        Put32(b, s + 24, 0);
    });
    if (vids) {
        lie("strf-max", [&](QByteArray& b) {
            Put32(b, f + 4, 0x7FFFFFFF);
            Put32(b, f + 8, 0x7FFFFFFF);
            Put32(b, f + 20, 0xFFFFFFFF);
        });
        lie("strf-65536", [&](QByteArray& b) {
            Put32(b, f + 4, 65536);
            Put32(b, f + 8, 65536);
        });
        lie("strf-zero", [&](QByteArray& b) {
            Put32(b, f + 4, 0);
            Put32(b, f + 8, 0x80000000);
        });
    }
    lie("strf-chunk", [&](QByteArray& b) { Put32(b, strf->Offset + 4, 0xFFFFFF00); });
    lie("hdrl-list", [&](QByteArray& b) { Put32(b, hdrl->Offset + 4, 0xFFFFFFF0); });
    lie("movi-list", [&](QByteArray& b) {
        Put32(b, 4, 0xFFFFFFFF);
        Put32(b, movi->Offset + 4, 0x7FFFFFFF);
    });
    if (const auto frame = FirstAviFrame(bytes))
        lie("chunk", [&](QByteArray& b) { Put32(b, frame->first - 4, 0xFFFFFFF0); });
    if (const auto idx1 = find("idx1"))
        lie("idx1", [&](QByteArray& b) {
            for (qsizetype e = idx1->Offset + 8;
                 e + 16 <= idx1->Offset + 8 + idx1->Size && e + 16 <= b.size(); e += 16) {
                Put32(b, e + 8, 0xFFFFFFF0);
                Put32(b, e + 12, 0x7FFFFFFF);
            }
        });
    for (const auto& [tag, damaged] : corpus) {
        const std::string file = Entry("lie-" + tag, clip, damaged);
        ExpectCleanOutcome(RunInfo(file), file);
    }
}

INSTANTIATE_TEST_SUITE_P(Clips, AviHeadersThatLie, testing::Values(kDVType1, kDVType2, kMjpeg),
                         ParamName);

class Mpeg2SequenceHeadersThatLie : public testing::TestWithParam<TClipKind> {};

// Sequence headers claiming 0x0, 4095 wide and 4095x4095.
TEST_P(Mpeg2SequenceHeadersThatLie, EndCleanly) {
    const TClipKind& c = GetParam();
    const QString clip = MakeClip(c);
    ASSERT_FALSE(clip.isEmpty());
    const QByteArray bytes = ReadAll(clip);
    const bool ts = std::string(c.Name).ends_with(".ts");
    const struct {
        const char* Tag;
        int Width, Height;
    } lies[] = {{"0x0", 0, 0}, {"4095-wide", 4095, 240}, {"4095x4095", 4095, 4095}};
    for (const auto& l : lies) {
        QByteArray damaged = bytes;
        ASSERT_GT(PatchSequenceHeaders(damaged, l.Width, l.Height, ts), 0);
        const std::string file = Entry(std::string("seq-") + l.Tag, clip, damaged);
        ExpectCleanOutcome(RunInfo(file), file);
    }
}

INSTANTIATE_TEST_SUITE_P(Clips, Mpeg2SequenceHeadersThatLie, testing::Values(kMpeg2Ps, kMpeg2Ts),
                         ParamName);

// Short clips whose pictures claim to be 8192x8192: Motion JPEG frame headers and the sequence
// parameter set of H.264 in MP4. The entries of the corpus are made once per process.
struct THugeEntries {
    std::string Jpeg8192, JpegZero, Avc8192;
};

const THugeEntries& HugeEntries() {
    static const THugeEntries entries = [] {
        THugeEntries e;
        const QString mj = Clip(QStringLiteral("mj-short.avi"), QStringLiteral("mjpeg-avi"),
                                {"--seconds", "0.4", "--size", "320x240", "--no-audio"});
        const QString h = Clip(QStringLiteral("h-short.mp4"), QStringLiteral("h264-mp4"),
                               {"--seconds", "0.2", "--size", "320x180", "--no-audio"});
        QByteArray jpeg = ReadAll(mj), zero = jpeg, avc = ReadAll(h);
        if (PatchJpegFrameHeaders(jpeg, 8192, 8192) > 0)
            e.Jpeg8192 = Entry("sof-8192", mj, jpeg);
        if (PatchJpegFrameHeaders(zero, 0, 0) > 0)
            e.JpegZero = Entry("sof-0x0", mj, zero);
        if (PatchAvcPictureSize(avc, 512, 512) > 0)
            e.Avc8192 = Entry("sps-8192", h, avc);
        return e;
    }();
    return entries;
}

// What libavformat makes of the file's video: its width and height.
std::pair<int, int> ProbedSize(const std::string& file) {
    AVFormatContext* c = nullptr;
    if (avformat_open_input(&c, file.c_str(), nullptr, nullptr) < 0)
        return {0, 0};
    std::pair<int, int> size{0, 0};
    if (avformat_find_stream_info(c, nullptr) >= 0)
        for (unsigned i = 0; i < c->nb_streams; ++i)
            if (c->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
                size = {c->streams[i]->codecpar->width, c->streams[i]->codecpar->height};
    avformat_close_input(&c);
    return size;
}

TEST(BrokenMedia, PicturesClaimingHugeSizes) {
    const THugeEntries& e = HugeEntries();
    ASSERT_FALSE(e.Jpeg8192.empty() || e.JpegZero.empty() || e.Avc8192.empty());
    av_log_set_level(AV_LOG_QUIET);
    EXPECT_EQ(ProbedSize(e.Avc8192), std::make_pair(8192, 8192));
    for (const std::string& file : {e.Jpeg8192, e.JpegZero, e.Avc8192})
        ExpectCleanOutcome(RunInfo(file), file);
}

// The same and some clips as they were made, with the address space limited.
TEST(BrokenMedia, UnderAMemoryLimit) {
    if (SanitizerBuild())
        GTEST_SKIP() << "sanitizers reserve more address space than the limits";
    const THugeEntries& e = HugeEntries();
    ASSERT_FALSE(e.Jpeg8192.empty() || e.Avc8192.empty());
    QByteArray mpeg2 = ReadAll(MakeClip(kMpeg2Ps));
    ASSERT_GT(PatchSequenceHeaders(mpeg2, 4095, 4095, false), 0);
    const std::string seq4095 = Entry("seq-4095x4095", MakeClip(kMpeg2Ps), mpeg2);
    const struct {
        std::string File;
        uint64_t Megabytes;
    } runs[] = {
        {MakeClip(kDVType2).toStdString(), 300},
        {MakeClip(kMpeg2Ps).toStdString(), 300},
        {e.Jpeg8192, 600},
        {e.Jpeg8192, 300},
        {e.Avc8192, 600},
        {e.Avc8192, 300},
        {seq4095, 300},
    };
    for (const auto& r : runs)
        ExpectCleanOutcome(RunInfo(r.File, r.Megabytes * kMegabyte),
                           r.File + " in " + std::to_string(r.Megabytes) + " MB");
}

struct TSpecial {
    std::string File;
    const char* Message;
};

// Answered at once, with the reason: waiting on a FIFO's writer or reading a device is a hang.
TEST(BrokenMedia, InputsThatAreNoMediaFile) {
    const std::string folder = ClipFolder().toStdString();
    const std::string fifo = folder + "/pipe.avi", null = folder + "/null.mpg",
                      dir = folder + "/dir.avi";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/null", null.c_str()), 0);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir)));
    const std::string empty = WriteFile(QStringLiteral("empty.avi"), {}).toStdString();
    const std::string noise =
        WriteFile(QStringLiteral("noise.mp4"), FlipBits(QByteArray(100000, '\0'), 7, 400000))
            .toStdString();
    const TSpecial cases[] = {
        {fifo, "cannot be read (not a regular file)"},
        {null, "cannot be read (not a regular file)"},
        {dir, "is a folder"},
        {empty, "not a media file that can be read"},
        {noise, "not a media file that can be read"},
    };
    for (const TSpecial& c : cases) {
        const TChildRun r = RunInfo(c.File);
        ExpectCleanOutcome(r, c.File);
        EXPECT_EQ(r.ExitCode, 3) << c.File;
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << c.File << ": " << r.Err;
    }
}

// A playlist names a clip by its full path. Reading the playlist as media would play a file the
// user did not name (or fetch one from anywhere the list points to): none of the clip's frames
// may be printed, whatever the playlist's extension.
TEST(BrokenMedia, PlaylistsDoNotOpenTheClipsTheyName) {
    const QString clip = MakeClip(kMpeg2Ts);
    ASSERT_FALSE(clip.isEmpty());
    const QByteArray list = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n"
                            "#EXT-X-MEDIA-SEQUENCE:0\n#EXTINF:1.0,\n" +
                            QFile::encodeName(clip) + "\n#EXT-X-ENDLIST\n";
    for (const char* name : {"list.m3u8", "list.avi", "list.mpg"}) {
        const std::string file = WriteFile(QString::fromLatin1(name), list).toStdString();
        const TChildRun r = RunInfo(file);
        ExpectCleanOutcome(r, file);
        EXPECT_EQ(Rows(r.Out), 0) << file << " played the clip it names";
    }
}

// Byte 0xFF is no UTF-8: the file is found by the bytes typed.
TEST(BrokenMedia, ANameThatIsNoUtf8) {
    const QString clip = MakeClip(kDVType2);
    ASSERT_FALSE(clip.isEmpty());
    const std::string file = ClipFolder().toStdString() + "/tape\xff.avi";
    std::filesystem::copy_file(clip.toStdString(), file);
    const TChildRun r = RunInfo(file);
    ExpectCleanOutcome(r, "tape\\xff.avi");
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(Rows(r.Out), 25);
}

} // namespace

// kelvara-info on DV tapes longer than the splitters' queues hold (tens of seconds, hundreds of
// megabytes): without a clock every frame of the file is shown once, in order, with the position,
// recording date and time code of that very frame, through every container and source, also
// while other threads keep every core busy.
#include "taps/uMediaDescriptions.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <atomic>
#include <thread>

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// Long enough that the video of a tape outgrows a splitter's queue while its sound is read on.
constexpr const char* kSeconds = "24";
constexpr bool kEverySource = false;
#else
constexpr const char* kSeconds = "40";
constexpr bool kEverySource = true;
#endif

constexpr const char* kDate = "2005-12-31T23:59:30";
constexpr const char* kTimecode = "00:59:50:00";

struct TTape {
    QString Name;
    bool Pal;
    int AviType; // 0: raw DV
    QStringList Sources;
};

// A tape of kSeconds, made once per test.
int64_t MakeTape(const QString& path, const TTape& tape) {
    QStringList args{
        QStringLiteral("dv"),         path,
        QStringLiteral("--system"),   tape.Pal ? QStringLiteral("pal") : QStringLiteral("ntsc"),
        QStringLiteral("--seconds"),  QString::fromLatin1(kSeconds),
        QStringLiteral("--date"),     QString::fromLatin1(kDate),
        QStringLiteral("--timecode"), QString::fromLatin1(kTimecode)};
    if (tape.AviType)
        args << QStringLiteral("--avi-type") << QString::number(tape.AviType);
    const TRun r = RunTool(QStringLiteral("kelvara-mksample"), args);
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    return Params(r)[QStringLiteral("frames")].toLongLong();
}

// Checks every row of a --csv run against what the tape was made with; the first difference
// is reported with its frame, the rest counted.
void ExpectEveryFrame(const TRun& r, int64_t frames, bool pal, const std::string& what) {
    ASSERT_EQ(r.ExitCode, 0) << what << ": " << r.Err.toStdString();
    QStringList lines = r.Out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty()) << what;
    lines.removeFirst();
    EXPECT_EQ(lines.size(), frames) << what;
    const int64_t duration = pal ? 400000 : 333667;
    int64_t wrong = 0;
    for (int64_t n = 0; n < lines.size(); ++n) {
        const QString expected = QStringLiteral("%1,%2,%3,%4")
                                     .arg(n)
                                     .arg(FormatPositionText(duration, n * duration))
                                     .arg(DVClipDate(QString::fromLatin1(kDate), n, pal))
                                     .arg(DVClipTimecode(QString::fromLatin1(kTimecode), n, pal));
        if (lines[n] != expected && wrong++ == 0)
            ADD_FAILURE() << what << ": row " << n << " is " << lines[n].toStdString()
                          << ", written " << expected.toStdString();
    }
    EXPECT_EQ(wrong, 0) << what << ": rows that are not the frame written";
}

TRun Info(const QString& source, const QString& path) {
    return RunTool(QStringLiteral("kelvara-info"),
                   {QStringLiteral("--csv"), QStringLiteral("--source"), source, path});
}

void CheckTape(const TTape& tape) {
    QTemporaryDir dir;
    const QString path = dir.filePath(tape.Name);
    const int64_t frames = MakeTape(path, tape);
    ASSERT_GT(frames, 500);
    for (const QString& source : tape.Sources)
        ExpectEveryFrame(Info(source, path), frames, tape.Pal,
                         (tape.Name + QStringLiteral(" via ") + source).toStdString());
    const TRun scenes = RunTool(QStringLiteral("kelvara-info"), {QStringLiteral("--scenes"), path});
    EXPECT_TRUE(scenes.Out.contains(QStringLiteral("Scenes: 1\n"))) << scenes.Out.toStdString();
}

QStringList Sources(std::initializer_list<const char*> all) {
    QStringList sources;
    for (const char* s : all) {
        sources << QString::fromLatin1(s);
        if (!kEverySource)
            break;
    }
    return sources;
}

TEST(KelvaraInfoLongDV, PalRawTapeEveryFrameThroughEverySource) {
    CheckTape({QStringLiteral("pal.dv"), true, 0, Sources({"auto", "file", "lav"})});
}

TEST(KelvaraInfoLongDV, NtscRawTapeEveryFrameThroughEverySource) {
    CheckTape({QStringLiteral("ntsc.dv"), false, 0, Sources({"auto", "file", "lav"})});
}

TEST(KelvaraInfoLongDV, PalType1AviEveryFrameThroughBothSources) {
    CheckTape({QStringLiteral("pal1.avi"), true, 1, Sources({"lav", "auto"})});
}

TEST(KelvaraInfoLongDV, NtscType1AviEveryFrameThroughBothSources) {
    CheckTape({QStringLiteral("ntsc1.avi"), false, 1, Sources({"lav", "auto"})});
}

TEST(KelvaraInfoLongDV, PalType2AviEveryFrameThroughBothSources) {
    CheckTape({QStringLiteral("pal2.avi"), true, 2, Sources({"auto", "lav"})});
}

TEST(KelvaraInfoLongDV, NtscType2AviEveryFrameThroughBothSources) {
    CheckTape({QStringLiteral("ntsc2.avi"), false, 2, Sources({"auto", "lav"})});
}

// Threads that keep every core busy until the object goes.
class TCoreLoad {
public:
    TCoreLoad() {
        const unsigned n = std::max(2u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < n; ++i)
            FThreads.emplace_back([this] {
                volatile uint64_t x = 0;
                while (!FStop.load(std::memory_order_relaxed))
                    x = x * 6364136223846793005u + 1442695040888963407u;
            });
    }
    ~TCoreLoad() {
        FStop.store(true);
        for (std::thread& t : FThreads)
            t.join();
    }

private:
    std::atomic<bool> FStop{false};
    std::vector<std::thread> FThreads;
};

// The race that lost frames and shifted codes showed in one run of three on a busy machine:
// the same tapes again and again with every core loaded.
TEST(KelvaraInfoLongDV, EveryFrameAndItsCodesWhileEveryCoreIsBusy) {
    QTemporaryDir dir;
    const TTape raw{QStringLiteral("busy.dv"), true, 0, {}};
    const TTape type2{QStringLiteral("busy2.avi"), false, 2, {}};
    const int64_t rawFrames = MakeTape(dir.filePath(raw.Name), raw);
    const int64_t type2Frames = MakeTape(dir.filePath(type2.Name), type2);
    TCoreLoad load;
    const int runs = kEverySource ? 4 : 1;
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE(testing::Message() << "run " << run);
        ExpectEveryFrame(Info(QStringLiteral("lav"), dir.filePath(raw.Name)), rawFrames, true,
                         "raw PAL via lav");
        ExpectEveryFrame(Info(QStringLiteral("auto"), dir.filePath(type2.Name)), type2Frames, false,
                         "type-2 NTSC");
    }
}

} // namespace

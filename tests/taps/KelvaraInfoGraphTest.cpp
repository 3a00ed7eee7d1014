// The frame keeper on real graphs (the file's source, the video tap, a real decoder, the keeper
// and the windowless renderer, as kelvara-info builds them) with clips whose every picture shows
// its own frame number: after a plain seek the keeper's position and the relayed DV codes belong
// to the picture on screen, and a frame-exact seek built from the keeper's mark and PassSamples
// shows exactly the target picture on MPEG-2 and H.264 clips.
#include "InfoGraph.h"
#include "platform/com/TaskMem.h"
#include "platform/filters/RendererInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/ui/ProcessMessages.h"
#include "taps/uTapMessages.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/taps/KelvaraInfoSupport.h"
#include "tests/taps/ShownNumber.h"
#include "tests/taps/TapTestKit.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

// kelvara-info's graph, paused, with the seeks of the navigation manager.
struct RealGraph {
    explicit RealGraph(const QString& path, TInfoSource source = TInfoSource::Auto) {
        TInfoOptions options;
        options.File = path.toStdString();
        options.Source = source;
        graph = std::make_unique<TInfoGraph>(options);
        const TInfoStatus built = graph->Build();
        EXPECT_TRUE(built.Ok()) << built.Message;
        marks.SetHook([this](const TLoggedMessage& m) {
            if (m.Msg == WM_MARKREACHED) {
                graph->Keeper()->SetPassSamples(true);
                graph->Keeper()->SetPositionTextReports(true);
            }
        });
    }
    bool Pause() {
        ComPtr<IMediaControl> control = QueryInterfaceOf<IMediaControl>(graph->Graph());
        return control && SUCCEEDED(control->Pause()) && Settle();
    }
    bool Settle() {
        return PumpUntil([&] { return StateOf(graph->Graph(), 0).result == S_OK; }, 60000);
    }
    bool SeekTo(REFERENCE_TIME at) {
        ComPtr<IMediaSeeking> seeking = QueryInterfaceOf<IMediaSeeking>(graph->Graph());
        return seeking &&
               seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                     AM_SEEKING_NoPositioning) == S_OK &&
               Settle();
    }
    // The navigation manager's frame-exact seek: hold every frame from a second before the
    // target until the keeper reaches the mark.
    bool PreciseSeek(REFERENCE_TIME target) {
        TFramesNotifier* keeper = graph->Keeper();
        keeper->SetPositionTextReports(false);
        keeper->SetMarkWindow(0, marks.Handle());
        keeper->SetMark(0, target);
        keeper->SetPassSamples(false);
        return SeekTo(std::max<REFERENCE_TIME>(0, target - 10000000));
    }
    int64_t ShownNumber() { return kelvara::test::ShownNumber(graph->VideoRenderer()); }
    std::unique_ptr<TInfoGraph> graph;
    TMessageLog marks;
};

class KeeperOnRealGraphs : public testing::Test {
protected:
    QString Make(const QString& name, QStringList args) {
        const QString path = dir.filePath(name);
        args.insert(1, path);
        const TRun r = RunTool(QStringLiteral("kelvara-mksample"), args);
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        return path;
    }
    QTemporaryDir dir;
};

struct TClipCase {
    const char* Name;
    const char* File;
    const char* Kind;
    TInfoSource Source;
    REFERENCE_TIME FrameDuration;
};

TEST_F(KeeperOnRealGraphs, APreciseSeekShowsExactlyTheTargetPicture) {
    const TClipCase clips[] = {
        {"MPEG-2 program stream", "m2.mpg", "mpeg2", TInfoSource::Auto, 400000},
        {"MPEG-2 through the MPEG-2 splitter", "m2f.mpg", "mpeg2", TInfoSource::File, 400000},
        {"H.264 in MP4", "h.mp4", "numbers", TInfoSource::Auto, 400000},
        {"H.264 in Matroska", "h.mkv", "h264-mkv", TInfoSource::Auto, 400000},
    };
    for (const TClipCase& c : clips) {
        SCOPED_TRACE(c.Name);
        const QString path =
            Make(QString::fromUtf8(c.File),
                 {QString::fromUtf8(c.Kind), QStringLiteral("--pattern"), QStringLiteral("numbers"),
                  QStringLiteral("--seconds"), QStringLiteral("5"), QStringLiteral("--no-audio")});
        RealGraph g(path, c.Source);
        ASSERT_TRUE(g.Pause());
        ASSERT_TRUE(g.graph->VideoTap()->TemporalCompression());
        EXPECT_EQ(g.graph->Keeper()->FrameDuration(), c.FrameDuration);
        for (int target : {37, 62, 13, 100, 49, 50, 24}) {
            SCOPED_TRACE(testing::Message() << "target frame " << target);
            const REFERENCE_TIME at = target * c.FrameDuration;
            const size_t marksBefore = g.marks.Of(WM_MARKREACHED).size();
            ASSERT_TRUE(g.PreciseSeek(at));
            EXPECT_EQ(g.marks.Of(WM_MARKREACHED).size(), marksBefore + 1);
            EXPECT_EQ(g.ShownNumber(), target);
            EXPECT_EQ(g.graph->Keeper()->Position(), at);
            EXPECT_TRUE(g.graph->Keeper()->PassSamples());
        }
    }
}

TEST_F(KeeperOnRealGraphs, AfterASeekPositionAndRelayedCodesBelongToThePictureOnScreen) {
    struct TDVCase {
        const char* Name;
        const char* File;
        bool Pal;
        int AviType;
    };
    const TDVCase cases[] = {{"PAL type 2", "p2.avi", true, 2},
                             {"PAL type 1", "p1.avi", true, 1},
                             {"NTSC raw", "n.dv", false, 0}};
    const QString date0 = QStringLiteral("2005-12-31T23:59:58");
    const QString tc0 = QStringLiteral("00:59:59:10");
    for (const TDVCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QStringList args{QStringLiteral("dv"),
                         QStringLiteral("--system"),
                         c.Pal ? QStringLiteral("pal") : QStringLiteral("ntsc"),
                         QStringLiteral("--pattern"),
                         QStringLiteral("numbers"),
                         QStringLiteral("--date"),
                         date0,
                         QStringLiteral("--timecode"),
                         tc0,
                         QStringLiteral("--seconds"),
                         QStringLiteral("4")};
        if (c.AviType)
            args << QStringLiteral("--avi-type") << QString::number(c.AviType);
        RealGraph g(Make(QString::fromUtf8(c.File), args));
        ASSERT_TRUE(g.Pause());
        const REFERENCE_TIME frame = g.graph->Keeper()->FrameDuration();
        EXPECT_EQ(frame, c.Pal ? 400000 : 333667);
        for (int target : {40, 12, 75, 0, 99, 51}) {
            SCOPED_TRACE(testing::Message() << "target frame " << target);
            // The start of the frame (an NTSC frame lasts 333 666.7 units: rounded down).
            const REFERENCE_TIME start = c.Pal ? target * 400000 : target * 10010000000LL / 30000;
            ASSERT_TRUE(g.SeekTo(start));
            const int64_t shown = g.ShownNumber();
            EXPECT_EQ(shown, target);
            EXPECT_EQ(g.graph->Keeper()->Position(), shown * frame);
            ProcessMessages();
            const std::optional<TframeData> codes = g.graph->Log().LastCodes();
            ASSERT_TRUE(codes);
            EXPECT_EQ(codes->TimecodeText, DVClipTimecode(tc0, shown, c.Pal));
            EXPECT_EQ(QString::fromStdString(IsoDateTime(codes->RecordingDate)),
                      DVClipDate(date0, shown, c.Pal));
        }
    }
}

} // namespace

// How a run of kelvara-info's graph ends when something goes wrong on the way. An error event
// of the graph says what it means (memory, a picture too large, any other failure) and stops the
// run; so do an exception that escapes a message handler, frames that the renderer drew but the
// log missed, and a graph that stops moving. None of them ends as a complete run.
#include "InfoGraph.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/GraphWait.h"
#include "platform/ui/Application.h"
#include "taps/uTapMessages.h"
#include "tests/taps/KelvaraInfoSupport.h"
#include "tests/taps/TapTestKit.h"

#include <functional>
#include <new>

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr REFERENCE_TIME kPalFrame = 400000;
// A message of the test's own.
constexpr UINT kPause = WM_KELVARA + 0x3F0;

class InfoGraphEndings : public testing::Test {
protected:
    void SetUp() override {
        clip = Made(1);
        // Errors that escape handlers are expected here; no message box for them.
        previousReport = Application().SetErrorReport([](const std::exception&) {});
    }
    void TearDown() override { Application().SetErrorReport(previousReport); }

    // A PAL DV clip of the given length, 25 frames a second.
    QString Made(int seconds) {
        const QString file = dir.filePath(QStringLiteral("c%1.dv").arg(seconds));
        const TRun made = RunTool(
            QStringLiteral("kelvara-mksample"),
            {QStringLiteral("dv"), file, QStringLiteral("--seconds"), QString::number(seconds)});
        EXPECT_EQ(made.ExitCode, 0) << made.Err.toStdString();
        return file;
    }
    std::unique_ptr<TInfoGraph> Built() {
        TInfoOptions options;
        options.File = clip.toStdString();
        auto graph = std::make_unique<TInfoGraph>(options);
        const TInfoStatus built = graph->Build();
        EXPECT_TRUE(built.Ok()) << built.Message;
        return graph;
    }
    // Runs action on the GUI thread when the keeper reaches frame n.
    void AtFrame(TInfoGraph& graph, int n, std::function<void()> action) {
        marks.SetHook([action = std::move(action)](const TLoggedMessage& m) {
            if (m.Msg == WM_MARKREACHED)
                action();
        });
        graph.Keeper()->SetMarkWindow(0, marks.Handle());
        graph.Keeper()->SetMark(0, n * kPalFrame);
    }
    static void Notify(TInfoGraph& graph, LONG code, HRESULT hr) {
        ComPtr<IMediaEventSink> sink = QueryInterfaceOf<IMediaEventSink>(graph.Graph());
        ASSERT_TRUE(sink);
        sink->Notify(code, LONG_PTR(hr), 0);
    }
    std::string Named(const std::string& text) const { return clip.toStdString() + ": " + text; }

    QTemporaryDir dir;
    QString clip;
    TMessageLog marks;
    TApplication::TErrorReport previousReport;
};

// Raised before the graph runs: the run ends at once (a frame that was on its way when it
// stopped may still be in the log) and the message names the failure.
TEST_F(InfoGraphEndings, ErrorEventsSayWhatTheyMean) {
    struct TCase {
        LONG Code;
        HRESULT Result;
        TInfoExit Exit; // the code without a frame shown
        const char* Text;
    };
    const TCase cases[] = {
        {EC_ERRORABORT, E_OUTOFMEMORY, TInfoExit::OutOfMemory, "out of memory"},
        {EC_ERRORABORT, KELVARA_E_PICTURE_TOO_LARGE, TInfoExit::TooLarge,
         "the picture is larger than the program can show"},
        {EC_ERRORABORT, VFW_E_INVALID_FILE_FORMAT, TInfoExit::NotDecodable,
         "error VFW_E_INVALID_FILE_FORMAT (0x8004022F)"},
        {EC_ERROR_STILLPLAYING, E_OUTOFMEMORY, TInfoExit::OutOfMemory, "out of memory"},
        {EC_COMPLETE, VFW_E_SAMPLE_REJECTED, TInfoExit::NotDecodable,
         "error VFW_E_SAMPLE_REJECTED (0x8004022B)"},
        {EC_USERABORT, S_OK, TInfoExit::NotDecodable, "playing was stopped"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        std::unique_ptr<TInfoGraph> graph = Built();
        Notify(*graph, c.Code, c.Result);
        const TInfoStatus played = graph->Play();
        const size_t frames = graph->Result().Frames.size();
        EXPECT_LT(frames, 250u);
        if (frames == 0) {
            EXPECT_EQ(played.Code, c.Exit);
            EXPECT_EQ(played.Message, Named(std::string("the video cannot be played: ") + c.Text));
        } else {
            EXPECT_EQ(played.Code, c.Exit == TInfoExit::NotDecodable ? TInfoExit::Stopped : c.Exit);
            EXPECT_EQ(played.Message, Named("playing stopped after " + std::to_string(frames) +
                                            (frames == 1 ? " frame: " : " frames: ") + c.Text));
        }
    }
}

// Raised after some frames: those are kept, and the message counts them.
TEST_F(InfoGraphEndings, AnErrorAfterSomeFramesKeepsThem) {
    std::unique_ptr<TInfoGraph> graph = Built();
    TInfoGraph& g = *graph;
    AtFrame(g, 5, [&g] { Notify(g, EC_ERRORABORT, VFW_E_INVALID_FILE_FORMAT); });
    const TInfoStatus played = g.Play();
    const size_t frames = g.Result().Frames.size();
    EXPECT_GE(frames, 5u);
    EXPECT_EQ(played.Code, TInfoExit::Stopped);
    EXPECT_EQ(played.Message, Named("playing stopped after " + std::to_string(frames) +
                                    " frames: error VFW_E_INVALID_FILE_FORMAT (0x8004022F)"));
}

// The handler of a message throws, as the log's does when a frame's record cannot be stored.
TEST_F(InfoGraphEndings, AnExceptionEscapingAHandlerStopsTheRun) {
    struct TCase {
        std::function<void()> Throw;
        TInfoExit Exit;
        std::string Text;
    };
    const TCase cases[] = {
        {[] { throw std::bad_alloc(); }, TInfoExit::OutOfMemory, "out of memory"},
        {[] { throw std::length_error("vector too long"); }, TInfoExit::Internal,
         "an error in the program: vector too long"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        std::unique_ptr<TInfoGraph> graph = Built();
        AtFrame(*graph, 5, c.Throw);
        const TInfoStatus played = graph->Play();
        const size_t frames = graph->Result().Frames.size();
        EXPECT_GE(frames, 5u);
        EXPECT_EQ(played.Code, c.Exit);
        EXPECT_EQ(played.Message,
                  Named("playing stopped after " + std::to_string(frames) + " frames: " + c.Text));
    }
}

// From frame 5 on the keeper reports no position, so the log records none of the frames that
// the renderer still draws.
TEST_F(InfoGraphEndings, FramesDrawnButNotLoggedFailTheRun) {
    std::unique_ptr<TInfoGraph> graph = Built();
    TFramesNotifier* keeper = graph->Keeper();
    AtFrame(*graph, 5, [keeper] { keeper->SetPositionTextReports(false); });
    const TInfoStatus played = graph->Play();
    EXPECT_EQ(played.Code, TInfoExit::Stopped);
    EXPECT_EQ(played.Message,
              Named("playing stopped after 5 frames: the frame log lost 20 of 25 frames drawn"));
    EXPECT_EQ(graph->Result().Frames.size(), 5u);
}

// Paused at frame 5 (from a message posted then, so that no thread waits on the handler): the
// renderer holds the frame, and nothing moves any more. On a loaded machine the message may
// arrive while Run still waits for the renderer; a handler must not drive the graph from inside
// such a wait, so it posts itself again until the wait is over. The graph plays without a clock,
// so the clip is long enough that the pause comes well before its end.
TEST_F(InfoGraphEndings, AGraphThatStopsMovingStalls) {
    clip = Made(10);
    std::unique_ptr<TInfoGraph> graph = Built();
    TInfoGraph* target = graph.get();
    const TWindowHandle window = marks.Handle();
    // The short limit starts with the pause: before it, a slow (sanitizer) build may well take
    // longer than that between two frames.
    marks.SetHook([target, window](const TLoggedMessage& m) {
        if (m.Msg == WM_MARKREACHED || (m.Msg == kPause && InsideGraphWait())) {
            window.Post(kPause);
        } else if (m.Msg == kPause) {
            EXPECT_TRUE(SUCCEEDED(QueryInterfaceOf<IMediaControl>(target->Graph())->Pause()));
            target->SetStallLimit(std::chrono::milliseconds(300));
        }
    });
    graph->Keeper()->SetMarkWindow(0, marks.Handle());
    graph->Keeper()->SetMark(0, 5 * kPalFrame);
    const TInfoStatus played = graph->Play();
    const size_t frames = graph->Result().Frames.size();
    EXPECT_GE(frames, 5u);
    EXPECT_LT(frames, 250u);
    EXPECT_EQ(played.Code, TInfoExit::Stopped);
    EXPECT_EQ(played.Message, Named("playing stopped after " + std::to_string(frames) +
                                    " frames: stalled: no frame and no event for 300 ms"));
}

} // namespace

// The graph manager on real graphs of the test kit's filters: run-state changes and their
// events, the end of playing, splicing a filter into a connection and clearing between two
// filters; the DV code relay's texts and its switch.
#include "media/uDVMan.h"
#include "platform/graph/MediaGuids.h"
#include "platform/ui/ProcessMessages.h"
#include "taps/uTapMessages.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestJunction.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

bool InGraph(IGraphBuilder* graph, IBaseFilter* filter) {
    FILTER_INFO info{};
    if (FAILED(filter->QueryFilterInfo(&info)))
        return false;
    const bool in = info.pGraph == graph;
    if (info.pGraph)
        info.pGraph->Release();
    return in;
}

struct SourceToSink {
    explicit SourceToSink(TGrapheMan& man, int frames = 250) : man(man) {
        TTestSourceConfig config;
        config.frames = frames;
        source = MakeComObject<TTestPushSource>(config);
        man.GraphBuilder()->AddFilter(source.Get(), u"Source");
        man.GraphBuilder()->AddFilter(sink.Get(), u"Sink");
        EXPECT_EQ(ConnectChain(man.GraphBuilder(), {source.Get(), sink.Get()}), S_OK);
        man.OnStateChange = [this](TGrapheManState s) { states.push_back(s); };
    }
    TGrapheMan& man;
    ComPtr<TTestPushSource> source;
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    std::vector<TGrapheManState> states;
};

TEST(TGrapheMan, ItsGraphStartsEmptyWithACaptureBuilderBoundToIt) {
    TGrapheMan man;
    ASSERT_TRUE(man.GraphBuilder());
    ASSERT_TRUE(man.CaptureGraphBuilder());
    ASSERT_TRUE(man.Seeking());
    ComPtr<IEnumFilters> e;
    ASSERT_EQ(man.GraphBuilder()->EnumFilters(e.ReleaseAndGetAddressOf()), S_OK);
    IBaseFilter* f = nullptr;
    EXPECT_EQ(e->Next(1, &f, nullptr), S_FALSE);
    EXPECT_FALSE(man.GraphEdit());
}

TEST(TGrapheMan, StateChangesAreReportedAfterTheGraphTookThem) {
    TGrapheMan man;
    SourceToSink g(man);
    ASSERT_TRUE(man.Pause());
    EXPECT_EQ(StateOf(man.GraphBuilder(), 0).state, State_Paused);
    EXPECT_GE(g.sink->RenderedCount(), 1u) << "the paused graph settled on its first frame";
    ASSERT_TRUE(man.Play());
    EXPECT_EQ(StateOf(man.GraphBuilder(), 0).state, State_Running);
    ASSERT_TRUE(man.Stop());
    EXPECT_EQ(g.states, (std::vector<TGrapheManState>{gmPaused, gmPlaying, gmStopped}));
}

TEST(TGrapheMan, PlayingToTheEndRaisesOnGraphCompleted) {
    TGrapheMan man;
    SourceToSink g(man, 10);
    int completed = 0;
    man.OnGraphCompleted = [&] { ++completed; };
    ASSERT_TRUE(man.Play());
    EXPECT_TRUE(PumpUntil([&] { return completed == 1; }, 10000));
    man.Stop();
}

// source -> pass-through spliced in front of the sink, then cleared away again.
TEST(TGrapheMan, AFilterSplicedIntoAConnectionAndClearedAway) {
    TGrapheMan man;
    SourceToSink g(man);
    ComPtr<TTestPassThrough> middle = MakeComObject<TTestPassThrough>();
    man.GraphBuilder()->AddFilter(middle.Get(), u"Middle");
    const ComPtr<IPin> sinkIn = PinOf(g.sink.Get(), PINDIR_INPUT);
    ASSERT_EQ(man.InsertIntoConnection(middle.Get(), sinkIn.Get(), false), S_OK);
    EXPECT_TRUE(man.IsUpstreamOf(g.sink.Get(), middle.Get()));
    EXPECT_TRUE(man.IsUpstreamOf(g.sink.Get(), g.source.Get()));
    ASSERT_TRUE(man.Pause());
    EXPECT_TRUE(g.sink->WaitForRendered(1, 5000));
    ASSERT_TRUE(man.Stop());
    EXPECT_TRUE(man.ClearBetween(g.sink.Get(), g.source.Get()));
    EXPECT_FALSE(InGraph(man.GraphBuilder(), middle.Get()));
    EXPECT_TRUE(InGraph(man.GraphBuilder(), g.sink.Get()));
    EXPECT_FALSE(man.IsUpstreamOf(g.sink.Get(), g.source.Get()));
    EXPECT_TRUE(man.ClearBetween(g.sink.Get(), g.sink.Get()));
}

TEST(TGrapheMan, ASpliceThatCannotBeMadeLeavesTheConnectionAsItWas) {
    TGrapheMan man;
    SourceToSink g(man);
    const ComPtr<IPin> sinkIn = PinOf(g.sink.Get(), PINDIR_INPUT);
    // A filter of one pin cannot go into a connection.
    ComPtr<TTestJunction> single = MakeComObject<TTestJunction>(1, 0);
    man.GraphBuilder()->AddFilter(single.Get(), u"Single");
    EXPECT_EQ(man.InsertIntoConnection(single.Get(), sinkIn.Get(), false), E_FAIL);
    // A pass-through that refuses the stream's type.
    ComPtr<TTestPassThrough> picky = MakeComObject<TTestPassThrough>();
    picky->AcceptMajorType(MEDIATYPE_Audio);
    man.GraphBuilder()->AddFilter(picky.Get(), u"Picky");
    EXPECT_TRUE(FAILED(man.InsertIntoConnection(picky.Get(), sinkIn.Get(), false)));
    EXPECT_TRUE(man.IsUpstreamOf(g.sink.Get(), g.source.Get()));
    EXPECT_FALSE(man.IsUpstreamOf(g.sink.Get(), picky.Get()));
    // An unconnected pin: the platform's answer, nothing changed.
    const ComPtr<IPin> free = PinOf(picky.Get(), PINDIR_OUTPUT);
    EXPECT_EQ(man.InsertIntoConnection(single.Get(), free.Get(), true), VFW_E_NOT_CONNECTED);
    ASSERT_TRUE(man.Pause());
    EXPECT_TRUE(g.sink->WaitForRendered(1, 5000));
    man.Stop();
}

// The DV relay: the keeper's DV code messages, as the tap's ring holds them, become texts.
struct DVRelay {
    DVRelay() {
        man.SetDVCodeTap(tap.Get());
        man.OnDVcode = [this](const QString& d, const QString& t) { texts.push_back(d + "|" + t); };
    }
    // Posts a DV code message for a record written into the tap's ring as a frame would be.
    void Post(const TframeData& record) {
        const_cast<TTapRing<TframeData>&>(tap->FrameDataRing()).Write(record, 0, false);
        const TRingAnnouncement slot =
            tap->FrameDataRing().Announce(tap->FrameDataRing().WriteIndex());
        man.PostMessage(WM_DVCODE, RecordWParam(0, slot), LPARAM(slot.Slot));
    }
    ComPtr<TVideoNotifier> tap = MakeComObject<TVideoNotifier>();
    TDVMan man;
    std::vector<QString> texts;
};

TEST(TDVMan, DVCodesBecomeTextsAndMissingOnesTheManagersOwn) {
    DVRelay r;
    EXPECT_TRUE(r.tap->DVRelay());
    EXPECT_EQ(r.tap->DVCodeWindow().IsWindow(), true);
    TframeData both;
    both.DateValid = both.TimecodeValid = true;
    both.DateText = QStringLiteral("12/25/2005 - 3:04:05 PM");
    both.TimecodeText = QStringLiteral("1:02:03:04");
    r.Post(both);
    r.man.NoDatecodeStr = QStringLiteral("no date here");
    r.Post(TframeData{});
    ProcessMessages();
    r.man.SetDVRelay(false);
    r.Post(both);
    ProcessMessages();
    EXPECT_EQ(r.texts, (std::vector<QString>{"12/25/2005 - 3:04:05 PM|1:02:03:04",
                                             "no date here|NoTimecode"}));
    r.man.SetDVCodeTap(nullptr);
    EXPECT_FALSE(r.tap->DVRelay());
}

} // namespace

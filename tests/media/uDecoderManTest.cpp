// The decoder choice on real graphs: the test source's stream goes through a tap into a sink
// renderer, decoded by one of three registered test decoders (A has the highest merit). The
// remembered decoder comes first, then the owner's candidates, then the platform's choices with
// each refused one excluded, and when nothing is left the walk starts again; the run state is
// kept; the filters to splice after the decoder, and a decoder blamed when they do not fit.
#include "media/uDecoders.h"
#include "media/uGrapheMan.h"
#include "platform/com/Guid.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestDecoder.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

const GUID kH264{0x34363248, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

class DecoderChoice : public testing::Test {
protected:
    explicit DecoderChoice(REFGUID subtype = MEDIASUBTYPE_TestCodec) {
        TTestSourceConfig config;
        config.subtype = subtype;
        source = MakeComObject<TTestPushSource>(config);
        IGraphBuilder* g = graph.GraphBuilder();
        g->AddFilter(source.Get(), u"Source");
        g->AddFilter(tap.Get(), u"Tap");
        g->AddFilter(sink.Get(), u"Sink");
        EXPECT_EQ(ConnectChain(g, {source.Get(), tap.Get()}), S_OK);
        man.SetLinks(&exclusions, &memory, NoVideoDecoder());
        man.SetGraph(&graph);
    }
    ~DecoderChoice() override { graph.Stop(); }
    QString Current() const { return man.CurrentDecoder ? man.CurrentDecoder->Name() : QString(); }
    bool ShowsAFrame() {
        sink->ClearRendered();
        return graph.Pause() && sink->WaitForRendered(1, 5000);
    }
    TFilterRec* Record(int which) {
        return TFilterRecs::Make(TestDecoderClsid(which), fkRegistered,
                                 QStringLiteral("Test Decoder %1").arg(QChar('A' + which)));
    }

    TScopedTestDecoder a{0, MERIT_NORMAL + 2};
    TScopedTestDecoder b{1, MERIT_NORMAL + 1};
    TScopedTestDecoder c{2, MERIT_NORMAL};
    TGrapheMan graph;
    ComPtr<TTestPushSource> source;
    ComPtr<TTestPassThrough> tap = MakeComObject<TTestPassThrough>();
    ComPtr<TTestSinkRenderer> sink = MakeComObject<TTestSinkRenderer>();
    TDecoderLinks exclusions;
    TDecoderLinks memory;
    TDecoderMan man;
};

TEST_F(DecoderChoice, WithNothingRememberedThePlatformChoosesAndItIsRemembered) {
    ASSERT_TRUE(man.ConnectDecoder(tap.Get(), sink.Get()));
    EXPECT_EQ(man.Stage(), 2);
    EXPECT_EQ(Current(), QStringLiteral("Test Decoder A"));
    EXPECT_EQ(man.CurrentDecoder->Clsid(), TestDecoderClsid(0));
    EXPECT_EQ(man.Key().Sub, MEDIASUBTYPE_TestCodec);
    EXPECT_EQ(memory.GetLink(man.Key()), man.CurrentDecoder);
    EXPECT_TRUE(ShowsAFrame());
}

TEST_F(DecoderChoice, NextDecoderWalksRememberedCandidatesThenPlatformAndStartsAgain) {
    man.RememberedDecoder = Record(2);
    man.Candidates = {Record(1), Record(2)}; // the second is the remembered one: not tried twice
    ASSERT_TRUE(man.ConnectDecoder(tap.Get(), sink.Get()));
    EXPECT_EQ(Current(), QStringLiteral("Test Decoder C"));
    EXPECT_EQ(man.Stage(), 1);
    EXPECT_TRUE(ShowsAFrame());
    std::vector<QString> walk;
    for (int n = 0; n < 5; ++n) {
        ASSERT_TRUE(man.NextDecoder()) << n;
        walk.push_back(Current());
        EXPECT_TRUE(sink->WaitForRendered(1, 5000)) << "the new decoder shows the paused frame";
        sink->ClearRendered();
    }
    // B (candidate), then the platform: A, B, C each excluded once shown, then C again from the
    // start with an empty exclusion set.
    EXPECT_EQ(walk, (std::vector<QString>{"Test Decoder B", "Test Decoder A", "Test Decoder B",
                                          "Test Decoder C", "Test Decoder C"}));
    EXPECT_EQ(man.Stage(), 1);
    EXPECT_TRUE(man.ExclusionSet().isEmpty());
}

TEST_F(DecoderChoice, NextDecoderKeepsPausedAndRunningGraphsAndPausesAStoppedOne) {
    ASSERT_TRUE(man.ConnectDecoder(tap.Get(), sink.Get()));
    ASSERT_TRUE(graph.Play());
    ASSERT_TRUE(man.NextDecoder());
    EXPECT_EQ(StateOf(graph.GraphBuilder(), 1000).state, State_Running);
    ASSERT_TRUE(graph.Pause());
    ASSERT_TRUE(man.NextDecoder());
    EXPECT_EQ(StateOf(graph.GraphBuilder(), 1000).state, State_Paused);
    ASSERT_TRUE(graph.Stop());
    ASSERT_TRUE(man.NextDecoder());
    EXPECT_EQ(StateOf(graph.GraphBuilder(), 1000).state, State_Paused);
}

TEST_F(DecoderChoice, TheFinalFilterGoesRightBeforeTheRenderer) {
    ComPtr<TTestPassThrough> keeper = MakeComObject<TTestPassThrough>();
    TFilterRec* final =
        TFilterRecs::Make(TestDecoderClsid(5), fkSupplied, QStringLiteral("Keeper"));
    final->SetInstance(keeper.Get());
    man.FinalFilter = final;
    ASSERT_TRUE(man.ConnectDecoder(tap.Get(), sink.Get()));
    const ComPtr<IPin> sinkIn = PinOf(sink.Get(), PINDIR_INPUT);
    ComPtr<IPin> feeder;
    ASSERT_EQ(sinkIn->ConnectedTo(feeder.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(FilterOf(feeder.Get()).Get(), static_cast<IBaseFilter*>(keeper.Get()));
    EXPECT_TRUE(ShowsAFrame());
}

// A final filter that refuses the decoded stream: the decoder is blamed and excluded, nothing
// stays between tap and renderer.
TEST_F(DecoderChoice, ADecoderWhoseOutputTheFinalFilterRefusesIsExcluded) {
    ComPtr<TTestPassThrough> picky = MakeComObject<TTestPassThrough>();
    picky->AcceptMajorType(MEDIATYPE_Audio);
    TFilterRec* final = TFilterRecs::Make(TestDecoderClsid(6), fkSupplied, QStringLiteral("Picky"));
    final->SetInstance(picky.Get());
    man.FinalFilter = final;
    EXPECT_FALSE(man.ConnectDecoder(tap.Get(), sink.Get()));
    EXPECT_TRUE(man.ExclusionSet().contains(GuidToString(TestDecoderClsid(0))));
    EXPECT_FALSE(graph.IsUpstreamOf(sink.Get(), tap.Get()));
}

class H264Choice : public DecoderChoice {
protected:
    H264Choice() : DecoderChoice(kH264) {
        man.SetLinks(&VideoExclusions(), &memory, NoVideoDecoder());
    }
};

// No test decoder takes H.264; the platform's choice ran with the DTV-DVD decoder excluded.
TEST_F(H264Choice, ThePlatformsChoiceForH264ExcludesTheDtvDvdDecoder) {
    EXPECT_FALSE(man.ConnectDecoder(tap.Get(), sink.Get()));
    EXPECT_EQ(man.Stage(), 2);
    EXPECT_EQ(man.ExclusionSet(),
              QStringList{QStringLiteral("{212690FB-83E5-4526-8FD7-74478B7939CD}")});
    EXPECT_EQ(man.Key().Sub, kH264);
}

} // namespace

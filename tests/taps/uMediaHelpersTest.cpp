// The graph walking helpers on branching graphs.
#include "taps/uMediaHelpers.h"

#include "platform/graph/Enumerators.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestJunction.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

bool InGraph(IGraphBuilder* graph, IBaseFilter* filter) {
    ComPtr<IEnumFilters> e;
    graph->EnumFilters(e.ReleaseAndGetAddressOf());
    IBaseFilter* f = nullptr;
    bool found = false;
    while (e->Next(1, &f, nullptr) == S_OK) {
        found = found || f == filter;
        f->Release();
    }
    return found;
}

HRESULT Link(IGraphBuilder* graph, IBaseFilter* from, int out, IBaseFilter* to, int in) {
    return graph->ConnectDirect(PinOf(from, PINDIR_OUTPUT, out).Get(),
                                PinOf(to, PINDIR_INPUT, in).Get(), nullptr);
}

// Two sources A and B; A -> P1 -> J.In0, B -> P2 -> J.In1, and a second output of A -> P3 -> J.In2;
// J -> R.
struct Branches {
    Branches() {
        TTestSourceConfig two;
        two.pins = 2;
        a = MakeComObject<TTestPushSource>(two);
        for (auto [f, name] :
             std::initializer_list<std::pair<IBaseFilter*, const char16_t*>>{{a.Get(), u"A"},
                                                                             {b.Get(), u"B"},
                                                                             {p1.Get(), u"P1"},
                                                                             {p2.Get(), u"P2"},
                                                                             {p3.Get(), u"P3"},
                                                                             {j.Get(), u"J"},
                                                                             {r.Get(), u"R"}})
            EXPECT_EQ(graph->AddFilter(f, name), S_OK);
        EXPECT_EQ(Link(graph.Get(), a.Get(), 0, p1.Get(), 0), S_OK);
        EXPECT_EQ(Link(graph.Get(), p1.Get(), 0, j.Get(), 0), S_OK);
        EXPECT_EQ(Link(graph.Get(), b.Get(), 0, p2.Get(), 0), S_OK);
        EXPECT_EQ(Link(graph.Get(), p2.Get(), 0, j.Get(), 1), S_OK);
        EXPECT_EQ(Link(graph.Get(), a.Get(), 1, p3.Get(), 0), S_OK);
        EXPECT_EQ(Link(graph.Get(), p3.Get(), 0, j.Get(), 2), S_OK);
        EXPECT_EQ(Link(graph.Get(), j.Get(), 0, r.Get(), 0), S_OK);
    }
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPushSource> a;
    ComPtr<TTestPushSource> b = MakeComObject<TTestPushSource>();
    ComPtr<TTestPassThrough> p1 = MakeComObject<TTestPassThrough>();
    ComPtr<TTestPassThrough> p2 = MakeComObject<TTestPassThrough>();
    ComPtr<TTestPassThrough> p3 = MakeComObject<TTestPassThrough>();
    ComPtr<TTestJunction> j = MakeComObject<TTestJunction>(3, 1);
    ComPtr<TTestJunction> r = MakeComObject<TTestJunction>(1, 0);
};

TEST(uMediaHelpers, HasConnectedPin) {
    Branches g;
    ComPtr<TTestPassThrough> loose = MakeComObject<TTestPassThrough>();
    EXPECT_TRUE(HasConnectedPin(g.p1.Get()));
    EXPECT_TRUE(HasConnectedPin(g.r.Get()));
    EXPECT_FALSE(HasConnectedPin(loose.Get()));
    EXPECT_FALSE(HasConnectedPin(nullptr));
}

TEST(uMediaHelpers, IsUpstreamOfFollowsEveryInputBranch) {
    Branches g;
    struct Case {
        const char* what;
        IBaseFilter* filter;
        IBaseFilter* candidate;
        bool expected;
    };
    const Case cases[] = {
        {"direct feeder", g.j.Get(), g.p1.Get(), true},
        {"through a branch", g.j.Get(), g.a.Get(), true},
        {"second branch", g.j.Get(), g.b.Get(), true},
        {"two levels up", g.r.Get(), g.b.Get(), true},
        {"downstream is not upstream", g.p1.Get(), g.j.Get(), false},
        {"other branch", g.p2.Get(), g.a.Get(), false},
        {"itself", g.j.Get(), g.j.Get(), false},
        {"nil filter", nullptr, g.a.Get(), false},
        {"nil candidate", g.j.Get(), nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUpstreamOf(c.filter, c.candidate), c.expected) << c.what;
}

TEST(uMediaHelpers, RemoveChainBetweenRemovesEveryPathAndCutsOtherBranches) {
    Branches g;
    ASSERT_TRUE(RemoveChainBetween(g.j.Get(), g.a.Get(), g.graph.Get()));
    // Both paths from A to J are gone; the ends stay.
    EXPECT_FALSE(InGraph(g.graph.Get(), g.p1.Get()));
    EXPECT_FALSE(InGraph(g.graph.Get(), g.p3.Get()));
    EXPECT_TRUE(InGraph(g.graph.Get(), g.a.Get()));
    EXPECT_TRUE(InGraph(g.graph.Get(), g.j.Get()));
    EXPECT_FALSE(HasConnectedPin(g.a.Get()));
    // B's branch does not lead to A: P2 is cut off from J but stays in the graph, fed by B.
    EXPECT_TRUE(InGraph(g.graph.Get(), g.p2.Get()));
    EXPECT_TRUE(IsUpstreamOf(g.p2.Get(), g.b.Get()));
    EXPECT_FALSE(IsUpstreamOf(g.j.Get(), g.p2.Get()));
    // J still feeds R.
    EXPECT_TRUE(IsUpstreamOf(g.r.Get(), g.j.Get()));
}

TEST(uMediaHelpers, RemoveChainBetweenChangesNothingWithoutAPath) {
    Branches g;
    EXPECT_TRUE(RemoveChainBetween(g.p1.Get(), g.b.Get(), g.graph.Get()));
    EXPECT_TRUE(RemoveChainBetween(g.j.Get(), g.j.Get(), g.graph.Get()));
    EXPECT_TRUE(RemoveChainBetween(g.a.Get(), g.r.Get(), g.graph.Get()));
    EXPECT_TRUE(IsUpstreamOf(g.r.Get(), g.a.Get()));
    EXPECT_TRUE(IsUpstreamOf(g.r.Get(), g.b.Get()));
    EXPECT_TRUE(HasConnectedPin(g.p1.Get()));
}

TEST(uMediaHelpers, RemoveChainBetweenNeighboursOnlyDisconnects) {
    Branches g;
    EXPECT_TRUE(RemoveChainBetween(g.r.Get(), g.j.Get(), g.graph.Get()));
    EXPECT_FALSE(HasConnectedPin(g.r.Get()));
    EXPECT_TRUE(InGraph(g.graph.Get(), g.j.Get()));
    EXPECT_TRUE(IsUpstreamOf(g.j.Get(), g.a.Get()));
}

TEST(uMediaHelpers, AFailedRemovalStopsTheWalk) {
    Branches g;
    // Removals go to another graph, where the filters are not: the first one fails.
    ComPtr<IGraphBuilder> other = MakeGraph();
    EXPECT_TRUE(RemoveChainBetween(g.j.Get(), g.a.Get(), other.Get()));
    EXPECT_TRUE(InGraph(g.graph.Get(), g.p1.Get()));
    // The walk stopped after the first input: the other inputs of J are still connected.
    EXPECT_TRUE(IsUpstreamOf(g.j.Get(), g.b.Get()));
    EXPECT_TRUE(IsUpstreamOf(g.j.Get(), g.p3.Get()));
}

TEST(uMediaHelpers, ALoopInTheConnectionsEndsTheWalk) {
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestJunction> j = MakeComObject<TTestJunction>(2, 1);
    ComPtr<TTestPassThrough> p = MakeComObject<TTestPassThrough>();
    ComPtr<TTestPushSource> s = MakeComObject<TTestPushSource>();
    graph->AddFilter(j.Get(), u"J");
    graph->AddFilter(p.Get(), u"P");
    graph->AddFilter(s.Get(), u"S");
    ASSERT_EQ(Link(graph.Get(), j.Get(), 0, p.Get(), 0), S_OK);
    ASSERT_EQ(Link(graph.Get(), p.Get(), 0, j.Get(), 0), S_OK);
    EXPECT_FALSE(IsUpstreamOf(j.Get(), s.Get()));
    EXPECT_TRUE(IsUpstreamOf(j.Get(), p.Get()));
}

} // namespace

// Random run / pause / stop / seek / rate / filter removal while samples flow, with a transform
// that sends a message to the GUI thread for every sample and waits for it to be handled (as
// the frame keeper does). Nothing may deadlock or crash; under ThreadSanitizer nothing may race.
#include "platform/graph/GraphWait.h"
#include "platform/ui/MessageWindow.h"
#include "platform/ui/ProcessMessages.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestDecoder.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"

#include <atomic>
#include <random>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr UINT kFrameMessage = 0x2420;

// source (2 streams, key frame every 5) -> decoder -> sender -> renderer
//                                        -> decoder -> renderer
struct Storm {
    Storm() {
        TTestSourceConfig config;
        config.pins = 2;
        config.frames = 3000;
        config.keyInterval = 5;
        config.subtype = MEDIASUBTYPE_TestCodec;
        config.frameDuration = 100000; // 100 frames a second: samples keep flowing
        source = MakeComObject<TTestPushSource>(config);
        graph->AddFilter(source.Get(), u"Source");
        graph->AddFilter(decoder1.Get(), u"Decoder 1");
        graph->AddFilter(sender.Get(), u"Sender");
        graph->AddFilter(sink1.Get(), u"Sink 1");
        ConnectFirst();
        ConnectSecond();
        sender->SetHook([this](IMediaSample* sample) {
            TFrameStamp stamp;
            ReadStamp(sample, &stamp);
            window.Send(kFrameMessage, stamp.frame, 0);
            ++sent;
            return S_OK;
        });
    }
    void ConnectFirst() {
        EXPECT_EQ(
            ConnectChain(graph.Get(), {source.Get(), decoder1.Get(), sender.Get(), sink1.Get()}),
            S_OK);
    }
    // Adds the second stream's filters (again, after a removal) and connects them.
    void ConnectSecond() {
        decoder2 = MakeComObject<TTestDecoder>();
        sink2 = MakeComObject<TTestSinkRenderer>();
        graph->AddFilter(decoder2.Get(), u"Decoder 2");
        graph->AddFilter(sink2.Get(), u"Sink 2");
        EXPECT_EQ(graph->ConnectDirect(PinOf(source.Get(), PINDIR_OUTPUT, 1).Get(),
                                       PinOf(decoder2.Get(), PINDIR_INPUT).Get(), nullptr),
                  S_OK);
        EXPECT_EQ(ConnectChain(graph.Get(), {decoder2.Get(), sink2.Get()}), S_OK);
        secondPresent = true;
    }
    void RemoveSecond(std::mt19937& random) {
        IBaseFilter* victims[] = {decoder2.Get(), sink2.Get()};
        IBaseFilter* first = victims[random() % 2];
        EXPECT_EQ(graph->RemoveFilter(first), S_OK);
        EXPECT_EQ(graph->RemoveFilter(first == victims[0] ? victims[1] : victims[0]), S_OK);
        secondPresent = false;
    }

    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TTestPushSource> source;
    ComPtr<TTestDecoder> decoder1 = MakeComObject<TTestDecoder>();
    ComPtr<TTestPassThrough> sender = MakeComObject<TTestPassThrough>();
    ComPtr<TTestSinkRenderer> sink1 = MakeComObject<TTestSinkRenderer>();
    ComPtr<TTestDecoder> decoder2;
    ComPtr<TTestSinkRenderer> sink2;
    bool secondPresent = false;
    ComPtr<IMediaControl> control = graph.As<IMediaControl>();
    ComPtr<IMediaSeeking> seeking = graph.As<IMediaSeeking>();
    std::atomic<int> sent{0};
    int handled = 0;
    LONGLONG lastPosition = 0;
    // The GUI side asks the graph where it is, as the navigation does on each frame message.
    TMessageWindow window{[this](TMessage& m) {
        if (m.Msg == kFrameMessage) {
            ++handled;
            seeking->GetCurrentPosition(&lastPosition);
        }
    }};
};

class GraphStress : public testing::TestWithParam<unsigned> {};

TEST_P(GraphStress, RandomControlWhileSamplesFlowNeverHangs) {
    Storm s;
    std::mt19937 random(GetParam());
    const int frames = 3000;
    for (int step = 0; step < 250; ++step) {
        OAFilterState state = State_Stopped;
        s.control->GetState(0, &state);
        switch (random() % 9) {
        case 0:
        case 1:
            EXPECT_TRUE(SUCCEEDED(s.control->Run()));
            break;
        case 2:
            EXPECT_TRUE(SUCCEEDED(s.control->Pause()));
            break;
        case 3:
            EXPECT_TRUE(SUCCEEDED(s.control->Stop()));
            break;
        case 4:
        case 5: {
            LONGLONG at = LONGLONG(random() % frames) * 100000;
            EXPECT_TRUE(SUCCEEDED(s.seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning,
                                                          nullptr, AM_SEEKING_NoPositioning)));
            break;
        }
        case 6:
            s.control->GetState(LONG(random() % 30), &state);
            break;
        case 7:
            if (s.secondPresent)
                s.RemoveSecond(random);
            else if (state == State_Stopped)
                s.ConnectSecond();
            break;
        default:
            if (state == State_Stopped && random() % 2) {
                // Without a clock the samples flow as fast as they can.
                if (random() % 2)
                    s.graph.As<IMediaFilter>()->SetSyncSource(nullptr);
                else
                    s.graph->SetDefaultSyncSource();
            } else {
                s.seeking->SetRate(random() % 2 ? 1.0 : 2.0);
            }
            break;
        }
        // Sometimes the GUI thread lets samples flow for a moment while it serves messages,
        // sometimes it is busy elsewhere and serves nothing.
        switch (random() % 3) {
        case 0:
            GraphWaitUntil([] { return false; }, int(random() % 4));
            break;
        case 1:
            ProcessMessages();
            break;
        default:
            break;
        }
    }
    EXPECT_EQ(s.control->Stop(), S_OK);
    ProcessMessages();
    EXPECT_GT(s.sent.load(), 0);
    EXPECT_EQ(s.handled, s.sent.load()) << "every send was handled before the graph stopped";
}

INSTANTIATE_TEST_SUITE_P(Seeds, GraphStress, testing::Values(12345u, 777u, 31337u));

} // namespace

// The video renderer in a graph: pause and its intermediate state, seeks with preroll, playing
// to the end, frames drawn and sync offset, format changes, configuration and registration.
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterRenderers.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/RendererTestBed.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/ManualClock.h"

#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr LONG kWidth = 40;
constexpr LONG kHeight = 30;
constexpr REFERENCE_TIME kFrame = 400000;

TEST(VideoRendererState, APausedRendererIsIntermediateUntilItHoldsAFrame) {
    TVideoBed v(PatternVideo(MEDIASUBTYPE_RGB32, kWidth, kHeight));
    ASSERT_EQ(v.connected, S_OK);
    v.source->HoldAt(0);
    EXPECT_EQ(v.control->Pause(), S_FALSE);
    EXPECT_EQ(StateOf(v.graph.Get(), 0).result, VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(v.FramesDrawn(), 0);
    EXPECT_TRUE(v.CurrentImage().isNull());
    v.source->ReleaseHold();
    ASSERT_TRUE(PumpUntil([&] { return StateOf(v.graph.Get(), 0).result == S_OK; }, 30000));
    EXPECT_EQ(StateOf(v.graph.Get(), 0).state, State_Paused);
    EXPECT_EQ(v.FramesDrawn(), 1);
    EXPECT_EQ(ImageDifference(v.CurrentImage(), PatternImage(0, kWidth, kHeight)), "");
}

TEST(VideoRendererState, APausedSeekShowsTheTargetFrameAndNoneOfItsPreroll) {
    TRendererSourceConfig config = PatternVideo(MEDIASUBTYPE_RGB32, kWidth, kHeight, 20);
    config.keyInterval = 5;
    TVideoBed v(config);
    ASSERT_EQ(v.connected, S_OK);
    ASSERT_TRUE(v.PauseAndWait());
    const int drawn = v.FramesDrawn();
    // Held before the target: the preroll frames 5 and 6 have passed, the renderer waits.
    v.source->HoldAt(7);
    LONGLONG at = 7 * kFrame;
    ASSERT_EQ(v.seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    ASSERT_TRUE(PumpUntil([&] { return v.source->Delivered() >= 3; }, 30000));
    EXPECT_EQ(StateOf(v.graph.Get(), 0).result, VFW_S_STATE_INTERMEDIATE);
    // The old frame stays on show meanwhile.
    EXPECT_EQ(ImageDifference(v.CurrentImage(), PatternImage(0, kWidth, kHeight)), "");
    v.source->ReleaseHold();
    ASSERT_TRUE(PumpUntil([&] { return StateOf(v.graph.Get(), 0).result == S_OK; }, 30000));
    EXPECT_EQ(ImageDifference(v.CurrentImage(), PatternImage(7, kWidth, kHeight)), "");
    EXPECT_EQ(v.FramesDrawn(), drawn + 1);
    LONGLONG position = -1;
    ASSERT_EQ(v.seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 7 * kFrame);
}

TEST(VideoRendererState, PlayingToTheEndDrawsEveryFrameAndLeavesTheLastOnShow) {
    TVideoBed v(PatternVideo(MEDIASUBTYPE_RGB32, kWidth, kHeight, 12));
    ASSERT_EQ(v.connected, S_OK);
    ASSERT_EQ(v.graph.As<IMediaFilter>()->SetSyncSource(nullptr), S_OK);
    v.control->Run();
    ASSERT_EQ(WaitForCompletion(v.graph.Get(), 30000), EC_COMPLETE);
    EXPECT_EQ(v.FramesDrawn(), 12);
    EXPECT_EQ(ImageDifference(v.CurrentImage(), PatternImage(11, kWidth, kHeight)), "");
    // Stopped, the last frame is still the current image; disconnected, there is none.
    v.control->Stop();
    EXPECT_EQ(ImageDifference(v.CurrentImage(), PatternImage(11, kWidth, kHeight)), "");
    ASSERT_EQ(v.graph->RemoveFilter(v.renderer.Get()), S_OK);
    EXPECT_TRUE(v.CurrentImage().isNull());
}

TEST(VideoRendererState, TheAverageSyncOffsetSaysHowLateFramesWereDrawn) {
    TVideoBed v(PatternVideo(MEDIASUBTYPE_RGB32, kWidth, kHeight, 20));
    ASSERT_EQ(v.connected, S_OK);
    ComPtr<TManualClock> clock = MakeComObject<TManualClock>();
    clock->Set(500 * UNITS);
    ASSERT_EQ(v.graph.As<IMediaFilter>()->SetSyncSource(clock.Get()), S_OK);
    ASSERT_EQ(v.control->Run(), S_OK);
    // Stream time 0 is 10 ms ahead of the clock. Jumping to 140 ms of stream time makes
    // frames 1, 2 and 3 (due at 40, 80, 120 ms) late by 100, 60 and 20 ms: 60 on average.
    clock->Advance(10 * MILLISECONDS + 3 * kFrame + 20 * MILLISECONDS);
    ASSERT_TRUE(PumpUntil([&] { return v.FramesDrawn() == 4; }, 30000));
    int average = -1;
    ASSERT_EQ(v.renderer->get_AvgSyncOffset(&average), S_OK);
    EXPECT_EQ(average, 60);
    EXPECT_EQ(ImageDifference(v.CurrentImage(), PatternImage(3, kWidth, kHeight)), "");
}

TEST(VideoRendererState, AFormatChangeOnASampleResizesThePicture) {
    TRendererSourceConfig config = PatternVideo(MEDIASUBTYPE_RGB32, kWidth, kHeight, 6);
    config.changeAt = 3;
    config.changedType = RgbVideoType(MEDIASUBTYPE_RGB32, 24, -16, kFrame);
    config.fill = [](int index, BYTE* data, LONG size) {
        return index < 3 ? WriteBitmap(PatternImage(index, kWidth, kHeight), data, size, 4, false)
                         : WriteBitmap(PatternImage(index, 24, 16), data, size, 4, true);
    };
    TVideoBed v(config);
    ASSERT_EQ(v.connected, S_OK);
    v.graph.As<IMediaFilter>()->SetSyncSource(nullptr);
    v.control->Run();
    ASSERT_EQ(WaitForCompletion(v.graph.Get(), 30000), EC_COMPLETE);
    LONG w = 0, h = 0;
    ASSERT_EQ(v.renderer->GetNativeVideoSize(&w, &h, nullptr, nullptr), S_OK);
    EXPECT_EQ(QSize(w, h), QSize(24, 16));
    EXPECT_EQ(ImageDifference(v.CurrentImage(), PatternImage(5, 24, 16)), "");
    ComPtr<IMediaEventEx> events = v.graph.As<IMediaEventEx>();
    bool sizeChanged = false;
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (events->GetEvent(&code, &p1, &p2, 0) == S_OK)
        if (code == EC_VIDEO_SIZE_CHANGED) {
            sizeChanged = true;
            EXPECT_EQ(p1, LONG_PTR((16 << 16) | 24));
        }
    EXPECT_TRUE(sizeChanged);
}

TEST(VideoRendererState, TheConfigurationIsFixedOnceTheInputIsConnected) {
    ComPtr<CVideoMixingRenderer9> renderer = MakeComObject<CVideoMixingRenderer9>();
    DWORD mode = 0;
    ASSERT_EQ(renderer->GetRenderingMode(&mode), S_OK);
    EXPECT_EQ(mode, VMR9Mode_Windowed);
    EXPECT_EQ(renderer->SetRenderingMode(VMR9Mode_Renderless), E_NOTIMPL);
    EXPECT_EQ(renderer->SetRenderingMode(3), E_INVALIDARG);
    EXPECT_EQ(renderer->SetRenderingMode(VMR9Mode_Windowless), S_OK);
    EXPECT_EQ(renderer->SetNumberOfStreams(0), E_INVALIDARG);
    EXPECT_EQ(renderer->SetNumberOfStreams(MAX_MIXER_STREAMS + 1), E_INVALIDARG);
    EXPECT_EQ(renderer->SetNumberOfStreams(4), S_OK);
    DWORD streams = 0;
    ASSERT_EQ(renderer->GetNumberOfStreams(&streams), S_OK);
    EXPECT_EQ(streams, 4u);
    const VMR9NormalizedRect whole{0, 0, 1, 1};
    EXPECT_EQ(renderer->SetOutputRect(3, &whole), S_OK);
    EXPECT_EQ(renderer->SetOutputRect(4, &whole), E_INVALIDARG);
    EXPECT_EQ(renderer->SetRenderingPrefs(0x80), E_INVALIDARG);
    EXPECT_EQ(renderer->SetRenderingPrefs(RenderPrefs9_DoNotRenderBorder), S_OK);

    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<TRendererTestSource> source =
        MakeComObject<TRendererTestSource>(PatternVideo(MEDIASUBTYPE_RGB32, 8, 8));
    graph->AddFilter(source.Get(), u"Source");
    graph->AddFilter(renderer.Get(), u"Renderer");
    ASSERT_EQ(ConnectChain(graph.Get(), {source.Get(), renderer.Get()}), S_OK);
    EXPECT_EQ(renderer->SetRenderingMode(VMR9Mode_Windowed), VFW_E_WRONG_STATE);
    EXPECT_EQ(renderer->SetNumberOfStreams(2), VFW_E_WRONG_STATE);
    ASSERT_EQ(renderer->GetRenderingMode(&mode), S_OK);
    EXPECT_EQ(mode, VMR9Mode_Windowless);
}

TEST(VideoRendererState, MonitorsAreTheScreensOfTheToolkit) {
    ComPtr<CVideoMixingRenderer9> renderer = MakeComObject<CVideoMixingRenderer9>();
    DWORD count = 0;
    ASSERT_EQ(renderer->GetAvailableMonitors(nullptr, 0, &count), S_OK);
    ASSERT_GE(count, 1u);
    std::vector<VMR9MonitorInfo> info(count);
    DWORD filled = 0;
    ASSERT_EQ(renderer->GetAvailableMonitors(info.data(), count, &filled), S_OK);
    EXPECT_EQ(filled, count);
    EXPECT_EQ(info[0].uDevID, 0u);
    EXPECT_GT(info[0].rcMonitor.right - info[0].rcMonitor.left, 0);
    EXPECT_EQ(
        std::count_if(info.begin(), info.end(),
                      [](const VMR9MonitorInfo& m) { return m.dwFlags & MONITORINFOF_PRIMARY; }),
        1);
    EXPECT_EQ(renderer->SetMonitor(count), E_INVALIDARG);
    EXPECT_EQ(renderer->SetMonitor(count - 1), S_OK);
    UINT monitor = 99;
    ASSERT_EQ(renderer->GetMonitor(&monitor), S_OK);
    EXPECT_EQ(monitor, count - 1);
    EXPECT_EQ(renderer->SetDefaultMonitor(0), S_OK);
    EXPECT_EQ(renderer->DisplayModeChanged(), S_OK);
}

TEST(VideoRendererState, TheRenderersAreRegisteredForIntelligentConnect) {
    RegisterRendererFilters();
    RegisterRendererFilters(); // once is enough; twice changes nothing
    struct Expected {
        CLSID clsid;
        const char* name;
        AM_MEDIA_TYPE type;
    };
    const Expected expected[] = {
        {CLSID_VideoMixingRenderer9, "Video Mixing Renderer 9",
         RgbVideoType(MEDIASUBTYPE_RGB32, 16, 16, kFrame)},
        {CLSID_DSoundRender, "Default DirectSound Device", PcmAudioType(2, 44100, 16)},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const std::optional<TRegFilter> reg = TClassRegistry::Instance().FindFilter(e.clsid);
        ASSERT_TRUE(reg.has_value());
        EXPECT_EQ(reg->name, QString::fromLatin1(e.name));
        EXPECT_GT(reg->merit, MERIT_DO_NOT_USE);
        ASSERT_TRUE(CreateInstanceOf<IBaseFilter>(e.clsid));
        // Rendering the pin of a source finds the renderer on its own.
        TRendererSourceConfig config;
        config.type = e.type;
        config.samples = 2;
        config.bufferSize = 4096;
        ComPtr<IGraphBuilder> graph = MakeGraph();
        ComPtr<TRendererTestSource> source = MakeComObject<TRendererTestSource>(config);
        graph->AddFilter(source.Get(), u"Source");
        ASSERT_EQ(graph->Render(PinOf(source.Get(), PINDIR_OUTPUT).Get()), S_OK);
        ComPtr<IBaseFilter> found;
        EXPECT_EQ(
            graph->FindFilterByName(reinterpret_cast<LPCWSTR>(QString::fromLatin1(e.name).utf16()),
                                    found.ReleaseAndGetAddressOf()),
            S_OK);
        CLSID clsid = GUID_NULL;
        if (found)
            found->GetClassID(&clsid);
        EXPECT_EQ(clsid, e.clsid);
    }
    ComPtr<IBaseFilter> video = CreateInstanceOf<IBaseFilter>(CLSID_VideoMixingRenderer9);
    EXPECT_TRUE(video.As<IVMRFilterConfig9>());
    EXPECT_TRUE(video.As<IVMRWindowlessControl9>());
    EXPECT_TRUE(video.As<IVMRMixerControl9>());
    EXPECT_TRUE(video.As<IVMRMixerBitmap9>());
    EXPECT_TRUE(video.As<IMediaFilter>());
    EXPECT_TRUE(video.As<IVMRMonitorConfig9>());
    EXPECT_TRUE(video.As<IQualProp>());
    EXPECT_TRUE(video.As<IVMRAspectRatioControl9>());
    EXPECT_TRUE(video.As<IMediaSeeking>());
    ComPtr<IBaseFilter> audio = CreateInstanceOf<IBaseFilter>(CLSID_DSoundRender);
    EXPECT_TRUE(audio.As<IBasicAudio>());
    EXPECT_TRUE(audio.As<IReferenceClock>());
    EXPECT_TRUE(audio.As<IMediaSeeking>());
}

} // namespace

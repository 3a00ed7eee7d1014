// The audio renderer in a graph: it becomes the graph's clock, which moves while the sound
// plays and stands while paused; it plays to the end through SDL's dummy driver or, without a
// device, through the null output; without a clock nothing waits for the sound.
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/RendererTestBed.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"

#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

// Half a second of stereo sound in 20 ms samples.
TRendererSourceConfig HalfASecond() {
    return ConstantAudio(PcmAudioType(2, 48000, 16), 25, 960, 0.1);
}

REFERENCE_TIME TimeOf(IReferenceClock* clock) {
    REFERENCE_TIME t = 0;
    clock->GetTime(&t);
    return t;
}

// Sets an environment variable for the scope's lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : FName(name) {
        if (const char* old = std::getenv(name))
            FOld = old;
        ::setenv(name, value, 1);
    }
    ~ScopedEnvironment() {
        if (FOld)
            ::setenv(FName, FOld->c_str(), 1);
        else
            ::unsetenv(FName);
    }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

TEST(AudioRendererPlayback, TheRendererClocksTheGraphMovingWhilePlayingAndStandingWhilePaused) {
    TAudioBed a(HalfASecond());
    ASSERT_EQ(a.connected, S_OK);
    ASSERT_TRUE(SUCCEEDED(a.control->Pause()));
    ComPtr<IReferenceClock> clock;
    ASSERT_EQ(a.graph.As<IMediaFilter>()->GetSyncSource(clock.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(clock.Get(), a.renderer.As<IReferenceClock>().Get());
    ASSERT_TRUE(PumpUntil([&] { return StateOf(a.graph.Get(), 0).result == S_OK; }, 30000));
    EXPECT_FALSE(a.renderer->UsesNullOutput()); // SDL's dummy driver is a device

    const REFERENCE_TIME paused = TimeOf(clock.Get());
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(TimeOf(clock.Get()), paused);

    ASSERT_EQ(a.control->Run(), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return TimeOf(clock.Get()) > paused + 20 * MILLISECONDS; }, 30000));
    // The position is that of the sound heard, not of the sound queued ahead of it.
    LONGLONG playing = 0;
    ASSERT_EQ(a.graph.As<IMediaSeeking>()->GetCurrentPosition(&playing), S_OK);
    EXPECT_LE(playing, TimeOf(clock.Get()) - a.renderer->StartTime());
    ASSERT_TRUE(SUCCEEDED(a.control->Pause()));
    const REFERENCE_TIME held = TimeOf(clock.Get());
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(TimeOf(clock.Get()), held);
    LONGLONG position = 0;
    ASSERT_EQ(a.graph.As<IMediaSeeking>()->GetCurrentPosition(&position), S_OK);
    EXPECT_GT(position, 0);

    ASSERT_EQ(a.control->Run(), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return TimeOf(clock.Get()) > held; }, 30000));
    EXPECT_EQ(WaitForCompletion(a.graph.Get(), 30000), EC_COMPLETE);
}

TEST(AudioRendererPlayback, WithoutAnAudioDeviceTheNullOutputKeepsTheTime) {
    // A driver that does not exist: SDL opens no device.
    ScopedEnvironment driver("SDL_AUDIODRIVER", "kelvara-no-such-driver");
    TAudioBed a(HalfASecond());
    ASSERT_EQ(a.connected, S_OK);
    ComPtr<IReferenceClock> clock = a.renderer.As<IReferenceClock>();
    ASSERT_EQ(a.control->Run(), S_OK);
    const REFERENCE_TIME started = TimeOf(clock.Get());
    EXPECT_TRUE(a.renderer->UsesNullOutput());
    EXPECT_EQ(WaitForCompletion(a.graph.Get(), 30000), EC_COMPLETE);
    EXPECT_GT(TimeOf(clock.Get()), started);
    // The same renderer finds the device again once the driver can open one.
    a.control->Stop();
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    LONGLONG zero = 0;
    a.graph.As<IMediaSeeking>()->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr,
                                              AM_SEEKING_NoPositioning);
    ASSERT_EQ(a.control->Run(), S_OK);
    EXPECT_FALSE(a.renderer->UsesNullOutput());
    EXPECT_EQ(WaitForCompletion(a.graph.Get(), 30000), EC_COMPLETE);
}

TEST(AudioRendererPlayback, WithoutAClockNothingWaitsForTheSound) {
    // Ten minutes of sound: played in real time this would outlast the test's time limit.
    TAudioBed a(ConstantAudio(PcmAudioType(1, 8000, 8), 600, 8000, 0.5));
    ASSERT_EQ(a.connected, S_OK);
    ASSERT_EQ(a.graph.As<IMediaFilter>()->SetSyncSource(nullptr), S_OK);
    ASSERT_EQ(a.control->Run(), S_OK);
    EXPECT_EQ(WaitForCompletion(a.graph.Get(), 60000), EC_COMPLETE);
}

TEST(AudioRendererPlayback, ASeekWhilePlayingDropsTheQueuedSoundAndPlaysOnToTheEnd) {
    TAudioBed a(ConstantAudio(PcmAudioType(2, 44100, 16), 40, 441, 0.2)); // 0.4 s
    ASSERT_EQ(a.connected, S_OK);
    ComPtr<IMediaSeeking> seeking = a.graph.As<IMediaSeeking>();
    ASSERT_EQ(a.control->Run(), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return a.source->Delivered() > 5; }, 30000));
    LONGLONG at = 300 * MILLISECONDS;
    ASSERT_EQ(seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                    AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(WaitForCompletion(a.graph.Get(), 30000), EC_COMPLETE);
    LONGLONG position = 0;
    ASSERT_EQ(seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_GE(position, 300 * MILLISECONDS);
}

TEST(AudioRendererPlayback, VolumeChangesWhilePlayingAreTaken) {
    TAudioBed a(HalfASecond());
    ASSERT_EQ(a.connected, S_OK);
    ComPtr<IBasicAudio> audio = a.renderer.As<IBasicAudio>();
    ASSERT_EQ(a.control->Run(), S_OK);
    for (LONG volume : {-10000, -5000, 0, -2500}) {
        EXPECT_EQ(audio->put_Volume(volume), S_OK);
        LONG read = 1;
        EXPECT_EQ(audio->get_Volume(&read), S_OK);
        EXPECT_EQ(read, volume);
    }
    EXPECT_EQ(WaitForCompletion(a.graph.Get(), 30000), EC_COMPLETE);
}

} // namespace

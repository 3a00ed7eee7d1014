// The audio renderer's parts: the formats it takes and their conversion to floats, the volume
// scale, the queue that places sound at its time, and the clock.
#include "platform/filters/AudioRenderer.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/RendererTestSource.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

AM_MEDIA_TYPE Extensible(REFGUID subFormat, int bits) {
    AM_MEDIA_TYPE mt = PcmAudioType(2, 48000, bits);
    WAVEFORMATEXTENSIBLE ext;
    ext.Format = *mt.ReadFormat<WAVEFORMATEX>();
    ext.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    ext.Format.cbSize = 22;
    ext.Samples.wValidBitsPerSample = WORD(bits);
    ext.dwChannelMask = 3;
    ext.SubFormat = subFormat;
    mt.SetFormat(ext);
    return mt;
}

TEST(AudioRendererFormat, PcmAndFloatAreTakenAndNothingElse) {
    struct Case {
        const char* name;
        AM_MEDIA_TYPE type;
        bool taken;
    };
    AM_MEDIA_TYPE misaligned = PcmAudioType(2, 44100, 16);
    misaligned.FormatAs<WAVEFORMATEX>()->nBlockAlign = 3;
    AM_MEDIA_TYPE ac3 = PcmAudioType(2, 48000, 16);
    ac3.subtype = MEDIASUBTYPE_DOLBY_AC3;
    ac3.FormatAs<WAVEFORMATEX>()->wFormatTag = WAVE_FORMAT_DOLBY_AC3;
    AM_MEDIA_TYPE video = PcmAudioType(2, 48000, 16);
    video.majortype = MEDIATYPE_Video;
    AM_MEDIA_TYPE noBlock = PcmAudioType(2, 48000, 16);
    noBlock.ResetFormatBuffer();
    AM_MEDIA_TYPE noRate = PcmAudioType(2, 0, 16);
    AM_MEDIA_TYPE shortExtensible = Extensible(MEDIASUBTYPE_PCM, 16);
    const std::vector<BYTE> head(shortExtensible.pbFormat(), shortExtensible.pbFormat() + 30);
    shortExtensible.SetFormat(head.data(), head.size());
    const Case cases[] = {
        {"16-bit stereo", PcmAudioType(2, 48000, 16), true},
        {"8-bit mono", PcmAudioType(1, 8000, 8), true},
        {"24-bit", PcmAudioType(2, 96000, 24), true},
        {"32-bit", PcmAudioType(6, 48000, 32), true},
        {"float", PcmAudioType(2, 44100, 32, true), true},
        {"extensible PCM", Extensible(MEDIASUBTYPE_PCM, 24), true},
        {"extensible float", Extensible(MEDIASUBTYPE_IEEE_FLOAT, 32), true},
        {"extensible AC-3", Extensible(MEDIASUBTYPE_DOLBY_AC3, 16), false},
        {"extensible too short", shortExtensible, false},
        {"12-bit", PcmAudioType(2, 48000, 12), false},
        {"64-bit float", PcmAudioType(2, 48000, 64, true), false},
        {"no channels", PcmAudioType(0, 48000, 16), false},
        {"nine channels", PcmAudioType(9, 48000, 16), false},
        {"no rate", noRate, false},
        {"block align", misaligned, false},
        {"AC-3", ac3, false},
        {"video", video, false},
        {"no format block", noBlock, false},
    };
    ComPtr<CAudioRenderer> renderer = MakeComObject<CAudioRenderer>();
    for (const Case& c : cases) {
        EXPECT_EQ(TAudioFormat::FromMediaType(c.type).has_value(), c.taken) << c.name;
        EXPECT_EQ(renderer->CheckMediaType(&c.type), c.taken ? S_OK : VFW_E_TYPE_NOT_ACCEPTED)
            << c.name;
    }
}

TEST(AudioRendererFormat, SamplesBecomeFloatsBetweenMinusOneAndOne) {
    struct Case {
        const char* name;
        AM_MEDIA_TYPE type;
        std::vector<BYTE> bytes;
        std::vector<float> floats;
    };
    const float nan = std::nanf("");
    std::vector<BYTE> floatBytes(16);
    const float floatValues[] = {0.25f, -2.0f, nan, 1.0f};
    std::memcpy(floatBytes.data(), floatValues, 16);
    const Case cases[] = {
        {"8-bit", PcmAudioType(1, 8000, 8), {0x80, 0x00, 0xFF, 0xC0}, {0, -1, 127 / 128.f, 0.5f}},
        {"16-bit", PcmAudioType(2, 8000, 16), {0x00, 0x40, 0x00, 0x80}, {0.5f, -1}},
        {"24-bit",
         PcmAudioType(1, 8000, 24),
         {0x00, 0x00, 0xC0, 0xFF, 0xFF, 0x7F},
         {-0.5f, 8388607 / 8388608.f}},
        {"32-bit", PcmAudioType(1, 8000, 32), {0, 0, 0, 0x40}, {0.5f}},
        {"float, clamped, NaN silent",
         PcmAudioType(1, 8000, 32, true),
         floatBytes,
         {0.25f, -1, 0, 1}},
        // A trailing partial frame is left out.
        {"partial frame", PcmAudioType(2, 8000, 16), {0, 0x40, 0, 0x40, 0x11}, {0.5f, 0.5f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<TAudioFormat> f = TAudioFormat::FromMediaType(c.type);
        ASSERT_TRUE(f);
        std::vector<float> out(c.bytes.size());
        const int frames = f->ToFloat(c.bytes.data(), c.bytes.size(), out.data());
        ASSERT_EQ(size_t(frames) * size_t(f->channels), c.floats.size());
        for (size_t i = 0; i < c.floats.size(); ++i)
            EXPECT_FLOAT_EQ(out[i], c.floats[i]) << i;
    }
}

TEST(AudioRendererVolume, HundredthsOfADecibelBecomeGains) {
    const std::pair<LONG, float> cases[] = {{0, 1.0f},         {-2000, 0.1f},  {-4000, 0.01f},
                                            {-600, 0.501187f}, {-10000, 0.0f}, {-9999, 1.0012e-5f}};
    for (const auto& [volume, gain] : cases)
        EXPECT_NEAR(CAudioRenderer::GainOf(volume), gain, gain * 1e-4 + 1e-9) << volume;
}

TEST(AudioRendererVolume, TheBalanceLowersOneSide) {
    struct Case {
        LONG volume, balance;
        int channels;
        float left, right, third;
    };
    const Case cases[] = {
        {0, 0, 2, 1, 1, 1},
        {-2000, 0, 2, 0.1f, 0.1f, 0.1f},
        {0, 2000, 2, 0.1f, 1, 1},
        {0, -2000, 2, 1, 0.1f, 1},
        {0, 10000, 6, 0, 1, 1},
        {0, -10000, 6, 1, 0, 1},
        {-2000, 2000, 2, 0.01f, 0.1f, 0.1f},
        {-2000, 5000, 1, 0.1f, 0.1f, 0.1f},
    };
    for (const Case& c : cases) {
        const auto gains = CAudioRenderer::ChannelGains(c.volume, c.balance, c.channels);
        SCOPED_TRACE(testing::Message() << c.volume << " " << c.balance << " " << c.channels);
        EXPECT_NEAR(gains[0], c.left, 1e-6);
        EXPECT_NEAR(gains[1], c.right, 1e-6);
        EXPECT_NEAR(gains[2], c.third, 1e-6);
    }
}

TEST(AudioRendererVolume, IBasicAudioTakesOnlyItsRange) {
    ComPtr<IBasicAudio> audio = MakeComObject<CAudioRenderer>().As<IBasicAudio>();
    ASSERT_TRUE(audio);
    LONG value = 1;
    ASSERT_EQ(audio->get_Volume(&value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
    EXPECT_EQ(audio->put_Volume(-10001), E_INVALIDARG);
    EXPECT_EQ(audio->put_Volume(-3456), S_OK);
    ASSERT_EQ(audio->get_Volume(&value), S_OK);
    EXPECT_EQ(value, -3456);
    EXPECT_EQ(audio->put_Balance(10001), E_INVALIDARG);
    EXPECT_EQ(audio->put_Balance(-10000), S_OK);
    ASSERT_EQ(audio->get_Balance(&value), S_OK);
    EXPECT_EQ(value, -10000);
    EXPECT_EQ(audio->get_Volume(nullptr), E_POINTER);
}

// A queue of mono sound at 1000 frames a second (a frame is 1 ms), holding up to a second.
struct Queue {
    TAudioBuffer buffer{1, 1000, UNITS};
    const float unity[8] = {1, 1, 1, 1, 1, 1, 1, 1};

    void Push(int first, int count, REFERENCE_TIME startMs,
              std::optional<REFERENCE_TIME> heardMs = std::nullopt) {
        std::vector<float> values(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            values[size_t(i)] = float(first + i);
        buffer.Push(values.data(), count, startMs * MILLISECONDS,
                    heardMs ? std::optional(*heardMs * MILLISECONDS) : std::nullopt);
    }
    std::vector<float> Pull(int count) {
        std::vector<float> out(static_cast<size_t>(count), -1.0f);
        buffer.Pull(out.data(), count, unity);
        return out;
    }
};

std::vector<float> Ramp(int first, int count) {
    std::vector<float> v(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        v[size_t(i)] = float(first + i);
    return v;
}

std::vector<float> Join(std::vector<float> a, const std::vector<float>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(AudioRendererBuffer, SoundIsPlacedAtItsTime) {
    {
        SCOPED_TRACE("contiguous samples follow each other");
        Queue q;
        q.Push(1, 10, 0);
        q.Push(11, 10, 10);
        EXPECT_EQ(q.buffer.HeadTime(), 0);
        EXPECT_EQ(q.Pull(20), Ramp(1, 20));
        EXPECT_EQ(q.buffer.HeadTime(), 20 * MILLISECONDS);
    }
    {
        SCOPED_TRACE("a small jitter of the time stamps is ignored");
        Queue q;
        q.Push(1, 10, 0);
        q.Push(11, 10, 25); // 15 ms later than where it lands
        EXPECT_EQ(q.Pull(20), Ramp(1, 20));
    }
    {
        SCOPED_TRACE("a gap is filled with silence");
        Queue q;
        q.Push(1, 10, 0);
        q.Push(11, 10, 50);
        EXPECT_EQ(q.Pull(60), Join(Join(Ramp(1, 10), std::vector<float>(40, 0.0f)), Ramp(11, 10)));
    }
    {
        SCOPED_TRACE("an overlap is cut from the new sample");
        Queue q;
        q.Push(1, 100, 0);
        q.Push(1001, 100, 60); // its first 40 frames overlap
        EXPECT_EQ(q.Pull(160), Join(Ramp(1, 100), Ramp(1041, 60)));
    }
    {
        SCOPED_TRACE("a sample wholly in the past is dropped");
        Queue q;
        q.Push(1, 100, 0);
        q.Push(1001, 20, 10);
        EXPECT_EQ(q.buffer.Queued(), 100);
    }
    {
        SCOPED_TRACE("while playing, an empty queue starts where the sound is heard next");
        Queue q;
        q.Push(1, 100, 0, 40); // 40 ms late: its first 40 frames are gone
        EXPECT_EQ(q.buffer.HeadTime(), 40 * MILLISECONDS);
        EXPECT_EQ(q.Pull(60), Ramp(41, 60));
        q.Push(1, 10, 300, 200); // 100 ms early: silence first
        EXPECT_EQ(q.Pull(110), Join(std::vector<float>(100, 0.0f), Ramp(1, 10)));
    }
}

TEST(AudioRendererBuffer, PullHandsOutSilenceForWhatIsMissingAndAppliesGains) {
    TAudioBuffer buffer(2, 1000, UNITS);
    const float frames[] = {0.5f, -0.5f, 1.0f, -1.0f};
    buffer.Push(frames, 2, 0, std::nullopt);
    const float gains[8] = {0.5f, 0.1f};
    std::vector<float> out(8, 9.0f);
    EXPECT_EQ(buffer.Pull(out.data(), 4, gains), 2);
    const std::vector<float> expected = {0.25f, -0.05f, 0.5f, -0.1f, 0, 0, 0, 0};
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_FLOAT_EQ(out[i], expected[i]) << i;
    EXPECT_TRUE(buffer.IsEmpty());
}

TEST(AudioRendererBuffer, BeyondItsCapacityTheOldestSoundGoes) {
    Queue q; // one second
    q.Push(1, 800, 0);
    q.Push(801, 400, 800);
    EXPECT_EQ(q.buffer.Queued(), 1000);
    EXPECT_EQ(q.buffer.HeadTime(), 200 * MILLISECONDS);
    EXPECT_EQ(q.Pull(3), Ramp(201, 3));
    // A gap longer than the whole queue leaves the new sound alone in it.
    q.Push(5001, 10, 5000);
    EXPECT_EQ(q.buffer.TailTime(), 5010 * MILLISECONDS);
    EXPECT_EQ(q.buffer.Queued(), 1000);
}

TEST(AudioRendererBuffer, SilenceCanBePutInFrontAndTheQueueCleared) {
    Queue q;
    q.Push(1, 10, 100);
    q.buffer.PrependSilence(30 * MILLISECONDS);
    EXPECT_EQ(q.buffer.HeadTime(), 70 * MILLISECONDS);
    EXPECT_EQ(q.Pull(40), Join(std::vector<float>(30, 0.0f), Ramp(1, 10)));
    q.buffer.PrependSilence(-5 * MILLISECONDS); // nothing to do
    EXPECT_TRUE(q.buffer.IsEmpty());
    q.Push(1, 10, 0);
    q.buffer.Clear();
    EXPECT_TRUE(q.buffer.IsEmpty());
    EXPECT_FALSE(q.buffer.HasTime());
}

// A clock on a system time that moves only when the test says so.
struct ManualTime {
    REFERENCE_TIME now = 1000 * UNITS;
    ComPtr<CAudioClock> clock = MakeComObject<CAudioClock>([this] { return now; });
};

TEST(AudioRendererClock, HeldTheClockStandsAndReleasedItMovesOnFromThere) {
    ManualTime t;
    const REFERENCE_TIME start = t.clock->Now();
    EXPECT_EQ(start, 1000 * UNITS);
    t.now += 30 * MILLISECONDS;
    EXPECT_EQ(t.clock->Now(), start + 30 * MILLISECONDS); // stopped, it runs
    t.clock->Hold();
    t.now += 500 * MILLISECONDS;
    EXPECT_EQ(t.clock->Now(), start + 30 * MILLISECONDS);
    t.clock->Resume();
    t.now += 20 * MILLISECONDS;
    EXPECT_EQ(t.clock->Now(), start + 50 * MILLISECONDS);
    REFERENCE_TIME viaInterface = 0;
    ASSERT_EQ(t.clock->GetTime(&viaInterface), S_OK);
    EXPECT_EQ(viaInterface, start + 50 * MILLISECONDS);
}

TEST(AudioRendererClock, ItFollowsTheOutputWithoutGoingBack) {
    ManualTime t;
    const REFERENCE_TIME start = t.clock->Now();
    // A large difference is taken at once.
    t.clock->Follow(start + 10 * UNITS);
    EXPECT_EQ(t.clock->Now(), start + 10 * UNITS);
    // A small one an eighth at a time: 40 ms ahead moves it 5 ms.
    t.clock->Follow(start + 10 * UNITS + 40 * MILLISECONDS);
    EXPECT_EQ(t.clock->Now(), start + 10 * UNITS + 5 * MILLISECONDS);
    // Behind: the clock stands until the time catches up, then runs from the output's time.
    t.clock->Follow(start + 8 * UNITS);
    EXPECT_EQ(t.clock->Now(), start + 10 * UNITS + 5 * MILLISECONDS);
    t.now += 3 * UNITS;
    EXPECT_EQ(t.clock->Now(), start + 11 * UNITS);
    // While held the output has no say.
    t.clock->Hold();
    t.clock->Follow(start + 100 * UNITS);
    EXPECT_EQ(t.clock->Now(), start + 11 * UNITS);
}

} // namespace

// The audio manager: the volume law and its bounds through the actions, mute keeping the volume,
// and the sound of real clips connected into the program's graph through a decoder, reported,
// muted in the renderer and taken out again.
#include "presentation/uAudioMan.h"

#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "media/uMediaFactory.h"
#include "media/uNavMan.h"
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/filters/RendererInterfaces.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/ui/ProcessMessages.h"
#include "preferences/uPreferences.h"
#include "presentation/uTextGauge.h"
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <QElapsedTimer>
#include <QSlider>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

LONG RendererVolume(const TAudioMan& man) {
    LONG v = 1;
    if (const ComPtr<IBasicAudio> audio = QueryInterfaceOf<IBasicAudio>(man.Renderer()))
        audio->get_Volume(&v);
    return v;
}

bool InGraph(IGraphBuilder* graph, IBaseFilter* filter, std::u16string* name = nullptr) {
    for (const ComPtr<IBaseFilter>& f : FiltersOf(graph))
        if (f.Get() == filter) {
            FILTER_INFO info{};
            if (name && SUCCEEDED(f->QueryFilterInfo(&info))) {
                *name = info.achName;
                if (info.pGraph)
                    info.pGraph->Release();
            }
            return true;
        }
    return false;
}

TEST(TAudioMan, TheVolumeLawRunsFromSilenceToFullVolume) {
    EXPECT_EQ(TAudioMan::AttenuationOf(0), -10000);
    EXPECT_EQ(TAudioMan::AttenuationOf(5000), -752); // round(ln 5001 * 1085.73) - 10000
    EXPECT_EQ(TAudioMan::AttenuationOf(10000), 0);
    EXPECT_EQ(TAudioMan::AttenuationOf(-5), -10000);
    EXPECT_EQ(TAudioMan::AttenuationOf(20000), 0);
    // Up to 1000 every volume has an attenuation of its own; above, neighbours share one.
    for (const int v : {0, 1, 10, 100, 1000})
        EXPECT_EQ(TAudioMan::VolumeOf(TAudioMan::AttenuationOf(v)), v);
    EXPECT_NEAR(TAudioMan::VolumeOf(TAudioMan::AttenuationOf(5000)), 5000, 3);
    EXPECT_EQ(TAudioMan::VolumeOf(0), 10000);
}

TEST(TAudioMan, TheVolumeStepsStopAtTheirBoundsAndTheDisplaysFollow) {
    TAudioMan man;
    man.BuildActions();
    TTextGauge gauge;
    QSlider slider;
    man.SetAudioGauge(&gauge);
    man.SetAudioSlider(&slider);
    std::vector<int> reported;
    man.OnVolume = [&](int v) { reported.push_back(v); };
    ASSERT_TRUE(man.naIncVolume && man.naDecVolume && man.iaVolume && man.caMute);
    man.iaVolume->SetValue(9500);
    man.naIncVolume->Execute();
    EXPECT_EQ(man.Volume(), 10000);
    EXPECT_EQ(man.iaVolume->Value(), 10000);
    man.iaVolume->SetValue(500);
    man.naDecVolume->Execute();
    EXPECT_EQ(man.Volume(), 0);
    EXPECT_EQ(man.iaVolume->Value(), 0);
    EXPECT_EQ(reported.back(), 0);

    // The slider moves the volume; mute keeps the gauge at it.
    slider.setValue(5000);
    EXPECT_EQ(man.Volume(), 5000);
    man.caMute->SetChecked(true);
    EXPECT_TRUE(man.Muted());
    EXPECT_EQ(gauge.Progress(), 5000);
    EXPECT_EQ(gauge.Text(), QStringLiteral("5000"));
    EXPECT_EQ(man.CurrentVolume(), 5000);
}

// The volume, mute and the audio decoder memory are saved with the manager and come back in the
// next run, in the registry hive and in the portable INI file.
class AudioManPrefs : public testing::TestWithParam<TSavePreferences> {
protected:
    void Configure(TTaskelPreferences& gp) {
        gp.SetTitre(QStringLiteral("Kelvara"));
        gp.SetVersion(QStringLiteral("Kelvara test"));
        gp.SetProgramFolder(folder.path());
        gp.SetMode(GetParam());
    }
    TemporaryHive hive;
    QTemporaryDir folder;
};

TEST_P(AudioManPrefs, VolumeMuteAndDecoderMemoryComeBackInTheNextRun) {
    const TMediaTypeKey mp2{MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload, FORMAT_WaveFormatEx};
    const CLSID decoder{
        0x4B1D7A3E, 0x11AA, 0x4C2B, {0x9D, 0x10, 0x52, 0x61, 0x73, 0x8E, 0x0F, 0x21}};
    AudioDecoderMemory().Clear();
    AudioDecoderMemory().SetLink(
        mp2, TFilterRecs::Make(decoder, fkRegistered, QStringLiteral("A remembered decoder")));
    {
        TAudioMan man;
        man.BuildActions();
        man.iaVolume->SetValue(7000);
        man.caMute->SetChecked(true);
        TTaskelPreferences gp;
        Configure(gp);
        ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
        EXPECT_TRUE(man.SaveToPrefs(gp));
        gp.CloseSection();
    }
    AudioDecoderMemory().Clear();
    TAudioMan man;
    man.BuildActions();
    TTaskelPreferences gp;
    Configure(gp);
    ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
    EXPECT_TRUE(man.LoadFromPrefs(gp));
    gp.CloseSection();
    EXPECT_EQ(man.Volume(), 7000);
    EXPECT_TRUE(man.Muted());
    ASSERT_TRUE(AudioDecoderMemory().GetLink(mp2));
    EXPECT_EQ(AudioDecoderMemory().GetLink(mp2)->Name(), QStringLiteral("A remembered decoder"));
    EXPECT_EQ(AudioDecoderMemory().GetLink(mp2)->Clsid(), decoder);
    AudioDecoderMemory().Clear();
}

INSTANTIATE_TEST_SUITE_P(Stores, AudioManPrefs, testing::Values(spRegistre, spPortable));

class AudioManOnClips : public testing::Test {
protected:
    void SetUp() override {
        factory.SetGrapheMan(&nav);
        man.BuildActions();
        man.OnNotifyAudioDecoder = [this](const QString& name) { decoders.push_back(name); };
        man.OnNotifyAudioFormat = [this](const QString& text) { formats.push_back(text); };
        man.OnStatus = [this](int status) { statuses.push_back(status); };
    }
    TFileDevice* Open(const QString& name, QStringList args) {
        const QString path = dir.filePath(name);
        args.insert(1, path);
        const TRun r = RunTool(QStringLiteral("kelvara-mksample"), args);
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        return factory.GetDevice(path);
    }
    // Pumps messages until the format was reported (the tap posts it).
    bool WaitForFormat() {
        QElapsedTimer t;
        t.start();
        while (formats.empty() && t.elapsed() < 5000)
            ProcessMessages();
        return !formats.empty();
    }
    struct TRegistered {
        TRegistered() { RegisterPlatformFilters(); }
    };
    TRegistered registered; // before the manager makes its renderer
    QTemporaryDir dir;
    TNavMan nav;
    TMediaFactory factory;
    TAudioMan man;
    std::vector<QString> decoders, formats;
    std::vector<int> statuses;
};

TEST_F(AudioManOnClips, MpegSoundIsDecodedIntoTheRendererAndMutedThere) {
    TFileDevice* device = Open(QStringLiteral("sound.mpg"), {"mpeg2", "--seconds", "1"});
    ASSERT_TRUE(device);
    ASSERT_EQ(device->AudioCount(), 1);
    man.SetVolume(9500);
    ASSERT_TRUE(man.ConnectAudioSource(device->AudioSource(0)));
    EXPECT_TRUE(man.Connected());
    EXPECT_EQ(man.Status(), TAudioMan::stSoundOn);
    std::u16string name;
    ASSERT_TRUE(InGraph(nav.GraphBuilder(), man.Renderer(), &name));
    EXPECT_EQ(name, u"Zv Audio Renderer");
    ASSERT_FALSE(decoders.empty());
    EXPECT_NE(decoders.back(), QStringLiteral("No Audio decoder"));
    EXPECT_EQ(RendererVolume(man), TAudioMan::AttenuationOf(9500));
    // The same source again changes nothing.
    const size_t notified = decoders.size();
    EXPECT_TRUE(man.ConnectAudioSource(device->AudioSource(0)));
    EXPECT_EQ(decoders.size(), notified);

    ASSERT_TRUE(nav.Pause());
    ASSERT_TRUE(WaitForFormat());
    EXPECT_TRUE(formats.back().contains(QStringLiteral("Hz"))) << formats.back().toStdString();

    man.caMute->SetChecked(true);
    EXPECT_EQ(man.Status(), TAudioMan::stMuted);
    EXPECT_EQ(RendererVolume(man), -10000);
    man.caMute->SetChecked(false);
    EXPECT_EQ(RendererVolume(man), TAudioMan::AttenuationOf(9500));
    // Read back from the renderer, the volume set stands (9500 shares its attenuation with its
    // neighbours).
    EXPECT_EQ(man.CurrentVolume(), 9500);

    man.DisconnectAudio(); // from the paused graph
    EXPECT_FALSE(man.Connected());
    EXPECT_EQ(man.Status(), TAudioMan::stNoAudio);
    EXPECT_EQ(decoders.back(), QStringLiteral("No Audio decoder"));
    EXPECT_EQ(formats.back(), QStringLiteral("No Audio"));
    EXPECT_FALSE(InGraph(nav.GraphBuilder(), man.Renderer()));
    EXPECT_EQ(man.CurrentSource(), NoAudioSource());
}

TEST_F(AudioManOnClips, AFileWithoutSoundLeavesTheManagerWithoutAudio) {
    TFileDevice* device =
        Open(QStringLiteral("silent.mp4"), {"h264-mp4", "--seconds", "1", "--no-audio"});
    ASSERT_TRUE(device);
    EXPECT_EQ(device->AudioCount(), 0);
    EXPECT_FALSE(man.ConnectAudioSource(device->AudioSource(0)));
    EXPECT_EQ(man.Status(), TAudioMan::stNoAudio);
    EXPECT_FALSE(InGraph(nav.GraphBuilder(), man.Renderer()));
}

// A manager that goes while its sound is connected takes it out without reporting to an owner
// whose displays may be gone.
TEST_F(AudioManOnClips, AManagerThatGoesWhileConnectedReportsToNobody) {
    TFileDevice* device = Open(QStringLiteral("going.mpg"), {"mpeg2", "--seconds", "1"});
    ASSERT_TRUE(device && device->AudioSource(0));
    auto going = std::make_unique<TAudioMan>();
    going->BuildActions();
    int reports = 0;
    going->OnNotifyAudioDecoder = [&](const QString&) { ++reports; };
    going->OnStatus = [&](int) { ++reports; };
    ASSERT_TRUE(going->ConnectAudioSource(device->AudioSource(0)));
    IBaseFilter* renderer = going->Renderer();
    renderer->AddRef();
    const int before = reports;
    going.reset();
    EXPECT_EQ(reports, before);
    EXPECT_FALSE(InGraph(nav.GraphBuilder(), renderer)) << "its renderer left the graph";
    renderer->Release();
}

TEST_F(AudioManOnClips, TheNextDecoderIsNamedAndTheSoundStaysConnected) {
    TFileDevice* device = Open(QStringLiteral("next.mp4"), {"h264-mp4", "--seconds", "1"});
    ASSERT_TRUE(device);
    ASSERT_TRUE(man.ConnectAudioSource(device->AudioSource(0)));
    const size_t before = decoders.size();
    man.naNextDecoderAudio->Execute();
    ASSERT_EQ(decoders.size(), before + 1);
    EXPECT_TRUE(InGraph(nav.GraphBuilder(), man.Renderer()));
    EXPECT_TRUE(man.Connected());
    EXPECT_EQ(nav.RunState(), gmPaused); // a stopped graph ends paused
    man.DisconnectAudio();
    EXPECT_EQ(nav.RunState(), gmStopped);
    EXPECT_FALSE(InGraph(nav.GraphBuilder(), man.Renderer()));
}

} // namespace

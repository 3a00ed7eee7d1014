// The private packages use the program's own process-wide services: a module's filter reads the
// settings that the program imported into the hive a moment before, while they are still only in
// memory (no second hive reading the file), and its objects count among the program's objects.
#include "media/uDecodersPrivate.h"
#include "modules/support/PrivateClsids.h"
#include "platform/com/CUnknown.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceInterfaces.h"
#include "platform/registry/ImportRegFile.h"
#include "tests/modules/PackageTestSupport.h"
#include "tests/platform/registry/HiveTestSupport.h"

namespace {

using namespace kelvara::test;

template <typename T = IBaseFilter>
ComPtr<T> Create(REFCLSID clsid, const QString& module) {
    const ComPtr<IClassFactory> factory = TPrivateFactories::Add(clsid, module).ClassFactory();
    ComPtr<T> object;
    if (factory)
        factory->CreateInstance(nullptr, IidOf<T>(), object.ReleaseAndGetVoidAddressOf());
    return object;
}

class PrivatePackages : public testing::Test {
protected:
    static QString Lav(const char* file) {
        return PackagesFolder() + QStringLiteral("LAV/") + QLatin1String(file);
    }
    // The video and audio types of the clip as the private splitter source offers them.
    void OpenClip() {
        const QString clip = MakeClip(dir, "clip.mp4", {"h264-mp4", "--seconds", "1"});
        source = Create(CLSID_PrivateLavSplitterSource, Lav("LAVSplitter.ax"));
        ASSERT_TRUE(source) << "the splitter source module";
        ASSERT_EQ(
            source.As<IFileSourceFilter>()->Load(reinterpret_cast<LPCWSTR>(clip.utf16()), nullptr),
            S_OK);
        video = OutputTypeOf(source.Get(), MEDIATYPE_Video);
        audio = OutputTypeOf(source.Get(), MEDIATYPE_Audio);
        ASSERT_TRUE(video && audio);
    }
    static HRESULT Accepts(REFCLSID clsid, const char* module, const AM_MEDIA_TYPE& type) {
        const ComPtr<IBaseFilter> decoder = Create(clsid, Lav(module));
        EXPECT_TRUE(decoder);
        const ComPtr<IPin> input = FirstPin(decoder.Get(), PINDIR_INPUT);
        return input ? input->QueryAccept(&type) : E_FAIL;
    }
    void Import(const QByteArray& reg) {
        const QString file = dir.filePath(QStringLiteral("settings.reg"));
        WriteAll(file, "Windows Registry Editor Version 5.00\r\n\r\n" + reg);
        ASSERT_TRUE(ImportRegFile(QStringLiteral("import \"%1\"").arg(file), true));
    }

    TemporaryHive hive;
    QTemporaryDir dir;
    ComPtr<IBaseFilter> source;
    MediaTypePtr video, audio;
};

TEST_F(PrivatePackages, AModuleReadsTheSettingsTheProgramImportedAMomentBefore) {
    OpenClip();
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    EXPECT_EQ(Accepts(CLSID_PrivateLavVideo, "LAVVideo.ax", *video), S_OK);
    EXPECT_EQ(Accepts(CLSID_PrivateLavAudio, "LAVAudio.ax", *audio), S_OK);
    {
        // Held in memory: the import is not on the disk until the update ends.
        RegistryUpdate update(hive.Hive());
        Import("[HKEY_CURRENT_USER\\Software\\LBV\\Video\\Formats]\r\n\"h264\"=dword:00000000\r\n"
               "[HKEY_CURRENT_USER\\Software\\LBV\\Audio\\Formats]\r\n\"aac\"=dword:00000000\r\n");
        ASSERT_FALSE(ReadAll(hive.Path()).contains("LBV")) << "the import reached the disk";
        EXPECT_NE(Accepts(CLSID_PrivateLavVideo, "LAVVideo.ax", *video), S_OK);
        EXPECT_NE(Accepts(CLSID_PrivateLavAudio, "LAVAudio.ax", *audio), S_OK);
        // Another package's decoder does not read that key.
        EXPECT_EQ(Accepts(CLSID_PrivateFfdshowVideo, "../ffdshow/ffdshow.ax", *video), S_OK);
    }
    ASSERT_TRUE(ImportRegFile(QStringLiteral("delete HKCU\\Software\\LBV /F"), true));
    EXPECT_EQ(Accepts(CLSID_PrivateLavVideo, "LAVVideo.ax", *video), S_OK);
}

TEST_F(PrivatePackages, SettingsAreReadWhenTheFilterIsCreated) {
    OpenClip();
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    const ComPtr<IBaseFilter> before = Create(CLSID_PrivateLavVideo, Lav("LAVVideo.ax"));
    Import("[HKEY_CURRENT_USER\\Software\\LBV\\Video\\Formats]\r\n\"H264\"=dword:00000000\r\n");
    const ComPtr<IBaseFilter> after = Create(CLSID_PrivateLavVideo, Lav("LAVVideo.ax"));
    EXPECT_EQ(FirstPin(before.Get(), PINDIR_INPUT)->QueryAccept(video.get()), S_OK);
    EXPECT_NE(FirstPin(after.Get(), PINDIR_INPUT)->QueryAccept(video.get()), S_OK)
        << "codec names are compared in any letter case";
}

TEST_F(PrivatePackages, TheObjectsOfAModuleCountAmongTheProgramsObjects) {
    const long before = CUnknown::ActiveObjects();
    {
        const ComPtr<IBaseFilter> decoder = Create(CLSID_PrivateLavVideo, Lav("LAVVideo.ax"));
        ASSERT_TRUE(decoder);
        EXPECT_GT(CUnknown::ActiveObjects(), before);
    }
    // The factory stays in the list; the filter and its pins are gone.
    EXPECT_LE(CUnknown::ActiveObjects(), before + 1);
}

TEST_F(PrivatePackages, TheFfdshowVideoDecoderAlsoTakesDecodedPictures) {
    OpenClip();
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    AM_MEDIA_TYPE rgb(MEDIATYPE_Video, MEDIASUBTYPE_RGB32, FORMAT_VideoInfo);
    VIDEOINFOHEADER vih;
    vih.bmiHeader.biWidth = 64;
    vih.bmiHeader.biHeight = 48;
    vih.bmiHeader.biBitCount = 32;
    vih.bmiHeader.biSizeImage = 64 * 48 * 4;
    rgb.SetFormat(vih);
    const QString ffdshow = PackagesFolder() + QStringLiteral("ffdshow/ffdshow.ax");
    const ComPtr<IBaseFilter> post = Create(CLSID_PrivateFfdshowVideo, ffdshow);
    EXPECT_EQ(FirstPin(post.Get(), PINDIR_INPUT)->QueryAccept(&rgb), S_OK);
    EXPECT_EQ(FirstPin(post.Get(), PINDIR_INPUT)->QueryAccept(video.get()), S_OK);
    // The LAV decoder decodes only.
    const ComPtr<IBaseFilter> lav = Create(CLSID_PrivateLavVideo, Lav("LAVVideo.ax"));
    EXPECT_NE(FirstPin(lav.Get(), PINDIR_INPUT)->QueryAccept(&rgb), S_OK);
}

} // namespace

// The ffdshow video decoder as the post-processing filter between a decoder and the renderer:
// decoded pictures pass through it unchanged, or deinterlaced when the package's settings say
// so when the filter is created (HKCU\Software\QRX\Video, Deinterlace).
#include "media/uDecodersPrivate.h"
#include "modules/support/PrivateClsids.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/registry/ImportRegFile.h"
#include "tests/modules/PackageTestSupport.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"
#include "tests/platform/graph/testkit/TestPassThrough.h"
#include "tests/platform/graph/testkit/TestPushSource.h"
#include "tests/platform/graph/testkit/TestSinkRenderer.h"
#include "tests/platform/registry/HiveTestSupport.h"

#include <mutex>
#include <optional>

namespace {

using namespace kelvara::test;

constexpr int kWidth = 32, kHeight = 24;

uint32_t& Pixel(BYTE* data, int x, int y) {
    return reinterpret_cast<uint32_t*>(data)[y * kWidth + x];
}

class PostProcessing : public testing::Test {
protected:
    // Rows 0, 2, 4 ... black and 1, 3, 5 ... white go in (both fields disagree everywhere: a
    // fully combed picture); answers rows 0 and 1 of the last picture that came out.
    std::optional<std::pair<uint32_t, uint32_t>> RunCombedPictures(bool deinterlace) {
        const QString file = dir.filePath(QStringLiteral("qrx.reg"));
        WriteAll(file, QByteArray("Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\QRX\\Video]\r\n"
                                  "\"Deinterlace\"=dword:0000000") +
                           (deinterlace ? "1" : "0") + "\r\n");
        EXPECT_TRUE(ImportRegFile(QStringLiteral("import \"%1\"").arg(file), true));
        const ComPtr<IClassFactory> factory =
            TPrivateFactories::Add(CLSID_PrivateFfdshowVideo,
                                   PackagesFolder() + QStringLiteral("ffdshow/ffdshow.ax"))
                .ClassFactory();
        ComPtr<IBaseFilter> post;
        if (!factory || FAILED(factory->CreateInstance(nullptr, IidOf<IBaseFilter>(),
                                                       post.ReleaseAndGetVoidAddressOf())))
            return std::nullopt;
        TTestSourceConfig config;
        config.frames = 5;
        config.width = kWidth;
        config.height = kHeight;
        const auto source = MakeComObject<TTestPushSource>(config);
        const auto comb = MakeComObject<TTestPassThrough>();
        const auto check = MakeComObject<TTestPassThrough>();
        const auto sink = MakeComObject<TTestSinkRenderer>();
        comb->SetHook([](IMediaSample* s) {
            BYTE* data = nullptr;
            if (FAILED(s->GetPointer(&data)) || s->GetActualDataLength() < kWidth * kHeight * 4)
                return E_FAIL;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    Pixel(data, x, y) = y % 2 ? 0x00FFFFFFu : 0u;
            return S_OK;
        });
        std::mutex lock;
        std::optional<std::pair<uint32_t, uint32_t>> rows;
        check->SetHook([&](IMediaSample* s) {
            BYTE* data = nullptr;
            if (FAILED(s->GetPointer(&data)))
                return E_FAIL;
            const std::lock_guard guard(lock);
            rows = std::pair{Pixel(data, 5, 0) & 0xFFFFFFu, Pixel(data, 5, 1) & 0xFFFFFFu};
            return S_OK;
        });
        const ComPtr<IGraphBuilder> graph = MakeGraph();
        int n = 0;
        for (IBaseFilter* f : std::initializer_list<IBaseFilter*>{
                 source.Get(), comb.Get(), post.Get(), check.Get(), sink.Get()}) {
            const std::wstring name = L"f" + std::to_wstring(n++);
            const std::u16string wide(name.begin(), name.end());
            graph->AddFilter(f, reinterpret_cast<LPCWSTR>(wide.c_str()));
        }
        EXPECT_EQ(ConnectChain(graph.Get(),
                               {source.Get(), comb.Get(), post.Get(), check.Get(), sink.Get()}),
                  S_OK);
        graph.As<IMediaFilter>()->SetSyncSource(nullptr);
        graph.As<IMediaControl>()->Run();
        EXPECT_TRUE(sink->WaitForRendered(3, 5000));
        graph.As<IMediaControl>()->Stop();
        const std::lock_guard guard(lock);
        return rows;
    }

    TemporaryHive hive;
    QTemporaryDir dir;
};

TEST_F(PostProcessing, PicturesPassUnchangedAsShipped) {
    const auto rows = RunCombedPictures(false);
    ASSERT_TRUE(rows) << "no picture came out";
    const auto [even, odd] = *rows;
    EXPECT_EQ(even, 0u);
    EXPECT_EQ(odd, 0xFFFFFFu);
}

TEST_F(PostProcessing, TheDeinterlaceSettingBlendsTheCombedRows) {
    const auto rows = RunCombedPictures(true);
    ASSERT_TRUE(rows) << "no picture came out";
    const auto [even, odd] = *rows;
    EXPECT_EQ(even, 0u);
    EXPECT_EQ(odd, 0u) << "an odd row is the average of the black rows around it";
}

} // namespace

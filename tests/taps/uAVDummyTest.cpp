// The null transform: copies into its own buffers with every property, refuses downstream
// buffers smaller than the input's, and delivers preroll samples too.
#include "taps/uAVDummy.h"

#include "platform/graph/MediaSample.h"
#include "tests/taps/TapBench.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

TEST(TAVDummy, IdentityAndPersist) {
    ComPtr<TAVDummy> dummy = MakeComObject<TAVDummy>();
    EXPECT_EQ(dummy->ObjectName(), QStringLiteral("Osric Taskel AVDummy"));
    ComPtr<IPersist> persist = QueryInterfaceOf<IPersist>(static_cast<IBaseFilter*>(dummy.Get()));
    ASSERT_TRUE(persist);
    CLSID clsid;
    ASSERT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_EQ(GuidToString(clsid), QStringLiteral("{83036780-D1E1-49D3-8CE7-77DA63D25D8F}"));
}

TEST(TAVDummy, TypeChecks) {
    ComPtr<TAVDummy> dummy = MakeComObject<TAVDummy>();
    const AM_MEDIA_TYPE video = VideoInfoType(MEDIASUBTYPE_YUY2, 32, 32, 400000);
    const AM_MEDIA_TYPE audio = PcmType(48000, 2);
    AM_MEDIA_TYPE stream(MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_PROGRAM);
    EXPECT_EQ(dummy->CheckInputType(&video), S_OK);
    EXPECT_EQ(dummy->CheckInputType(&audio), S_OK);
    EXPECT_EQ(dummy->CheckInputType(&stream), E_FAIL);
    const AM_MEDIA_TYPE interleaved = DvInfoType();
    EXPECT_EQ(dummy->CheckInputType(&interleaved), E_FAIL);
    AM_MEDIA_TYPE otherFormat = video;
    otherFormat.formattype = FORMAT_VideoInfo2;
    const AM_MEDIA_TYPE otherSize = VideoInfoType(MEDIASUBTYPE_YUY2, 64, 64, 1);
    EXPECT_EQ(dummy->CheckTransform(&video, &otherSize), S_OK);
    EXPECT_EQ(dummy->CheckTransform(&video, &otherFormat), VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(dummy->CheckTransform(&video, &audio), VFW_E_TYPE_NOT_ACCEPTED);
    CMediaType offered;
    EXPECT_EQ(dummy->GetMediaType(-1, &offered), E_INVALIDARG);
    EXPECT_EQ(dummy->GetMediaType(0, &offered), VFW_S_NO_MORE_ITEMS);
}

TEST(TAVDummy, BuffersSmallerThanTheInputsAreRefused) {
    TTapBench<TAVDummy> b(PcmType(48000, 2), 1000);
    b.collector->LimitBufferSize(512);
    // The downstream allocator is refused; the output falls back to buffers of its own.
    ASSERT_EQ(b.Connect(), S_OK);
    ALLOCATOR_PROPERTIES own;
    ASSERT_EQ(b.filter->OutputPin()->Allocator()->GetProperties(&own), S_OK);
    EXPECT_GE(own.cbBuffer, 1000);
    ComPtr<IMemAllocator> small;
    ComPtr<IMemInputPin> collector =
        QueryInterfaceOf<IMemInputPin>(PinOf(b.collector.Get(), PINDIR_INPUT).Get());
    ASSERT_EQ(collector->GetAllocator(small.ReleaseAndGetAddressOf()), S_OK);
    ALLOCATOR_PROPERTIES request;
    EXPECT_EQ(b.filter->DecideBufferSize(small.Get(), &request), E_FAIL);
    EXPECT_EQ(request.cbBuffer, 1000);
    EXPECT_EQ(request.cBuffers, 1);
    EXPECT_EQ(request.cbAlign, 1);
}

TEST(TAVDummy, EverySampleIsCopiedWithItsProperties) {
    TTapBench<TAVDummy> b(PcmType(48000, 2), 1000);
    ASSERT_EQ(b.Connect(), S_OK);
    ASSERT_EQ(b.Run(), S_OK);
    TFeedSample full;
    full.Bytes.assign(1000, 0x5A);
    full.Start = 100;
    full.Stop = 200;
    full.Sync = true;
    full.Discontinuity = true;
    TFeedSample startOnly;
    startOnly.Bytes = {1, 2, 3};
    startOnly.Start = 300;
    startOnly.Sync = false;
    startOnly.Preroll = true;
    TFeedSample untimed;
    untimed.Bytes = {9};
    for (const TFeedSample& s : {full, startOnly, untimed})
        ASSERT_EQ(b.Feed(s), S_OK);
    const std::vector<TCollectedSample> out = b.collector->Samples();
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].Bytes, full.Bytes);
    EXPECT_TRUE(out[0].HasStop);
    EXPECT_EQ(out[0].Start, 100);
    EXPECT_EQ(out[0].Stop, 200);
    EXPECT_TRUE(out[0].Sync);
    EXPECT_TRUE(out[0].Discontinuity);
    EXPECT_FALSE(out[0].Preroll);
    EXPECT_EQ(out[1].Bytes, startOnly.Bytes);
    EXPECT_TRUE(out[1].HasStart);
    EXPECT_FALSE(out[1].HasStop);
    EXPECT_EQ(out[1].Start, 300);
    EXPECT_TRUE(out[1].Preroll);
    EXPECT_FALSE(out[1].Sync);
    EXPECT_FALSE(out[2].HasStart);
}

TEST(TAVDummy, CopySamplePropertiesClearsWhatTheSourceLacks) {
    std::vector<BYTE> a(16), c(16);
    ComPtr<IMediaSample> in(new CMediaSample(nullptr, a.data(), 16));
    ComPtr<IMediaSample> out(new CMediaSample(nullptr, c.data(), 16));
    REFERENCE_TIME start = 5, stop = 9;
    LONGLONG mediaStart = 1, mediaStop = 2;
    out->SetTime(&start, &stop);
    out->SetMediaTime(&mediaStart, &mediaStop);
    out->SetSyncPoint(true);
    out->SetPreroll(true);
    ASSERT_EQ(TAVDummy::CopySampleProperties(in.Get(), out.Get()), S_OK);
    EXPECT_EQ(out->GetTime(&start, &stop), VFW_E_SAMPLE_TIME_NOT_SET);
    EXPECT_TRUE(FAILED(out->GetMediaTime(&mediaStart, &mediaStop)));
    EXPECT_EQ(out->IsSyncPoint(), S_FALSE);
    EXPECT_EQ(out->IsPreroll(), S_FALSE);
    in->SetMediaTime(&mediaStart, &mediaStop);
    in->SetTime(&start, nullptr);
    ASSERT_EQ(TAVDummy::CopySampleProperties(in.Get(), out.Get()), S_OK);
    EXPECT_EQ(out->GetTime(&start, &stop), VFW_S_NO_STOP_TIME);
    EXPECT_EQ(start, 5);
    EXPECT_EQ(out->GetMediaTime(&mediaStart, &mediaStop), S_OK);
    EXPECT_EQ(mediaStop, 2);
}

} // namespace

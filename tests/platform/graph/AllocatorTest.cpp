#include "platform/graph/GraphWait.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MemAllocator.h"

#include <atomic>
#include <new>
#include <thread>

#include <gtest/gtest.h>

namespace {

ALLOCATOR_PROPERTIES Props(LONG count, LONG size, LONG align = 1, LONG prefix = 0) {
    ALLOCATOR_PROPERTIES p;
    p.cBuffers = count;
    p.cbBuffer = size;
    p.cbAlign = align;
    p.cbPrefix = prefix;
    return p;
}

ComPtr<IMemAllocator> Committed(LONG count, LONG size, LONG align = 1) {
    ComPtr<IMemAllocator> a = MakeComObject<CMemAllocator>();
    ALLOCATOR_PROPERTIES wanted = Props(count, size, align), actual;
    EXPECT_EQ(a->SetProperties(&wanted, &actual), S_OK);
    EXPECT_EQ(a->Commit(), S_OK);
    return a;
}

ComPtr<IMediaSample> Take(IMemAllocator* a) {
    ComPtr<IMediaSample> s;
    EXPECT_EQ(a->GetBuffer(s.ReleaseAndGetAddressOf(), nullptr, nullptr, 0), S_OK);
    return s;
}

TEST(MemAllocator, RejectsImpossibleProperties) {
    struct Case {
        const char* what;
        ALLOCATOR_PROPERTIES props;
        HRESULT expected;
    };
    const Case cases[] = {
        {"alignment 0", Props(1, 100, 0), VFW_E_BADALIGN},
        {"alignment not a power of two", Props(1, 100, 3), VFW_E_BADALIGN},
        {"no buffers", Props(0, 100), E_INVALIDARG},
        {"empty buffers", Props(2, 0), E_INVALIDARG},
        {"negative prefix", Props(2, 10, 1, -1), E_INVALIDARG},
        {"more than the memory limit", Props(1 << 20, 1 << 20), E_OUTOFMEMORY},
        {"plain", Props(3, 100, 16, 8), S_OK},
    };
    for (const Case& c : cases) {
        ComPtr<IMemAllocator> a = MakeComObject<CMemAllocator>();
        ALLOCATOR_PROPERTIES wanted = c.props, actual;
        EXPECT_EQ(a->SetProperties(&wanted, &actual), c.expected) << c.what;
    }
}

TEST(MemAllocator, BuffersAreAlignedAndPropertiesFrozenWhileCommitted) {
    ComPtr<IMemAllocator> a = Committed(2, 100, 64);
    ComPtr<IMediaSample> s = Take(a.Get());
    BYTE* p = nullptr;
    s->GetPointer(&p);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 64, 0u);
    EXPECT_EQ(s->GetSize(), 100);
    ALLOCATOR_PROPERTIES wanted = Props(1, 10), actual;
    EXPECT_EQ(a->SetProperties(&wanted, &actual), VFW_E_ALREADY_COMMITTED);
    a->Decommit();
    EXPECT_EQ(a->SetProperties(&wanted, &actual), VFW_E_BUFFERS_OUTSTANDING);
    s.Reset();
    EXPECT_EQ(a->SetProperties(&wanted, &actual), S_OK);
}

TEST(MemAllocator, GetBufferWaitsForAReturnedSample) {
    ComPtr<IMemAllocator> a = Committed(1, 16);
    ComPtr<IMediaSample> first = Take(a.Get());
    ComPtr<IMediaSample> none;
    EXPECT_EQ(a->GetBuffer(none.ReleaseAndGetAddressOf(), nullptr, nullptr, AM_GBF_NOWAIT),
              VFW_E_TIMEOUT);
    std::atomic<bool> got{false};
    std::thread waiter([&] {
        ComPtr<IMediaSample> s;
        got = a->GetBuffer(s.ReleaseAndGetAddressOf(), nullptr, nullptr, 0) == S_OK;
    });
    first.Reset(); // hands the only buffer to the waiter
    waiter.join();
    EXPECT_TRUE(got);
}

TEST(MemAllocator, DecommitReleasesWaitersAndFreesSamplesLater) {
    ComPtr<IMemAllocator> a = Committed(1, 16);
    ComPtr<IMediaSample> held = Take(a.Get());
    std::atomic<HRESULT> result{S_OK};
    std::thread waiter([&] {
        ComPtr<IMediaSample> s;
        result = a->GetBuffer(s.ReleaseAndGetAddressOf(), nullptr, nullptr, 0);
    });
    a->Decommit();
    waiter.join();
    EXPECT_EQ(result.load(), VFW_E_NOT_COMMITTED);
    EXPECT_EQ(static_cast<CMemAllocator*>(a.Get())->OutstandingSamples(), 1);
    held.Reset();
    EXPECT_EQ(static_cast<CMemAllocator*>(a.Get())->OutstandingSamples(), 0);
    // Committed again, the allocator hands out buffers as before.
    EXPECT_EQ(a->Commit(), S_OK);
    EXPECT_TRUE(Take(a.Get()));
}

// An allocator whose system has memory for only so many buffers, or none that it gives without
// throwing, as under an address-space limit.
class TShortOfMemory : public CMemAllocator {
public:
    int buffersLeft = 0;
    bool throws = false;
    int made = 0;

protected:
    std::unique_ptr<BYTE[]> AllocateBufferMemory(size_t bytes) override {
        if (buffersLeft <= 0) {
            if (throws)
                throw std::bad_alloc();
            return nullptr;
        }
        --buffersLeft;
        ++made;
        return CMemAllocator::AllocateBufferMemory(bytes);
    }
};

TEST(MemAllocator, CommitWithoutMemoryFailsHoldsNothingAndCanBeTriedAgain) {
    for (const bool throws : {false, true}) {
        SCOPED_TRACE(throws ? "the allocation throws" : "the allocation answers null");
        ComPtr<TShortOfMemory> a = MakeComObject<TShortOfMemory>();
        a->throws = throws;
        a->buffersLeft = 2;
        ALLOCATOR_PROPERTIES wanted = Props(3, 1000), actual;
        ASSERT_EQ(a->SetProperties(&wanted, &actual), S_OK);
        EXPECT_EQ(a->Commit(), E_OUTOFMEMORY);
        ComPtr<IMediaSample> none;
        EXPECT_EQ(a->GetBuffer(none.ReleaseAndGetAddressOf(), nullptr, nullptr, AM_GBF_NOWAIT),
                  VFW_E_NOT_COMMITTED);
        // Once there is memory again, a commit makes all three buffers afresh.
        a->made = 0;
        a->buffersLeft = 3;
        ASSERT_EQ(a->Commit(), S_OK);
        EXPECT_EQ(a->made, 3);
        ComPtr<IMediaSample> s1 = Take(a.Get()), s2 = Take(a.Get()), s3 = Take(a.Get());
        EXPECT_TRUE(s1 && s2 && s3);
    }
}

TEST(MemAllocator, SampleOutlivesTheLastOtherReferenceToItsAllocator) {
    ComPtr<IMediaSample> s;
    {
        ComPtr<IMemAllocator> a = Committed(1, 16);
        s = Take(a.Get());
    }
    BYTE* p = nullptr;
    ASSERT_EQ(s->GetPointer(&p), S_OK);
    p[15] = 1; // the buffer is still there
    s.Reset();
}

TEST(MediaSample, TimesFlagsAndAttachedTypes) {
    ComPtr<IMemAllocator> a = Committed(1, 64);
    ComPtr<IMediaSample> s = Take(a.Get());
    REFERENCE_TIME start = 0, stop = 0;
    EXPECT_EQ(s->GetTime(&start, &stop), VFW_E_SAMPLE_TIME_NOT_SET);
    REFERENCE_TIME t0 = -400000, t1 = 0;
    s->SetTime(&t0, nullptr);
    EXPECT_EQ(s->GetTime(&start, &stop), VFW_S_NO_STOP_TIME);
    EXPECT_EQ(start, -400000);
    s->SetTime(&t0, &t1);
    EXPECT_EQ(s->GetTime(&start, &stop), S_OK);
    EXPECT_EQ(stop, 0);
    EXPECT_EQ(s->SetActualDataLength(65), VFW_E_BUFFER_OVERFLOW);
    EXPECT_EQ(s->SetActualDataLength(-1), VFW_E_BUFFER_OVERFLOW);
    EXPECT_EQ(s->SetActualDataLength(10), S_OK);
    s->SetPreroll(1);
    s->SetSyncPoint(1);
    AM_MEDIA_TYPE* none = nullptr;
    EXPECT_EQ(s->GetMediaType(&none), S_FALSE);
    EXPECT_EQ(none, nullptr);
    AM_MEDIA_TYPE type(MEDIATYPE_Video, MEDIASUBTYPE_RGB24);
    s->SetMediaType(&type);
    AM_MEDIA_TYPE* copy = nullptr;
    ASSERT_EQ(s->GetMediaType(&copy), S_OK);
    EXPECT_EQ(*copy, type);
    DeleteMediaType(copy);
    // Handed out again, the sample starts clean.
    s.Reset();
    s = Take(a.Get());
    EXPECT_EQ(s->IsPreroll(), S_FALSE);
    EXPECT_EQ(s->IsSyncPoint(), S_FALSE);
    EXPECT_EQ(s->GetActualDataLength(), 64);
    EXPECT_EQ(s->GetMediaType(&copy), S_FALSE);
    EXPECT_EQ(s->GetTime(&start, &stop), VFW_E_SAMPLE_TIME_NOT_SET);
}

TEST(MediaSample, CopySamplePropertiesKeepsWhatTheSourceHas) {
    ComPtr<IMemAllocator> a = Committed(2, 64);
    ComPtr<IMediaSample> from = Take(a.Get());
    ComPtr<IMediaSample> to = Take(a.Get());
    REFERENCE_TIME t0 = 5;
    from->SetTime(&t0, nullptr);
    from->SetDiscontinuity(1);
    LONGLONG m0 = 3, m1 = 4;
    from->SetMediaTime(&m0, &m1);
    ASSERT_EQ(CopySampleProperties(from.Get(), to.Get()), S_OK);
    REFERENCE_TIME start = 0, stop = 0;
    EXPECT_EQ(to->GetTime(&start, &stop), VFW_S_NO_STOP_TIME);
    EXPECT_EQ(start, 5);
    EXPECT_EQ(to->IsDiscontinuity(), S_OK);
    EXPECT_EQ(to->IsPreroll(), S_FALSE);
    LONGLONG ms = 0, me = 0;
    EXPECT_EQ(to->GetMediaTime(&ms, &me), S_OK);
    EXPECT_EQ(me, 4);
}

} // namespace

#pragma once
// A decoder-like copying transform for tests: takes the test codec (KLVC) and gives RGB32 of
// the same size, copying the frame stamp. Preroll input samples are "decoded" (counted) but the
// base class delivers nothing for them. Several decoder classes exist so that tests can register
// them with different merits and see intelligent connect choose among them.
#include "platform/com/ClassRegistry.h"
#include "platform/graph/TransformFilter.h"
#include "tests/platform/graph/testkit/TestMediaTypes.h"

#include <atomic>

namespace kelvara::test {

// Classes of the test decoders (A, B and C differ only by their class and name).
CLSID TestDecoderClsid(int which);

class TTestDecoder : public CTransformFilter {
public:
    explicit TTestDecoder(REFCLSID clsid = TestDecoderClsid(0));

    HRESULT CheckInputType(const CMediaType* mtIn) override;
    HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) override;
    HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
    HRESULT Transform(IMediaSample* pIn, IMediaSample* pOut) override;

    int Decoded() const { return FDecoded.load(); }
    int DecodedPreroll() const { return FPreroll.load(); }

private:
    std::atomic<int> FDecoded{0};
    std::atomic<int> FPreroll{0};
};

// The filter description of test decoder `which` (input: video / KLVC, output: RGB32).
TRegFilter TestDecoderRegistration(int which, DWORD merit);

// Registers a class and its filter description; unregisters both when it goes out of scope.
class TScopedRegistration {
public:
    TScopedRegistration(const TRegFilter& filter, TCreateInstanceFn create);
    ~TScopedRegistration();
    TScopedRegistration(const TScopedRegistration&) = delete;
    TScopedRegistration& operator=(const TScopedRegistration&) = delete;

private:
    CLSID FClsid;
};

// Registers test decoder `which` with the given merit for the scope's lifetime.
class TScopedTestDecoder : public TScopedRegistration {
public:
    TScopedTestDecoder(int which, DWORD merit);
};

} // namespace kelvara::test

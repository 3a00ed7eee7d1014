#include "tests/platform/graph/testkit/TestJunction.h"

#include "tests/platform/graph/testkit/TestMediaTypes.h"

#include <algorithm>

namespace kelvara::test {
namespace {

class TJunctionInput : public CBaseInputPin {
public:
    TJunctionInput(CBaseFilter* filter, int index)
        : CBaseInputPin(QStringLiteral("Junction input"), filter, nullptr,
                        QStringLiteral("In%1").arg(index)) {}
    HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
};

class TJunctionOutput : public CBaseOutputPin {
public:
    TJunctionOutput(CBaseFilter* filter, int index)
        : CBaseOutputPin(QStringLiteral("Junction output"), filter, nullptr,
                         QStringLiteral("Out%1").arg(index)) {}
    HRESULT CheckMediaType(const CMediaType* pmt) override {
        return pmt->majortype == MEDIATYPE_Video ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override {
        if (iPosition < 0)
            return E_INVALIDARG;
        if (iPosition > 0)
            return VFW_S_NO_MORE_ITEMS;
        *pMediaType = MakeVideoType(MEDIASUBTYPE_RGB32, 8, 8, 400000);
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override {
        ALLOCATOR_PROPERTIES wanted = *pRequest, actual;
        wanted.cBuffers = std::max<LONG>(wanted.cBuffers, 1);
        wanted.cbBuffer = std::max<LONG>(wanted.cbBuffer, 256);
        wanted.cbAlign = std::max<LONG>(wanted.cbAlign, 1);
        return pAlloc->SetProperties(&wanted, &actual);
    }
};

} // namespace

TTestJunction::TTestJunction(int inputs, int outputs)
    : CBaseFilter(QStringLiteral("Test junction"), CLSID_TestJunction) {
    for (int i = 0; i < inputs; ++i)
        FPins.push_back(std::make_unique<TJunctionInput>(this, i));
    for (int i = 0; i < outputs; ++i)
        FPins.push_back(std::make_unique<TJunctionOutput>(this, i));
}

TTestJunction::~TTestJunction() = default;

int TTestJunction::GetPinCount() {
    return int(FPins.size());
}

CBasePin* TTestJunction::GetPin(int n) {
    return n >= 0 && n < int(FPins.size()) ? FPins[size_t(n)].get() : nullptr;
}

} // namespace kelvara::test

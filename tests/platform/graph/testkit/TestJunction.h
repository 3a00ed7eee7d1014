#pragma once
// A filter with any number of input and output pins and no streaming, for tests of graph shapes
// (branches, joins, loops): inputs take any type, outputs offer a fixed video type.
#include "platform/graph/BaseFilter.h"
#include "platform/graph/BaseInputPin.h"
#include "platform/graph/BaseOutputPin.h"

#include <memory>
#include <vector>

namespace kelvara::test {

inline constexpr CLSID CLSID_TestJunction{
    0x6B1C2D3E, 0x1A2B, 0x4C5D, {0x9E, 0x01, 0x10, 0x20, 0x30, 0x40, 0x50, 0x04}};

class TTestJunction : public CBaseFilter {
public:
    TTestJunction(int inputs, int outputs);
    ~TTestJunction() override;
    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

private:
    std::vector<std::unique_ptr<CBasePin>> FPins;
};

} // namespace kelvara::test

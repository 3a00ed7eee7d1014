#pragma once
// The number that the picture a windowless renderer shows draws (clips of the "numbers"
// pattern), for the tests on real graphs.
#include "FrameDigits.h"
#include "platform/com/ComPtr.h"
#include "platform/com/TaskMem.h"
#include "platform/filters/RendererInterfaces.h"

#include <cstdlib>
#include <cstring>

namespace kelvara::test {

// -1 when the renderer shows no picture, or none of a number.
inline int64_t ShownNumber(IBaseFilter* renderer) {
    const ComPtr<IVMRWindowlessControl9> control =
        QueryInterfaceOf<IVMRWindowlessControl9>(renderer);
    BYTE* dib = nullptr;
    if (!control || FAILED(control->GetCurrentImage(&dib)) || !dib)
        return -1;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    const int width = header.biWidth, height = std::abs(header.biHeight);
    const BYTE* pixels = dib + header.biSize;
    const bool bottomUp = header.biHeight > 0;
    const int64_t number = ReadFrameNumber(width, height, [&](int x, int y) {
        const BYTE* p =
            pixels + (size_t(bottomUp ? height - 1 - y : y) * size_t(width) + size_t(x)) * 4;
        return (p[0] * 29 + p[1] * 150 + p[2] * 77) >> 8;
    });
    CoTaskMemFree(dib);
    return number;
}

} // namespace kelvara::test

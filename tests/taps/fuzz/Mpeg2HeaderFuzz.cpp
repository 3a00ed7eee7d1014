// The start of an MPEG-2 sample, any bytes and length, through DescribeMpeg2Header.
#include "taps/uMediaDescriptions.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TVideoData d;
    DescribeMpeg2Header(std::span<const uint8_t>(data, size), d);
    return 0;
}

// DV frames of any length and content through both DecodeDVFrame variants. The first byte
// chooses the shape: the bytes as they are (any length), or a 525/60 or 625/50 frame tiled from
// them, so that whole-frame paths are reached from small inputs (one DIF sequence is a good
// seed).
#include "taps/uDVData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TDVDecodeSettings settings;
    if (size == 0)
        return 0;
    const uint8_t shape = data[0] % 3;
    const uint8_t* body = data + 1;
    const size_t length = size - 1;
    std::vector<uint8_t> frame;
    if (shape == 0 || length == 0) {
        frame.assign(body, body + length);
    } else {
        frame.resize(shape == 1 ? DVFrameSize525 : DVFrameSize625);
        for (size_t i = 0; i < frame.size(); ++i)
            frame[i] = body[i % length];
    }
    for (TDVStreamKind kind : {TDVStreamKind::Video, TDVStreamKind::Interleaved}) {
        std::vector<uint8_t> copy = frame;
        TframeData f;
        TVideoData v;
        DecodeDVFrame(kind, copy, settings, f, v);
        IsCompleteFrame(copy, 0);
        IsCompleteFrame(copy, 1);
    }
    return 0;
}

#pragma once
// Clips that kelvara-mksample does not make, written with libavcodec and libavformat in the
// test: colour bars with a chosen colour matrix and range (tagged in the stream or not), deeper
// pixel formats, HEVC, MPEG-4 part 2, AC-3 and MP3 sound, and remuxing into other containers
// (transport streams, QuickTime).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

namespace kelvara::test {

// Eight 75 % bars, white, yellow, cyan, green, magenta, red, blue, black (8-bit RGB).
struct TRgb {
    int r, g, b;
};
const std::vector<TRgb>& BarColours();

enum class TPattern { Bars, Numbers };

struct TVideoClipRecipe {
    std::string encoder = "libx264";
    AVPixelFormat format = AV_PIX_FMT_YUV420P;
    int width = 320, height = 240;
    AVRational rate{25, 1};
    int frames = 25;
    int gop = 12;
    int bframes = 0;
    TPattern pattern = TPattern::Numbers;
    // The matrix and range the pixels are made with; the stream states them only when tagged.
    AVColorSpace matrix = AVCOL_SPC_BT470BG;
    AVColorRange range = AVCOL_RANGE_MPEG;
    bool tagged = false;
    std::vector<std::pair<std::string, std::string>> options;
};

struct TAudioClipRecipe {
    std::string encoder = "aac";
    int rate = 48000;
    int channels = 2;
};

// Writes the clip (video, audio or both; audio lasts as long as the video, or a second).
// Returns the error, empty on success.
std::string WriteClip(const std::string& path, const std::string& container,
                      const TVideoClipRecipe* video, const TAudioClipRecipe* audio);

// Copies every stream of a file into another container; the error, empty on success.
std::string Remux(const std::string& from, const std::string& to, const std::string& container);

// Whether libavcodec has an encoder of that name.
bool HasEncoder(const char* name);

} // namespace kelvara::test

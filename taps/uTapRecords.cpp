#include "taps/uTapRecords.h"

bool SameVideoDescription(const TVideoData& a, const TVideoData& b) {
    return a.Width == b.Width && a.Height == b.Height && a.AspectX == b.AspectX &&
           a.AspectY == b.AspectY && a.AspectKind == b.AspectKind &&
           a.Description == b.Description && a.SizeText == b.SizeText;
}

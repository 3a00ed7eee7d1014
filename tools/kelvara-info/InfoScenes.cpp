#include "InfoScenes.h"

#include <cmath>

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

// Whether b follows a without a jump; both have dates.
bool Continues(const TInfoFrame& a, const TInfoFrame& b, int64_t frameDuration) {
    const double step = (b.RecordingDate - a.RecordingDate) * kMillisecondsPerDay;
    const double limit = 1000.0 + double(frameDuration) / 10000.0;
    return std::isfinite(step) && step >= -0.5 && step <= limit + 0.5;
}

} // namespace

std::vector<TInfoScene> FindScenes(const std::vector<TInfoFrame>& frames, int64_t frameDuration) {
    std::vector<TInfoScene> scenes;
    for (size_t i = 0; i < frames.size(); ++i) {
        const TInfoFrame& f = frames[i];
        const bool starts = scenes.empty() || scenes.back().Dated != f.DateValid ||
                            (f.DateValid && !Continues(frames[i - 1], f, frameDuration));
        if (starts)
            scenes.push_back({i, i, f.DateValid});
        else
            scenes.back().Last = i;
    }
    return scenes;
}

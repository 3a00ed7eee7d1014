#include "platform/filters/FFmpegUtil.h"

#include <cstdlib>
#include <mutex>

namespace kelvara::ff {

int64_t ToMediaTime(int64_t ts, AVRational timeBase) {
    if (ts == AV_NOPTS_VALUE || timeBase.num <= 0 || timeBase.den <= 0)
        return AV_NOPTS_VALUE;
    return av_rescale_q_rnd(ts, timeBase, kMediaTimeBase,
                            AVRounding(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

int64_t FromMediaTime(REFERENCE_TIME t, AVRational timeBase) {
    if (timeBase.num <= 0 || timeBase.den <= 0)
        return t;
    return av_rescale_q_rnd(t, kMediaTimeBase, timeBase,
                            AVRounding(AV_ROUND_DOWN | AV_ROUND_PASS_MINMAX));
}

REFERENCE_TIME FrameDurationOf(AVRational rate) {
    if (rate.num <= 0 || rate.den <= 0)
        return 0;
    return av_rescale(UNITS, rate.den, rate.num);
}

std::string ErrorText(int err) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, text, sizeof(text));
    return text;
}

void InitLogging() {
    static std::once_flag once;
    std::call_once(once, [] {
        // KELVARA_FFMPEG_LOG=1 shows the libraries' warnings, for debugging a file.
        const char* wanted = std::getenv("KELVARA_FFMPEG_LOG");
        av_log_set_level(wanted && *wanted == '1' ? AV_LOG_WARNING : AV_LOG_QUIET);
    });
}

} // namespace kelvara::ff

#include "ToneSource.h"

#include "AvPtr.h"

#include <cmath>

int16_t TToneSource::Sample(int64_t index, int channel) const {
    const double hz = channel % 2 ? 1500.0 : 1000.0;
    const double phase = 2.0 * M_PI * hz * double(index % FRate) / double(FRate);
    return int16_t(std::lround(8000.0 * std::sin(phase)));
}

void TToneSource::Fill(AVFrame* f, int64_t start) const {
    Check(av_frame_make_writable(f), "audio buffer");
    const int channels = f->ch_layout.nb_channels;
    const auto format = AVSampleFormat(f->format);
    for (int i = 0; i < f->nb_samples; ++i)
        for (int c = 0; c < channels; ++c) {
            const int16_t s = Sample(start + i, c);
            switch (format) {
            case AV_SAMPLE_FMT_S16:
                reinterpret_cast<int16_t*>(f->data[0])[i * channels + c] = s;
                break;
            case AV_SAMPLE_FMT_S16P:
                reinterpret_cast<int16_t*>(f->data[c])[i] = s;
                break;
            case AV_SAMPLE_FMT_S32:
                reinterpret_cast<int32_t*>(f->data[0])[i * channels + c] = int32_t(s) << 16;
                break;
            case AV_SAMPLE_FMT_S32P:
                reinterpret_cast<int32_t*>(f->data[c])[i] = int32_t(s) << 16;
                break;
            case AV_SAMPLE_FMT_FLT:
                reinterpret_cast<float*>(f->data[0])[i * channels + c] = float(s) / 32768.0f;
                break;
            case AV_SAMPLE_FMT_FLTP:
                reinterpret_cast<float*>(f->data[c])[i] = float(s) / 32768.0f;
                break;
            default:
                throw TClipError("the tone source cannot write this sample format");
            }
        }
}

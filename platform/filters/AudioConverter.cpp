#include "platform/filters/AudioConverter.h"

TAudioConverter::~TAudioConverter() {
    av_channel_layout_uninit(&FInLayout);
}

void TAudioConverter::SetOutput(int channels, int rate) {
    FChannels = channels;
    FRate = rate;
    Reset();
}

void TAudioConverter::Reset() {
    FContext.reset();
    av_channel_layout_uninit(&FInLayout);
    FInRate = 0;
    FInFormat = -1;
}

bool TAudioConverter::Prepare(const AVFrame* frame) {
    if (FContext && frame->sample_rate == FInRate && frame->format == FInFormat &&
        av_channel_layout_compare(&frame->ch_layout, &FInLayout) == 0)
        return true;
    FContext.reset();
    AVChannelLayout inLayout{};
    if (frame->ch_layout.nb_channels <= 0)
        return false;
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&inLayout, frame->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&inLayout, &frame->ch_layout) < 0)
        return false;
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, FChannels);
    SwrContext* raw = nullptr;
    const int r =
        swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_S16, FRate, &inLayout,
                            AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&outLayout);
    kelvara::ff::TSwrPtr context(raw);
    if (r < 0 || !context || swr_init(context.get()) < 0) {
        av_channel_layout_uninit(&inLayout);
        return false;
    }
    FContext = std::move(context);
    av_channel_layout_uninit(&FInLayout);
    FInLayout = inLayout;
    FInRate = frame->sample_rate;
    FInFormat = frame->format;
    return true;
}

void TAudioConverter::Append(const uint8_t* const* in, int count, std::vector<int16_t>* out) {
    const int room = swr_get_out_samples(FContext.get(), count);
    if (room <= 0)
        return;
    const size_t first = out->size();
    out->resize(first + size_t(room) * size_t(FChannels));
    uint8_t* dst = reinterpret_cast<uint8_t*>(out->data() + first);
    const int made =
        swr_convert(FContext.get(), &dst, room, const_cast<const uint8_t**>(in), count);
    out->resize(first + size_t(std::max(0, made)) * size_t(FChannels));
}

bool TAudioConverter::Convert(const AVFrame* frame, std::vector<int16_t>* out) {
    if (!frame || frame->nb_samples <= 0 || frame->sample_rate <= 0 || !Prepare(frame))
        return false;
    Append(frame->extended_data, frame->nb_samples, out);
    return true;
}

void TAudioConverter::Drain(std::vector<int16_t>* out) {
    if (FContext)
        Append(nullptr, 0, out);
}

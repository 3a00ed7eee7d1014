#include "platform/filters/FormatProbe.h"

#include <vector>

#include <QFile>

const AVInputFormat* ProbeFormat(std::span<const uint8_t> head, const QString& fileName) {
    if (head.empty())
        return nullptr;
    std::vector<uint8_t> buffer(head.begin(), head.end());
    buffer.resize(head.size() + AVPROBE_PADDING_SIZE, 0);
    const QByteArray name = QFile::encodeName(fileName);
    AVProbeData probe{};
    probe.filename = name.constData();
    probe.buf = buffer.data();
    probe.buf_size = int(head.size());
    int score = 0;
    const AVInputFormat* format = av_probe_input_format3(&probe, 1, &score);
    return format && score > AVPROBE_SCORE_RETRY ? format : nullptr;
}

const AVInputFormat* InputFormat(const char* name) {
    return av_find_input_format(name);
}

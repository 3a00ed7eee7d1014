#include "platform/filters/FormatProbe.h"

#include "platform/filters/FilePaths.h"

#include <algorithm>
#include <vector>

namespace {

constexpr size_t kFirstProbeBytes = 2048;

const AVInputFormat* ProbeBytes(std::span<const uint8_t> bytes, const QByteArray& name) {
    std::vector<uint8_t> buffer(bytes.size() + AVPROBE_PADDING_SIZE, 0);
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    AVProbeData probe{};
    probe.filename = name.constData();
    probe.buf = buffer.data();
    probe.buf_size = int(bytes.size());
    int score = 0;
    const AVInputFormat* format = av_probe_input_format3(&probe, 1, &score);
    return format && score > AVPROBE_SCORE_RETRY ? format : nullptr;
}

} // namespace

const AVInputFormat* ProbeFormat(std::span<const uint8_t> head, const QString& fileName) {
    if (head.empty())
        return nullptr;
    head = head.first(std::min(head.size(), kProbeBytes));
    const QByteArray name = PathBytes(fileName);
    // As FFmpeg's own probe: 2 KB, then twice as much each round, to the whole head (damage
    // further in can make a format less certain of a longer stretch).
    for (size_t size = std::min(head.size(), kFirstProbeBytes);;
         size = std::min(head.size(), size * 2)) {
        if (const AVInputFormat* format = ProbeBytes(head.first(size), name))
            return format;
        if (size == head.size())
            return nullptr;
    }
}

const AVInputFormat* InputFormat(const char* name) {
    return av_find_input_format(name);
}

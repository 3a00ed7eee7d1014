#include "InfoReport.h"

#include "InfoScenes.h"

#include <cstdio>
#include <iomanip>
#include <sstream>

namespace {

const std::string kNoDate = "No Datecode";
const std::string kNoTimecode = "NoTimecode";

std::string DateOf(const TInfoFrame& f) {
    return f.DateValid ? IsoDateTime(f.RecordingDate) : std::string();
}

std::string TimecodeOf(const TInfoFrame& f) {
    return f.TimecodeValid ? f.TimecodeText : std::string();
}

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

// A CSV field, quoted when it holds a separator, a quote or a line break.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The length of the valid UTF-8 sequence at text[i] (1 to 4), or 0 when the bytes there are not
// one (a stray continuation byte, an overlong form, a surrogate, a cut sequence, above U+10FFFF).
size_t Utf8SequenceAt(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - i < length)
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

// A JSON string of the text; bytes that are not UTF-8 (a file name in another encoding) become
// U+FFFD, so the document stays valid.
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const size_t length = Utf8SequenceAt(text, i);
            out += length ? text.substr(i, length) : std::string("\\ufffd");
            i += length ? length : 1;
            continue;
        }
        ++i;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

std::string JsonStringOrNull(const std::string& text) {
    return text.empty() ? "null" : JsonString(text);
}

std::string SceneDates(const TInfoFrame& first, const TInfoFrame& last) {
    if (!first.DateValid)
        return kNoDate;
    return DateOf(first) + " - " + DateOf(last);
}

bool HasSeeks(const TInfoResult& r) {
    return !r.Frames.empty() && !r.Frames.front().Target.empty();
}

} // namespace

std::string TextReport(const TInfoResult& r, bool scenesOnly) {
    std::ostringstream out;
    out << "File:   " << r.File << "\n";
    out << "Video:  " << r.VideoText << "\n";
    if (!r.Decoder.empty())
        out << "Decoder: " << r.Decoder << "\n";
    out << "Audio:  " << (r.AudioText ? *r.AudioText : std::string("none")) << "\n";
    out << "Frames: " << r.Frames.size() << "\n\n";
    if (scenesOnly) {
        const std::vector<TInfoScene> scenes = FindScenes(r.Frames, r.FrameDuration);
        out << "Scenes: " << scenes.size() << "\n";
        out << Padded("scene", 7) << Padded("frames", 16) << Padded("positions", 26)
            << "recording dates\n";
        for (size_t i = 0; i < scenes.size(); ++i) {
            const TInfoFrame& first = r.Frames[scenes[i].First];
            const TInfoFrame& last = r.Frames[scenes[i].Last];
            out << Padded(std::to_string(i + 1), 7)
                << Padded(std::to_string(first.Index) + "-" + std::to_string(last.Index), 16)
                << Padded(first.PositionText + " - " + last.PositionText, 26)
                << SceneDates(first, last) << "\n";
        }
        return out.str();
    }
    const bool seeks = HasSeeks(r);
    if (seeks)
        out << Padded("target", 14);
    out << Padded("frame", 8) << Padded("position", 14) << Padded("recording date", 21)
        << "time code\n";
    for (const TInfoFrame& f : r.Frames) {
        if (seeks)
            out << Padded(f.Target, 14);
        out << Padded(std::to_string(f.Index), 8) << Padded(f.PositionText, 14)
            << Padded(f.DateValid ? DateOf(f) : kNoDate, 21)
            << (f.TimecodeValid ? f.TimecodeText : kNoTimecode);
        if (f.LastReachable)
            out << "  (past the end: the last reachable frame)";
        out << "\n";
    }
    return out.str();
}

std::string CsvReport(const TInfoResult& r, bool scenes) {
    std::ostringstream out;
    if (scenes) {
        out << "scene,first_frame,last_frame,first_position,last_position,first_date,last_date\n";
        const std::vector<TInfoScene> found = FindScenes(r.Frames, r.FrameDuration);
        for (size_t i = 0; i < found.size(); ++i) {
            const TInfoFrame& first = r.Frames[found[i].First];
            const TInfoFrame& last = r.Frames[found[i].Last];
            out << i + 1 << ',' << first.Index << ',' << last.Index << ','
                << CsvField(first.PositionText) << ',' << CsvField(last.PositionText) << ','
                << DateOf(first) << ',' << DateOf(last) << "\n";
        }
        return out.str();
    }
    const bool seeks = HasSeeks(r);
    out << (seeks ? "target," : "") << "frame,position,recording_date,timecode"
        << (seeks ? ",landing\n" : "\n");
    for (const TInfoFrame& f : r.Frames) {
        if (seeks)
            out << CsvField(f.Target) << ',';
        out << f.Index << ',' << CsvField(f.PositionText) << ',' << DateOf(f) << ','
            << CsvField(TimecodeOf(f));
        if (seeks)
            out << ',' << (f.LastReachable ? "last_reachable" : "exact");
        out << "\n";
    }
    return out.str();
}

std::string JsonReport(const TInfoResult& r) {
    std::ostringstream out;
    out << "{\n  \"file\": " << JsonString(r.File) << ",\n";
    out << "  \"video\": " << JsonString(r.VideoText) << ",\n";
    out << "  \"decoder\": " << (r.Decoder.empty() ? "null" : JsonString(r.Decoder)) << ",\n";
    out << "  \"audio\": " << (r.AudioText ? JsonString(*r.AudioText) : "null") << ",\n";
    out << "  \"frame_duration\": " << r.FrameDuration << ",\n";
    out << "  \"frames\": [";
    for (size_t i = 0; i < r.Frames.size(); ++i) {
        const TInfoFrame& f = r.Frames[i];
        out << (i ? ",\n    " : "\n    ") << "{\"frame\": " << f.Index
            << ", \"position\": " << JsonString(f.PositionText)
            << ", \"recording_date\": " << JsonStringOrNull(DateOf(f))
            << ", \"timecode\": " << JsonStringOrNull(TimecodeOf(f));
        if (!f.Target.empty())
            out << ", \"target\": " << JsonString(f.Target) << ", \"seek_ms\": " << std::fixed
                << std::setprecision(1) << f.SeekMilliseconds
                << ", \"last_reachable\": " << (f.LastReachable ? "true" : "false");
        out << "}";
    }
    out << (r.Frames.empty() ? "],\n" : "\n  ],\n");
    const std::vector<TInfoScene> scenes = FindScenes(r.Frames, r.FrameDuration);
    out << "  \"scenes\": [";
    for (size_t i = 0; i < scenes.size(); ++i) {
        const TInfoFrame& first = r.Frames[scenes[i].First];
        const TInfoFrame& last = r.Frames[scenes[i].Last];
        out << (i ? ",\n    " : "\n    ") << "{\"first_frame\": " << first.Index
            << ", \"last_frame\": " << last.Index
            << ", \"first_position\": " << JsonString(first.PositionText)
            << ", \"last_position\": " << JsonString(last.PositionText)
            << ", \"first_date\": " << JsonStringOrNull(DateOf(first))
            << ", \"last_date\": " << JsonStringOrNull(DateOf(last)) << "}";
    }
    out << (scenes.empty() ? "]\n}\n" : "\n  ]\n}\n");
    return out.str();
}

#include "Options.h"

#include "AvPtr.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

int64_t ToInteger(const std::string& text, const std::string& what) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0)
        throw TClipError(what + ": not a whole number: " + text);
    return v;
}

double ToDouble(const std::string& text, const std::string& what) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        throw TClipError(what + ": not a number: " + text);
    return v;
}

bool IsLeap(int y) {
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

int MonthDays(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

TCalendarTime ParseDate(const std::string& text) {
    TCalendarTime t;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.Year, &t.Month, &t.Day, &t.Hour,
                    &t.Minute, &t.Second, &tail) != 6 ||
        t.Year < 1970 || t.Year > 2039 || t.Month < 1 || t.Month > 12 || t.Day < 1 ||
        t.Day > MonthDays(t.Year, t.Month) || t.Hour > 23 || t.Minute > 59 || t.Second > 59)
        throw TClipError(
            "--date: expected YYYY-MM-DDTHH:MM:SS from 1970 to 2039 (DV years have two "
            "digits, read as 1940 to 2039): " +
            text);
    return t;
}

TTimecodeValue ParseTimecode(const std::string& text) {
    TTimecodeValue t;
    char sep = 0, tail = 0;
    if (std::sscanf(text.c_str(), "%2d:%2d:%2d%c%2d%c", &t.Hours, &t.Minutes, &t.Seconds, &sep,
                    &t.Frames, &tail) != 5 ||
        (sep != ':' && sep != ';') || t.Hours < 0 || t.Hours > 23 || t.Minutes < 0 ||
        t.Minutes > 59 || t.Seconds < 0 || t.Seconds > 59 || t.Frames < 0 || t.Frames > 29)
        throw TClipError("--timecode: expected HH:MM:SS:FF: " + text);
    t.DropFrame = sep == ';';
    return t;
}

void ParseRate(const std::string& text, TOptions& o) {
    const auto slash = text.find('/');
    o.RateNum = int(ToInteger(text.substr(0, slash), "--rate"));
    o.RateDen = slash == std::string::npos ? 1 : int(ToInteger(text.substr(slash + 1), "--rate"));
    if (o.RateNum <= 0 || o.RateDen <= 0)
        throw TClipError("--rate: expected N or N/D: " + text);
}

void ParseSize(const std::string& text, TOptions& o) {
    const auto x = text.find('x');
    if (x == std::string::npos)
        throw TClipError("--size: expected WxH: " + text);
    o.Width = int(ToInteger(text.substr(0, x), "--size"));
    o.Height = int(ToInteger(text.substr(x + 1), "--size"));
    if (o.Width < 16 || o.Height < 16 || o.Width > 4096 || o.Height > 4096 || o.Width % 2 ||
        o.Height % 2)
        throw TClipError("--size: even sizes from 16 to 4096: " + text);
}

using TSetter = std::function<void(TOptions&, const std::string&)>;

const std::map<std::string, TSetter>& Setters() {
    static const std::map<std::string, TSetter> setters = {
        {"seconds",
         [](TOptions& o, const std::string& v) {
             o.Seconds = ToDouble(v, "--seconds");
             if (!(o.Seconds > 0 && o.Seconds <= 600))
                 throw TClipError("--seconds: from more than 0 to 600");
         }},
        {"system",
         [](TOptions& o, const std::string& v) {
             if (v != "pal" && v != "ntsc")
                 throw TClipError("--system: pal or ntsc");
             o.System = v;
         }},
        {"aspect",
         [](TOptions& o, const std::string& v) {
             if (v != "4:3" && v != "16:9")
                 throw TClipError("--aspect: 4:3 or 16:9");
             o.Aspect = v;
         }},
        {"pattern",
         [](TOptions& o, const std::string& v) {
             if (v != "bars" && v != "numbers")
                 throw TClipError("--pattern: bars or numbers");
             o.Pattern = v;
         }},
        {"size", [](TOptions& o, const std::string& v) { ParseSize(v, o); }},
        {"rate", [](TOptions& o, const std::string& v) { ParseRate(v, o); }},
        {"gop",
         [](TOptions& o, const std::string& v) {
             o.Gop = int(ToInteger(v, "--gop"));
             if (o.Gop < 1 || o.Gop > 1000)
                 throw TClipError("--gop: 1 to 1000");
         }},
        {"bframes",
         [](TOptions& o, const std::string& v) {
             o.BFrames = int(ToInteger(v, "--bframes"));
             if (o.BFrames < 0 || o.BFrames > 4)
                 throw TClipError("--bframes: 0 to 4");
         }},
        {"audio-rate",
         [](TOptions& o, const std::string& v) {
             o.AudioRate = int(ToInteger(v, "--audio-rate"));
             if (o.AudioRate < 8000 || o.AudioRate > 96000)
                 throw TClipError("--audio-rate: 8000 to 96000");
         }},
        {"audio-bits",
         [](TOptions& o, const std::string& v) {
             o.AudioBits = int(ToInteger(v, "--audio-bits"));
             if (o.AudioBits != 16 && o.AudioBits != 12)
                 throw TClipError("--audio-bits: 16 or 12");
         }},
        {"date", [](TOptions& o, const std::string& v) { o.Date = ParseDate(v); }},
        {"timecode", [](TOptions& o, const std::string& v) { o.Timecode = ParseTimecode(v); }},
        {"avi-type",
         [](TOptions& o, const std::string& v) {
             o.AviType = int(ToInteger(v, "--avi-type"));
             if (o.AviType != 1 && o.AviType != 2)
                 throw TClipError("--avi-type: 1 or 2");
         }},
        {"remove-timecode",
         [](TOptions& o, const std::string& v) { o.RemoveTimecode = TFrameSet::Parse(v); }},
        {"remove-date",
         [](TOptions& o, const std::string& v) { o.RemoveDate = TFrameSet::Parse(v); }},
        {"invalid-date",
         [](TOptions& o, const std::string& v) {
             if (v != "month0" && v != "april31")
                 throw TClipError("--invalid-date: month0 or april31");
             o.InvalidDate = v;
         }},
        {"invalid-date-frames",
         [](TOptions& o, const std::string& v) { o.InvalidDateFrames = TFrameSet::Parse(v); }},
        {"from", [](TOptions& o, const std::string& v) { o.From = v; }},
        {"keep",
         [](TOptions& o, const std::string& v) {
             o.Keep = ToDouble(v, "--keep");
             if (!(o.Keep > 0 && o.Keep < 1))
                 throw TClipError("--keep: a fraction between 0 and 1");
         }},
        {"bytes",
         [](TOptions& o, const std::string& v) {
             o.Bytes = ToInteger(v, "--bytes");
             if (o.Bytes < 0 || o.Bytes > (int64_t(1) << 30))
                 throw TClipError("--bytes: 0 to 1 GiB");
         }},
        {"seed",
         [](TOptions& o, const std::string& v) { o.Seed = uint32_t(ToInteger(v, "--seed")); }},
    };
    return setters;
}

} // namespace

TFrameSet TFrameSet::Parse(const std::string& text) {
    TFrameSet set;
    set.FText = text;
    if (text == "all") {
        set.FAll = true;
        return set;
    }
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t dash = item.find('-');
        const int64_t first = ToInteger(item.substr(0, dash), "frame list");
        const int64_t last =
            dash == std::string::npos ? first : ToInteger(item.substr(dash + 1), "frame list");
        if (first < 0 || last < first)
            throw TClipError("frame list: expected all or numbers and ranges like 0,3,10-12: " +
                             text);
        set.FRanges.emplace_back(first, last);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return set;
}

bool TFrameSet::Contains(int64_t frame) const {
    if (FAll)
        return true;
    for (const auto& r : FRanges)
        if (frame >= r.first && frame <= r.second)
            return true;
    return false;
}

std::string TCalendarTime::Iso() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", Year, Month, Day, Hour, Minute,
                  Second);
    return buf;
}

std::string TTimecodeValue::Text() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d%c%02d", Hours, Minutes, Seconds,
                  DropFrame ? ';' : ':', Frames);
    return buf;
}

TOptions ParseOptions(int argc, char** argv) {
    TOptions o;
    o.InvalidDateFrames = TFrameSet::Parse("all");
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--list") {
            o.List = true;
        } else if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--json") {
            o.Json = true;
        } else if (a == "--no-audio") {
            o.NoAudio = true;
        } else if (a.rfind("--", 0) == 0) {
            std::string name = a.substr(2), value;
            const auto eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                throw TClipError("--" + name + " needs a value");
            }
            const auto it = Setters().find(name);
            if (it == Setters().end())
                throw TClipError("unknown option --" + name);
            it->second(o, value);
        } else {
            positional.push_back(a);
        }
    }
    if (o.List || o.Help)
        return o;
    if (positional.size() != 2)
        throw TClipError("expected KIND and OUT (see --help)");
    o.Kind = positional[0];
    o.Out = positional[1];
    return o;
}

std::string UsageText() {
    return "usage: kelvara-mksample --list\n"
           "       kelvara-mksample KIND OUT [options] [--json]\n"
           "common options: --seconds S --pattern bars|numbers --size WxH --rate N[/D] --gop N\n"
           "       --bframes N --system pal|ntsc --aspect 4:3|16:9 --audio-rate HZ --no-audio\n"
           "dv: --system pal|ntsc [--date YYYY-MM-DDTHH:MM:SS] [--timecode HH:MM:SS:FF]\n"
           "       [--seconds S] [--aspect 4:3|16:9] [--avi-type 1|2] [--audio-rate "
           "48000|44100|32000]\n"
           "       [--audio-bits 16|12] [--remove-timecode FRAMES] [--remove-date FRAMES]\n"
           "       [--invalid-date month0|april31 [--invalid-date-frames FRAMES]]\n"
           "       OUT ending in .dv is raw DV, .avi an AVI of the given type (2 by default)\n"
           "truncated: --from KIND --keep FRACTION;  random: --bytes N --seed N\n"
           "FRAMES: all, or numbers and ranges like 0,3,10-12\n"
           "Each clip's parameters are printed as key=value lines, or as JSON with --json.\n";
}

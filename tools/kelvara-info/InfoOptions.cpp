#include "InfoOptions.h"

#include <charconv>

namespace {

bool ParseCount(const std::string& text, int64_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 0;
}

// Splits "--name=value" into name and value.
std::pair<std::string, std::optional<std::string>> SplitOption(const std::string& arg) {
    const size_t eq = arg.find('=');
    if (eq == std::string::npos)
        return {arg, std::nullopt};
    return {arg.substr(0, eq), arg.substr(eq + 1)};
}

TInfoOptionsResult Fail(const std::string& error) {
    return {std::nullopt, error};
}

} // namespace

TInfoOptionsResult ParseInfoOptions(const std::vector<std::string>& args) {
    TInfoOptions o;
    bool formatSet = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (!o.File.empty())
                return Fail("more than one file given: " + arg);
            o.File = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        auto [name, value] = SplitOption(arg);
        const bool takesValue = name == "--frames" || name == "--source";
        if (takesValue && !value) {
            if (i + 1 >= args.size())
                return Fail(name + " needs a value");
            value = args[++i];
        } else if (!takesValue && value) {
            return Fail(name + " takes no value");
        }
        if (name == "--help" || name == "-h") {
            o.Help = true;
        } else if (name == "--csv" || name == "--json") {
            const TInfoFormat format = name == "--csv" ? TInfoFormat::Csv : TInfoFormat::Json;
            if (formatSet && o.Format != format)
                return Fail("--csv and --json cannot be combined");
            o.Format = format;
            formatSet = true;
        } else if (name == "--scenes") {
            o.Scenes = true;
        } else if (name == "--frames") {
            if (!ParseCount(*value, o.MaxFrames))
                return Fail("--frames needs a number of frames, not \"" + *value + "\"");
        } else if (name == "--source") {
            if (*value == "auto")
                o.Source = TInfoSource::Auto;
            else if (*value == "lav")
                o.Source = TInfoSource::Lav;
            else if (*value == "file")
                o.Source = TInfoSource::File;
            else
                return Fail("--source is auto, lav or file, not \"" + *value + "\"");
        } else {
            return Fail("unknown option " + name);
        }
    }
    if (!o.Help && o.File.empty())
        return Fail("no file given");
    return {o, {}};
}

std::string InfoUsageText() {
    return "Usage: kelvara-info [options] FILE\n"
           "Plays the video of FILE without a clock and prints its video and audio descriptions\n"
           "and, for every frame shown, its position, DV recording date and time code.\n"
           "\n"
           "  --csv            one CSV row per frame: frame,position,recording_date,timecode\n"
           "  --json           one JSON object with the descriptions, frames and scenes\n"
           "  --scenes         one line per scene: a run of frames whose recording date goes on\n"
           "                   without a jump (backwards, or by more than a second and a frame)\n"
           "  --frames N       stop after N frames\n"
           "  --source S       auto (default), lav (\"LAV Splitter Source\") or file\n"
           "                   (\"File Source (Async.)\" and a splitter)\n"
           "  --help           this text\n"
           "\n"
           "Exit status: 0 done, 1 bad command line, 2 no such file, 3 the file cannot be read\n"
           "(or is not a regular file), 4 the file has no video stream, 5 the video cannot be\n"
           "decoded or played, 6 playing stopped before the end, 7 out of memory, 8 the picture\n"
           "is larger than the program can show, 9 the report cannot be written, 10 an error in\n"
           "the program. After 6, 7 and 8 the frames shown before are printed.\n"
           "Set KELVARA_INFO_VERBOSE=1 to see the media libraries' own warnings.\n";
}

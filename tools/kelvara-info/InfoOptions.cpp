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

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos)
            return items;
        start = comma + 1;
    }
}

} // namespace

bool IsSeekTarget(const std::string& text) {
    if (text.size() > 1 && text[0] == '#') {
        int64_t frame = 0;
        return ParseCount(text.substr(1), frame);
    }
    if (text.empty() || text.size() > 24 || text.front() == ':' || text.back() == ':')
        return false;
    int fields = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ':') {
            if (text[i - 1] == ':')
                return false;
            ++fields;
        } else if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return fields <= 4;
}

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
        const bool takesValue =
            name == "--frames" || name == "--source" || name == "--at" || name == "--save";
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
            else if (*value == "private")
                o.Source = TInfoSource::Private;
            else
                return Fail("--source is auto, lav, file or private, not \"" + *value + "\"");
        } else if (name == "--at") {
            for (const std::string& target : SplitList(*value)) {
                if (!IsSeekTarget(target))
                    return Fail("--at takes positions (h:mm:ss:ff) or frames (#N), not \"" +
                                target + "\"");
                o.At.push_back(target);
            }
        } else if (name == "--save") {
            if (value->empty())
                return Fail("--save needs a folder");
            o.SaveFolder = *value;
        } else {
            return Fail("unknown option " + name);
        }
    }
    if (!o.Help && o.File.empty())
        return Fail("no file given");
    if (!o.SaveFolder.empty() && o.At.empty())
        return Fail("--save goes with --at");
    if (!o.At.empty() && (o.Scenes || o.MaxFrames >= 0))
        return Fail("--at cannot be combined with --scenes or --frames");
    return {o, {}};
}

std::string InfoUsageText() {
    return "Usage: kelvara-info [options] FILE\n"
           "Plays the video of FILE without a clock and prints its video and audio descriptions,\n"
           "the video decoder used and, for every frame shown, its position, DV recording date\n"
           "and time code.\n"
           "\n"
           "  --csv            one CSV row per frame: frame,position,recording_date,timecode\n"
           "  --json           one JSON object with the descriptions, frames and scenes\n"
           "  --scenes         one line per scene: a run of frames whose recording date goes on\n"
           "                   without a jump (backwards, or by more than a second and a frame)\n"
           "  --frames N       stop after N frames\n"
           "  --source S       auto (default: the program's choice by the file's extension),\n"
           "                   lav (\"LAV Splitter Source\"), file (\"File Source (Async.)\"\n"
           "                   and a splitter) or private (the program's choice through the\n"
           "                   private decoder packages in the tool's folder)\n"
           "  --at LIST        instead of playing, seek to each position of LIST in turn, frame\n"
           "                   exactly, and print the frame shown after each: positions "
           "h:mm:ss:ff\n"
           "                   or #N for frame N counted from 0, separated by commas (#936,#935\n"
           "                   steps back); a position past the end lands on the last reachable\n"
           "                   frame, and the row says so\n"
           "  --save DIR       with --at: write each frame landed on to DIR as a 24-bit BMP named\n"
           "                   after its frame index (936.bmp)\n"
           "  --help           this text\n"
           "\n"
           "Exit status: 0 done, 1 bad command line, 2 no such file, 3 the file cannot be read\n"
           "(or is not a regular file), 4 the file has no video stream, 5 the video cannot be\n"
           "decoded or played, 6 playing stopped before the end, 7 out of memory, 8 the picture\n"
           "is larger than the program can show, 9 the report cannot be written, 10 an error in\n"
           "the program. After 6, 7 and 8 the frames shown before are printed.\n"
           "Set KELVARA_INFO_VERBOSE=1 to see the media libraries' own warnings.\n";
}

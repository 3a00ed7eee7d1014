#pragma once
// The command line of kelvara-info:
//   kelvara-info [--csv | --json] [--scenes] [--frames N] [--source auto|lav|file|private] FILE
//   kelvara-info [--csv | --json] [--source S] --at LIST [--save DIR] FILE
//   kelvara-info --help
// --at LIST: positions (h:mm:ss:ff as the position edit takes them, or #N for frame N from 0),
// comma-separated, each reached in turn by a frame-exact seek on the paused graph; --save DIR
// writes each frame landed on as a 24-bit BMP named after its frame index.
// Options may come before or after the file; "--" ends the options.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class TInfoFormat { Text, Csv, Json };
// Which filter reads the file: the platform's "File Source (Async.)" with the AVI splitter for AVI
// files and "LAV Splitter Source" for the rest (auto), or one of the two for every file; or the
// program's choice with its private decoder packages, loaded from the tool's folder (private).
enum class TInfoSource { Auto, Lav, File, Private };

struct TInfoOptions {
    std::string File;
    TInfoFormat Format = TInfoFormat::Text;
    bool Scenes = false;
    bool Help = false;
    int64_t MaxFrames = -1; // -1: every frame
    TInfoSource Source = TInfoSource::Auto;
    std::vector<std::string> At; // the --at targets as typed ("#12", "0:00:01:05")
    std::string SaveFolder;      // --save: empty when not given
};

// Whether text is a target of --at: "#" and a frame number, or a position text (digits and
// colons, at most four fields).
bool IsSeekTarget(const std::string& text);

struct TInfoOptionsResult {
    std::optional<TInfoOptions> Options;
    std::string Error; // set when Options is empty
};

TInfoOptionsResult ParseInfoOptions(const std::vector<std::string>& args);
std::string InfoUsageText();

#pragma once
// The command line of kelvara-info:
//   kelvara-info [--csv | --json] [--scenes] [--frames N] [--source auto|lav|file] FILE
//   kelvara-info --help
// Options may come before or after the file; "--" ends the options.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class TInfoFormat { Text, Csv, Json };
// Which filter reads the file: the platform's "File Source (Async.)" with the AVI splitter for AVI
// files and "LAV Splitter Source" for the rest (auto), or one of the two for every file.
enum class TInfoSource { Auto, Lav, File };

struct TInfoOptions {
    std::string File;
    TInfoFormat Format = TInfoFormat::Text;
    bool Scenes = false;
    bool Help = false;
    int64_t MaxFrames = -1; // -1: every frame
    TInfoSource Source = TInfoSource::Auto;
};

struct TInfoOptionsResult {
    std::optional<TInfoOptions> Options;
    std::string Error; // set when Options is empty
};

TInfoOptionsResult ParseInfoOptions(const std::vector<std::string>& args);
std::string InfoUsageText();

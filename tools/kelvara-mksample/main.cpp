// kelvara-mksample: makes deterministic sample clips for tests and benchmarks (see Options.h
// for the command line and Kinds.cpp for what each kind holds) and prints each clip's
// parameters.
#include "AvPtr.h"
#include "Kinds.h"

#include <cstdio>
#include <filesystem>

extern "C" {
#include <libavutil/log.h>
}

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    TOptions options;
    try {
        options = ParseOptions(argc, argv);
    } catch (const TClipError& e) {
        std::fprintf(stderr, "kelvara-mksample: %s\n%s", e.what(), UsageText().c_str());
        return 2;
    }
    if (options.Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.List) {
        for (const auto& k : Kinds())
            std::printf("%s\t%s\n", k.Name.c_str(), k.Description.c_str());
        return 0;
    }
    TClipParams params;
    try {
        MakeClip(options, params);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvara-mksample: %s: %s\n", options.Out.c_str(), e.what());
        std::error_code ec;
        std::filesystem::remove(options.Out, ec); // an incomplete clip is worse than none
        return 1;
    }
    std::fputs((options.Json ? params.Json() : params.Text()).c_str(), stdout);
    return 0;
}

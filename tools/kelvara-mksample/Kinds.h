#pragma once
// The kinds of clip the tool makes, each with the container, codecs and settings it stands for.
#include "ClipParams.h"
#include "Options.h"

#include <string>
#include <vector>

struct TKind {
    std::string Name;
    std::string Description;
};

const std::vector<TKind>& Kinds();

// Makes the clip of options.Kind at options.Out and records its parameters; throws TClipError.
void MakeClip(const TOptions& options, TClipParams& params);

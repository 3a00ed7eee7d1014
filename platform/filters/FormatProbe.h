#pragma once
// FFmpeg's own recognition of a stream from its first bytes (and the file name, when there is
// one), for the sources and splitters that take whatever the library reads. Only a confident
// answer counts: random bytes that merely resemble a format are refused.
//
// Like FFmpeg's own probe, it looks at the first 2 KB and, while they say nothing for certain,
// at twice as much each round, up to kProbeBytes: a file whose start is damaged (a DV tape whose
// first frame is a dropout, zeros) is still recognised by what follows.
#include <cstddef>
#include <cstdint>
#include <span>

#include <QString>

extern "C" {
#include <libavformat/avformat.h>
}

// How much of a stream's start the probe may look at (FFmpeg's own probe stops there too).
inline constexpr size_t kProbeBytes = size_t(1) << 20;

// The input format, or null when the library is not confident.
const AVInputFormat* ProbeFormat(std::span<const uint8_t> head, const QString& fileName = {});

// The input format of one of FFmpeg's demuxers by name (null when the library lacks it).
const AVInputFormat* InputFormat(const char* name);

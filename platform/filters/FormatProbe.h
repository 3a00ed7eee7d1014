#pragma once
// FFmpeg's own recognition of a stream from its first bytes (and the file name, when there is
// one), for the sources and splitters that take whatever the library reads. Only a confident
// answer counts: random bytes that merely resemble a format are refused.
#include <cstdint>
#include <span>

#include <QString>

extern "C" {
#include <libavformat/avformat.h>
}

// The input format, or null when the library is not confident.
const AVInputFormat* ProbeFormat(std::span<const uint8_t> head, const QString& fileName = {});

// The input format of one of FFmpeg's demuxers by name (null when the library lacks it).
const AVInputFormat* InputFormat(const char* name);

#pragma once
// A type-1 DV AVI: one interleaved audio-and-video stream ('iavs', handler 'dvsd') whose format
// is a DVINFO block, one '00dc' chunk per DV frame and an idx1 index. libavformat cannot write
// this kind of file. The file is a plain RIFF AVI without OpenDML extensions, so it must stay
// below 1 GiB; longer clips are refused.
#include <cstdint>
#include <string>
#include <vector>

using TDVFrames = std::vector<std::vector<uint8_t>>;

void WriteType1Avi(const std::string& path, const TDVFrames& frames, bool pal);

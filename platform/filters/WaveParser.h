#pragma once
// "Wave Parser" (CLSID_WAVEParser): WAV files only; one audio pin with the file's own
// WAVEFORMATEX.
#include "platform/filters/PullSplitter.h"

class TWaveParser : public TPullSplitter {
public:
    TWaveParser();

protected:
    bool ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) override;
};

#pragma once
// "WM ASF Reader" (CLSID_WMAsfReader): opens ASF files (WMV, WMA) itself and offers their
// video and audio streams with the FOURCC and wave format tags of the file.
#include "platform/filters/FileSplitterSource.h"

class TAsfReader : public TFileSplitterSource {
public:
    TAsfReader();

protected:
    bool ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) override;
};

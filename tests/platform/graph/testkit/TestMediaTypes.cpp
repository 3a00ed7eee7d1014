#include "tests/platform/graph/testkit/TestMediaTypes.h"

#include <cstring>

namespace kelvara::test {

AM_MEDIA_TYPE MakeVideoType(REFGUID subtype, LONG width, LONG height, REFERENCE_TIME frameDuration,
                            bool temporalCompression) {
    AM_MEDIA_TYPE mt(MEDIATYPE_Video, subtype, FORMAT_VideoInfo);
    VIDEOINFOHEADER vih;
    vih.rcSource = {0, 0, width, height};
    vih.rcTarget = vih.rcSource;
    vih.AvgTimePerFrame = frameDuration;
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biBitCount = 32;
    vih.bmiHeader.biCompression = subtype == MEDIASUBTYPE_RGB32 ? BI_RGB : subtype.Data1;
    vih.bmiHeader.biSizeImage = DWORD(width * height * 4);
    mt.SetFormat(vih);
    mt.bFixedSizeSamples = subtype == MEDIASUBTYPE_RGB32;
    mt.bTemporalCompression = temporalCompression;
    mt.lSampleSize = vih.bmiHeader.biSizeImage;
    return mt;
}

bool WriteStamp(IMediaSample* sample, TFrameStamp stamp) {
    BYTE* data = nullptr;
    if (!sample || FAILED(sample->GetPointer(&data)) || sample->GetSize() < LONG(sizeof stamp))
        return false;
    std::memcpy(data, &stamp, sizeof stamp);
    if (sample->GetActualDataLength() < LONG(sizeof stamp))
        sample->SetActualDataLength(sizeof stamp);
    return true;
}

bool ReadStamp(IMediaSample* sample, TFrameStamp* stamp) {
    BYTE* data = nullptr;
    if (!sample || !stamp || FAILED(sample->GetPointer(&data)) ||
        sample->GetActualDataLength() < LONG(sizeof *stamp))
        return false;
    std::memcpy(stamp, data, sizeof *stamp);
    return true;
}

} // namespace kelvara::test

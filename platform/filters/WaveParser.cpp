#include "platform/filters/WaveParser.h"

#include "platform/filters/FormatProbe.h"
#include "platform/filters/StreamSniffer.h"
#include "platform/graph/MediaGuids.h"

TWaveParser::TWaveParser()
    : TPullSplitter(QStringLiteral("Wave Parser"), CLSID_WAVEParser, TSplitterFlavour::Wave,
                    {MEDIASUBTYPE_WAVE}) {}

bool TWaveParser::ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) {
    if (SniffStreamSubtype(head) != MEDIASUBTYPE_WAVE)
        return false;
    *format = InputFormat("wav");
    return *format != nullptr;
}

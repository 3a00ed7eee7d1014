#include "platform/filters/AsfReader.h"

#include "platform/filters/FormatProbe.h"
#include "platform/filters/StreamSniffer.h"
#include "platform/graph/MediaGuids.h"

TAsfReader::TAsfReader()
    : TFileSplitterSource(QStringLiteral("WM ASF Reader"), CLSID_WMAsfReader,
                          TSplitterFlavour::Asf) {}

bool TAsfReader::ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) {
    if (SniffStreamSubtype(head) != MEDIASUBTYPE_Asf)
        return false;
    *format = InputFormat("asf");
    return *format != nullptr;
}

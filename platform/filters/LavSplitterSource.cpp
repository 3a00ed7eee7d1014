#include "platform/filters/LavSplitterSource.h"

#include "platform/filters/FormatProbe.h"
#include "platform/graph/MediaGuids.h"

TLavSplitterSource::TLavSplitterSource()
    : TFileSplitterSource(QStringLiteral("LAV Splitter Source"), CLSID_LAVSplitterSource,
                          TSplitterFlavour::Generic) {}

bool TLavSplitterSource::ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) {
    *format = ProbeFormat(head, FileName());
    return *format != nullptr;
}

#include "platform/filters/LavSplitter.h"

#include "platform/filters/FormatProbe.h"
#include "platform/graph/MediaGuids.h"

TLavSplitter::TLavSplitter()
    : TPullSplitter(QStringLiteral("LAV Splitter"), CLSID_LAVSplitter, TSplitterFlavour::Generic,
                    {}) {}

bool TLavSplitter::ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) {
    *format = ProbeFormat(head);
    return *format != nullptr;
}

#include "platform/filters/PullSplitter.h"

#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"

#include <algorithm>

TSplitterInputPin::TSplitterInputPin(TPullSplitter* splitter)
    : CBasePin(QStringLiteral("Splitter input pin"), splitter, nullptr, QStringLiteral("Input"),
               PINDIR_INPUT),
      FSplitter(splitter) {}

HRESULT TSplitterInputPin::CheckMediaType(const CMediaType* pmt) {
    if (!pmt)
        return E_POINTER;
    if (pmt->majortype != MEDIATYPE_Stream || !FSplitter->AcceptsSubtype(pmt->subtype))
        return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT TSplitterInputPin::CompleteConnect(IPin* pReceivePin) {
    ComPtr<IAsyncReader> reader = QueryInterfaceOf<IAsyncReader>(pReceivePin);
    if (!reader)
        return E_NOINTERFACE;
    const HRESULT hr = FSplitter->OpenReader(reader.Get());
    GRAPH_TRACE(QStringLiteral("%1 opens its stream: %2")
                    .arg(TraceName(static_cast<IBaseFilter*>(FSplitter)), HResultName(hr)));
    if (SUCCEEDED(hr))
        return S_OK;
    // A stream that is not the splitter's own lets the next splitter try; these say more.
    return hr == E_OUTOFMEMORY || hr == KELVARA_E_REFERS_TO_OTHER_FILES ? hr
                                                                        : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TSplitterInputPin::BreakConnect() {
    FSplitter->CloseReader();
    return CBasePin::BreakConnect();
}

TPullSplitter::TPullSplitter(const QString& objectName, REFCLSID clsid, TSplitterFlavour flavour,
                             std::vector<GUID> subtypes)
    : TFFmpegSplitter(objectName, clsid, flavour), FSubtypes(std::move(subtypes)),
      FInput(std::make_unique<TSplitterInputPin>(this)) {}

TPullSplitter::~TPullSplitter() {
    Stop();
}

int TPullSplitter::GetPinCount() {
    return 1 + TFFmpegSplitter::GetPinCount();
}

CBasePin* TPullSplitter::GetPin(int n) {
    return n == 0 ? FInput.get() : TFFmpegSplitter::GetPin(n - 1);
}

bool TPullSplitter::AcceptsSubtype(REFGUID subtype) const {
    return subtype == GUID_NULL || FSubtypes.empty() ||
           std::find(FSubtypes.begin(), FSubtypes.end(), subtype) != FSubtypes.end();
}

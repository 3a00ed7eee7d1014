#include "platform/filters/FileSplitterSource.h"

#include "platform/com/NoThrow.h"
#include "platform/graph/GraphTrace.h"

TFileSplitterSource::TFileSplitterSource(const QString& objectName, REFCLSID clsid,
                                         TSplitterFlavour flavour)
    : TFFmpegSplitter(objectName, clsid, flavour) {}

TFileSplitterSource::~TFileSplitterSource() {
    Stop();
}

HRESULT TFileSplitterSource::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IFileSourceFilter)
        return GetInterface(static_cast<IFileSourceFilter*>(this), ppv);
    return TFFmpegSplitter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT TFileSplitterSource::Load(LPCWSTR pszFileName, const AM_MEDIA_TYPE*) {
    if (!pszFileName)
        return E_POINTER;
    std::lock_guard lock(FFilterLock);
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    for (TSplitterOutputPin* pin : OutputPins())
        if (pin->IsConnected())
            return VFW_E_ALREADY_CONNECTED;
    const HRESULT hr = HResultOf([&] {
        FFileName = FromWStr(pszFileName);
        return OpenDemuxer(FFileName);
    });
    GRAPH_TRACE(
        QStringLiteral("%1 loads \"%2\": %3").arg(ObjectName(), FFileName, HResultName(hr)));
    if (FAILED(hr))
        FFileName.clear();
    return hr;
}

HRESULT TFileSplitterSource::GetCurFile(QString* pszFileName, AM_MEDIA_TYPE* pmt) {
    if (!pszFileName)
        return E_POINTER;
    std::lock_guard lock(FFilterLock);
    *pszFileName = FFileName;
    if (pmt)
        *pmt = AM_MEDIA_TYPE();
    return FFileName.isEmpty() ? E_FAIL : S_OK;
}

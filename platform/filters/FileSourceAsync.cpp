#include "platform/filters/FileSourceAsync.h"

#include "platform/com/NoThrow.h"
#include "platform/filters/StreamSniffer.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"

#include <vector>

TFileSourceAsync::TFileSourceAsync()
    : CBaseFilter(QStringLiteral("File Source (Async.)"), CLSID_AsyncReader),
      FPin(std::make_unique<TAsyncReaderPin>(this, &FReader)) {}

TFileSourceAsync::~TFileSourceAsync() = default;

HRESULT TFileSourceAsync::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IFileSourceFilter)
        return GetInterface(static_cast<IFileSourceFilter*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* TFileSourceAsync::GetPin(int n) {
    return n == 0 ? FPin.get() : nullptr;
}

HRESULT TFileSourceAsync::Load(LPCWSTR pszFileName, const AM_MEDIA_TYPE* pmt) {
    if (!pszFileName)
        return E_POINTER;
    std::lock_guard lock(FFilterLock);
    if (FPin->IsConnected())
        return VFW_E_ALREADY_CONNECTED;
    const HRESULT hr = HResultOf([&] { return LoadLocked(FromWStr(pszFileName), pmt); });
    if (FAILED(hr)) {
        GRAPH_TRACE(QStringLiteral("%1 loads \"%2\": %3")
                        .arg(ObjectName(), FromWStr(pszFileName), HResultName(hr)));
        FReader.Close();
        FFileName.clear();
    }
    return hr;
}

HRESULT TFileSourceAsync::LoadLocked(const QString& name, const AM_MEDIA_TYPE* pmt) {
    const HRESULT hr = FReader.Open(name);
    if (FAILED(hr))
        return hr;
    FFileName = name;
    CMediaType type(MEDIATYPE_Stream, GUID_NULL);
    if (pmt && pmt->majortype == MEDIATYPE_Stream) {
        type = *pmt;
    } else {
        std::vector<uint8_t> head(kSniffBytes);
        int32_t read = 0;
        FReader.Read(0, int32_t(head.size()), head.data(), &read);
        head.resize(size_t(read));
        type.subtype = SniffStreamSubtype(head);
    }
    FPin->SetStreamType(type);
    return S_OK;
}

HRESULT TFileSourceAsync::GetCurFile(QString* pszFileName, AM_MEDIA_TYPE* pmt) {
    if (!pszFileName)
        return E_POINTER;
    std::lock_guard lock(FFilterLock);
    *pszFileName = FFileName;
    if (pmt) {
        CMediaType type;
        FPin->GetMediaType(0, &type);
        *pmt = type;
    }
    return FFileName.isEmpty() ? E_FAIL : S_OK;
}

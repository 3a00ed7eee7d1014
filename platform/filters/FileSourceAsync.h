#pragma once
// "File Source (Async.)" (CLSID_AsyncReader): loads one file (IFileSourceFilter) and offers its
// bytes on one MEDIATYPE_Stream output pin with random-access reads (IAsyncReader). The pin's
// sub-type is sniffed from the file's first bytes (AVI, WAVE, ASF, MPEG program, transport and
// system streams), so that the splitter that reads the file can be found by its registered
// input types.
#include "platform/filters/AsyncFileReader.h"
#include "platform/filters/AsyncReaderPin.h"
#include "platform/graph/BaseFilter.h"
#include "platform/graph/SourceInterfaces.h"

#include <memory>

class TFileSourceAsync : public CBaseFilter, public IFileSourceFilter {
public:
    TFileSourceAsync();
    ~TFileSourceAsync() override;
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;

    // A second Load while the pin is connected is refused (VFW_E_ALREADY_CONNECTED). Only a
    // regular file is opened (see FilePaths.h): KELVARA_E_NOT_REGULAR_FILE for anything else.
    HRESULT Load(LPCWSTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
    HRESULT GetCurFile(QString* pszFileName, AM_MEDIA_TYPE* pmt) override;

private:
    HRESULT LoadLocked(const QString& name, const AM_MEDIA_TYPE* pmt);

    TAsyncFileReader FReader;
    std::unique_ptr<TAsyncReaderPin> FPin;
    QString FFileName; // guarded by the filter lock
};

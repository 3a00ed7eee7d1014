#pragma once
// A source that reads and splits a file itself (IFileSourceFilter): Load opens the demuxer on
// the named file and makes one output pin per stream. A second Load while a pin is connected is
// refused.
#include "platform/filters/FFmpegSplitter.h"
#include "platform/graph/SourceInterfaces.h"

class TFileSplitterSource : public TFFmpegSplitter, public IFileSourceFilter {
public:
    TFileSplitterSource(const QString& objectName, REFCLSID clsid, TSplitterFlavour flavour);
    ~TFileSplitterSource() override;
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Load(LPCWSTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
    HRESULT GetCurFile(QString* pszFileName, AM_MEDIA_TYPE* pmt) override;

protected:
    const QString& FileName() const { return FFileName; }

private:
    QString FFileName; // guarded by the filter lock
};

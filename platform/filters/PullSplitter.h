#pragma once
// A splitter that pulls its bytes from a file source: an input pin that takes MEDIATYPE_Stream
// with one of the splitter's sub-types (or an unstated one) and, when connected, opens the
// demuxer on the source's IAsyncReader and makes the output pins. A stream the splitter does
// not recognise as its own refuses the connection, so that the graph (or the media factory)
// goes on to another splitter. Disconnecting the input retires the output pins.
#include "platform/filters/FFmpegSplitter.h"
#include "platform/graph/BasePin.h"

#include <memory>
#include <vector>

class TPullSplitter;

class TSplitterInputPin : public CBasePin {
public:
    explicit TSplitterInputPin(TPullSplitter* splitter);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT BreakConnect() override;
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }

private:
    TPullSplitter* const FSplitter;
};

class TPullSplitter : public TFFmpegSplitter {
public:
    // subtypes: the MEDIATYPE_Stream sub-types the input takes (besides GUID_NULL); empty: any.
    TPullSplitter(const QString& objectName, REFCLSID clsid, TSplitterFlavour flavour,
                  std::vector<GUID> subtypes);
    ~TPullSplitter() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    bool AcceptsSubtype(REFGUID subtype) const;
    HRESULT OpenReader(IAsyncReader* reader) { return OpenDemuxer(reader); }
    void CloseReader() { CloseDemuxer(); }

private:
    std::vector<GUID> FSubtypes;
    std::unique_ptr<TSplitterInputPin> FInput;
};

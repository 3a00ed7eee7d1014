#pragma once
// The devices of a file: the file device (a source filter reading the file, optionally followed
// by a splitter), the DV device under an interleaved DV pin (the DV stage, then the DV
// splitter) and the stream device under a raw stream pin (whatever parser the platform puts
// there). Each probes its shape when it is made (see uMediaDevices.h).
//
// Thread contract: GUI thread only.
#include "media/uDecoders.h"
#include "media/uMediaDevices.h"
#include "taps/uAVDummy.h"
#include "taps/uDVcodeNotifier.h"

class TFileDevice : public TMediaDevice {
public:
    // splitter may be none: the source's own outputs are the file's streams.
    TFileDevice(const QString& fileName, TFilterRec* splitter, TFilterRec* source);
    ~TFileDevice() override;
    bool Build() override;
    bool Remove() override;
    const QString& FileName() const { return FFileName; }
    TFilterRec* SourceRecord() const { return FSource; }
    TFilterRec* SplitterRecord() const { return FSplitter; }

private:
    QString FFileName;
    TFilterRec* FSource;
    TFilterRec* FSplitter;
    ComPtr<IBaseFilter> FSourceFilter;
    ComPtr<IBaseFilter> FSplitterFilter;
};

class TDVDevice : public TMediaDevice {
public:
    TDVDevice(TMediaDevice* parent, int index);
    ~TDVDevice() override;
    bool Build() override;
    bool Remove() override;
    // The placeholder's constructor: nothing is made or probed.
    explicit TDVDevice(const QString& placeholder);

private:
    ComPtr<IBaseFilter> FDVSplitter;
    ComPtr<TDVCodeNotifier> FStage;
};

class TStreamDevice : public TMediaDevice {
public:
    TStreamDevice(TMediaDevice* parent, int index);
    ~TStreamDevice() override;
    bool Build() override;
    bool Remove() override;
    explicit TStreamDevice(const QString& placeholder);

private:
    ComPtr<TAVDummy> FDummy;
};

// "No DV" and "No Stream": placeholders, never built.
TMediaDevice* NoDVDevice();
TMediaDevice* NoStreamDevice();

// Adds a filter to the graph under name, or name_1, name_2, ... while the name is taken.
bool AddFilterUnderFreeName(IGraphBuilder* graph, IBaseFilter* filter, const QString& name);

#pragma once
// The media factory: a file name becomes a file device, with the source and splitter chosen by
// the file's extension and other pairs tried when a device cannot be built. Devices are made
// (and probed) once per file name and kept until the default source changes.
//
// Thread contract: GUI thread only.
#include "media/uFileDevices.h"

#include <map>
#include <memory>

#include <QObject>
#include <QPointer>

// A component that works on a graph manager; the reference clears itself when that manager
// goes.
class TGrapheComponent : public QObject {
public:
    explicit TGrapheComponent(QObject* owner = nullptr) : QObject(owner) {}
    TGrapheMan* GrapheMan() const { return FGrapheMan.data(); }
    void SetGrapheMan(TGrapheMan* manager) { FGrapheMan = manager; }

private:
    QPointer<TGrapheMan> FGrapheMan;
};

class TMediaFactory : public TGrapheComponent {
public:
    explicit TMediaFactory(QObject* owner = nullptr);
    ~TMediaFactory() override;

    // The device of the file, made on first use and cached; none without a graph manager. A
    // device that could not be built is returned (and cached) too: its counts are all 0.
    TFileDevice* GetDevice(const QString& fileName);
    // Record none, or a record of no class: the registered "LAV Splitter Source". Empties the
    // cache. While another source is the default, a file that no pair of its extension can
    // build tries the registered "LAV Splitter Source" last.
    void SetDefaultSource(TFilterRec* record);
    TFilterRec* DefaultSource() const { return FDefaultSource; }
    // The private splitter that files of other extensions try first (none until private
    // decoders are set up).
    void SetPrivateLavSplitter(TFilterRec* record) { FPrivateLavSplitter = record; }
    void ClearCache();

    // ".mkv" for "C:\clips\a.MKV"; empty without an extension.
    static QString ExtensionOf(const QString& fileName);

private:
    std::unique_ptr<TFileDevice> CreateDevice(const QString& fileName);

    TFilterRec* FLavSplitterSource;
    TFilterRec* FFileSource;
    TFilterRec* FAviSplitter;
    TFilterRec* FAsfReader;
    TFilterRec* FWaveParser;
    TFilterRec* FMpeg2Splitter;
    TFilterRec* FMpeg1Splitter;
    TFilterRec* FDefaultSource;
    TFilterRec* FPrivateLavSplitter = nullptr;
    std::map<QString, std::unique_ptr<TFileDevice>> FCache;
};

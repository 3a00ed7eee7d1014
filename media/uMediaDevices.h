#pragma once
// The graph building blocks: a media file goes into the graph as a tree of blocks. A device
// offers the output pins of its filter (a file's source or splitter, a DV splitter, a stream's
// parser); sub-devices hang under the interleaved DV and raw stream pins; video and audio
// sources stand for the video and audio pins of a device and its sub-devices. A device learns
// its shape once, when it is made, by building itself into a throw-away graph (the probe); a
// source's Connect builds its whole chain into the graph it is given and renders its pin into
// its tap, and Disconnect takes the chain out again when no output of a device is in use.
//
// Thread contract: GUI thread only (graphs are built there).
#include "media/uGrapheMan.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/FilterInterfaces.h"
#include "taps/uAudioNotifier.h"
#include "taps/uTypeLockedFilter.h"
#include "taps/uVideoNotifier.h"

#include <memory>
#include <vector>

#include <QPointer>
#include <QString>

class TGraphChunk {
public:
    TGraphChunk(const QString& name, int number);
    virtual ~TGraphChunk();
    TGraphChunk(const TGraphChunk&) = delete;
    TGraphChunk& operator=(const TGraphChunk&) = delete;

    // Adds this block's own filters to its graph manager's graph, connected to the parent's
    // filter, and sets Filter.
    virtual bool Build() = 0;
    // Takes this block's own filters out of the graph.
    virtual bool Remove() = 0;
    // The duration of the graph's media (100-ns units; 0 when unknown).
    virtual REFERENCE_TIME GetDuration();
    // Builds this block into g, its parents first.
    virtual bool Attach(TGrapheMan* g);
    // Builds this block into g, without its parents.
    virtual bool AttachSelf(TGrapheMan* g);
    bool Detach();
    bool DetachChain();
    TGraphChunk* Root();

    TGraphChunk* Parent() const { return FParent; }
    TGrapheMan* GrapheMan() const { return FGrapheMan.data(); }
    const QString& Name() const { return FName; }
    QString DisplayName() const;
    int Index() const { return FIndex; }
    int Number() const { return FNumber; }
    bool Built() const { return FBuilt; }
    IBaseFilter* Filter() const { return FFilter.Get(); }
    // Why the last build or connection of this block failed (S_OK when it did not, or when no
    // graph call said why): a caller can tell memory or a picture too large from the rest.
    HRESULT LastFailure() const { return FLastFailure; }
    // The graph manager the media factory assigned to a file device.
    TGrapheMan* OwnerGraph = nullptr;

protected:
    TGraphChunk* FParent = nullptr;
    // Cleared by itself when the graph manager goes before the block.
    QPointer<TGrapheMan> FGrapheMan;
    QString FName;
    int FIndex = 1;
    int FNumber = 1;
    bool FBuilt = false;
    ComPtr<IBaseFilter> FFilter;
    HRESULT FLastFailure = S_OK;
};

class TavSource;
class TVideoSource;
class TAudioSource;

class TMediaDevice : public TGraphChunk {
public:
    TMediaDevice(const QString& name, int number);
    ~TMediaDevice() override;

    int VideoCount() const { return FVideoCount; }
    int AudioCount() const { return FAudioCount; }
    int StreamCount() const { return FStreamCount; }
    int DVCount() const { return FDVCount; }
    // The member at index, or none outside 0..count-1.
    TVideoSource* VideoSource(int index) const;
    TAudioSource* AudioSource(int index) const;
    TMediaDevice* DVDevice(int index) const;
    TMediaDevice* StreamDevice(int index) const;

    // Takes the sub-device's sources into this device's lists.
    void AddSourcesOf(TMediaDevice* device);

protected:
    // Learns the device's shape by building it into a throw-away graph (the parent's when there
    // is one). Derived devices call it at the end of their construction.
    void Probe();

private:
    ComPtr<IPin> FindOutput(REFGUID type, int index, bool withCategory) const;
    template <typename TDevice>
    void ProbeSubDevices(REFGUID type, int& count,
                         std::vector<std::unique_ptr<TMediaDevice>>& into);
    template <typename TSource>
    void ProbeSources(REFGUID type, int& count, std::vector<TSource*>& list);

    int FVideoCount = 0, FAudioCount = 0, FStreamCount = 0, FDVCount = 0;
    std::vector<TVideoSource*> FVideoSources; // own and sub-devices'
    std::vector<TAudioSource*> FAudioSources; // own and sub-devices'
    std::vector<std::unique_ptr<TavSource>> FOwnSources;
    std::vector<std::unique_ptr<TMediaDevice>> FDVDevices;
    std::vector<std::unique_ptr<TMediaDevice>> FStreamDevices;
};

class TavSource : public TGraphChunk {
public:
    TavSource(TMediaDevice* device, int index, const QString& name = QString());

    virtual bool Connect(TGrapheMan* g, const TWindowHandle& window) = 0;
    virtual bool Disconnect() = 0;
    // Sources are never built themselves: their filters are the taps.
    bool Build() override { return true; }
    bool Remove() override { return true; }

    const TMediaTypeKey& Key() const { return FKey; }
    virtual IBaseFilter* TapFilter() const = 0;

protected:
    // The parent's unconnected output pin of the major type for this source's index.
    ComPtr<IPin> FindPin(REFGUID type) const;
    bool AttachParent(TGrapheMan* g);
    bool RenderInto(IPin* pin, IBaseFilter* tap, const QString& name);
    void CopyKeyFrom(const TTypeLockedFilter& tap) { FKey = tap.LockedType(); }
    // After the tap left: the parent chain goes when no media output of it is in use.
    void DetachParentWhenUnused();

    TMediaTypeKey FKey;
};

class TVideoSource : public TavSource {
public:
    TVideoSource(TMediaDevice* device, int index, const QString& name = QString());
    bool Connect(TGrapheMan* g, const TWindowHandle& window) override;
    bool Disconnect() override;
    IBaseFilter* TapFilter() const override { return FTap.Get(); }
    TVideoNotifier* Tap() const { return FTap.Get(); }

private:
    ComPtr<TVideoNotifier> FTap;
};

class TAudioSource : public TavSource {
public:
    TAudioSource(TMediaDevice* device, int index, const QString& name = QString());
    bool Connect(TGrapheMan* g, const TWindowHandle& window) override;
    bool Disconnect() override;
    IBaseFilter* TapFilter() const override { return FTap.Get(); }
    TAudioNotifier* Tap() const { return FTap.Get(); }

private:
    ComPtr<TAudioNotifier> FTap;
};

// The placeholders for a missing video or audio stream ("No Video", "No Audio"); never built.
TVideoSource* NoVideoSource();
TAudioSource* NoAudioSource();

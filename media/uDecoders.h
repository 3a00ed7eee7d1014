#pragma once
// What the decoder choice of a stream is made of: filter records (a filter the program can
// create and keeps once created), the media type key a choice is remembered under, lists that
// link keys to records (the decoder memory of each kind of stream, stored in the preferences
// under "VideoDecoders" and "AudioDecoders", and the fixed exclusions of decoders that the
// platform's free choice must not take for some types), and the process-wide lists themselves.
//
// Records and lists live from their first use to the end of the process: every record made is
// owned by the process-wide TFilterRecs; lists hold records without owning them.
//
// Thread contract: everything here is used on the GUI thread only (the graph is built there).
#include "media/uDecodersPrivate.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/BuilderInterfaces.h"
#include "platform/graph/FilterInterfaces.h"
#include "platform/graph/MediaType.h"
#include "taps/uTypeLockedFilter.h"

#include <map>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

class IActionPreferences;
class TTaskelPreferences;

enum TFilterKind : uint8_t {
    fkRegistered = 0, // created through the platform's class registry
    fkPrivate = 1,    // created through a private package's class factory
    fkSupplied = 2,   // its filter is handed in by its owner
};

class TFilterRec {
public:
    TFilterRec(REFCLSID clsid, TFilterKind kind, const QString& name);

    const CLSID& Clsid() const { return FClsid; }
    const QString& Name() const { return FName; }
    TFilterKind Kind() const { return FKind; }
    // A record that stands for no filter (a stream that needs no decoder).
    bool IsNull() const { return FClsid == GUID_NULL; }

    // The filter of this record, created on first use and kept; null when it cannot be made
    // (a class nobody registered, a private class whose package is not loaded, a supplied
    // record whose owner handed in nothing).
    ComPtr<IBaseFilter> GetFilter();
    // Registered and private records drop the filter they keep, whatever is passed; a supplied
    // record keeps the filter given (null changes nothing).
    void SetInstance(IBaseFilter* filter);
    bool HasInstance() const { return bool(FInstance); }
    // The filter kept, without creating one.
    IBaseFilter* Instance() const { return FInstance.Get(); }

private:
    CLSID FClsid;
    TFilterKind FKind;
    QString FName;
    ComPtr<IBaseFilter> FInstance;
};

// Every filter record of the process; records are made through it and live until exit.
class TFilterRecs {
public:
    static TFilterRec* Make(REFCLSID clsid, TFilterKind kind, const QString& name);
    static size_t Count();
};

// A media type key and the decoder record chosen or refused for it.
struct TDecoderLink {
    TMediaTypeKey Key;
    TFilterRec* Record = nullptr; // not owned
};

class TDecoderLinks {
public:
    int Count() const { return int(FLinks.size()); }
    const TDecoderLink& operator[](int index) const { return FLinks[size_t(index)]; }
    // Position of the link whose three GUIDs all equal the key's; -1 when none.
    int IndexOf(const TMediaTypeKey& key) const;
    // Replaces the record of the key's link, or appends a link.
    void SetLink(const TMediaTypeKey& key, TFilterRec* record);
    TFilterRec* GetLink(const TMediaTypeKey& key) const;
    void DeleteLink(const TMediaTypeKey& key);
    void Clear() { FLinks.clear(); }

    // The links of the open section: one sub-section "dc<position>" per link whose record is
    // not supplied, with the key's GUIDs, the decoder's class and name and whether it is private.
    void SaveToPrefs(TTaskelPreferences& prefs) const;
    // Reads every sub-section of the open section into a new record and link; a sub-section
    // whose GUIDs do not read is skipped.
    void LoadFromPrefs(TTaskelPreferences& prefs);
    // The same in a sub-section of the open section (its owner's "VideoDecoders" or
    // "AudioDecoders"), as an action list's load and save hooks call them; false when the store
    // is not the preferences component's or the section cannot be opened.
    bool LoadFromSection(IActionPreferences& prefs, const QString& section);
    bool SaveToSection(IActionPreferences& prefs, const QString& section) const;

private:
    std::vector<TDecoderLink> FLinks;
};

// The process-wide lists and records of the decoder choice.
TDecoderLinks& VideoDecoderMemory();
TDecoderLinks& AudioDecoderMemory();
// Decoders the platform's choice must not take for video types (the platform's DTV-DVD video
// decoder for H.264) and audio types (its DTV-DVD audio decoder for AC-3); format type any.
const TDecoderLinks& VideoExclusions();
const TDecoderLinks& AudioExclusions();
// "No Video decoder" and "No Audio decoder": streams that reach the renderer without a decoder.
TFilterRec* NoVideoDecoder();
TFilterRec* NoAudioDecoder();

// The media type key of a connection's type.
TMediaTypeKey MediaTypeKeyOf(const AM_MEDIA_TYPE& type);

class TGrapheMan;
class TDecoderSite;

// The decoder choice of one stream: between the stream's tap and the filter that must receive
// the decoded stream it connects, in turn, the decoder remembered for the stream's media type,
// the candidates its owner lists, then the platform's own choice with the decoders excluded for
// that type refused; it remembers whatever decoder ends up in use, splices the owner's filters
// after it, and steps to the next decoder on request.
//
// Thread contract: GUI thread only. While it connects, it is the graph's site: the graph asks it
// (synchronously, inside the connection it started) whether to take each registered filter.
class TDecoderMan {
public:
    TDecoderMan();
    ~TDecoderMan();
    TDecoderMan(const TDecoderMan&) = delete;
    TDecoderMan& operator=(const TDecoderMan&) = delete;

    void SetLinks(const TDecoderLinks* exclusions, TDecoderLinks* memory, TFilterRec* noDecoder);
    void SetGraph(TGrapheMan* graph) { FGraph = graph; }

    // Set by the owner.
    TFilterRec* RememberedDecoder = nullptr;
    std::vector<TFilterRec*> Candidates;
    TFilterRec* PostDecoderFilter = nullptr;
    TFilterRec* FinalFilter = nullptr;
    // The decoder in use, the no-decoder record, or none; an owner may set it too.
    TFilterRec* CurrentDecoder = nullptr;

    // Forgets the exclusions of the last file and starts from the remembered decoder again.
    void ResetSelection();
    // Connects the tap's output to the renderer's input through a decoder.
    bool ConnectDecoder(IBaseFilter* tap, IBaseFilter* renderer);
    // Takes the decoder and everything after it out of the graph.
    bool RemoveCurrentDecoder();
    // Switches to the next decoder, leaving the graph paused or running as it was (a stopped
    // graph ends paused).
    bool NextDecoder();

    // What the graph asks while this manager is its site.
    HRESULT SelectedFilter(IMoniker* moniker);

    // For tests and traces.
    int Stage() const { return FStage; }
    // Why the last connection the graph was asked for failed (S_OK when none did): memory or a
    // picture too large say why no decoder can show the stream.
    HRESULT LastFailure() const { return FLastFailure; }
    const QStringList& ExclusionSet() const { return FExclusionSet; }
    const TMediaTypeKey& Key() const { return FKey; }

private:
    bool TryDecoder(TFilterRec* record);
    bool AddDecoder(TFilterRec* record);
    bool RemoveDecoder(TFilterRec* record);
    bool AfterDecoder(TFilterRec* record);
    void RecordDecoder(TFilterRec* record);
    bool InsertAfterDecoder(TFilterRec* record);
    bool ConnectByPlatform();
    void CollectExclusions();
    void Exclude(REFCLSID clsid);
    bool ConnectTapToRenderer();
    bool SplicedAfter(const TFilterRec* record) const;

    const TDecoderLinks* FExclusions = nullptr;
    TDecoderLinks* FMemory = nullptr;
    TFilterRec* FNoDecoder = nullptr;
    TGrapheMan* FGraph = nullptr;
    ComPtr<TDecoderSite> FSite;
    int FCandidateIndex = 0;
    int FStage = 0; // 0 fresh, 1 remembered tried and candidates next, 2 the platform's choice
    ComPtr<IBaseFilter> FTap;
    ComPtr<IBaseFilter> FRenderer;
    ComPtr<IPin> FTapOutput;
    ComPtr<IPin> FRendererInput;
    TMediaTypeKey FKey;
    QStringList FExclusionSet;
    HRESULT FLastFailure = S_OK;
};

#pragma once
// Building graphs: intelligent connect and render, the capture graph builder's pin search, and
// the callback through which the graph's site vetoes filters.
#include "platform/com/Unknown.h"
#include "platform/graph/FilterInterfaces.h"

// A reference to a registered filter; binding it creates the filter.
struct IMoniker : IUnknown {
    static constexpr IID iid{0x0000000F, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

    // Creates the object (once; later calls hand out the same object). pbc and pmkToLeft must
    // be null.
    virtual HRESULT BindToObject(IUnknown* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                                 void** ppvResult) = 0;
    // "@device:sw:{category}\{clsid}".
    virtual HRESULT GetDisplayName(QString* displayName) = 0;
    // The registered name and class, without creating the object.
    virtual HRESULT GetFriendlyName(QString* name) = 0;
    virtual HRESULT GetClassID(CLSID* pClassID) = 0;
};

struct IEnumMoniker : IUnknown {
    static constexpr IID iid{0x00000102, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

    virtual HRESULT Next(ULONG celt, IMoniker** rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMoniker** ppenum) = 0;
};

struct IGraphBuilder : IFilterGraph {
    static constexpr IID iid{
        0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

    // Intelligent connect: directly, else through filters already in the graph, else through
    // registered filters by merit (asking the site's IAMGraphBuilderCallback).
    virtual HRESULT Connect(IPin* ppinOut, IPin* ppinIn) = 0;
    // Connects the output pin through whatever filters it takes to a renderer.
    virtual HRESULT Render(IPin* ppinOut) = 0;
    virtual HRESULT RenderFile(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) = 0;
    virtual HRESULT AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName,
                                    IBaseFilter** ppFilter) = 0;
    virtual HRESULT Abort() = 0;
    virtual HRESULT ShouldOperationContinue() = 0;
};

struct IAMGraphBuilderCallback : IUnknown {
    static constexpr IID iid{
        0x4995F511, 0x9DDB, 0x4F12, {0xBD, 0x3B, 0xF0, 0x46, 0x11, 0x80, 0x7B, 0x79}};

    // A failure makes the graph skip the filter.
    virtual HRESULT SelectedFilter(IMoniker* pMon) = 0;
    virtual HRESULT CreatedFilter(IBaseFilter* pFil) = 0;
};

struct IObjectWithSite : IUnknown {
    static constexpr IID iid{
        0xFC4801A3, 0x2BA9, 0x11CF, {0xA2, 0x29, 0x00, 0xAA, 0x00, 0x3D, 0x73, 0x52}};

    // The object holds a reference on the site until it is replaced (null clears it).
    virtual HRESULT SetSite(IUnknown* pUnkSite) = 0;
    virtual HRESULT GetSite(REFIID riid, void** ppvSite) = 0;
};

struct ICaptureGraphBuilder2 : IUnknown {
    static constexpr IID iid{
        0x93E5A4E0, 0x2D50, 0x11D2, {0xAB, 0xFA, 0x00, 0xA0, 0xC9, 0xC6, 0xE3, 0x8D}};

    virtual HRESULT SetFiltergraph(IGraphBuilder* pfg) = 0;
    virtual HRESULT GetFiltergraph(IGraphBuilder** ppfg) = 0;
    // Connects an output pin of pSource (a pin or a filter) with the category and major type
    // asked (null: any) through pIntermediate (optional) to pSink (optional: render).
    virtual HRESULT RenderStream(const GUID* pCategory, const GUID* pType, IUnknown* pSource,
                                 IBaseFilter* pIntermediate, IBaseFilter* pSink) = 0;
    // The num-th (from 0) pin of pSource (a filter, or a pin which is then checked alone) with
    // the direction, category (null: any), major type (null: any) and, with fUnconnected,
    // unconnected. E_FAIL when there is none.
    virtual HRESULT FindPin(IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory,
                            const GUID* pType, BOOL fUnconnected, int num, IPin** ppPin) = 0;
    // Looks for an interface on the filter, then (with LOOK_UPSTREAM_ONLY or
    // LOOK_DOWNSTREAM_ONLY, or null for both) along its connections.
    virtual HRESULT FindInterface(const GUID* pCategory, const GUID* pType, IBaseFilter* pf,
                                  REFIID riid, void** ppint) = 0;
};

inline constexpr const IID& IID_IMoniker = IMoniker::iid;
inline constexpr const IID& IID_IEnumMoniker = IEnumMoniker::iid;
inline constexpr const IID& IID_IGraphBuilder = IGraphBuilder::iid;
inline constexpr const IID& IID_IAMGraphBuilderCallback = IAMGraphBuilderCallback::iid;
inline constexpr const IID& IID_IObjectWithSite = IObjectWithSite::iid;
inline constexpr const IID& IID_ICaptureGraphBuilder2 = ICaptureGraphBuilder2::iid;

#pragma once
// The capture graph builder (CLSID_CaptureGraphBuilder2), bound to a graph with SetFiltergraph:
// pin search by direction, category, major type, connection state and index (FindPin), and
// rendering of a filter's stream into a given filter (RenderStream).
#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/BuilderInterfaces.h"

class CCaptureGraphBuilder2 : public CUnknown, public ICaptureGraphBuilder2 {
public:
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT SetFiltergraph(IGraphBuilder* pfg) override;
    HRESULT GetFiltergraph(IGraphBuilder** ppfg) override;
    HRESULT RenderStream(const GUID* pCategory, const GUID* pType, IUnknown* pSource,
                         IBaseFilter* pIntermediate, IBaseFilter* pSink) override;
    HRESULT FindPin(IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory,
                    const GUID* pType, BOOL fUnconnected, int num, IPin** ppPin) override;
    HRESULT FindInterface(const GUID* pCategory, const GUID* pType, IBaseFilter* pf, REFIID riid,
                          void** ppint) override;

private:
    IUnknown* UnknownInterface() override { return static_cast<ICaptureGraphBuilder2*>(this); }
    HRESULT ConnectToSink(IPin* out, IBaseFilter* sink);

    ComPtr<IGraphBuilder> FGraph;
};

// Whether a pin matches FindPin's conditions (category and major type null: any).
bool PinMatches(IPin* pin, PIN_DIRECTION dir, const GUID* category, const GUID* type,
                bool unconnected);

#pragma once
// The graph manager: the one filter graph in which the program plays the open file. It makes
// the graph at creation (with a capture graph builder bound to it), lets the graph building
// blocks and the decoder managers add and remove filters, runs, pauses and stops it, tells its
// owner when playing reached the end, and offers the path operations on the graph's filters
// that the building blocks and the decoder managers rely on.
//
// Thread contract: a component of the GUI thread. The graph's streaming threads never call it;
// the graph's events reach it through the graph's callback on the GUI thread, the taps' reports
// through its hidden window. Its waits for the graph (a state change settling, the renderer
// settling after a seek) keep serving the window messages, so that a streaming thread blocked
// in a send to a window is released.
#include "commands/uWndComponent.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/BuilderInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/FilterInterfaces.h"
#include "platform/graph/SeekingInterfaces.h"

#include <functional>
#include <vector>

enum TGrapheManState { gmStopped = 0, gmPaused = 1, gmPlaying = 2 };

class TVideoSource;
class TAudioSource;

class TGrapheMan : public TZvActionComponent {
public:
    explicit TGrapheMan(QObject* owner = nullptr);
    ~TGrapheMan() override;

    // Each answers whether the graph accepted the request, and raises OnStateChange when it did.
    virtual bool Play();
    virtual bool Pause();
    virtual bool Stop();
    // The run state the graph is in or going to (stopped when there is no graph).
    TGrapheManState RunState() const;

    // Waits (about a second at most) until the video renderer holds a frame after a seek.
    void WaitForRenderer();
    // The same wait without the pause after each answer, for a caller that takes the frame at
    // once: whether the renderer holds one.
    bool WaitForRendererFrame();
    // The video renderer whose state WaitForRenderer asks (set by the video manager).
    void SetRendererState(IMediaFilter* renderer) { FRendererState = renderer; }

    // Kept for the settings that name it; this platform has no external inspection tool to
    // register the graph with (KELVARA_GRAPH_TRACE=1 traces the graph's decisions instead).
    bool GraphEdit() const { return FGraphEdit; }
    void SetGraphEdit(bool on) { FGraphEdit = on; }

    IGraphBuilder* GraphBuilder() const { return FGraphBuilder.Get(); }
    ICaptureGraphBuilder2* CaptureGraphBuilder() const { return FCaptureGraphBuilder.Get(); }
    IMediaSeeking* Seeking() const { return FSeeking.Get(); }

    // Whether upstream feeds downstream (directly or through other filters).
    bool IsUpstreamOf(IBaseFilter* downstream, IBaseFilter* upstream);
    // Removes the filters on the paths from upstream down to downstream; keeps both ends.
    bool RemoveChainBetween(IBaseFilter* downstream, IBaseFilter* upstream);
    // Removes whatever hangs between the two, from downstream's inputs, then from upstream's
    // outputs, without asking first whether they are linked.
    bool ClearBetween(IBaseFilter* downstream, IBaseFilter* upstream);
    // Splices a filter (first pin its input, second its output) into the connection of pin;
    // on failure the connection is made again as it was.
    HRESULT InsertIntoConnection(IBaseFilter* filter, IPin* pin, bool pinIsOutput);

    std::function<void()> OnGraphCompleted;
    std::function<void(TGrapheManState)> OnStateChange;

    // The sources connected into this graph now (kept by the sources themselves).
    std::vector<TVideoSource*> AttachedVideoSources;
    std::vector<TAudioSource*> AttachedAudioSources;

protected:
    ComPtr<IMediaControl> Control() const;
    IMediaFilter* RendererState() const { return FRendererState.Get(); }
    void GraphComplete(HRESULT result);
    void RaiseStateChange(TGrapheManState state);

private:
    void WaitForState();

    ComPtr<IGraphBuilder> FGraphBuilder;
    ComPtr<ICaptureGraphBuilder2> FCaptureGraphBuilder;
    ComPtr<IMediaSeeking> FSeeking;
    ComPtr<IMediaFilter> FRendererState;
    bool FGraphEdit = false;
};

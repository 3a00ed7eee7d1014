#pragma once
// A source filter whose output pins push samples, each from its own streaming thread
// (CSourceStream). The filter owns its pins; a seekable source also owns a CSourceSeeking.
// A splitter is written on it too: it adds its input pin by overriding GetPinCount / GetPin
// (input first), and its output pins are CSourceStreams fed from the demuxer.
#include "platform/graph/BaseFilter.h"

#include <memory>
#include <mutex>
#include <vector>

class CSourceStream;
class CSourceSeeking;

class CSource : public CBaseFilter {
public:
    CSource(const QString& objectName, REFCLSID clsid);
    ~CSource() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // Adds an output pin (the filter owns it from here on).
    CSourceStream* AddPin(std::unique_ptr<CSourceStream> pin);
    // The seeking state, or null for a source that cannot seek.
    CSourceSeeking* Seeking() const { return FSeeking.get(); }
    // Restarts every active stream at the current segment: flush downstream, stop the threads'
    // loops, end the flush, and let them start again with a new segment. Called by
    // CSourceSeeking after a change; does nothing for streams that are not running.
    virtual HRESULT RestartStreams();

protected:
    void SetSeeking(std::unique_ptr<CSourceSeeking> seeking);
    mutable std::mutex FPinsLock;
    std::vector<std::unique_ptr<CSourceStream>> FPins; // guarded by FPinsLock

private:
    std::unique_ptr<CSourceSeeking> FSeeking;
};

#pragma once
// kelvara-info --at: the frame-exact seeks of the navigation manager on the built graph, paused.
// Each target is reached by TNavMan::PreciseSeek (a plain seek to the start for frame 0, to the
// last reachable frame for a target at or past it, as the navigation does); the row of a target
// is the frame the renderer shows afterwards, with the DV codes the keeper relayed for it, and
// with --save the picture the renderer shows is written as a 24-bit BMP named after the frame's
// index.
//
// Thread contract: GUI thread; every wait serves the window messages that the keeper sends.
#include "InfoGraph.h"
#include "InfoRecords.h"
#include "InfoStatus.h"

#include <string>
#include <vector>

class TInfoSeeks {
public:
    TInfoSeeks(TInfoGraph& graph, const TInfoOptions& options);

    // Runs every target; the rows of the targets reached are in Landings, also after a failure.
    TInfoStatus Run();
    const std::vector<TInfoFrame>& Landings() const { return FLandings; }

private:
    TInfoStatus Prepare();
    TInfoStatus SeekOne(const std::string& target);
    // The position a target names, on the frame grid.
    REFERENCE_TIME PositionOf(const std::string& target) const;
    bool WaitForLanding(size_t framesBefore);
    TInfoStatus SaveShownPicture(int64_t frameIndex);

    TInfoGraph& FGraph;
    TInfoOptions FOptions;
    REFERENCE_TIME FFrameDuration = 0;
    std::vector<TInfoFrame> FLandings;
};

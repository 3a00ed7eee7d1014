#pragma once
// Scenes of a DV tape: runs of frames whose recording date goes on without a jump. A new scene
// starts where the date goes backwards or forwards by more than one second plus one frame, and
// where frames with a date and frames without one meet (a run of frames without a date is a
// scene of its own).
#include "InfoRecords.h"

struct TInfoScene {
    size_t First = 0; // indexes into the frames
    size_t Last = 0;
    bool Dated = false;
};

std::vector<TInfoScene> FindScenes(const std::vector<TInfoFrame>& frames, int64_t frameDuration);

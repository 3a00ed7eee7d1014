#pragma once
// Registers the classes of the program's own filters (the taps, the DV stage, the null transform
// and the frame keeper) with the class registry, so that they can be created by class identifier
// like any filter. They get no filter description: intelligent connect never inserts them on its
// own. Safe to call more than once.
void RegisterTapClasses();

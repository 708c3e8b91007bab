#pragma once

#include "directory/dicdialog/DicLookup.h"

// The incoming-call window sits beside the directory rather than above it: the tools the directory
// offers it join the window here, at the program's wiring, so that neither reaches into the other.

// The dictionary dialog (Run; none leaves the search buttons disabled), the pick-list editor and
// dialling.
void InstallReceiveViewTools(const TDicLookupRun& Run = DictionaryDialog());
// The map button, on the map program the settings choose.
void InstallReceiveViewMap();

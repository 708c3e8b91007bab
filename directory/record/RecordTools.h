#pragma once

#include "directory/dicdialog/DicLookup.h"

// Gives the incoming-call window the tools of the directory and the dial dialog: the dictionary
// dialog (Run; none leaves the search buttons disabled), the pick-list editor and dialling.
void InstallReceiveViewTools(const TDicLookupRun& Run = DictionaryDialog());

#pragma once

struct TCallPipelineLinks;

// Points the call pipeline at the call-history list (HistoryList) and, through the list's link, at
// the incoming-call window: the date display, the reload after a call, the pop-up and the hand-over
// of the caller's record. The links look the list up at each call, so they may be set before it exists.
void LinkCallPipelineToHistoryList(TCallPipelineLinks& Links);

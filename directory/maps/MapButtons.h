#pragma once

class TMeiboView;
class TReceiveView;

// The map buttons of the incoming-call window and the directory record window: the request from
// the window's record, the program the settings choose, and what becomes of a picked place.

void ReceiveViewMapClick(TReceiveView& View);
void MeiboViewMapClick(TMeiboView& View);

// Fills both windows' map tools; the program does it once at start.
void InstallMapButtons();

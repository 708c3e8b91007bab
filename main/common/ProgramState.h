#pragma once

// The state of the running program that every window must heed, kept by the main window and the
// start-up.

// True while no modal window of the main window or of a list window is open. The tray menu, the
// tray double click and the call pipeline look at it; whoever opens a modal window clears it first.
extern bool UIIdle;
// The program closes itself so that an update can run; the close query then asks nothing.
extern bool ClosingForUpdate;
// The session ends and nobody may answer (a termination signal, a session manager that lets nobody
// ask): every modal loop has been told to end, so what an open dialog or message box returns then is
// no answer of the user's. The start-up and its deferred steps stop at their next step.
extern bool ProgramEnding;

// Clears UIIdle for the life of a modal window and sets it again afterwards, whatever the way out.
class TUIBusy
{
public:
    TUIBusy() { UIIdle = false; }
    ~TUIBusy() { UIIdle = true; }
    TUIBusy(const TUIBusy&) = delete;
    TUIBusy& operator=(const TUIBusy&) = delete;
};

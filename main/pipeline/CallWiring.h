#pragma once

class TCallPipeline;
struct TCallPipelineLinks;

// The call pipeline of the running program; null until InstallCallPipeline made it.
extern TCallPipeline* CallPipeline;

// The windows above this subsystem that show a call (the call-history list and, through it, the
// incoming-call window) link themselves in here; the program's entry point sets it.
extern void (*LinkCallWindows)(TCallPipelineLinks& Links);

// Makes the program's call pipeline and connects it: the main window hands it the device library's
// notifications, the extension library is loaded and unloaded through the main window's hooks, and
// the pipeline reaches the tray, the ring, the identification and, through LinkCallWindows, the
// windows that show a call. The calls wait for their rows in the data folder's spool.
void InstallCallPipeline();
// The program has started: the calls that waited (from an earlier run, or rung during the start)
// are written now.
void StartCallPipeline();
// After the shut-down: the pipeline goes. It outlives the line, so that no call the line reported
// is dropped on the way out.
void FreeCallPipeline();

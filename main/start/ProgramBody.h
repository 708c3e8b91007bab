#pragma once

// The main program from its start to its end: single instance, folders, splash, the main window
// (whose creation carries the rest of the start-up), the message loop and the shut-down.
int RunVxRelvo16(int& argc, char** argv);

extern const char* const AlreadyRunningMessage;

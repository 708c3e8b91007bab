#pragma once

// Connects the main window to the parts of the program that are built in: each present part fills its
// hooks here, once, before the main window is made.
void InstallMainHooks();

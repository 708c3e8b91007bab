#pragma once

#include "platform/ui/MessageBox.h"

#include <QString>

class QWidget;

// The program's message box, optionally placed against Window:
//   Mode 0: centred over Window's rectangle as it is at the call (no Window: left where the system puts it);
//   Mode 1: its top-left corner at (X, Y);
//   Mode 2 and any other mode: not moved.
// While it is open the program's other windows take no input; afterwards the window that was active
// is active again and the program's window comes to the front. Answers IDOK .. IDNO.
[[nodiscard]] int MessageBoxPos(QWidget* Window, const QString& Text, const QString& Caption, unsigned Flags,
                                int Mode = 0, int X = 0, int Y = 0);

// A box with the product's caption over the active window, where the system puts it.
int ShowMessage(const QString& Text, unsigned Flags = MB_OK | MB_ICONINFORMATION);

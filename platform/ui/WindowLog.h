#pragma once

class QWidget;

// For tests that drive the real program from outside: with VX_WINDOW_LOG=<file> set, a window that
// calls this appends one JSON line to the file with its object name, its title and the text of
// every named edit, label, combo box and button in it, the lines of its named lists, and the names
// of its disabled controls
// ({"window":..,"title":..,"fields":{..},"disabled":[..]}).
// Without the variable it does nothing.
void LogWindowState(const QWidget* Window);

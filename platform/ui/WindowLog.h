#pragma once

class QWidget;

// For tests that drive the real program from outside: with VX_WINDOW_LOG=<file> set, a window that
// calls this appends one JSON line to the file with its object name, its title and the text of
// every named edit, label, combo box and button in it, the lines of its named lists, and the names
// of its disabled controls, and where its visible controls are on the screen while it is shown
// ({"window":..,"title":..,"fields":{..},"disabled":[..],"places":{"name":[x,y,w,h]}}), so that a
// test can click and type into them as a person does.
// Without the variable it does nothing.
void LogWindowState(const QWidget* Window);

#pragma once

#include <QStringList>

class QWidget;

// For tests that drive the real program from outside: with VX_WINDOW_LOG=<file> set, a window that
// calls this appends one JSON line to the file with its object name, its title and the text of
// every named edit, label, combo box and button in it, the lines of its named lists, and the names
// of its disabled controls, and where its visible controls are on the screen while it is shown
// ({"window":..,"title":..,"fields":{..},"disabled":[..],"places":{"name":[x,y,w,h]},"cut":[..],
// "bars":{"name":[horizontal,vertical]}}), so that a test can click and type into them as a person does,
// see which texts their controls cut (CutTexts) and which scroll bars its named scrolled views show.
// Without the variable it does nothing.
void LogWindowState(const QWidget* Window);

// The labels, edits, check boxes, radio buttons and push buttons of Window whose text is wider than the
// control (a label that wraps: taller), by name, or by class and text where they have none.
[[nodiscard]] QStringList CutTexts(const QWidget* Window);

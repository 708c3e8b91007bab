#pragma once

class QWidget;

// For tests that drive the real program from outside, beside the message-box and window logs.
//
// A window that calls ScriptWindow(this) appends its state to VX_WINDOW_LOG (LogWindowState) each
// time it is shown, so that a test knows it is open. With VX_DIALOG_ANSWERS=<file> set, the window
// also takes its answers from that file while it is shown. The file holds one JSON object a line,
//
//   {"window":"InputPassword","fields":{"medtPassword":"secret"},"click":"btnOk"}
//
// and the lines are taken in order by the whole process: a line that names another window waits
// until that window is shown. "fields" sets line edits (their text), check boxes (true / false),
// combo boxes (the item with that text) and lists (true selects every line); "click" then clicks
// the named button, or chooses the named menu command. "focus" puts the focus into the named
// control (the caret at the end of an edit), as a click would, for a test that then types with
// real keys; "log": true appends the window's state to VX_WINDOW_LOG once the line was applied. A test may append
// lines while the program runs: an open window looks at the file ten times a second. Without the
// variable nothing answers, and the window waits for a person as it always does.
// A window that logs its state itself each time it is filled passes LogOnShow false.
void ScriptWindow(QWidget* Window, bool LogOnShow = true);

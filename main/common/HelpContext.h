#pragma once

class QWidget;

// The help context of a window: F1 opens the manual at its page. A window without one takes its
// parent's.
void SetHelpContext(QWidget* Window, int Context);
[[nodiscard]] int HelpContextOf(const QWidget* Window);

#pragma once

class QWidget;

// Keeps the input method away from Field, as a number, a postal code, a mail address or a password
// needs: the field answers the input method's query that it takes no input method, whatever Qt's
// own controls report, so that an input method left on by the user types plain letters and digits
// there. The hints ask for Latin letters without prediction where a framework reads them instead.
void CloseInputMethod(QWidget* Field);

// Whether Field, asked as the input method asks the focused control, takes the input method.
[[nodiscard]] bool TakesInputMethod(QWidget* Field);

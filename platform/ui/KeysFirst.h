#pragma once

#include <functional>

class QWidget;

// Keys a control takes before the input method does. On X11 Qt hands a key to the input method
// before any widget sees it, so a control that must answer the cursor keys and Enter while a
// composition is open (the name-reading pop-up's list) cannot do so in its own key handler. While
// Owner holds the focus, Handler gets Up, Down, Left, Right, Page Up, Page Down and Enter (as
// Qt::Key values, without modifiers) first; true takes the key, press and release, from the input
// method and the program alike. One owner at a time: the last one set stands. Elsewhere than on X11
// nothing is taken.
void SetKeysFirst(QWidget* Owner, std::function<bool(int Key)> Handler);
void ClearKeysFirst(QWidget* Owner);

#pragma once

#include "calls/memo/MemoPrintItems.h"

#include <QImage>
#include <Qt>
#include <functional>

class TReceiveView;
class QWidget;

// The incoming-call window's memo print, copy, screen print and item settings: fills their places in
// ReceiveViewTools.
void InstallMemoPrint();

// What the shown call holds, row by row, taken from the window's controls.
[[nodiscard]] TMemoValues MemoValuesOf(const TReceiveView& View);

void MemoPrint(TReceiveView& View);
void MemoCopy(TReceiveView& View);
void ScreenPrint(TReceiveView& View);
void MemoPrintSet(TReceiveView& View);

// The keys held at the moment of the screen print; tests put their own state here.
extern std::function<Qt::KeyboardModifiers()> MemoPrintKeyboardState;

// The window's picture for the screen print, its frame and caption included where the window system
// lets a program read them (X11), else the client area.
[[nodiscard]] QImage GrabWindowPicture(QWidget* Window);

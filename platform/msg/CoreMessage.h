#pragma once

#include "platform/msg/MessageBoxFlags.h"

#include <QString>
#include <functional>

// Logic that builds without widgets (library bindings, identification of callers) shows
// its message boxes through this one function. The program installs the real box at start;
// tests install a script. Flags and answers are the message box's own values.
using TCoreMessageBox = std::function<int(const QString& Text, const QString& Caption, unsigned Flags)>;

// Installs Box for every later message; an empty function goes back to the fallback, which
// writes the message to stderr and answers 0 (no button).
void SetCoreMessageBox(TCoreMessageBox Box);

[[nodiscard]] int CoreMessageBox(const QString& Text, const QString& Caption, unsigned Flags);

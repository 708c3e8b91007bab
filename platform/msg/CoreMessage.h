#pragma once

#include <QString>
#include <functional>

// Logic that builds without widgets (library bindings, identification of callers) shows
// its message boxes through this one function. The program installs the real box at start;
// tests install a script. Flags and answers are the message box's own values.
using TCoreMessageBox = std::function<int(const QString& Text, const QString& Caption, unsigned Flags)>;

namespace CoreBox {
inline constexpr unsigned YesNoCancel = 0x3;
inline constexpr unsigned IconStop = 0x10;
inline constexpr unsigned IconQuestion = 0x20;
inline constexpr unsigned IconInformation = 0x40;
inline constexpr int IdYes = 6;
inline constexpr int IdNo = 7;
inline constexpr int IdCancel = 2;
} // namespace CoreBox

// Installs Box for every later message; an empty function goes back to the fallback, which
// writes the message to stderr and answers 0 (no button).
void SetCoreMessageBox(TCoreMessageBox Box);

[[nodiscard]] int CoreMessageBox(const QString& Text, const QString& Caption, unsigned Flags);

#pragma once

namespace Utility {

inline constexpr const char* MainProgramRunningMessage =
    "「Tolvane１６」が動作中です  \r\n「Tolvane１６」を終了してから実行してください  ";

// Whether the main program runs now; when it does, the user is told to end it first. Every command
// that touches the main tables asks this first and does nothing more on true.
[[nodiscard]] bool IsMainProgramRunning();

} // namespace Utility

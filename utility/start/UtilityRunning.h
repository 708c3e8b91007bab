#pragma once

#include <QString>

namespace Utility {

// The utility's own single-instance name; the main program's is MAIN_INSTANCE_NAME.
inline const QString UTILITY_INSTANCE_NAME = QStringLiteral("Pelmar.VxUtil16.Instance");

inline constexpr const char* MainProgramRunningMessage =
    "「Tolvane１６」が動作中です  \r\n「Tolvane１６」を終了してから実行してください  ";

// Whether the main program runs now; when it does, the user is told to end it first. Every command
// that touches the main tables asks this first and does nothing more on true.
[[nodiscard]] bool IsMainProgramRunning();

} // namespace Utility

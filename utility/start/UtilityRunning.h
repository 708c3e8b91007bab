#pragma once

#include <QString>

namespace Utility {

// The utility's own single-instance name; the main program's is MAIN_INSTANCE_NAME.
inline const QString UTILITY_INSTANCE_NAME = QStringLiteral("Pelmar.VxUtil16.Instance");

// The single-instance names the main programs of versions 2 to 15 took, by version; version 1
// took none.
[[nodiscard]] QString OlderInstanceName(int Version);

// Whether the main program of an earlier version runs now; when it does, the user is told to end
// it first. Version 1 is never found running: it marked itself only by a window title, which has
// no counterpart here.
[[nodiscard]] bool IsOlderVersionRunning(int Version);

inline constexpr const char* MainProgramRunningMessage =
    "「Tolvane１６」が動作中です  \r\n「Tolvane１６」を終了してから実行してください  ";

// Whether the main program runs now; when it does, the user is told to end it first. Every command
// that touches the main tables asks this first and does nothing more on true.
[[nodiscard]] bool IsMainProgramRunning();

} // namespace Utility

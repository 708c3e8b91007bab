#pragma once

#include "utility/fixes/FixProgress.h"

#include <QString>

// The exchange-number change of the page "一括変換": every stored number of the call history and
// the directory brought up to the current numbering plan and hyphenated anew.
namespace Utility {

inline const QString KyokubanBackupFolder = QStringLiteral("backup.kyk/");

// A stored number (trimmed) as the change writes it: one that begins with "0" goes through the
// number rules and the hyphenation library loaded now; any other comes back as it was.
[[nodiscard]] QString ConvertStoredTel(const QString& Tel);

// The whole command with its question and end message; false when it did not run to its end
// message (the user said no, the main program runs, the hyphenation library is missing).
bool RunKyokubanChange(const TFixProgress& Progress = {});

} // namespace Utility

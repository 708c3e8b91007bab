#pragma once

#include <QString>

// The product's name as captions and messages show it, and the version compiled into both programs
// (each states it in its file as well, for the update check: VX_FILE_VERSION in its main source).
inline const QString ProductName = QStringLiteral("Tolvane１６");

inline constexpr int ProductVersionMajor = 16;
inline constexpr int ProductVersionMinor = 0;
inline constexpr int ProductVersionRelease = 0;
inline constexpr int ProductVersionBuild = 0;

[[nodiscard]] QString ProductVersionText();

// The name of the main program's single-instance lock, and of the mark its running copy answers to.
// The utility and the map windows ask for the same name to find the main program.
inline const QString MAIN_INSTANCE_NAME = QStringLiteral("Pelmar.VxRelvo16.MainInstance");

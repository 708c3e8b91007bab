#pragma once

#include "transfer/import/ImportItems.h"

#include <QString>

class TMemIniFile;

// The import window's section [FILE IMPORT] of VxRelvo16.ini: read when the window opens, written
// only after a completed run.
struct TFileImportSettings
{
    TImportDest ImportDest = TImportDest::RecvHis;
    QString File; // the file the last completed run read
    bool SkipRecord = false;
    bool SameReplace = false;
    bool NotAutoSupplement = false;
    bool operator==(const TFileImportSettings&) const = default;
};

// A file that no longer exists is forgotten; a destination other than 0 or 1 is the history.
[[nodiscard]] TFileImportSettings ReadFileImportSettings(const QString& IniFile);
void WriteFileImportSettings(TMemIniFile& Ini, const TFileImportSettings& Value);

#pragma once

#include <QDateTime>

class TDMVxRelvo16;

// The write of a position picked on a map straight into a directory entry, without the rest of
// the record window's save.
enum class TMapPosSaveResult
{
    Written,
    Missing, // no row has the entry's RecNo any more
    Failed,  // the table could not be opened or refused the write
};

// Data: the module of the directory the entry is in.
[[nodiscard]] TMapPosSaveResult SaveMapPosition(TDMVxRelvo16& Data, int RecNo, int Latitude, int Longitude, const QDateTime& Now);

#pragma once

#include <QDateTime>

// The write of a position picked on a map straight into a directory entry, without the rest of
// the record window's save.
enum class TMapPosSaveResult
{
    Written,
    Missing, // no row has the entry's RecNo any more
    Failed,  // the table could not be opened or refused the write
};

[[nodiscard]] TMapPosSaveResult SaveMapPosition(int RecNo, int Latitude, int Longitude, const QDateTime& Now);

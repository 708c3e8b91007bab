#pragma once

#include "utility/fixes/FixProgress.h"

#include <QString>
#include <functional>

class TPosSearch;

// The address / postal-code conversion of the page "一括変換": the directory's addresses, address
// codes and postal codes brought up to date after municipal mergers through the two
// address-conversion libraries.
namespace Utility {

inline const QString AdrsPosBackupFolder = QStringLiteral("backup.cap/");

// The six texts of one directory row that the conversion reads and writes.
struct TAdrsWork
{
    QString Tdfkn;
    QString Adrs1;
    QString Adrs2;
    QString Adrs3;
    QString Pos;
    QString JisCode;
};

enum class TAdrsOutcome
{
    Unchanged,
    Changed,
    // Converted, but the result does not fit the row's fields: the row keeps what it had.
    TooLong,
};

// Whether a stored postal code is valid and current; a stored one that is keeps its place.
using TPostalCheck = std::function<bool(const QString& Pos)>;

// Rewrites Work through the libraries loaded now; Folder is the conversion data's folder. Work is
// changed only when the answer is Changed.
[[nodiscard]] TAdrsOutcome ConvertAddress(TAdrsWork& Work, const QString& Folder, const TPostalCheck& IsCurrentPos);

// Seven characters that the postal-code search finds, for a place it still lists offices of; an
// error of the search counts as not valid.
[[nodiscard]] bool IsCurrentPostalCode(TPosSearch& Search, const QString& Pos);

// The whole command with its question and end message; false when it did not run to its end
// message (the user said no, the main program runs, the folder or the search failed).
bool RunConvertAdrsPos(const TFixProgress& Progress = {});

} // namespace Utility

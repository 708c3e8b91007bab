#pragma once

#include <QString>
#include <set>

class TTable;

// Rules of the directory (Meibo.DB) that every window registering an entry follows: which rows
// already hold a number, and the RecNo a new row gets.

enum class TEntryLookUp
{
    Both,         // SchTel1, then SchTel2
    SecondIfNone, // SchTel2 only when SchTel1 found nothing
};

// Looks the digits of Number up in the directory and adds the RecNo of the row each index lands
// on to Rows, so that an entry found by several look-ups counts once. A row whose RecNo is
// Excluded (the entry being edited) is passed over. Opens and closes the table through the data
// module; a number without digits finds nothing.
void LookUpEntries(const QString& Number, TEntryLookUp How, int Excluded, std::set<int>& Rows);
inline constexpr int NoEntry = -1;

inline constexpr int MaxEntryRecNo = 99999;
inline constexpr int MaxEntryRows = 100000;

struct TNextRecNo
{
    int RecNo = 0;
    bool Exhausted = false; // above MaxEntryRecNo: no row may be added
    bool TableFull = false; // and that because the table holds MaxEntryRows rows
};
// The RecNo of a row to append to the open Table: 0 when it is empty, else its last row's + 1;
// numbers freed by deletions are not used again. Leaves the cursor on the last row.
[[nodiscard]] TNextRecNo NextRecNo(TTable& Table);

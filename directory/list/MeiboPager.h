#pragma once

#include "calls/ListPages.h"
#include "directory/search/MeiboSchCond.h"

class TTable;
struct TCallerRecord;

// The paging of the directory list in one of its six orders, one page of ListMaxCount lines at a
// time. A page is found from its neighbour's first or last row by a keyset walk on the order's
// index, or, for a page chosen by number, by walking from the first row; the rows are never
// addressed by offset. Works on the open Meibo table and leaves no filter behind.
class TMeiboPager : public TListPages
{
public:
    TMeiboSearchCondition Condition;
    int SortIndex = -1; // -1 before the first order is chosen, then 0..5

    // Mode Reload: Page > 0 shows that page, 0 keeps the current one (a page past the rows gives
    // page TotalRows div the page size). Previous and Next move one page from the anchors. When
    // the result is not Loaded and not Empty, the lines and page stay as they were.
    TListLoadResult Load(TTable& Table, int Mode, int Page);

    // Whether the table's current row passes the conditions.
    [[nodiscard]] bool RowMatches(TTable& Table) const;

    // Deletes every row that passes, in the order shown; a row that refuses is stepped over. One
    // transaction. Answers the number deleted.
    int DeleteMatching(TTable& Table) const;

    // The six cells of the table's current row, Number in the first.
    [[nodiscard]] static QStringList RowCells(TTable& Table, int Number);
    // The index of Meibo.DB an order walks: 0 (and -1) the primary index, then "SchTel1",
    // "SchTel2", "Adrs", "CorpKana", "NameKana".
    [[nodiscard]] static QString IndexOf(int SortIndex);
};

// The caller record the record window shows an entry with, from the table's current row: its
// fields trimmed and cut to the record's widths, the postal code as "123-4567", the search numbers
// left empty.
void MeiboRowToRecord(TTable& Table, TCallerRecord& Record);

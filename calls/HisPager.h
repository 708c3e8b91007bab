#pragma once

#include "calls/HisSchCond.h"
#include "calls/ListPages.h"

#include <QList>
#include <QStringList>
#include <functional>

class TTable;

// Puts the cursor of Table, on its RecvDateTime index and without a range, on the row with Behind
// newer rows before it (the last row for 0), counting the newer rows by date ranges rather than
// passing them one at a time.
void MoveBehindNewest(TTable& Table, int Behind);

using THistoryLine = TListLine;
using THistoryLoadResult = TListLoadResult;

// The paging of the call history, newest call first, one page of ListMaxCount lines at a time.
// A page is found from its neighbour's first or last row (keyset on RecvDateTime, RecNo), or, for
// a page chosen by number, by walking from the newest row; the rows are never addressed by offset.
// Works on the open RecvHis table, leaving its index set to RecvDateTime and no filter behind.
class THistoryPager : public TListPages
{
public:
    THistorySearchCondition Condition;
    TWeekdayButtons Weekdays;

    // Mode Reload: Page > 0 shows that page, 0 keeps the current one (a page past the rows gives
    // the last full page). Previous (newer rows) and Next (older rows) move one page from the
    // anchors. When the result is not Loaded and not Empty, the lines and page stay as they were.
    THistoryLoadResult Load(TTable& Table, int Mode, int Page);

    // Whether the table's current row passes the conditions and the weekday buttons.
    [[nodiscard]] bool RowMatches(TTable& Table) const;

    // Deletes every row that passes, newest first; a row that refuses is stepped over. One
    // transaction. Answers the number deleted.
    int DeleteMatching(TTable& Table) const;

    // The cells of the table's current row, Number in the first.
    [[nodiscard]] static QStringList RowCells(TTable& Table, int Number);
};

// The row keys the conditions test, read from the table's current row.
[[nodiscard]] THistoryRowKeys CurrentRowKeys(TTable& Table);

// "yyyy/mm/dd" and "hh:nn:ss" of a table date-time; empty for 0.
[[nodiscard]] QString HistoryDateText(double Days);
[[nodiscard]] QString HistoryTimeText(double Days);

// Deletes the rows whose RecNo is listed and still exists; one transaction. Answers the RecNos
// actually deleted.
QList<int> DeleteHistoryRows(TTable& Table, const QList<int>& RecNos);

// The automatic deletion: every row whose whole day is at or before Limit (a day number), oldest
// first. Confirm is asked once, before the first deletion; false deletes nothing. Answers the
// number deleted.
int PurgeHistoryRows(TTable& Table, int Limit, const std::function<bool()>& Confirm);

struct TCallerRecord;

// What the inquiry takes over from the history row into the identified caller's record: the
// row's RecNo, its rank when the identification found none, the time of the call and the three
// select items.
void TakeOverHistoryRow(TTable& Table, TCallerRecord& Record);

// The search numbers the previous call of Record's caller is looked for under: the digits of its
// first two numbers that begin with a digit, the one that rang (RingingSchTel) first.
[[nodiscard]] QStringList PreviousCallNumbers(const TCallerRecord& Record, const QString& RingingSchTel);

// The latest call before Before (a table date-time) from any of Numbers, to the whole second; 0
// when there is none. Leaves the table on the SchTel index without a range.
[[nodiscard]] double PreviousCallTime(TTable& Table, const QStringList& Numbers, double Before);

// Sets the conditions and weekday buttons as the table's filter for its life and takes it off
// again, whatever the way out.
class THistoryFilterUse : public TSqlFilterUse
{
public:
    THistoryFilterUse(TTable& Table, const THistorySearchCondition& Condition, const TWeekdayButtons& Weekdays);
};

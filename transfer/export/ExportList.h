#pragma once

#include "calls/HisPager.h"
#include "directory/list/MeiboPager.h"
#include "transfer/export/ExportRun.h"

class TTable;

// The paged list of the export (and print) list windows, of either source: pages by anchor rows,
// the source's row test and row texts. A page asked for past the rows shows the last page with
// rows; the history list has no weekday buttons here, so every day passes.
class TExportListModel
{
public:
    explicit TExportListModel(int Source);

    [[nodiscard]] int Source() const { return FSource; }
    [[nodiscard]] TListPages& Pages();
    [[nodiscard]] const TListPages& Pages() const;
    // Mode 0 reload and show Page, 1 the page before, 2 the page after, on the open source table.
    TListLoadResult Load(TTable& Table, int Mode, int Page);
    [[nodiscard]] bool RowMatches(TTable& Table) const;
    [[nodiscard]] bool HasConditions() const;

    THistorySearchCondition& HistoryCondition() { return FHistory.Condition; }
    TMeiboSearchCondition& MeiboCondition() { return FMeibo.Condition; }
    // The directory's order, 0 to 5; -1 before the first.
    [[nodiscard]] int SortIndex() const { return FMeibo.SortIndex; }
    void SetSortIndex(int Index) { FMeibo.SortIndex = Index; }

    // What an export of this list walks, with its conditions and order.
    [[nodiscard]] TExportSource ExportSourceOf(TTable& Table, TTable* Meibo) const;

private:
    int FSource;
    THistoryPager FHistory;
    TMeiboPager FMeibo;
};

#pragma once

#include "calls/HisPager.h"
#include "directory/list/MeiboPager.h"
#include "transfer/export/ExportRun.h"
#include "transfer/print/ListItemText.h"
#include "transfer/print/ListRender.h"

#include <QList>
#include <memory>
#include <optional>

// Which records of a print list a job prints.
struct TPrintScope
{
    int DataSelect = 2; // 0 the selected rows, 1 a range of positions, 2 every matching record
    QList<int> RecNos;  // the selected rows' RecNo, top to bottom
    int First = 1;      // the range's first position among the matching records
    int Count = 0;      // the records to print
};

// The records of a print job, in the list's own order, for the renderer: the selected rows found
// again by RecNo (a row whose record has gone ends the job there), or the matching records of the
// list counted from a position. Numbers run 1 .. Count across the pages.
class TPrintJobWalk final : public TListRecordWalk
{
public:
    // Source names the open table (and the history's directory), the conditions and the order.
    TPrintJobWalk(const TExportSource& Source, const TPrintScope& Scope, bool IgnoreTdfkn);
    ~TPrintJobWalk() override;

    // Puts the table on the scope's first record; false when there is none.
    [[nodiscard]] bool FirstPrintRecord();
    // Moves to the scope's next record; false when there is none.
    [[nodiscard]] bool NextPrintRecord();

    [[nodiscard]] bool AtEnd() const override { return !FCurrent; }
    void Next() override;
    [[nodiscard]] QString GetItemText(int ItemNo) override;
    [[nodiscard]] int RunningNumber() const override { return FPrinted + 1; }
    [[nodiscard]] int Printed() const { return FPrinted; }

private:
    bool FindSelected();

    const TExportSource& FSource;
    TPrintScope FScope;
    bool FIgnoreTdfkn;
    bool FForward;
    std::optional<THistoryFilterUse> FHistoryFilter;
    std::optional<TMeiboFilterUse> FMeiboFilter;
    std::unique_ptr<TTableFieldValues> FRow;
    std::unique_ptr<TTableFieldValues> FEntry;
    std::optional<bool> FEntryFound;
    int FSelected = 0;
    int FPrinted = 0;
    bool FCurrent = false;
};

// The print list's questions before a job.
[[nodiscard]] QString SelectedPrintQuestion(int Count, bool Directory);
[[nodiscard]] QString RangePrintQuestion(int First, int Last);
[[nodiscard]] QString AllPrintQuestion(int Count, bool HasConditions);

#pragma once

#include "main/tables/DBInfo.h"

#include <QString>
#include <functional>

// The two table commands of the page "データベース管理": optimising both main tables and
// rebuilding one of them after its indexes went bad. They ask and tell through the core message
// box; the window only starts them and moves the focus.
namespace Utility {

enum class TOptimizeResult
{
    Done,          // the table was empty, or its rows are in a new, packed file
    Failed,        // the table could not be opened or rebuilt
    NotRecognised, // the file holds what the program never makes there; it is as it was
};

// Renumbers the table's records 0 .. n-1 in primary order when the last number is not n-1 (all at
// once, so a failure leaves every number as it was), and packs the file: both by a rebuild from the
// table's definition. The table object is made and freed here.
[[nodiscard]] TOptimizeResult OptimizeTable(TDMVxRelvo16& Module, TDataTable Table, bool Renumber);
// True when the table was empty or both steps went through.
[[nodiscard]] inline bool OptimizeRecvHis(TDMVxRelvo16& Module, bool Renumber)
{
    return OptimizeTable(Module, TDataTable::RecvHis, Renumber) == TOptimizeResult::Done;
}
[[nodiscard]] inline bool OptimizeMeibo(TDMVxRelvo16& Module, bool Renumber)
{
    return OptimizeTable(Module, TDataTable::Meibo, Renumber) == TOptimizeResult::Done;
}

enum class TRepairResult
{
    Done,
    NoSafetyCopy,  // the table is as it was; nothing was rebuilt
    RebuildFailed, // the table is as it was; the safety copy is in backup.rep
    NotRecognised, // the file holds what the program never makes there; it is as it was, its copy in backup.rep
    CheckFailed,   // rebuilt, but the new file's indexes did not check out
};

// What the user is told of a table file that opens with the table password but holds what the
// program never makes there (another table, a trigger, a view, other columns).
[[nodiscard]] QString NotOptimisedText(TDataTable Table);
[[nodiscard]] QString NotRepairedText(TDataTable Table);

// Copies the table's file into backup.rep, rebuilds it from the table's definition and checks the
// result; tells the user what failed. BeforeRename is the rebuild's last look at the new file.
// A file with damaged pages or cut short keeps every row that can still be read; Rows, when given,
// takes what was saved and lost.
[[nodiscard]] TRepairResult RepairTable(TDMVxRelvo16& Module, TDataTable Table,
                                        const std::function<void(const QString&)>& BeforeRename = {},
                                        TTable::TSalvageCount* Rows = nullptr);
// The end message of a repair that went through.
[[nodiscard]] QString RepairedText(const TTable::TSalvageCount& Rows);
// Tests make a rebuild fail here.
extern std::function<void(const QString& NewFile)> RepairRebuildHook;

// Shows the hourglass while a command works (after its question); the window sets it.
extern std::function<void(bool Busy)> ShowBusy;

// The whole commands with their questions and end messages; false when they did not run to their
// end message (the user said no, the main program runs).
bool RunOptimize();
bool RunRepair(int RepairRow);

} // namespace Utility

#pragma once

#include "calls/HisSchCond.h"
#include "directory/search/MeiboSchCond.h"
#include "main/tables/DBInfo.h"
#include "platform/sys/SafeWrite.h"
#include "transfer/export/ExportItems.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class TTable;

// The text file of an export: CP932 without a byte-order mark, each line ended by CR LF, written
// line by line. A new or overwritten file is built beside the old one and put in place by Commit,
// so a failed export leaves the earlier file whole; an append keeps what it wrote.
class TExportTextFile
{
public:
    [[nodiscard]] bool Open(const QString& FileName, bool Append);
    // Values, asked only of a line that holds characters CP932 lacks, tells how many of its values do
    // (without it, the line counts as one).
    [[nodiscard]] bool WriteLine(const QString& Line, const std::function<int()>& Values = {});
    [[nodiscard]] bool Commit();
    // Values (header names included) that held characters CP932 lacks, written with the visible substitute.
    [[nodiscard]] int Substituted() const { return FSubstituted; }
    // The errno of the failure, for the system's message.
    [[nodiscard]] int Error() const { return FSeamError ? FSeamError : FWriter.Error(); }

    // A test seam: the line after Lines lines fails as a full disk would.
    static void FailAfterLinesForTests(int Lines);

private:
    [[nodiscard]] bool Flush();
    TSafeFileWriter FWriter;
    QByteArray FPending; // lines not yet handed to the file: one write a few thousand lines
    int FLines = 0;
    int FSubstituted = 0;
    int FSeamError = 0;
};

// What one export walks and how its lines are made.
struct TExportSource
{
    int Source = ExportSourceHistory;
    TTable* Table = nullptr; // RecvHis or Meibo, open
    TTable* Meibo = nullptr; // the directory for the history's caller items; may be null
    TExportLayout Layout;
    QStringList ItemNames;
    TExportSettings Settings;
    THistorySearchCondition HistoryCondition;
    TMeiboSearchCondition MeiboCondition;
    int SortIndex = 0; // the directory's order, 0 to 5
};

// The tables one export or print run walks, opened through the data module it is handed for the
// run's life: the source and, beside the call history, the directory its caller items come from.
class TExportTables
{
public:
    TExportTables(TDMVxRelvo16& Data, bool Meibo);

    // False when the source did not open (the data module has said why).
    [[nodiscard]] bool Opened() const { return FOpened; }
    // The open source table, null unless Opened.
    [[nodiscard]] TTable* Table() const { return FOpened ? FTable : nullptr; }
    // The directory for the history's caller items: null for the directory itself and when it did not open.
    [[nodiscard]] TTable* CallerDirectory() const { return FCallers; }

private:
    std::optional<TTableUse> FHistory;
    TTableUse FDirectory;
    TTable* FTable = nullptr;
    TTable* FCallers = nullptr;
    bool FOpened = false;
};

struct TExportResult
{
    int Written = 0;     // record lines written
    bool Failed = false; // the file could not be written; what was written stays
};

// Each writes the header line when OutHeader is on, then record lines, and answers the count.
// The selected rows, found again by RecNo and skipped when gone:
[[nodiscard]] TExportResult ExportSelected(TExportTextFile& File, const TExportSource& Source,
                                           const QList<int>& RecNos);
// The matching records numbered Start to End in list order:
[[nodiscard]] TExportResult ExportRange(TExportTextFile& File, const TExportSource& Source, int Start, int End);
// Every matching record in list order:
[[nodiscard]] TExportResult ExportAll(TExportTextFile& File, const TExportSource& Source);

// The completion message and, when values lost characters, its warning.
[[nodiscard]] QString ExportDoneText(int Count, int Written);
[[nodiscard]] QString ExportSubstitutedText(int Values);

#pragma once

#include <QString>
#include <functional>

class TTable;
class TParadoxTable;

// The frame every converter runs in, shared by the converters of versions 7 to 15 and of 1 to 6:
// what a version adds are the rules by which its rows become version-16 rows.
namespace Utility {

class TConvertProgress;
class TDMVxRelvoOlder;
class TKnownNumbers;

struct TConvertRules
{
    // The history step opens the source directory as well, to tell a person's call from a
    // company's; without it every call is a company's.
    bool HistoryLooksUpDirectory = false;
    // Fills a new history row from the current source row; Directory is the open source directory,
    // or null. Now is the moment of the conversion.
    std::function<void(TTable& Row, TParadoxTable& Source, TParadoxTable* Directory, double Now)> FillHistoryRow;
    // Whether the destination already knows the current source entry's number.
    std::function<bool(TKnownNumbers& Known, TParadoxTable& Source)> IsKnownEntry;
    std::function<void(TTable& Row, TParadoxTable& Source, double Now)> FillDirectoryRow;
};

// Counts the source's rows and, when there are any, copies its history, its directory (without the
// entries the destination knows), its select items (and from version 7 on its ranks), then hands
// the version's adapter settings over. The destination is the program's data module.
void RunConversion(TDMVxRelvoOlder& Older, const QString& SourceFolder, TConvertProgress& Progress,
                   const TConvertRules& Rules);

// The fields of a new directory entry that no earlier version kept (message, attached file, note,
// colour) get their defaults, and the entry is stamped as added and updated at Now.
void SetNewEntryDefaults(TTable& Row, double Now);

// The fields of the current source row, read as text.
[[nodiscard]] QString SourceText(TParadoxTable& Source, const char* Name);

// Dest.Name := Value.
void SetText(TTable& Dest, const char* Name, const QString& Value);

} // namespace Utility

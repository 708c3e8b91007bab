#pragma once

#include "transfer/common/TableCopy.h"

#include <QList>
#include <QString>
#include <cstdint>

// What the backup and restore wizards do besides asking: measure, copy group by group, and report
// each group's outcome as a row of the result list.
namespace Utility {

struct TResultRow
{
    QString Name;
    int Code = CopyTableFilesDone; // 0 done, 8 copy failed, 9 folder not made
    bool operator==(const TResultRow&) const = default;
};

// The columns "成否" and "要因" of a row's code.
[[nodiscard]] QString ResultMark(int Code);
[[nodiscard]] QString ResultReason(int Code);

// The backup's default destination: a new folder in DataFolder named after the moment, as
// "yyyymmdd hhnnss/", read from the clock the number rules read.
[[nodiscard]] QString DefaultBackupFolder(const QString& DataFolder);

// Bytes as whole KB rounded up, with thousands separators and one blank after: 1234567 is "1,206 ".
[[nodiscard]] QString FormatKB(std::int64_t Bytes);

// How every copy of the wizards copies one file; tests make a copy fail here.
extern TFileCopier WizardFileCopier;

// The backup's groups from Source into Dest (which exists or is made): the two tables, the rank and
// select-item lists, then the list-print templates.
[[nodiscard]] QList<TResultRow> CopyBackupGroups(const QString& Source, const QString& Dest);

struct TRestoreMeasure
{
    int ClusterSize = 0;
    std::int64_t RecvHisSize = 0;
    std::int64_t MeiboSize = 0;
    std::int64_t NeededSize = 0;
    std::int64_t FreeSpace = 0;
};
[[nodiscard]] TRestoreMeasure MeasureRestore(const QString& Source, const QString& Dest);

// The restore's copy: each table whose files the backup holds goes whole or not at all, so a failed
// group leaves the destination's files of that table as they were; then each single list file
// that the backup holds.
[[nodiscard]] QList<TResultRow> CopyRestoreGroups(const QString& Source, const QString& Dest,
                                                  const TRestoreMeasure& Measure);

// Makes Folder the data folder: [COMMON] DataPath of the settings file, written at once.
[[nodiscard]] bool WriteDataPath(const QString& Folder);

// A data folder without a rank list gets the one the program ships with.
void SeedRankList(const QString& Folder);

} // namespace Utility

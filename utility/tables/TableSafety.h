#pragma once

#include "transfer/common/TableCopy.h"

#include <QString>
#include <QStringList>
#include <functional>

// The files of the data folder that the utility's safety copies, backups and restores carry, and
// the safety copy a command makes before it changes the tables in place.
namespace Utility {

// The two tables' lists begin with their data and primary-index files.
extern const QStringList& RecvHisFileList;
extern const QStringList& MeiboFileList;
extern const QStringList RankFileList;
extern const QStringList SelItemFileList;
extern const QStringList TemplateFileList;

// The safety folders under the data folder, one per command, each overwritten by its next run.
inline const QString OptimizeBackupFolder = QStringLiteral("backup.opt/");
inline const QString RepairBackupFolder = QStringLiteral("backup.rep/");

// How a copy is measured; tests put a full disk in its place.
using TMeasure =
    std::function<TBackupMeasure(const QString& DestFolder, const QStringList& Names, const QString& SourceFolder)>;
extern TMeasure MeasureTableFiles;

// Copies the data folder's files into DataPath + FolderName, telling the user when there is nothing
// to copy, too little room or no folder; the command goes on without the copy then. False only
// when the main program has started meanwhile: the command must stop.
[[nodiscard]] bool SaveTablesBeforeChange(const QString& FolderName);

} // namespace Utility

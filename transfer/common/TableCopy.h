#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

// Copies of a table's files into a backup folder, and the room such a copy takes. The text import
// keeps the table it is about to change in backupRH.imp / backupMB.imp this way; the utility's
// safety copies, backups and restores use the same calls.
//
// Folders are given with or without their trailing "/".

// The file lists of the two main tables as the earlier engine kept them (table, index and memo
// files). Only the ".DB" file exists on ours; the other names are passed over as missing files.
extern const QStringList RecvHisTableFiles; // 16 names
extern const QStringList MeiboTableFiles;   // 19 names

// The allocation unit of the file system that holds Folder (or its nearest existing parent); 0
// when it cannot be asked.
[[nodiscard]] int GetClusterSize(const QString& Folder);

// The room the files Folder + name take, each rounded up to whole clusters (with ClusterSize 0 the
// plain sizes); a name without a file adds nothing.
[[nodiscard]] std::int64_t GetFilesSize(const QStringList& Names, const QString& Folder, int ClusterSize);

// Free bytes for an unprivileged user on the file system that holds Folder (or its nearest
// existing parent); 0 when it cannot be asked.
[[nodiscard]] std::int64_t GetDriveFreeSpace(const QString& Folder);

struct TBackupMeasure
{
    int ClusterSize = 0;
    std::int64_t NeededSize = 0;
    std::int64_t FreeSpace = 0;
    [[nodiscard]] bool Fits() const { return NeededSize <= FreeSpace; }
};

// What copying Names from SourceFolder into DestFolder needs, and what DestFolder's file system has.
[[nodiscard]] TBackupMeasure MeasureBackup(const QString& DestFolder, const QStringList& Names,
                                           const QString& SourceFolder);

inline constexpr int CopyTableFilesDone = 0;
inline constexpr int CopyTableFilesFailed = 8;
inline constexpr int CopyTableFilesNoFolder = 9;

// Copies one file; false when it did not succeed. The default copies a table file ("*.DB") as a
// consistent snapshot, open elsewhere or not, and any other file byte for byte.
using TFileCopier = std::function<bool(const QString& Source, const QString& Dest)>;
[[nodiscard]] bool CopyOneTableFile(const QString& Source, const QString& Dest);

// Copies every present file of Names from SourceFolder into DestFolder, replacing the copies there.
// Answers CopyTableFilesNoFolder when DestFolder does not exist and cannot be made (nothing is
// copied), CopyTableFilesFailed when a present file could not be copied, else CopyTableFilesDone.
//
// The files are copied into a fresh folder beside DestFolder first and moved into place only when
// every present file copied: a failed copy leaves DestFolder exactly as it was, so an older backup,
// or the live tables when the utility restores into the data folder, are never lost to it. A name
// without a source file is passed over.
[[nodiscard]] int CopyTableFiles(const QString& SourceFolder, const QString& DestFolder, const QStringList& Names,
                                 const TFileCopier& Copier = CopyOneTableFile);

// Removes the staging folders a killed CopyTableFiles left beside DestFolder, with what they hold,
// when they were last changed before Before (see RemoveLeftTemporaries). Answers how many went.
int RemoveLeftStaging(const QString& DestFolder, const QDateTime& Before);

#pragma once

#include "platform/sys/Folders.h"
#include "platform/sys/SingleInstance.h"

#include <QString>
#include <QStringList>
#include <memory>

// Single instance. The first start takes the lock of Name and answers false; the lock goes to Lock
// when the caller passes one (and is kept as long as the caller keeps it), else it is let go at once.
// A later start answers true and, with Activate, asks the first copy to bring its window forward
// (the first copy's TSingleInstance::ActivationRequested). A lock that cannot be made answers true.
[[nodiscard]] bool IsAlreadyRunning(const QString& Name, bool Activate,
                                    std::unique_ptr<TSingleInstance>* Lock = nullptr);

// Whether the program whose single-instance name is Name is running now.
[[nodiscard]] bool IsProgramRunning(const QString& Name);

// Creates Folder (with its missing parents) for the user alone; an existing folder answers 1 at once.
// Answers 1 when the folder exists afterwards, else 0.
[[nodiscard]] int CreateSharedFolder(const QString& Folder);

// Deletes Folder with everything in it, sub-folders first. With KeepFiles the files stay, and so do the
// folders that hold them. A symbolic link is removed as a link (kept with KeepFiles), never followed, so
// nothing outside Folder is touched; a folder without write or read permission for its owner gets it.
// Answers false when something that was to go could not be deleted; a missing Folder answers true.
[[nodiscard]] bool DeleteFolderTree(const QString& Folder, bool KeepFiles);

// Drive kinds of ScanDrives' mask.
inline constexpr unsigned DRIVE_MASK_FIXED = 1;
inline constexpr unsigned DRIVE_MASK_CDROM = 2;
inline constexpr unsigned DRIVE_MASK_NETWORK = 4;

// The mount points found by the last ScanDrives, each with a trailing "/", in the order of the
// mount table, and how many there are.
inline QStringList DriveList;
inline int DriveCount = 0;

// Fills DriveList from the mount table: local disks (bit 1: ext4, xfs, btrfs, ... on a /dev device),
// optical discs (bit 2: iso9660, udf) and network shares (bit 4: nfs, nfs4, cifs, smb3).
// MountsFile is there for tests; the program reads the system's table.
void ScanDrives(unsigned Mask, const QString& MountsFile = QStringLiteral("/proc/self/mounts"));

// Starts Program with Arguments (never through a shell). WorkDir is trimmed; "@" means Program's own
// folder; a folder that does not exist means the current one. With NoWait the answer is 0 once it has
// started; otherwise the event loop keeps running until the program ends, and the answer is its exit
// code (-1 when it crashed). A program that cannot be started answers RUN_PROGRAM_NOT_FOUND (2) or
// RUN_PROGRAM_CANNOT_START (13, not executable or refused).
inline constexpr int RUN_PROGRAM_NOT_FOUND = 2;
inline constexpr int RUN_PROGRAM_CANNOT_START = 13;
[[nodiscard]] int RunProgram(const QString& Program, const QStringList& Arguments, const QString& WorkDir, bool NoWait);

// Opens File as the desktop does: an executable file is started with Params, anything else (a
// document, a URL) goes to xdg-open. Dir as RunProgram's WorkDir ("@" = File's folder), empty for none.
// Unless NoWait it waits for the started process, painting but taking no user input meanwhile.
// Answers 0; RunProgram's error codes when nothing could be started; xdg-open's own non-zero exit
// code when the desktop could not open the file.
[[nodiscard]] int ShellOpenAndWait(const QString& File, const QStringList& Params, const QString& Dir, bool NoWait);

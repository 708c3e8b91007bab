#pragma once

#include <QString>

// What the system knows of the file system a path lies on, under the drive types of Windows.
enum class TDriveType
{
    Unknown = 0,   // kernel and other virtual file systems: no place for files
    NoRootDir = 1, // no such path
    Removable = 2,
    Fixed = 3,
    Remote = 4, // network shares
    CDRom = 5,  // optical discs
    RamDisk = 6 // tmpfs and ramfs: gone at the next boot
};

// The type of the mounted file system that holds Path (the mount point with the longest match).
[[nodiscard]] TDriveType GetDriveType(const QString& Path,
                                      const QString& MountsFile = QStringLiteral("/proc/self/mounts"));

// The label of the file system mounted at MountPoint (with or without a trailing "/"), as the
// system's label links show it; empty when it has none.
[[nodiscard]] QString GetVolumeLabel(const QString& MountPoint,
                                     const QString& MountsFile = QStringLiteral("/proc/self/mounts"),
                                     const QString& LabelFolder = QStringLiteral("/dev/disk/by-label/"));

#pragma once

#include <QString>

// What the version dialog shows, worked out without the dialog.

// A device library as the opener found it: its version and the number of adapter kinds it supports.
struct TDeviceLibraryInfo
{
    bool Loaded = false;
    quint32 Version = 0; // four bytes, highest first: 0x02000007 is 2.0.0.7
    int KindCount = 0;
};

struct TVersionInfoParams
{
    TDeviceLibraryInfo Serial;  // VxComm3.so
    TDeviceLibraryInfo IP;      // VxComm3ip.so
    bool AdapterExtend = false; // HIDDEN PARAMETER/AdapterExtend
};

// The figures of both device libraries: the one in use (VxCommDLL) reports the version recorded in
// VERSION/DLL and the kinds it has loaded; the other one is loaded from LibraryFolder for the moment,
// asked and freed. A library that cannot be loaded (its load message has been shown) is marked so.
[[nodiscard]] TVersionInfoParams CollectVersionInfoParams(const QString& LibraryFolder);

// "Version 16.0.3", or "Version 16.1" when the release number is 0; the build number is never shown.
[[nodiscard]] QString VersionText(int Major, int Minor, int Release);
// ":  2.0.0.7"
[[nodiscard]] QString DeviceVersionText(quint32 Version);
// ":  12", followed by " (Extend Mode)" when AdapterExtend is set.
[[nodiscard]] QString AdapterCountText(int Count, bool AdapterExtend);

// The system's name from os-release (PRETTY_NAME, else NAME) and the kernel release from uname,
// as "Debian GNU/Linux 12 (bookworm)  [6.1.0-18-amd64]".
[[nodiscard]] QString SystemNameText(const QString& OsReleaseFile = QStringLiteral("/etc/os-release"));

struct TMemoryStatus
{
    bool Valid = false;
    qint64 AvailableKB = 0;
    qint64 TotalKB = 0;
};
// MemAvailable (MemFree on kernels without it) and MemTotal of a meminfo file.
[[nodiscard]] TMemoryStatus ReadMemoryStatus(const QString& MemInfoFile = QStringLiteral("/proc/meminfo"));
// "利用可能なメモリ:  1,234 / 5,678 (KB)" and "[21.7 %]".
[[nodiscard]] QString MemoryAvailableText(const TMemoryStatus& Status);
[[nodiscard]] QString MemoryPercentText(const TMemoryStatus& Status);

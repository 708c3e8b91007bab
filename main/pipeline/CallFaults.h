#pragma once

#include <QString>

// What the call road tells the user when something keeps a call from its row or from the disk.

// Why the call history did not take a call, as the user can act on it. Every one of them passes:
// the call waits in the spool and is written once the cause is gone.
enum class THistoryFault
{
    None,
    Busy,         // another program holds the table's lock
    DiskFull,     // no room on the disk of the data folder
    NoPermission, // the folder or the file may not be written
    Damaged,      // the file is not a sound table
    Unopenable,   // the file is missing and cannot be made, or cannot be opened
    IoError,      // the disk failed to read or write
};

// The fault behind a failed open or write of the history table: SQLite's code (0 when the failure
// had none), and what the data folder and the table file look like now, since a full disk or a
// folder made read-only often shows only as a file that "cannot be opened".
[[nodiscard]] THistoryFault HistoryFaultOf(int SqliteCode, const QString& Folder, const QString& File);

// The box of an outage: why the calls cannot be written, that they are kept and will be written.
[[nodiscard]] QString HistoryFaultText(THistoryFault Fault);
// The line after an outage: how many calls that waited are in the history now.
[[nodiscard]] QString WaitingCallsWrittenText(int Count);
// The box when the calls cannot even be kept on disk: they live in memory only until they are written.
[[nodiscard]] QString SpoolFaultText(const QString& SpoolFile, int Error);
// The data folder changed, but the calls waiting in the old one's spool could not go with it.
[[nodiscard]] QString SpoolNotMovedText(const QString& OldFolder, const QString& NewFolder, int Error);
// At the start: calls an earlier data folder's spool held are written into the history in use now.
[[nodiscard]] QString EarlierSpoolTakenText(const QString& Folder, int Count);
// At the start: an earlier data folder's spool could not be read; it is left as it is.
[[nodiscard]] QString EarlierSpoolKeptText(const QString& Folder, int Error);

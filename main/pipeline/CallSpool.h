#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One call the adapter reported, as the spool keeps it until its history row is written.
struct TSpooledCall
{
    QString Number;      // the notification's text
    qint64 RingTime = 0; // when it rang: milliseconds since the epoch
    qint64 Offset = -1;  // where its line starts in the spool file; -1 while it is not in one
};

// The calls the adapter reported and the history does not hold yet, in a small file of the data
// folder ("RecvQueue.spool"), so that a call that rang survives a crash, a kill, a log-out and a
// history table another program has locked. Append returns once the call's line is on disk; the
// device library is answered only after that. Each line is
//
//   P <ring time, ms since the epoch> <number, percent-encoded UTF-8>
//
// and its first letter turns into "D" once the call's history row is committed. The done mark is
// not flushed: a mark lost in a crash leaves a call that is written again only when the history
// has no row of its ring time. A line cut short by a crash is dropped (its call was never
// acknowledged), and the file is emptied whenever no call waits. The file keeps room for a couple of
// thousand lines allocated beyond its end, so that calls are still kept on a disk that has filled up
// since.
class TCallSpool
{
public:
    static const QString FileName;

    TCallSpool() = default;
    ~TCallSpool();
    TCallSpool(const TCallSpool&) = delete;
    TCallSpool& operator=(const TCallSpool&) = delete;

    // Opens the spool of Folder (with its trailing "/"), creating the file (and the folder)
    // owner-only; Waiting gets the calls an earlier run left, oldest first. False, with a
    // warning logged and LastError set, when the file cannot be opened or read.
    [[nodiscard]] bool Open(const QString& Folder, QList<TSpooledCall>& Waiting);
    void Close();
    [[nodiscard]] bool IsOpen() const { return FFd >= 0; }
    [[nodiscard]] const QString& Folder() const { return FFolder; }
    [[nodiscard]] int WaitingCount() const { return FWaiting; }
    // The system's error number of the last failure (0 when there was none).
    [[nodiscard]] int LastError() const { return FLastError; }

    // Writes the call's line and flushes it to disk; sets Call.Offset. False when the call could
    // not be made durable: the file is as it was and Call.Offset stays -1.
    [[nodiscard]] bool Append(TSpooledCall& Call);
    // The call's row is committed.
    void MarkDone(const TSpooledCall& Call);
    // Moves the waiting Calls into the spool of Folder, which this one becomes; their offsets
    // follow, and Left gets the calls an earlier run left there. The old file is emptied only
    // once the new one holds them: false, with nothing changed, when it cannot.
    [[nodiscard]] bool MoveTo(const QString& Folder, const QList<TSpooledCall*>& Calls, QList<TSpooledCall>& Left);

    enum class TTakeResult
    {
        Nothing, // no spool there, or nothing waits in it
        Taken,   // its calls are in this spool now (Taken, oldest first) and it is empty
        Failed,  // it could not be read or emptied: it is as it was, and so is this one
    };
    // Takes the waiting calls of the spool in another Folder into this one, which is open; a folder
    // or file that does not exist is not made.
    [[nodiscard]] TTakeResult TakeFrom(const QString& Folder, QList<TSpooledCall>& Taken);

    // The data folders whose spools may still hold calls, noted in a file of the settings folder
    // (FolderListName, one absolute folder a line, UTF-8), so that a spool left behind by a change of
    // the data folder is found at the next start. Reading skips what is not a folder's path.
    static const QString FolderListName;
    [[nodiscard]] static QStringList ReadFolderList(const QString& File);
    [[nodiscard]] static bool WriteFolderList(const QString& File, const QStringList& Folders);

private:
    void Reserve();

    int FFd = -1;
    int FLastError = 0;
    QString FFolder;
    qint64 FSize = 0;
    int FWaiting = 0;
};

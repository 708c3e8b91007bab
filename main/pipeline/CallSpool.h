#pragma once

#include <QList>
#include <QString>

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
// acknowledged), and the file is emptied whenever no call waits.
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
    // warning logged, when the file cannot be opened or read.
    [[nodiscard]] bool Open(const QString& Folder, QList<TSpooledCall>& Waiting);
    void Close();
    [[nodiscard]] bool IsOpen() const { return FFd >= 0; }
    [[nodiscard]] const QString& Folder() const { return FFolder; }
    [[nodiscard]] int WaitingCount() const { return FWaiting; }

    // Writes the call's line and flushes it to disk; sets Call.Offset. False when the call could
    // not be made durable: the file is as it was and Call.Offset stays -1.
    [[nodiscard]] bool Append(TSpooledCall& Call);
    // The call's row is committed.
    void MarkDone(const TSpooledCall& Call);
    // Moves the waiting Calls into the spool of Folder, which this one becomes; their offsets
    // follow, and Left gets the calls an earlier run left there. The old file is emptied only
    // once the new one holds them: false, with nothing changed, when it cannot.
    [[nodiscard]] bool MoveTo(const QString& Folder, const QList<TSpooledCall*>& Calls, QList<TSpooledCall>& Left);

private:
    int FFd = -1;
    QString FFolder;
    qint64 FSize = 0;
    int FWaiting = 0;
};

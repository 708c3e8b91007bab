#pragma once

#include "main/common/CallerRec.h"
#include "main/pipeline/CallFaults.h"
#include "main/pipeline/CallSpool.h"
#include "platform/msg/WindowMessage.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

struct TDeviceNotify;

// Posted by the pipeline to itself, with wParam and lParam 0.
inline constexpr std::uint32_t WM_CALL_ARRIVED = WM_USER + 0x2EE;
inline constexpr std::uint32_t WM_DEVICE_ERROR_SHOW = WM_USER + 0x2F0;
inline constexpr std::uint32_t WM_CALL_NOTE_SHOW = WM_USER + 0x2F2;
static_assert(WM_CALL_ARRIVED == 0x6EE && WM_DEVICE_ERROR_SHOW == 0x6F0 && WM_CALL_NOTE_SHOW == 0x6F2);

// The answer to a call notification when the call could not be kept on disk: the program holds it in
// memory only. 0 means it is kept durably (or was blank). The device library may tell its adapter.
inline constexpr TLResult CallHeldInMemoryOnly = 1;

inline const QString CallDataError = QStringLiteral("着信データが正しく取得できませんでした  ");
inline const QString DeviceErrorTail = QStringLiteral(
    "\r\n\r\nこのままでは正常に動作しない可能性があります  \r\nTolvaneを終了後、コンピューターを再起動してください  ");
inline const QString HistoryCounterFull = QStringLiteral(
    "データ管理カウンタが一杯になり登録できませんでした  \r\n最適化処理をおこなうことにより登録できるようになります  ");
inline const QString HistoryRowsFull = QStringLiteral("最大登録件数10万件に達しました  \r\nこれ以上登録できません  ");
inline const QString HistoryPostError = QStringLiteral("着信データを着信対応履歴に登録できませんでした  ");
inline const QString HistoryBusyError = HistoryFaultText(THistoryFault::Busy);

// The highest RecNo a history row may carry.
inline constexpr int MaxHistoryRecNo = 99999;

// The weekday a history row files its call under: 1 Sunday .. 7 Saturday, 0 for no date.
[[nodiscard]] int HistoryWeekOf(double Days);

// What the pipeline reaches of the windows and libraries around it. An empty link means that part is
// not in the program: its step is skipped.
struct TCallPipelineLinks
{
    // The program has started: calls that come earlier wait in the queue until ProgramHasStarted.
    std::function<bool()> ProgramStarted;
    // The data folder, where the calls wait on disk for their rows (TCallSpool). No link or an
    // empty folder: they wait in memory only.
    std::function<QString()> SpoolFolder;
    // Where the folders whose spools may hold calls are noted (TCallSpool::ReadFolderList). No link:
    // a spool is looked for only in the data folder.
    std::function<QString()> SpoolFolderList;
    // No modal window of the main window or of a list window is open.
    std::function<bool()> UIIdle;
    // A message box with the product's caption; Flags as MB_ICONSTOP. Empty: the program's core box.
    std::function<void(const QString& Text, unsigned Flags)> ShowMessage;
    // The hourglass while a call is handled.
    std::function<void(bool Busy)> SetBusyCursor;
    std::function<QDateTime()> Now;

    // The tray: whether the unseen-call mark is up, and raising it (icon, menu window's button).
    std::function<bool()> UnseenCall;
    std::function<void()> MarkUnseenCall;
    // The ring sound as loaded at start (empty: none) and playing it without waiting.
    std::function<QByteArray()> RingStream;
    std::function<void(const QByteArray& Wave)> PlayRing;

    // The hyphens of a number beginning with "0"; the number unchanged when unknown.
    std::function<QString(const QString& Number)> Hyphenate;
    // The identification (search the directory, ask the user, number, record) -> its result code.
    std::function<int(bool SearchDirectory, bool AskUser, const QString& Number, TCallerRecord& Record)> IdentifyCaller;
    // The extension library: whether it was loaded at start, and calling it.
    std::function<bool()> ExtDllLoaded;
    std::function<int(const TCallerRecord& Record)> CallExtDll;

    // The call-history list.
    std::function<void()> ShowToday;
    std::function<bool()> HistoryListShowing;
    std::function<void()> ReloadHistoryList; // back to the first page
    std::function<void()> ShowHistoryList;   // shown and brought forward
    std::function<void(const TCallerRecord& Record)> OpenReceiveView;
    // The incoming-call window.
    std::function<bool()> ReceiveViewExists;
    std::function<bool()> ReceiveViewLocked;
    std::function<void()> SaveShownCall;
    // Moves the mouse cursor a little and back, so that a screen saver or power saving lets go.
    std::function<void()> NudgeCursor;
};

// Why an append wrote no row.
enum class THistoryAppendResult
{
    Appended,
    NotOpened,   // the table did not open (the data module has said so)
    CounterFull, // the next RecNo would pass MaxHistoryRecNo
    RowsFull,    // the table holds the most rows it may
    PostFailed,
    Busy, // another program held the table's lock for longer than the engine waits
};

// A call waiting for its row.
struct TQueuedCall : TSpooledCall
{
    bool Replayed = false;  // left in the spool by an earlier run: written without pop-ups
    bool Announced = false; // its ring and unseen-call mark are done
    bool Tried = false;     // a try wrote no row: what the first try said is not said again
};

// How the calls that waited through an outage of the history came out of it.
struct TCatchUp
{
    int Left = 0;    // calls of the outage still to be written
    int Written = 0; // of those done so far, how many have their rows
};

// The road of one call, from the device library's notification to the history row and the pop-ups.
// It keeps the received numbers in arrival order and handles them one at a time on the UI thread.
// Each call is in the spool of the data folder before the notification returns (or, when the spool
// cannot be written, the notification answers CallHeldInMemoryOnly and the user is told), and leaves
// it only once its row is committed or can never be written (a full table): calls survive a crash
// and a log-out and are written at the next start. Whatever keeps the history from taking a row (a
// lock of another program, a full disk, a folder made read-only, a damaged or missing file), the
// oldest call stays first in the queue and is tried again at the next call and on a timer, never
// sooner than RetryInterval after the last try; the user is told once per outage why, and once after
// it how many of the calls that waited are written. A long queue is written a slice at a time, so
// that a call ringing meanwhile is taken at once.
class TCallPipeline
{
public:
    explicit TCallPipeline(TCallPipelineLinks Links = {});
    TCallPipeline(const TCallPipeline&) = delete;
    TCallPipeline& operator=(const TCallPipeline&) = delete;

    TCallPipelineLinks Links;

    // The device messages (WM_DEVICE_CALL, WM_DEVICE_ERROR) and the pipeline's own posted ones;
    // other messages answer 0 untouched.
    TLResult HandleMessage(std::uint32_t Msg, TWParam WParam, TLParam LParam);

    // True when the call is kept on disk (or has no number, so nothing needs keeping).
    bool DeviceCall(const TDeviceNotify* Notify);
    void DeviceError(const TDeviceNotify* Notify);
    // Handles the queued calls, oldest first, unless the oldest is being handled already.
    void CallArrived();
    // Shows the device errors not yet shown, oldest first, one box at a time.
    void DeviceErrorShow();
    // Shows the pipeline's own notes that came while no box could be shown, oldest first.
    void CallNoteShow();

    // The program has started: the calls left in the spool by an earlier run and those that came
    // during the start are handled now, in their order.
    void ProgramHasStarted();
    // The line is closed and the program ends: every queued call is written without pop-ups. A
    // call the history table cannot take now stays in the spool, with those after it.
    void WriteQueuedCalls();
    // The data folder changes: the waiting calls move to the spool of Folder.
    void MoveSpool(QString Folder);

    // Fills the select items and the time of the same caller's previous call into Record, as the
    // settings ask; Number is the received number. Throws EDatabaseError when the history cannot
    // be read.
    void LookUpPreviousCall(const QString& Number, TCallerRecord& Record);
    // Writes Record as the next history row: true when the row is on disk. On false no row was
    // written and Record.HisRecNo is -1; the user has been told why.
    [[nodiscard]] bool AppendHistory(TCallerRecord& Record);
    [[nodiscard]] THistoryAppendResult LastAppendResult() const { return FLastAppend; }

    // The calls waiting for their rows, oldest first.
    QList<TQueuedCall> CallQueue;
    // The device errors not yet shown, oldest first.
    struct TDeviceErrorNote
    {
        int Code = 0;
        QString Text;
    };
    QList<TDeviceErrorNote> DeviceErrors;
    // The least time between two tries of a call the history table did not take, in ms.
    int RetryInterval = 5000;
    // How long the queue is worked on before the event loop gets its turn, in ms.
    int SliceInterval = 50;
    [[nodiscard]] const TCallSpool& Spool() const { return FSpool; }

private:
    enum class TAttempt
    {
        Done,           // the row is committed, or the call can never have one
        AlreadyWritten, // a call left by an earlier run whose row was committed before it ended
        TryLater,       // the history table is locked: the call stays first in the queue
    };

    [[nodiscard]] bool Started() const;
    [[nodiscard]] QDateTime Now() const;
    void Show(const QString& Text, unsigned Flags) const;
    // A box for when the program can show one: now when it may, else once it has started.
    void Note(const QString& Text, unsigned Flags);
    void PostArrival();
    void OpenSpool();
    // Writes Call's line, after those of the earlier calls that have none yet: the spool keeps the
    // calls in their order. False when Call is held in memory only.
    [[nodiscard]] bool KeepOnDisk(TQueuedCall& Call);
    void SpoolUnkeptCalls();
    // The spools that earlier data folders left: their calls come into this one, behind those that
    // this folder's spool holds; the folder list is brought up to date.
    void TakeEarlierSpools();
    void NoteSpoolFolder(const QString& Left, const QString& Now);
    [[nodiscard]] qint64 NextRingTime();
    void MarkUnseenCallIfQuiet();
    [[nodiscard]] bool RetryDue() const;
    // One try at the oldest call; false when it has to wait for the history table.
    [[nodiscard]] bool HandleFirstCall();
    [[nodiscard]] TAttempt WriteCall(const TQueuedCall& Call, TCallerRecord& Record);
    void ShowCall(const TQueuedCall& Call, TCallerRecord& Record);
    void Identify(const QString& Number, TCallerRecord& Record, bool Quiet);
    [[nodiscard]] bool HistoryHasRow(const TQueuedCall& Call);
    // The history open for a read of the call road, or an EDatabaseError with the open's code.
    void ThrowUnlessOpened(bool Opened) const;
    [[nodiscard]] THistoryAppendResult WriteHistoryRow(TCallerRecord& Record);
    void CountCaughtUp(bool Written);
    // Tells the user why the last append wrote no row; true when it wrote one.
    bool ReportAppend(TCallerRecord& Record);

    TMessageTarget FTarget;
    TCallSpool FSpool;
    QTimer FRetryTimer;
    QElapsedTimer FSinceFailedTry;
    THistoryAppendResult FLastAppend = THistoryAppendResult::Appended;
    THistoryFault FLastFault = THistoryFault::None; // why the last try wrote no row
    TCatchUp FCatchUp;
    struct TNote
    {
        QString Text;
        unsigned Flags = 0;
    };
    QList<TNote> FNotes;
    qint64 FLastRingTime = 0;
    bool FArrivalPosted = false;
    bool FWorking = false;        // the oldest call is being written
    bool FOutage = false;         // the history table refused the last try
    bool FSpoolFault = false;     // the last call could not be kept on disk
    bool FDirectoryFault = false; // the last identification found a table it could not open
    bool FReloadDue = false;      // calls written without pop-ups wait for the list to be reloaded
    bool FTookEarlier = false;    // the spools of earlier data folders were looked at
    bool FShuttingDown = false;
    bool FShowingError = false;
    bool FShowingNote = false;
};

// The text of a notification: up to its NUL, at most Length bytes, from CP932.
[[nodiscard]] QString NotifyText(const TDeviceNotify* Notify);
// A record that holds only the received number, as the identification leaves it for a caller it
// does not know (or a caller-number code).
void FillReceivedNumber(const QString& Number, TCallerRecord& Record);

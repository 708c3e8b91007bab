#include "main/pipeline/CallPipeline.h"

#include "main/common/CommonText.h"
#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/Folders.h"
#include "platform/text/Cp932.h"

#include <QtDebug>
#include <algorithm>
#include <cstring>
#include <exception>

namespace {

// Keeps the hourglass up while a call is handled, whatever the way out, until the call is shown: a
// modal window that shows it must not carry the hourglass for its whole life. A call handled while
// that window is open stacks its own on top.
class TBusyCursor
{
public:
    explicit TBusyCursor(const std::function<void(bool)>& Set) : FSet(Set), FOuter(Active)
    {
        if (FSet)
            FSet(true);
        Active = this;
    }
    ~TBusyCursor()
    {
        End();
        Active = FOuter;
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

    // Ends the hourglass of the call being handled now.
    static void EndActive()
    {
        if (Active)
            Active->End();
    }

private:
    void End()
    {
        if (FOn && FSet)
            FSet(false);
        FOn = false;
    }

    static inline TBusyCursor* Active = nullptr;
    const std::function<void(bool)>& FSet;
    TBusyCursor* FOuter;
    bool FOn = true;
};

bool StartsWithDigit(const QString& Text)
{
    return !Text.isEmpty() && Text.at(0) >= u'0' && Text.at(0) <= u'9';
}

QString ErrorText(const std::exception& Error)
{
    return QString::fromUtf8(Error.what());
}

} // namespace

QString NotifyText(const TDeviceNotify* Notify)
{
    if (!Notify || !Notify->Text || Notify->Length <= 0)
        return {};
    const char* Text = Notify->Text;
    const void* Nul = std::memchr(Text, 0, static_cast<std::size_t>(Notify->Length));
    const qsizetype Length = Nul ? static_cast<const char*>(Nul) - Text : Notify->Length;
    return Cp932DecodeLenient(QByteArray(Text, Length));
}

void FillReceivedNumber(const QString& Number, TCallerRecord& Record)
{
    const bool IsNumber = !Number.isEmpty() && (StartsWithDigit(Number) || Number.at(0) == u' ');
    Record.SchTel[0] = IsNumber ? DigitsOnly(Number) : Number;
    Record.Tel[0] = Number;
    Record.TelIndex = 0;
    CutCallerRecordToWidths(Record);
}

TCallPipeline::TCallPipeline(TCallPipelineLinks Links)
    : Links(std::move(Links)),
      FTarget([this](std::uint32_t Msg, TWParam WParam, TLParam LParam) { return HandleMessage(Msg, WParam, LParam); })
{
    FRetryTimer.setSingleShot(true);
    QObject::connect(&FRetryTimer, &QTimer::timeout, &FTarget, [this] { CallArrived(); });
}

bool TCallPipeline::Started() const
{
    return Links.ProgramStarted && Links.ProgramStarted();
}

QDateTime TCallPipeline::Now() const
{
    return Links.Now ? Links.Now() : QDateTime::currentDateTime();
}

void TCallPipeline::Show(const QString& Text, unsigned Flags) const
{
    if (Links.ShowMessage)
        Links.ShowMessage(Text, Flags);
    else
        (void)CoreMessageBox(Text, ProductName, Flags);
}

TLResult TCallPipeline::HandleMessage(std::uint32_t Msg, TWParam, TLParam LParam)
{
    const auto* Notify = reinterpret_cast<const TDeviceNotify*>(LParam);
    switch (Msg) {
    case WM_DEVICE_CALL:
        return DeviceCall(Notify) ? 0 : CallHeldInMemoryOnly;
    case WM_DEVICE_ERROR:
        DeviceError(Notify);
        break;
    case WM_CALL_ARRIVED:
        CallArrived();
        break;
    case WM_DEVICE_ERROR_SHOW:
        DeviceErrorShow();
        break;
    case WM_CALL_NOTE_SHOW:
        CallNoteShow();
        break;
    default:
        break;
    }
    return 0;
}

void TCallPipeline::PostArrival()
{
    if (FArrivalPosted)
        return;
    FArrivalPosted = true;
    FTarget.Post(WM_CALL_ARRIVED);
}

qint64 TCallPipeline::NextRingTime()
{
    // A call rings at the clock's time, even a clock just set back. Only two calls of one moment are
    // told apart, by a millisecond: the next start tells by its ring time whether a waiting call's row
    // was committed before the program died.
    qint64 Time = Now().toMSecsSinceEpoch();
    auto Taken = [this](qint64 Time) {
        return Time == FLastRingTime || std::any_of(CallQueue.cbegin(), CallQueue.cend(),
                                                    [Time](const TQueuedCall& C) { return C.RingTime == Time; });
    };
    while (Taken(Time))
        ++Time;
    FLastRingTime = Time;
    return Time;
}

void TCallPipeline::Note(const QString& Text, unsigned Flags)
{
    FNotes.append({Text, Flags});
    if (Started() && !FShuttingDown)
        FTarget.Post(WM_CALL_NOTE_SHOW);
}

void TCallPipeline::CallNoteShow()
{
    if (FShowingNote || FShuttingDown)
        return;
    FShowingNote = true;
    while (!FNotes.isEmpty()) {
        const TNote Next = FNotes.takeFirst();
        Show(Next.Text, Next.Flags);
    }
    FShowingNote = false;
}

bool TCallPipeline::KeepOnDisk(TQueuedCall& Call)
{
    bool Kept = FSpool.IsOpen();
    if (Kept) {
        SpoolUnkeptCalls();
        const bool EarlierKept = std::none_of(CallQueue.cbegin(), CallQueue.cend(), [](const TQueuedCall& Earlier) {
            return Earlier.Offset < 0 && !Earlier.Number.trimmed().isEmpty();
        });
        Kept = EarlierKept && FSpool.Append(Call);
    }
    // A spool was wanted and could not take the call: the user hears of it once, as soon as a box
    // can be shown (not inside the notification, which the device library waits for).
    const bool Wanted = Links.SpoolFolder && !Links.SpoolFolder().isEmpty();
    if (!Kept && Wanted && !FSpoolFault) {
        const QString Folder = FSpool.IsOpen() ? FSpool.Folder() : IncludeTrailingDelimiter(Links.SpoolFolder());
        Note(SpoolFaultText(Folder + TCallSpool::FileName, FSpool.LastError()), MB_OK | MB_ICONSTOP);
    }
    FSpoolFault = !Kept && Wanted;
    return Kept;
}

void TCallPipeline::OpenSpool()
{
    if (FSpool.IsOpen() || !Links.SpoolFolder)
        return;
    const QString Folder = IncludeTrailingDelimiter(Links.SpoolFolder());
    QList<TSpooledCall> Left;
    if (Folder.isEmpty() || !FSpool.Open(Folder, Left))
        return;
    NoteSpoolFolder(QString(), Folder);
    // What an earlier run left rang before anything that rings now; only a call being written
    // stays ahead of it.
    qsizetype At = FWorking && !CallQueue.isEmpty() ? 1 : 0;
    for (const TSpooledCall& Spooled : std::as_const(Left)) {
        TQueuedCall Call;
        static_cast<TSpooledCall&>(Call) = Spooled;
        Call.Replayed = true;
        CallQueue.insert(At++, Call);
    }
    // Calls that came while no spool could be opened go into this one now.
    SpoolUnkeptCalls();
}

void TCallPipeline::NoteSpoolFolder(const QString& Left, const QString& Now)
{
    if (!Links.SpoolFolderList)
        return;
    const QString ListFile = Links.SpoolFolderList();
    const QStringList Noted = TCallSpool::ReadFolderList(ListFile);
    QStringList Folders;
    for (const QString& Folder : Noted)
        if (!(Left.isEmpty() ? false : IsSameFile(Folder, Left)))
            Folders.append(Folder);
    if (!std::any_of(Folders.cbegin(), Folders.cend(), [&Now](const QString& F) { return IsSameFile(F, Now); }))
        Folders.append(Now);
    if (Folders != Noted && !TCallSpool::WriteFolderList(ListFile, Folders))
        qWarning().noquote() << "Call spool: cannot note the data folder in" << ListFile;
}

void TCallPipeline::TakeEarlierSpools()
{
    if (FTookEarlier || !FSpool.IsOpen() || !Links.SpoolFolderList)
        return;
    FTookEarlier = true;
    const QStringList Folders = TCallSpool::ReadFolderList(Links.SpoolFolderList());
    // Behind what this folder's spool left, ahead of what rang during the start.
    qsizetype At = 0;
    while (At < CallQueue.size() && CallQueue[At].Replayed)
        ++At;
    for (const QString& Folder : Folders) {
        if (IsSameFile(Folder, FSpool.Folder()))
            continue;
        QList<TSpooledCall> Taken;
        switch (FSpool.TakeFrom(Folder, Taken)) {
        case TCallSpool::TTakeResult::Nothing:
            NoteSpoolFolder(Folder, FSpool.Folder());
            break;
        case TCallSpool::TTakeResult::Taken:
            for (const TSpooledCall& Spooled : std::as_const(Taken)) {
                TQueuedCall Call;
                static_cast<TSpooledCall&>(Call) = Spooled;
                Call.Replayed = true;
                CallQueue.insert(At++, Call);
            }
            NoteSpoolFolder(Folder, FSpool.Folder());
            Note(EarlierSpoolTakenText(Folder, static_cast<int>(Taken.size())), MB_OK | MB_ICONINFORMATION);
            break;
        case TCallSpool::TTakeResult::Failed:
            // It stays noted: the next start looks again.
            Note(EarlierSpoolKeptText(Folder, FSpool.LastError()), MB_OK | MB_ICONSTOP);
            break;
        }
    }
}

bool TCallPipeline::DeviceCall(const TDeviceNotify* Notify)
{
    // The notification's text lives only while it is sent, so it is copied now; and the call is on
    // disk before the device library hears that it was taken. A spool that cannot be written
    // still leaves the call to be handled from memory, and the library hears that too.
    OpenSpool();
    TQueuedCall Call;
    Call.Number = NotifyText(Notify);
    Call.RingTime = NextRingTime();
    // A blank notification is dropped when its turn comes: there is no row to wait for.
    const bool Kept = Call.Number.trimmed().isEmpty() || KeepOnDisk(Call);
    CallQueue.append(Call);
    if (Started() && !FShuttingDown)
        PostArrival();
    return Kept;
}

void TCallPipeline::DeviceError(const TDeviceNotify* Notify)
{
    // Each error waits for its own box: a second one never replaces the first.
    DeviceErrors.append({Notify ? Notify->Code : 0, NotifyText(Notify)});
    if (Started())
        FTarget.Post(WM_DEVICE_ERROR_SHOW);
}

void TCallPipeline::DeviceErrorShow()
{
    // One box at a time: errors that come while it is open follow it in their order.
    if (FShowingError)
        return;
    FShowingError = true;
    while (!DeviceErrors.isEmpty()) {
        const TDeviceErrorNote Note = DeviceErrors.takeFirst();
        // Code 1 is the adapter's own note that needs nobody's attention.
        if (Note.Code != 1)
            Show(QString::number(Note.Code) + QStringLiteral("\r\n") + Note.Text + DeviceErrorTail,
                 MB_OK | MB_ICONSTOP);
    }
    FShowingError = false;
}

void TCallPipeline::ProgramHasStarted()
{
    OpenSpool();
    TakeEarlierSpools();
    if (!CallQueue.isEmpty())
        PostArrival();
    if (!DeviceErrors.isEmpty())
        FTarget.Post(WM_DEVICE_ERROR_SHOW);
    if (!FNotes.isEmpty())
        FTarget.Post(WM_CALL_NOTE_SHOW);
}

void TCallPipeline::WriteQueuedCalls()
{
    FShuttingDown = true;
    FRetryTimer.stop();
    // Without the tables nothing can be written: what waits stays in the spool.
    if (!DMVxRelvo16)
        return;
    // One try for each, whatever the last outage: what the table cannot take now waits in the
    // spool for the next start.
    FOutage = false;
    while (!CallQueue.isEmpty() && !FWorking && HandleFirstCall()) {
    }
    // A call held in memory only has a last chance to reach the disk before the program goes.
    OpenSpool();
    SpoolUnkeptCalls();
}

void TCallPipeline::SpoolUnkeptCalls()
{
    // In their order: one that cannot be written keeps those after it out too.
    for (TQueuedCall& Call : CallQueue)
        if (Call.Offset < 0 && !Call.Number.trimmed().isEmpty() && !FSpool.Append(Call))
            break;
}

void TCallPipeline::MoveSpool(QString Folder)
{
    if (!Folder.endsWith(u'/'))
        Folder += u'/';
    if (!FSpool.IsOpen() || Folder == FSpool.Folder())
        return;
    QList<TSpooledCall*> Waiting;
    for (TQueuedCall& Call : CallQueue)
        if (Call.Offset >= 0)
            Waiting.append(&Call);
    QList<TSpooledCall> Left;
    const QString Before = FSpool.Folder();
    if (!FSpool.MoveTo(Folder, Waiting, Left)) {
        // They stay where they are, and so does the note of that folder: the calls are written all
        // the same, and a spool left there is found at the next start.
        Note(SpoolNotMovedText(Before, Folder, FSpool.LastError()), MB_OK | MB_ICONSTOP);
        return;
    }
    NoteSpoolFolder(Before, FSpool.Folder());
    for (const TSpooledCall& Spooled : std::as_const(Left)) {
        TQueuedCall Call;
        static_cast<TSpooledCall&>(Call) = Spooled;
        Call.Replayed = true;
        CallQueue.append(Call);
    }
    if (!CallQueue.isEmpty() && Started())
        PostArrival();
}

void TCallPipeline::MarkUnseenCallIfQuiet()
{
    if (Links.UnseenCall && Links.UnseenCall())
        return;
    if (Links.HistoryListShowing && Links.HistoryListShowing())
        return;
    if (Links.ReceiveViewExists && Links.ReceiveViewExists())
        return;
    const bool NoPopup = !::Settings.HisListPopup && !::Settings.RecvViewPopup;
    const bool Idle = !Links.UIIdle || Links.UIIdle();
    // The mark is for a call nobody will see pop up.
    if ((NoPopup || !Idle) && Links.MarkUnseenCall)
        Links.MarkUnseenCall();
}

bool TCallPipeline::RetryDue() const
{
    return !FOutage || FSinceFailedTry.elapsed() >= RetryInterval;
}

void TCallPipeline::CallArrived()
{
    FArrivalPosted = false;
    // A call that comes while the oldest is being written waits for it, so that the rows keep the
    // order of the calls; the one being written goes on with the rest when it is done.
    if (FWorking || FShuttingDown || !Started())
        return;
    QElapsedTimer Slice;
    Slice.start();
    while (!CallQueue.isEmpty()) {
        if (!RetryDue()) {
            if (!FRetryTimer.isActive())
                FRetryTimer.start(std::max<int>(0, RetryInterval - static_cast<int>(FSinceFailedTry.elapsed())));
            break;
        }
        if (!HandleFirstCall())
            break;
        // The rest after the event loop's turn: a call that rings meanwhile is taken at once, and
        // written behind those that wait.
        if (!CallQueue.isEmpty() && Slice.elapsed() >= SliceInterval) {
            PostArrival();
            break;
        }
    }
    // Calls written without pop-ups show in the list once for the whole slice.
    if (FReloadDue && !FShuttingDown && Links.ReloadHistoryList) {
        FReloadDue = false;
        Links.ReloadHistoryList();
    }
}

void TCallPipeline::CountCaughtUp(bool Written)
{
    if (FCatchUp.Left == 0)
        return;
    FCatchUp.Written += Written ? 1 : 0;
    if (--FCatchUp.Left == 0 && FCatchUp.Written > 0 && !FShuttingDown)
        Note(WaitingCallsWrittenText(FCatchUp.Written), MB_OK | MB_ICONINFORMATION);
}

bool TCallPipeline::HandleFirstCall()
{
    TBusyCursor Busy(Links.SetBusyCursor);
    if (Links.ShowToday && !FShuttingDown)
        Links.ShowToday();
    try {
        if (CallQueue.first().Number.trimmed().isEmpty()) {
            CallQueue.removeFirst();
            CountCaughtUp(false);
            return true;
        }
        const TQueuedCall First = CallQueue.first();
        if (!First.Announced && !FShuttingDown) {
            CallQueue.first().Announced = true;
            if (First.Replayed) {
                // A call from before the last end rang unseen.
                if (Links.MarkUnseenCall && !(Links.UnseenCall && Links.UnseenCall()))
                    Links.MarkUnseenCall();
            } else {
                MarkUnseenCallIfQuiet();
                if (::Settings.RingSound && Links.RingStream && Links.PlayRing) {
                    const QByteArray Wave = Links.RingStream();
                    if (!Wave.isEmpty())
                        Links.PlayRing(Wave);
                }
            }
        }
    } catch (const std::exception& Error) {
        qWarning().noquote() << "Call arrival:" << Error.what();
        FSpool.MarkDone(CallQueue.first());
        CallQueue.removeFirst();
        CountCaughtUp(false);
        Show(CallDataError, MB_OK | MB_ICONSTOP);
        return true;
    }

    TCallerRecord Record;
    TAttempt Result = TAttempt::Done;
    FWorking = true;
    try {
        // A copy: calls that come while this one is written grow the queue.
        const TQueuedCall First = CallQueue.first();
        Result = WriteCall(First, Record);
    } catch (const std::exception& Error) {
        FWorking = false;
        FSpool.MarkDone(CallQueue.first());
        CallQueue.removeFirst();
        CountCaughtUp(false);
        Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
        ClearCallerRecord(&Record);
        return true;
    }
    FWorking = false;

    if (Result == TAttempt::TryLater) {
        ClearCallerRecord(&Record);
        CallQueue.first().Tried = true;
        FSinceFailedTry.start();
        if (!FShuttingDown)
            FRetryTimer.start(RetryInterval);
        // One box for the whole outage; the calls wait in the spool meanwhile.
        if (!FOutage) {
            FOutage = true;
            FCatchUp = {};
            if (!FShuttingDown)
                Show(HistoryFaultText(FLastFault), MB_OK | MB_ICONSTOP);
        }
        return false;
    }
    if (FOutage && !FShuttingDown)
        FCatchUp = {static_cast<int>(CallQueue.size()), 0};
    FOutage = false;
    const TQueuedCall Call = CallQueue.takeFirst();
    FSpool.MarkDone(Call);
    CountCaughtUp(Result == TAttempt::AlreadyWritten || FLastAppend == THistoryAppendResult::Appended);
    if (Result == TAttempt::Done) {
        // A call that came meanwhile refills the windows this one opens.
        if (!CallQueue.isEmpty() && !FShuttingDown)
            PostArrival();
        try {
            ShowCall(Call, Record);
        } catch (const std::exception& Error) {
            Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
        }
    }
    ClearCallerRecord(&Record);
    return true;
}

void TCallPipeline::Identify(const QString& Number, TCallerRecord& Record, bool Quiet)
{
    if (!Links.IdentifyCaller) {
        Record = TCallerRecord();
        FillReceivedNumber(Number, Record);
        return;
    }
    // A directory that cannot be read must not cost the call its row: it is kept with its number. A
    // history that another program holds (the earlier-call search reads it) makes the call wait for
    // its next try instead, as the row could not be written now either.
    try {
        // A table that does not open (a directory that cannot be made on a full disk) is said once
        // for as long as it lasts, not once a call.
        TQuietOpen QuietTables;
        if (DMVxRelvo16)
            (void)DMVxRelvo16->TakeQuietFailures(); // the history's own, which the outage box tells
        Links.IdentifyCaller(::Settings.EarlierSearch, false, Number, Record);
        const QStringList Failures = DMVxRelvo16 ? DMVxRelvo16->TakeQuietFailures() : QStringList();
        if (!Failures.isEmpty() && !FDirectoryFault && !Quiet)
            for (const QString& Failure : Failures)
                Show(Failure, MB_OK | MB_ICONSTOP);
        FDirectoryFault = !Failures.isEmpty();
    } catch (const std::exception& Error) {
        if (const auto* Database = dynamic_cast<const EDatabaseError*>(&Error); Database && Database->Busy())
            throw;
        ClearCallerRecord(&Record);
        FillReceivedNumber(Number, Record);
        if (!Quiet)
            Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
    }
}

TCallPipeline::TAttempt TCallPipeline::WriteCall(const TQueuedCall& Call, TCallerRecord& Record)
{
    QString Number = Call.Number;
    if (Number.startsWith(u'0') && Links.Hyphenate)
        Number = Links.Hyphenate(Number);

    // The call the open incoming-call window shows is saved before a new one replaces it, once; a
    // call written without pop-ups replaces nothing. A save that fails is reported and costs this call
    // nothing.
    if (!Call.Replayed && !Call.Tried && !FShuttingDown && Links.ReceiveViewExists && Links.ReceiveViewExists() &&
        ::Settings.NewDataView && ::Settings.AutoAdd && !(Links.ReceiveViewLocked && Links.ReceiveViewLocked()) &&
        Links.SaveShownCall) {
        try {
            Links.SaveShownCall();
        } catch (const std::exception& Error) {
            Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
        }
    }

    // A history that fails to be read (its lock held, the disk, the file) would fail the row too: the
    // call waits for its next try. An error of the reading itself costs only what it would have read.
    FLastAppend = THistoryAppendResult::Appended;
    try {
        if (Call.Replayed && HistoryHasRow(Call))
            return TAttempt::AlreadyWritten;
        // A try after the first says nothing the first one said: the outage has its one box.
        Identify(Number, Record, Call.Tried);
        try {
            LookUpPreviousCall(Number, Record);
        } catch (const EDatabaseError& Error) {
            if (Error.Code() != 0)
                throw;
            if (!Call.Tried)
                Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
        } catch (const std::exception& Error) {
            if (!Call.Tried)
                Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
        }
    } catch (const EDatabaseError& Error) {
        if (Error.Code() == 0)
            throw;
        qWarning().noquote() << "Call of" << Call.Number << "waits for the history:" << Error.what();
        const QString Folder = DMVxRelvo16 ? DMVxRelvo16->DataPath() : QString();
        FLastFault = HistoryFaultOf(Error.Code(), Folder, Folder + RecvHisFileName);
        return TAttempt::TryLater;
    }
    Record.RecvDateTime = DateTimeToDays(QDateTime::fromMSecsSinceEpoch(Call.RingTime));

    // The row goes to disk before the call is handed to anything that might fail with it; the
    // extension library sees the same record either way. Only a full table refuses the call for good.
    FLastAppend = WriteHistoryRow(Record);
    switch (FLastAppend) {
    case THistoryAppendResult::NotOpened:
    case THistoryAppendResult::PostFailed:
    case THistoryAppendResult::Busy:
        qWarning().noquote() << "Call of" << Call.Number << "waits for the history";
        Record.HisRecNo = -1;
        return TAttempt::TryLater;
    case THistoryAppendResult::Appended:
    case THistoryAppendResult::CounterFull:
    case THistoryAppendResult::RowsFull:
        break;
    }
    ReportAppend(Record);
    return TAttempt::Done;
}

void TCallPipeline::ShowCall(const TQueuedCall& Call, TCallerRecord& Record)
{
    if (Links.ExtDllLoaded && Links.ExtDllLoaded() && Links.CallExtDll)
        Links.CallExtDll(Record);
    if (FShuttingDown)
        return;
    // A call from before the last end only marks the tray; the list shows it with the others of its
    // slice.
    if (Call.Replayed) {
        FReloadDue = true;
        TBusyCursor::EndActive();
        return;
    }
    FReloadDue = false;
    if (Links.ReloadHistoryList)
        Links.ReloadHistoryList();
    TBusyCursor::EndActive();
    const bool Idle = !Links.UIIdle || Links.UIIdle();
    if (::Settings.HisListPopup && Idle && Links.ShowHistoryList) {
        if (Links.NudgeCursor)
            Links.NudgeCursor();
        Links.ShowHistoryList();
    }
    if (::Settings.RecvViewPopup && Links.OpenReceiveView) {
        if (Links.NudgeCursor)
            Links.NudgeCursor();
        Links.OpenReceiveView(Record);
    }
}

#include "main/pipeline/CallPipeline.h"

#include "main/common/CommonText.h"
#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"

#include <QtDebug>
#include <algorithm>
#include <cstring>
#include <exception>

namespace {

const QString StampFormat = QStringLiteral("yyyyMMddhhmmss");
constexpr double MSecsPerDay = 86400000.0;

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

// The search key a display number gives: its digits, when it is a number at all.
QString KeyOf(const QString& Tel)
{
    const QString Trimmed = Tel.trimmed();
    return StartsWithDigit(Trimmed) ? DigitsOnly(Trimmed) : QString();
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
        DeviceCall(Notify);
        break;
    case WM_DEVICE_ERROR:
        DeviceError(Notify);
        break;
    case WM_CALL_ARRIVED:
        CallArrived();
        break;
    case WM_DEVICE_ERROR_SHOW:
        DeviceErrorShow();
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
    // Ring times never repeat: the next start tells by its ring time whether a call's row was
    // committed before the program died.
    FLastRingTime = std::max(Now().toMSecsSinceEpoch(), FLastRingTime + 1);
    return FLastRingTime;
}

void TCallPipeline::OpenSpool()
{
    if (FSpool.IsOpen() || !Links.SpoolFolder)
        return;
    const QString Folder = Links.SpoolFolder();
    QList<TSpooledCall> Left;
    if (Folder.isEmpty() || !FSpool.Open(Folder, Left))
        return;
    // What an earlier run left rang before anything that rings now; only a call being written
    // stays ahead of it.
    qsizetype At = FWorking && !CallQueue.isEmpty() ? 1 : 0;
    for (const TSpooledCall& Spooled : std::as_const(Left)) {
        TQueuedCall Call;
        static_cast<TSpooledCall&>(Call) = Spooled;
        Call.Replayed = true;
        CallQueue.insert(At++, Call);
        FLastRingTime = std::max(FLastRingTime, Spooled.RingTime);
    }
    // Calls that came while no spool could be opened go into this one now.
    for (TQueuedCall& Call : CallQueue)
        if (Call.Offset < 0 && !Call.Number.trimmed().isEmpty())
            (void)FSpool.Append(Call);
}

void TCallPipeline::DeviceCall(const TDeviceNotify* Notify)
{
    // The notification's text lives only while it is sent, so it is copied now; and the call is on
    // disk before the device library hears that it was taken. A spool that cannot be written
    // still leaves the call to be handled from memory.
    OpenSpool();
    TQueuedCall Call;
    Call.Number = NotifyText(Notify);
    Call.RingTime = NextRingTime();
    // A blank notification is dropped when its turn comes: there is no row to wait for.
    if (!Call.Number.trimmed().isEmpty())
        (void)FSpool.Append(Call);
    CallQueue.append(Call);
    if (Started() && !FShuttingDown)
        PostArrival();
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
    if (!CallQueue.isEmpty())
        PostArrival();
    if (!DeviceErrors.isEmpty())
        FTarget.Post(WM_DEVICE_ERROR_SHOW);
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
    if (!FSpool.MoveTo(Folder, Waiting, Left))
        return;
    for (const TSpooledCall& Spooled : std::as_const(Left)) {
        TQueuedCall Call;
        static_cast<TSpooledCall&>(Call) = Spooled;
        Call.Replayed = true;
        CallQueue.append(Call);
        FLastRingTime = std::max(FLastRingTime, Spooled.RingTime);
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
    while (!CallQueue.isEmpty()) {
        if (!RetryDue()) {
            if (!FRetryTimer.isActive())
                FRetryTimer.start(std::max<int>(0, RetryInterval - static_cast<int>(FSinceFailedTry.elapsed())));
            return;
        }
        if (!HandleFirstCall())
            return;
    }
}

bool TCallPipeline::HandleFirstCall()
{
    TBusyCursor Busy(Links.SetBusyCursor);
    if (Links.ShowToday && !FShuttingDown)
        Links.ShowToday();
    try {
        if (CallQueue.first().Number.trimmed().isEmpty()) {
            CallQueue.removeFirst();
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
        Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
        ClearCallerRecord(&Record);
        return true;
    }
    FWorking = false;

    if (Result == TAttempt::TryLater) {
        ClearCallerRecord(&Record);
        FSinceFailedTry.start();
        if (!FShuttingDown)
            FRetryTimer.start(RetryInterval);
        // One box for the whole outage; the calls wait in the spool meanwhile.
        if (!FOutage) {
            FOutage = true;
            if (!FShuttingDown)
                Show(HistoryBusyError, MB_OK | MB_ICONSTOP);
        }
        return false;
    }
    FOutage = false;
    const TQueuedCall Call = CallQueue.takeFirst();
    FSpool.MarkDone(Call);
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

void TCallPipeline::Identify(const QString& Number, TCallerRecord& Record)
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
        Links.IdentifyCaller(::Settings.EarlierSearch, false, Number, Record);
    } catch (const std::exception& Error) {
        if (const auto* Database = dynamic_cast<const EDatabaseError*>(&Error); Database && Database->Busy())
            throw;
        ClearCallerRecord(&Record);
        FillReceivedNumber(Number, Record);
        Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
    }
}

TCallPipeline::TAttempt TCallPipeline::WriteCall(const TQueuedCall& Call, TCallerRecord& Record)
{
    QString Number = Call.Number;
    if (Number.startsWith(u'0') && Links.Hyphenate)
        Number = Links.Hyphenate(Number);

    // The call the open incoming-call window shows is saved before a new one replaces it; a call
    // written without pop-ups replaces nothing. A save that fails is reported and costs this call
    // nothing.
    if (!Call.Replayed && !FShuttingDown && Links.ReceiveViewExists && Links.ReceiveViewExists() &&
        ::Settings.NewDataView && ::Settings.AutoAdd && !(Links.ReceiveViewLocked && Links.ReceiveViewLocked()) &&
        Links.SaveShownCall) {
        try {
            Links.SaveShownCall();
        } catch (const std::exception& Error) {
            Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
        }
    }

    try {
        if (Call.Replayed && HistoryHasRow(Call))
            return TAttempt::AlreadyWritten;
        Identify(Number, Record);
        try {
            LookUpPreviousCall(Number, Record);
        } catch (const EDatabaseError& Error) {
            if (Error.Busy())
                throw;
            Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
        } catch (const std::exception& Error) {
            Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
        }
    } catch (const EDatabaseError& Error) {
        if (!Error.Busy())
            throw;
        qWarning().noquote() << "Call of" << Call.Number << "waits for the history:" << Error.what();
        return TAttempt::TryLater;
    }
    Record.RecvDateTime = DateTimeToDays(QDateTime::fromMSecsSinceEpoch(Call.RingTime));

    // The row goes to disk before the call is handed to anything that might fail with it; the
    // extension library sees the same record either way.
    FLastAppend = WriteHistoryRow(Record);
    if (FLastAppend == THistoryAppendResult::Busy) {
        Record.HisRecNo = -1;
        return TAttempt::TryLater;
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
    if (Links.ReloadHistoryList)
        Links.ReloadHistoryList();
    TBusyCursor::EndActive();
    // A call from before the last end only marks the tray.
    if (Call.Replayed)
        return;
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

bool TCallPipeline::HistoryHasRow(const TQueuedCall& Call)
{
    if (!DMVxRelvo16)
        return false;
    TQuietWhenBusy Quiet;
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    if (!Use.Opened()) {
        if (DMVxRelvo16->LastOpenBusy())
            throw EDatabaseError(QStringLiteral("The call history is in use"), EDatabaseError::BusyCode);
        return false;
    }
    // The row takes the call's ring time, which no other call shares; the number it was written
    // with guards against a row of another kind at the same moment.
    TCallerRecord Received;
    FillReceivedNumber(Call.Number, Received);
    const QString Key = Received.SchTel[0].trimmed();
    const double Days = DateTimeToDays(QDateTime::fromMSecsSinceEpoch(Call.RingTime));
    const double HalfMs = 0.5 / MSecsPerDay;
    TTable& Table = *RecvHisTable;
    Table.SetFiltered(false);
    Table.SetIndexName(QStringLiteral("RecvDateTime"));
    Table.SetRange({Days - HalfMs}, {Days + HalfMs});
    bool Found = false;
    for (; !Table.Eof() && !Found; Table.Next())
        Found = Table.FieldByName(QStringLiteral("SchTel")).AsString() == Key;
    Table.CancelRange();
    Table.SetIndexName(QString());
    return Found;
}

void TCallPipeline::LookUpPreviousCall(const QString& Number, TCallerRecord& Record)
{
    if (!::Settings.BeforeSelectItems && !::Settings.BeforeRecvDateTime)
        return;
    QStringList Keys;
    if (::Settings.UseFbAdrs) {
        for (const QString& Tel : Record.Tel)
            Keys.append(KeyOf(Tel));
    } else {
        Keys = {KeyOf(Record.Tel[0]), KeyOf(Record.Tel[1])};
        // The number that rang is searched first.
        if (!Keys[1].isEmpty() && Keys[1] == DigitsOnly(Number))
            Keys.swapItemsAt(0, 1);
        if (Keys[0].isEmpty())
            return;
    }
    Keys.removeAll(QString());
    if (Keys.isEmpty() || !DMVxRelvo16)
        return;

    TQuietWhenBusy Quiet;
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    if (!Use.Opened()) {
        if (DMVxRelvo16->LastOpenBusy())
            throw EDatabaseError(QStringLiteral("The call history is in use"), EDatabaseError::BusyCode);
        return;
    }
    TTable& Table = *RecvHisTable;
    Table.SetFiltered(false);
    Table.SetIndexName(QStringLiteral("SchTel"));
    QString BestStamp;
    int BestRecNo = -1;
    for (const QString& Key : Keys) {
        Table.SetRange({Key}, {Key});
        Table.Last();
        while (!Table.Bof()) {
            const QString Stamp = Table.FieldByName(QStringLiteral("RecvDateTime")).AsDateTime().toString(StampFormat);
            // Of equal times the first one found stays.
            if (BestRecNo < 0 || Stamp.compare(BestStamp, Qt::CaseInsensitive) > 0) {
                BestStamp = Stamp;
                BestRecNo = Table.FieldByName(QStringLiteral("RecNo")).AsInteger();
            }
            Table.Prior();
        }
    }
    Table.CancelRange();
    if (BestRecNo < 0)
        return;

    Table.SetIndexName(QString());
    if (!Table.FindKey({BestRecNo}))
        return;
    const QString Items[3] = {Table.FieldByName(QStringLiteral("SelItem1")).AsString().trimmed(),
                              Table.FieldByName(QStringLiteral("SelItem2")).AsString().trimmed(),
                              Table.FieldByName(QStringLiteral("SelItem3")).AsString().trimmed()};
    const QDateTime Time = QDateTime::fromString(BestStamp, StampFormat);
    const double Days = Time.isValid() ? DateTimeToDays(Time) : 0;
    if (Days <= 0)
        return;
    if (::Settings.BeforeSelectItems) {
        Record.SelItem1 = Cp932Left(Items[0], TCallerRecord::SelItemWidth);
        Record.SelItem2 = Cp932Left(Items[1], TCallerRecord::SelItemWidth);
        Record.SelItem3 = Cp932Left(Items[2], TCallerRecord::SelItemWidth);
    }
    if (::Settings.BeforeRecvDateTime)
        Record.BeforeRecvDateTime = Days;
}

bool TCallPipeline::AppendHistory(TCallerRecord& Record)
{
    FLastAppend = WriteHistoryRow(Record);
    return ReportAppend(Record);
}

bool TCallPipeline::ReportAppend(TCallerRecord& Record)
{
    switch (FLastAppend) {
    case THistoryAppendResult::Appended:
        return true;
    case THistoryAppendResult::CounterFull:
        Show(HistoryCounterFull, MB_OK | MB_ICONSTOP);
        break;
    case THistoryAppendResult::RowsFull:
        Show(HistoryRowsFull, MB_OK | MB_ICONSTOP);
        break;
    case THistoryAppendResult::PostFailed:
    case THistoryAppendResult::Busy:
        Show(HistoryPostError, MB_OK | MB_ICONSTOP);
        break;
    case THistoryAppendResult::NotOpened:
        break;
    }
    // No row carries this call, so nothing may point at one.
    Record.HisRecNo = -1;
    return false;
}

THistoryAppendResult TCallPipeline::WriteHistoryRow(TCallerRecord& Record)
{
    if (!DMVxRelvo16)
        return THistoryAppendResult::NotOpened;
    TQuietWhenBusy Quiet;
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    if (!Use.Opened())
        return DMVxRelvo16->LastOpenBusy() ? THistoryAppendResult::Busy : THistoryAppendResult::NotOpened;
    TTable& Table = *RecvHisTable;
    int RecNo = 0;
    try {
        // Another user of the shared table object may have left a filter or a range on it.
        Table.SetFiltered(false);
        Table.SetIndexName(QString());
        if (Table.RangeActive())
            Table.CancelRange();
        Table.Last();
        if (!Table.IsEmpty()) {
            RecNo = Table.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
            if (RecNo > MaxHistoryRecNo)
                return Table.RecordCount() <= MaxHistoryRecNo ? THistoryAppendResult::CounterFull
                                                              : THistoryAppendResult::RowsFull;
        }
        Record.HisRecNo = RecNo;
        const int Slot = Record.TelIndex >= 0 && Record.TelIndex < TCallerRecord::SlotCount ? Record.TelIndex : 0;
        Table.Append();
        auto Set = [&Table](const char* Name, const QString& Value) {
            Table.FieldByName(QString::fromLatin1(Name)).SetAsString(TrimBlanks(Value));
        };
        Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        Table.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(DateTimeToDays(Now()));
        Table.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(Record.RecvDateTime);
        Table.FieldByName(QStringLiteral("RecvWeek")).SetAsInteger(HistoryWeekOf(Record.RecvDateTime));
        Set("SchTel", Record.SchTel[Slot]);
        Set("Tel", Record.Tel[Slot]);
        Set("CorpKana", Record.CorpKana);
        Set("CorpKanji", Record.CorpKanji);
        Set("NameKana", Record.NameKana);
        Set("NameKanji", Record.NameKanji);
        Set("Rank", Record.Rank);
        Set("SelItem1", Record.SelItem1);
        Set("SelItem2", Record.SelItem2);
        Set("SelItem3", Record.SelItem3);
        Set("Division", QString::number(Record.Division));
        Table.Post();
    } catch (const std::exception& Error) {
        qWarning().noquote() << "History row" << RecNo << "not written:" << Error.what();
        if (Table.State() != TDataSetState::Browse && Table.Active())
            Table.Cancel();
        const auto* TableError = dynamic_cast<const EDatabaseError*>(&Error);
        return TableError && TableError->Busy() ? THistoryAppendResult::Busy : THistoryAppendResult::PostFailed;
    }
    return THistoryAppendResult::Appended;
}

int HistoryWeekOf(double Days)
{
    const QDateTime Time = DaysToDateTime(Days);
    return Time.isValid() ? Time.date().dayOfWeek() % 7 + 1 : 0;
}

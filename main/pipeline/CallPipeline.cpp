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
#include <cstring>
#include <exception>

namespace {

const QString StampFormat = QStringLiteral("yyyyMMddhhmmss");

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

// 1 Sunday .. 7 Saturday.
int WeekOf(double Days)
{
    const QDateTime Time = DaysToDateTime(Days);
    return Time.isValid() ? Time.date().dayOfWeek() % 7 + 1 : 0;
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

void TCallPipeline::DeviceCall(const TDeviceNotify* Notify)
{
    if (!Started())
        return;
    // The notification's text lives only while it is sent, so it is copied now.
    CallQueue.append(NotifyText(Notify));
    FTarget.Post(WM_CALL_ARRIVED);
}

void TCallPipeline::DeviceError(const TDeviceNotify* Notify)
{
    if (!Started())
        return;
    DeviceErrorCode = Notify ? Notify->Code : 0;
    DeviceErrorText = NotifyText(Notify);
    FTarget.Post(WM_DEVICE_ERROR_SHOW);
}

void TCallPipeline::DeviceErrorShow()
{
    // Code 1 is the adapter's own note that needs nobody's attention.
    if (DeviceErrorCode == 1)
        return;
    Show(QString::number(DeviceErrorCode) + QStringLiteral("\r\n") + DeviceErrorText + DeviceErrorTail,
         MB_OK | MB_ICONSTOP);
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

void TCallPipeline::CallArrived()
{
    TBusyCursor Busy(Links.SetBusyCursor);
    if (Links.ShowToday)
        Links.ShowToday();
    try {
        if (CallQueue.isEmpty())
            return;
        if (CallQueue.first().trimmed().isEmpty()) {
            CallQueue.removeFirst();
            return;
        }
        MarkUnseenCallIfQuiet();
        if (::Settings.RingSound && Links.RingStream && Links.PlayRing) {
            const QByteArray Wave = Links.RingStream();
            if (!Wave.isEmpty())
                Links.PlayRing(Wave);
        }
    } catch (const std::exception& Error) {
        qWarning().noquote() << "Call arrival:" << Error.what();
        if (!CallQueue.isEmpty())
            CallQueue.removeFirst();
        Show(CallDataError, MB_OK | MB_ICONSTOP);
        return;
    }
    const QString Number = CallQueue.takeFirst();
    TCallerRecord Record;
    try {
        ProcessCall(Number, Record);
    } catch (const std::exception& Error) {
        Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
    }
    ClearCallerRecord(&Record);
}

void TCallPipeline::Identify(const QString& Number, TCallerRecord& Record)
{
    if (!Links.IdentifyCaller) {
        Record = TCallerRecord();
        FillReceivedNumber(Number, Record);
        return;
    }
    // A directory that cannot be read must not cost the call its row: it is kept with its number.
    try {
        Links.IdentifyCaller(::Settings.EarlierSearch, false, Number, Record);
    } catch (const std::exception& Error) {
        ClearCallerRecord(&Record);
        FillReceivedNumber(Number, Record);
        Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
    }
}

void TCallPipeline::ProcessCall(QString Number, TCallerRecord& Record)
{
    if (Number.startsWith(u'0') && Links.Hyphenate)
        Number = Links.Hyphenate(Number);

    // The call the open incoming-call window shows is saved before a new one replaces it.
    if (Links.ReceiveViewExists && Links.ReceiveViewExists() && ::Settings.NewDataView && ::Settings.AutoAdd &&
        !(Links.ReceiveViewLocked && Links.ReceiveViewLocked()) && Links.SaveShownCall)
        Links.SaveShownCall();

    Identify(Number, Record);
    try {
        LookUpPreviousCall(Number, Record);
    } catch (const std::exception& Error) {
        Show(ErrorText(Error), MB_OK | MB_ICONSTOP);
    }
    Record.RecvDateTime = DateTimeToDays(Now());

    // The row goes to disk before the call is handed to anything that might fail with it; the
    // extension library sees the same record either way.
    (void)AppendHistory(Record);
    if (Links.ExtDllLoaded && Links.ExtDllLoaded() && Links.CallExtDll)
        Links.CallExtDll(Record);

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

    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    if (!Use.Opened())
        return;
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
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    if (!Use.Opened())
        return THistoryAppendResult::NotOpened;
    TTable& Table = *RecvHisTable;
    // Another user of the shared table object may have left a filter or a range on it.
    Table.SetFiltered(false);
    Table.SetIndexName(QString());
    if (Table.RangeActive())
        Table.CancelRange();
    int RecNo = 0;
    Table.Last();
    if (!Table.IsEmpty()) {
        RecNo = Table.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
        if (RecNo > MaxHistoryRecNo)
            return Table.RecordCount() <= MaxHistoryRecNo ? THistoryAppendResult::CounterFull
                                                          : THistoryAppendResult::RowsFull;
    }
    Record.HisRecNo = RecNo;
    const int Slot = Record.TelIndex >= 0 && Record.TelIndex < TCallerRecord::SlotCount ? Record.TelIndex : 0;
    try {
        Table.Append();
        auto Set = [&Table](const char* Name, const QString& Value) {
            Table.FieldByName(QString::fromLatin1(Name)).SetAsString(TrimBlanks(Value));
        };
        Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        Table.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(DateTimeToDays(Now()));
        Table.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(Record.RecvDateTime);
        Table.FieldByName(QStringLiteral("RecvWeek")).SetAsInteger(WeekOf(Record.RecvDateTime));
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
        Table.Cancel();
        return THistoryAppendResult::PostFailed;
    }
    return THistoryAppendResult::Appended;
}

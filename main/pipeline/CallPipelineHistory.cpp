// The call road's reads and writes of the call history: whether a call from before the last end has
// its row, the same caller's previous call, and the row itself.
#include "main/common/CommonText.h"
#include "main/pipeline/CallPipeline.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"

#include <QtDebug>
#include <sqlite3.h>

namespace {

const QString StampFormat = QStringLiteral("yyyyMMddhhmmss");
constexpr double MSecsPerDay = 86400000.0;

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

} // namespace

void TCallPipeline::ThrowUnlessOpened(bool Opened) const
{
    if (Opened)
        return;
    // A table that did not open for a reason of its own (none from SQLite) is one that cannot be opened.
    const int Code = DMVxRelvo16 && DMVxRelvo16->LastOpenCode() != 0 ? DMVxRelvo16->LastOpenCode() : SQLITE_CANTOPEN;
    throw EDatabaseError(QStringLiteral("The call history did not open"), Code);
}

bool TCallPipeline::HistoryHasRow(const TQueuedCall& Call)
{
    if (!DMVxRelvo16)
        ThrowUnlessOpened(false);
    TQuietOpen Quiet;
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    // Without the table nobody can tell whether the row is there: writing it could write it twice.
    ThrowUnlessOpened(Use.Opened());
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

    TQuietOpen Quiet;
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    ThrowUnlessOpened(Use.Opened());
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
    const QString Folder = DMVxRelvo16 ? DMVxRelvo16->DataPath() : QString();
    FLastFault = THistoryFault::None;
    if (!DMVxRelvo16) {
        FLastFault = THistoryFault::Unopenable;
        return THistoryAppendResult::NotOpened;
    }
    TQuietOpen Quiet;
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    if (!Use.Opened()) {
        FLastFault = HistoryFaultOf(DMVxRelvo16->LastOpenCode(), Folder, Folder + RecvHisFileName);
        return DMVxRelvo16->LastOpenBusy() ? THistoryAppendResult::Busy : THistoryAppendResult::NotOpened;
    }
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
        FLastFault = HistoryFaultOf(TableError ? TableError->Code() : 0, Folder, Folder + RecvHisFileName);
        return TableError && TableError->Busy() ? THistoryAppendResult::Busy : THistoryAppendResult::PostFailed;
    }
    return THistoryAppendResult::Appended;
}

int HistoryWeekOf(double Days)
{
    const QDateTime Time = DaysToDateTime(Days);
    return Time.isValid() ? Time.date().dayOfWeek() % 7 + 1 : 0;
}

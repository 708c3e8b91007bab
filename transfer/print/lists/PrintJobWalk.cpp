#include "transfer/print/lists/PrintJobWalk.h"

#include "platform/db/Table.h"
#include "transfer/print/PreviewWalk.h"

TPrintJobWalk::TPrintJobWalk(const TExportSource& Source, const TPrintScope& Scope, bool IgnoreTdfkn)
    : FSource(Source), FScope(Scope), FIgnoreTdfkn(IgnoreTdfkn), FForward(Source.Source == ExportSourceMeibo)
{
    FRow = std::make_unique<TTableFieldValues>(*Source.Table);
    if (FForward)
        FEntry = std::make_unique<TTableFieldValues>(*Source.Table);
    else if (Source.Meibo)
        FEntry = std::make_unique<TTableFieldValues>(*Source.Meibo);
}

TPrintJobWalk::~TPrintJobWalk() = default;

bool TPrintJobWalk::FindSelected()
{
    // A row whose record went meanwhile ends the job rather than printing another in its place.
    FCurrent = FSelected < FScope.RecNos.size() && FSource.Table->FindKey({FScope.RecNos[FSelected]});
    return FCurrent;
}

bool TPrintJobWalk::FirstPrintRecord()
{
    TTable& Table = *FSource.Table;
    FPrinted = 0;
    FEntryFound.reset();
    FCurrent = false;
    if (FScope.Count <= 0)
        return false;
    if (FScope.DataSelect == 0) {
        Table.SetIndexName(QString());
        FSelected = 0;
        return FindSelected();
    }
    // The list's order and row test, so that positions count as the list numbers its rows.
    if (FForward) {
        Table.SetIndexName(TMeiboPager::IndexOf(FSource.SortIndex));
        FMeiboFilter.emplace(Table, FSource.MeiboCondition);
        Table.First();
    } else {
        TWeekdayButtons Weekdays;
        Weekdays.AllWeek = true;
        Table.SetIndexName(QStringLiteral("RecvDateTime"));
        FHistoryFilter.emplace(Table, FSource.HistoryCondition, Weekdays);
        Table.Last();
    }
    if (Table.IsEmpty())
        return false;
    const int Skip = FScope.DataSelect == 1 ? FScope.First - 1 : 0;
    if (Skip > 0 && Table.MoveBy(FForward ? Skip : -Skip) != (FForward ? Skip : -Skip))
        return false;
    FCurrent = true;
    return true;
}

bool TPrintJobWalk::NextPrintRecord()
{
    FEntryFound.reset();
    if (FScope.DataSelect == 0) {
        ++FSelected;
        return FindSelected();
    }
    FCurrent = FSource.Table->MoveBy(FForward ? 1 : -1) != 0;
    return FCurrent;
}

void TPrintJobWalk::Next()
{
    if (!FCurrent)
        return;
    ++FPrinted;
    if (FPrinted >= FScope.Count)
        FCurrent = false;
    else
        (void)NextPrintRecord();
}

QString TPrintJobWalk::GetItemText(int ItemNo)
{
    if (!FCurrent)
        return QString();
    if (FForward)
        return MeiboItemText(ItemNo, *FRow, FIgnoreTdfkn);
    const TFieldValues* Entry = nullptr;
    if (NeedsDirectoryRecord(ItemNo) && FEntry && FSource.Meibo) {
        if (!FEntryFound)
            FEntryFound = LocateCallerEntry(*FSource.Table, *FSource.Meibo);
        Entry = *FEntryFound ? FEntry.get() : nullptr;
    }
    return HistoryItemText(ItemNo, *FRow, Entry, FIgnoreTdfkn);
}

namespace {

const QString Confirm = QStringLiteral("\r\nよろしいですか？  ");

} // namespace

QString SelectedPrintQuestion(int Count, bool Directory)
{
    return QString::number(Count) +
           (Directory ? QStringLiteral("件のデータを印刷します") : QStringLiteral("件のデータを印刷します  ")) +
           Confirm;
}

QString RangePrintQuestion(int First, int Last)
{
    if (First == Last)
        return QString::number(First) + QStringLiteral("件目のデータを印刷します  ") + Confirm;
    return QStringLiteral("%1件目から%2件目までの\r\n%3件のデータを印刷します  ")
               .arg(First)
               .arg(Last)
               .arg(Last - First + 1) +
           Confirm;
}

QString AllPrintQuestion(int Count, bool HasConditions)
{
    return (HasConditions ? QStringLiteral("検索条件にマッチしたデータ ") : QStringLiteral("登録されているデータ ")) +
           QString::number(Count) + QStringLiteral("件すべてを印刷します  ") + Confirm;
}

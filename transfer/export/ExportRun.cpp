#include "transfer/export/ExportRun.h"

#include "calls/HisPager.h"
#include "directory/list/MeiboPager.h"
#include "platform/db/Table.h"
#include "platform/text/Cp932.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

int FailAfterLines = -1;
constexpr qsizetype FlushBytes = 64 * 1024;

// Walks the matching records in list order (the history newest first, the directory forwards in
// its order) and hands each to Visit, which answers false to stop.
template <typename TVisit> void WalkListOrder(const TExportSource& Source, TVisit&& Visit)
{
    TTable& Table = *Source.Table;
    std::optional<THistoryFilterUse> HistoryFilter;
    std::optional<TMeiboFilterUse> MeiboFilter;
    const bool Forward = Source.Source == ExportSourceMeibo;
    if (Forward) {
        Table.SetIndexName(TMeiboPager::IndexOf(Source.SortIndex));
        MeiboFilter.emplace(Table, Source.MeiboCondition);
        Table.First();
    } else {
        TWeekdayButtons Weekdays;
        Weekdays.AllWeek = true;
        Table.SetIndexName(QStringLiteral("RecvDateTime"));
        HistoryFilter.emplace(Table, Source.HistoryCondition, Weekdays);
        Table.Last();
    }
    if (Table.IsEmpty())
        return;
    // Nothing of this program writes to the table while the export walks it: its rows are read a
    // batch at a time.
    const TTableReadAhead ReadAhead(Table);
    while (Visit() && Table.MoveBy(Forward ? 1 : -1) != 0) {
    }
}

// Writes the header and the record lines. The history's lines that read the caller's directory
// record are made a window of rows at a time, the window's callers looked up together: the rows
// are copied as they are walked and written when the window is full or the walk ends (Finish).
class TLineWriter
{
public:
    TLineWriter(TExportTextFile& File, const TExportSource& Source) : FFile(File), FSource(Source)
    {
        if (Source.Source != ExportSourceHistory || !Source.Meibo)
            return;
        FLookup.emplace(*Source.Meibo);
        for (const TExportLayoutEntry& Entry : Source.Layout)
            if (ReadsCallerEntry(Entry.ItemIndex) && !FShape)
                FShape = TRecordCopy::TShape::Of(*Source.Table);
    }

    bool Header()
    {
        if (!FSource.Settings.OutHeader)
            return true;
        return Line(BuildHeaderLine(FSource.Layout, FSource.ItemNames), [this] {
            int Values = 0;
            for (const TExportLayoutEntry& Entry : FSource.Layout)
                Values += Cp932EncodeChecked(ExportItemName(FSource.ItemNames, Entry.ItemIndex)).Substituted > 0;
            return Values;
        });
    }

    // The current row of the table.
    bool Record()
    {
        if (!FShape)
            return Write(TTableFieldValues(*FSource.Table));
        FWindow.push_back(TRecordCopy::Current(*FShape, *FSource.Table));
        return FWindow.size() < CallerWindow || Finish();
    }

    // Writes the rows still held; false when a line could not be written.
    bool Finish()
    {
        QStringList Numbers;
        for (const TRecordCopy& Row : FWindow)
            Numbers << Row.Text(QStringLiteral("SchTel"));
        if (!FWindow.empty())
            FLookup->Prefetch(Numbers);
        bool Written = true;
        for (const TRecordCopy& Row : FWindow)
            if (!(Written = Write(Row)))
                break;
        FWindow.clear();
        return Written;
    }

    TExportResult Result;

private:
    static constexpr size_t CallerWindow = 256;

    bool Write(const TFieldValues& Row)
    {
        TCallerEntryLookup* Lookup = FLookup ? &*FLookup : nullptr;
        // Only a line with characters CP932 lacks is built again, its fields kept apart, to count them.
        const auto Values = [&] {
            QStringList Columns;
            (void)RecordLine(FSource.Source, Row, Lookup, FSource.Layout, FSource.Settings, &Columns);
            return static_cast<int>(std::count_if(Columns.cbegin(), Columns.cend(), [](const QString& Column) {
                return Cp932EncodeChecked(Column).Substituted > 0;
            }));
        };
        if (!Line(RecordLine(FSource.Source, Row, Lookup, FSource.Layout, FSource.Settings), Values))
            return false;
        ++Result.Written;
        return true;
    }
    bool Line(const QString& Text, const std::function<int()>& Values)
    {
        if (FFile.WriteLine(Text, Values))
            return true;
        Result.Failed = true;
        return false;
    }
    TExportTextFile& FFile;
    const TExportSource& FSource;
    std::optional<TCallerEntryLookup> FLookup;
    std::optional<TRecordCopy::TShape> FShape;
    std::vector<TRecordCopy> FWindow;
};

} // namespace

void TExportTextFile::FailAfterLinesForTests(int Lines)
{
    FailAfterLines = Lines;
}

bool TExportTextFile::Open(const QString& FileName, bool Append)
{
    FLines = 0;
    FSubstituted = 0;
    FSeamError = 0;
    FPending.clear();
    FPending.reserve(FlushBytes + 4096);
    return FWriter.Open(FileName, Append) == TSafeWriteResult::Written;
}

bool TExportTextFile::WriteLine(const QString& Line, const std::function<int()>& Values)
{
    if (FailAfterLines >= 0 && FLines >= FailAfterLines) {
        // The disk fills here: what came before reached the file.
        (void)Flush();
        FSeamError = ENOSPC;
        return false;
    }
    const TCp932Encoded Encoded = Cp932EncodeChecked(Line);
    if (Encoded.Substituted > 0)
        FSubstituted += Values ? std::max(Values(), 1) : 1;
    FPending += Encoded.Bytes;
    FPending += "\r\n";
    if (FPending.size() >= FlushBytes && !Flush())
        return false;
    ++FLines;
    return true;
}

bool TExportTextFile::Flush()
{
    const bool Written = FPending.isEmpty() || FWriter.Write(FPending);
    FPending.resize(0); // keeps the room for the next lines
    return Written;
}

bool TExportTextFile::Commit()
{
    return Flush() && FWriter.Commit() == TSafeWriteResult::Written;
}

TExportResult ExportSelected(TExportTextFile& File, const TExportSource& Source, const QList<int>& RecNos)
{
    TLineWriter Writer(File, Source);
    if (!Writer.Header())
        return Writer.Result;
    TTable& Table = *Source.Table;
    Table.SetIndexName(QString());
    for (int RecNo : RecNos)
        if (Table.FindKey({RecNo}) && !Writer.Record())
            return Writer.Result;
    (void)Writer.Finish();
    return Writer.Result;
}

TExportResult ExportRange(TExportTextFile& File, const TExportSource& Source, int Start, int End)
{
    TLineWriter Writer(File, Source);
    if (!Writer.Header())
        return Writer.Result;
    int Position = 0;
    WalkListOrder(Source, [&] {
        ++Position;
        if (Position < Start)
            return true;
        return Writer.Record() && Position < End;
    });
    if (!Writer.Result.Failed)
        (void)Writer.Finish();
    return Writer.Result;
}

TExportResult ExportAll(TExportTextFile& File, const TExportSource& Source)
{
    TLineWriter Writer(File, Source);
    if (Writer.Header()) {
        WalkListOrder(Source, [&] { return Writer.Record(); });
        if (!Writer.Result.Failed)
            (void)Writer.Finish();
    }
    return Writer.Result;
}

QString ExportDoneText(int Count, int Written)
{
    return QStringLiteral("テキストファイル出力が完了しました  \r\n\r\n対象件数 = %1件\r\n出力件数 = %2件")
        .arg(Count)
        .arg(Written);
}

QString ExportSubstitutedText(int Values)
{
    return QStringLiteral("テキストファイルの文字コードで表せない文字を含むデータが%1件ありました  \r\n"
                          "それらの文字は「〓」に置き換えて出力しました  ")
        .arg(Values);
}

TExportTables::TExportTables(TDMVxRelvo16& Data, bool Meibo)
    : FHistory(Meibo ? std::nullopt : std::make_optional<TTableUse>(Data, TDataTable::RecvHis)),
      FDirectory(Data, TDataTable::Meibo)
{
    FTable = Meibo ? Data.Meibo() : Data.RecvHis();
    FOpened = FTable && (Meibo ? FDirectory.Opened() : FHistory->Opened());
    if (!Meibo && FDirectory.Opened())
        FCallers = Data.Meibo();
}

#include "transfer/export/ExportRun.h"

#include "calls/HisPager.h"
#include "directory/list/MeiboPager.h"
#include "platform/db/Table.h"
#include "platform/text/Cp932.h"

#include <optional>

namespace {

int FailAfterLines = -1;

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
    while (Visit() && Table.MoveBy(Forward ? 1 : -1) != 0) {
    }
}

class TLineWriter
{
public:
    TLineWriter(TExportTextFile& File, const TExportSource& Source) : FFile(File), FSource(Source)
    {
        if (Source.Source == ExportSourceHistory && Source.Meibo)
            FLookup.emplace(*Source.Meibo);
    }

    bool Header()
    {
        if (!FSource.Settings.OutHeader)
            return true;
        return Line(BuildHeaderLine(FSource.Layout, FSource.ItemNames));
    }

    bool Record()
    {
        if (!Line(CurrentRecordLine(FSource.Source, *FSource.Table, FLookup ? &*FLookup : nullptr, FSource.Layout,
                                    FSource.Settings)))
            return false;
        ++Result.Written;
        return true;
    }

    TExportResult Result;

private:
    bool Line(const QString& Text)
    {
        if (FFile.WriteLine(Text))
            return true;
        Result.Failed = true;
        return false;
    }
    TExportTextFile& FFile;
    const TExportSource& FSource;
    std::optional<TCallerEntryLookup> FLookup;
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
    return FWriter.Open(FileName, Append) == TSafeWriteResult::Written;
}

bool TExportTextFile::WriteLine(const QString& Line)
{
    if (FailAfterLines >= 0 && FLines >= FailAfterLines) {
        FSeamError = ENOSPC;
        return false;
    }
    TCp932Encoded Encoded = Cp932EncodeChecked(Line);
    if (Encoded.Substituted > 0)
        ++FSubstituted;
    Encoded.Bytes += "\r\n";
    if (!FWriter.Write(Encoded.Bytes))
        return false;
    ++FLines;
    return true;
}

bool TExportTextFile::Commit()
{
    return FWriter.Commit() == TSafeWriteResult::Written;
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
            break;
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
    return Writer.Result;
}

TExportResult ExportAll(TExportTextFile& File, const TExportSource& Source)
{
    TLineWriter Writer(File, Source);
    if (Writer.Header())
        WalkListOrder(Source, [&] { return Writer.Record(); });
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

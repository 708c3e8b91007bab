#include "transfer/export/ExportList.h"

#include "transfer/export/ExportRun.h"

TExportListModel::TExportListModel(int Source) : FSource(Source)
{
    FHistory.Weekdays.AllWeek = true;
    FHistory.LastPageRoundsUp = true;
    FMeibo.LastPageRoundsUp = true;
}

TListPages& TExportListModel::Pages()
{
    return FSource == ExportSourceMeibo ? static_cast<TListPages&>(FMeibo) : FHistory;
}

const TListPages& TExportListModel::Pages() const
{
    return FSource == ExportSourceMeibo ? static_cast<const TListPages&>(FMeibo) : FHistory;
}

TListLoadResult TExportListModel::Load(TTable& Table, int Mode, int Page)
{
    return FSource == ExportSourceMeibo ? FMeibo.Load(Table, Mode, Page) : FHistory.Load(Table, Mode, Page);
}

bool TExportListModel::RowMatches(TTable& Table) const
{
    return FSource == ExportSourceMeibo ? FMeibo.RowMatches(Table) : FHistory.RowMatches(Table);
}

bool TExportListModel::HasConditions() const
{
    return FSource == ExportSourceMeibo ? FMeibo.Condition.HasConditions : FHistory.Condition.HasConditions;
}

TExportSource TExportListModel::ExportSourceOf(TTable& Table, TTable* Meibo) const
{
    TExportSource Source;
    Source.Source = FSource;
    Source.Table = &Table;
    Source.Meibo = Meibo;
    Source.HistoryCondition = FHistory.Condition;
    Source.MeiboCondition = FMeibo.Condition;
    Source.SortIndex = std::max(FMeibo.SortIndex, 0);
    return Source;
}

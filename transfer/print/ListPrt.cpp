#include "transfer/print/ListPrt.h"

#include "main/tables/DBInfo.h"

#include <QDir>

void TListPrintModel::LoadTemplates(const QString& DataPath)
{
    for (int Source : {SourceRecvHis, SourceMeibo}) {
        const int ItemCount = static_cast<int>(::BuildItemTable(Source).size());
        TTemplateList& List = Templates[SourceIndex(Source)];
        List = LoadTemplateFile(TemplateFileName(DataPath, Source), ItemCount);
        AddLastLayoutTemplate(List, Layouts[SourceIndex(Source)]);
    }
}

bool TListPrintModel::SaveTemplateFile(const QString& DataPath) const
{
    return ::SaveTemplateFile(TemplateFileName(DataPath, PrintSource), Templates[SourceIndex(PrintSource)]);
}

QString TListPrintModel::TemplateFileName(const QString& DataPath, int Source)
{
    const QString Folder = DataPath.endsWith(QLatin1Char('/')) ? DataPath : DataPath + QLatin1Char('/');
    return Folder + (Source == SourceMeibo ? MeiboTemplateFile : RecvHisTemplateFile);
}

void TListPrintModel::BuildItemTable()
{
    Items = ::BuildItemTable(PrintSource);
}

std::optional<PrintItem> TListPrintModel::GetPrintItem(int ItemNo) const
{
    if (ItemNo < 0 || ItemNo >= Items.size())
        return std::nullopt;
    return Items[ItemNo];
}

std::optional<LayoutEntry> TListPrintModel::GetLayoutEntry(int Source, int Index) const
{
    const TLayout& Layout = Layouts[SourceIndex(Source)];
    if (Index < 0 || Index >= Layout.size())
        return std::nullopt;
    return Layout[Index];
}

int TListPrintModel::GetLayoutCount(int Source) const
{
    return static_cast<int>(Layouts[SourceIndex(Source)].size());
}

void TListPrintModel::CountSourceRecords(TDMVxRelvo16& Module)
{
    const TDataTable Which = PrintSource == SourceMeibo ? TDataTable::Meibo : TDataTable::RecvHis;
    TTableUse Use(Module, Which);
    TTable* Table = PrintSource == SourceMeibo ? Module.Meibo() : Module.RecvHis();
    SourceRecordCount = 0;
    if (Use.Opened() && Table) {
        Table->SetIndexName(QString());
        SourceRecordCount = Table->RecordCount();
    }
}

TListFontSpec TListPrintModel::FontSpec() const
{
    return {PrintSettings.FontName, PrintSettings.FontSize, PrintSettings.FontStyle, PrintSettings.FontCharset};
}

int TListPrintModel::CountRecordsPerPage(const TListTextMetrics& Metrics)
{
    const TPrintSettings& S = PrintSettings;
    TRecordsPerPageInput In;
    if (PrinterInfo) {
        In.PageHeight = PrinterInfo->PageHeight;
        In.DpiY = PrinterInfo->DpiY;
        In.ScaleY = PrinterInfo->ScaleY;
    }
    In.OffsetY = S.OffsetY;
    In.HasTitle = !S.Title.trimmed().isEmpty();
    In.Font = FontSpec();
    In.ViewDate = S.ViewDate;
    In.DatePosX = S.DatePosX;
    In.DatePosY = S.DatePosY;
    In.ViewPage = S.ViewPage;
    In.PagePosX = S.PagePosX;
    In.PagePosY = S.PagePosY;
    In.RowCount = S.RowCount;
    In.TopRule = S.Line[RuleTop];
    In.TopRuleType = S.LineType[RuleTop];
    In.BottomRule = S.Line[RuleBottom];
    In.BottomRuleType = S.LineType[RuleBottom];
    RecordsPerPage = ::CountRecordsPerPage(In, Metrics);
    return RecordsPerPage;
}

std::unique_ptr<TListPrintModel> TListPrintModel::Snapshot() const
{
    auto Copy = std::make_unique<TListPrintModel>();
    Copy->PrintSettings = PrintSettings;
    Copy->PrintSource = PrintSource;
    Copy->Layouts = Layouts;
    Copy->Templates = Templates;
    Copy->RecordsPerPage = RecordsPerPage;
    Copy->SourceRecordCount = SourceRecordCount;
    if (PrinterInfo)
        Copy->PrinterInfo = std::make_unique<TPrinterInfo>(*PrinterInfo);
    Copy->Items = Items;
    return Copy;
}

#include "transfer/print/PreviewWalk.h"

#include "calls/HisPager.h"
#include "platform/db/Table.h"

namespace {

const QString DateIndex = QStringLiteral("RecvDateTime");

} // namespace

TPreviewWalk::TPreviewWalk(TDMVxRelvo16& Module, int Source, int PageNo, int RecordsPerPage, bool IgnoreTdfkn)
    : FSource(Source), FIgnoreTdfkn(IgnoreTdfkn)
{
    if (Source == SourceRecvHis)
        FHistoryUse.emplace(Module, TDataTable::RecvHis);
    FMeiboUse.emplace(Module, TDataTable::Meibo);
    const bool Opened = Source == SourceRecvHis ? FHistoryUse->Opened() : FMeiboUse->Opened();
    FMeibo = Module.Meibo();
    FTable = Source == SourceRecvHis ? Module.RecvHis() : FMeibo;
    if (!Opened || !FTable || RecordsPerPage <= 0)
        return;
    FRow = std::make_unique<TTableFieldValues>(*FTable);
    if (Source == SourceMeibo)
        FEntry = std::make_unique<TTableFieldValues>(*FTable);
    else if (FMeiboUse->Opened() && FMeibo)
        FEntry = std::make_unique<TTableFieldValues>(*FMeibo);

    FTable->SetIndexName(Source == SourceRecvHis ? DateIndex : QString());
    const int Count = FTable->RecordCount();
    const long long Skip = static_cast<long long>(qMax(1, PageNo) - 1) * RecordsPerPage;
    if (Skip >= Count)
        return;
    FRunning = static_cast<int>(Skip) + 1;
    FAtEnd = false;
    if (Source == SourceMeibo) {
        FTable->First();
        FTable->MoveBy(static_cast<int>(Skip));
        return;
    }
    // Newest first: the page's first record is Skip records before the last one. Reach it from the
    // nearer end, so that the last pages of a long history cost no more than the first; in the
    // middle the newer records are counted by date rather than passed one by one.
    if (Count - 1 - Skip < 2000) {
        FTable->First();
        FTable->MoveBy(Count - 1 - static_cast<int>(Skip));
    } else {
        MoveBehindNewest(*FTable, static_cast<int>(Skip));
    }
}

TPreviewWalk::~TPreviewWalk() = default;

void TPreviewWalk::Next()
{
    if (FAtEnd)
        return;
    FEntryFound.reset();
    ++FRunning;
    if (FSource == SourceMeibo) {
        FTable->Next();
        FAtEnd = FTable->Eof();
    } else {
        FTable->Prior();
        FAtEnd = FTable->Bof();
    }
}

const TFieldValues* TPreviewWalk::DirectoryEntry()
{
    if (!FEntry || !FMeibo)
        return nullptr;
    if (!FEntryFound)
        FEntryFound = LocateCallerEntry(*FTable, *FMeibo);
    return *FEntryFound ? FEntry.get() : nullptr;
}

bool LocateCallerEntry(TTable& History, TTable& Meibo)
{
    const QString SchTel = History.FieldByName(QStringLiteral("SchTel")).AsString().trimmed();
    if (SchTel.isEmpty())
        return false;
    for (const QString& Index : {QStringLiteral("SchTel1"), QStringLiteral("SchTel2")}) {
        Meibo.SetIndexName(Index);
        if (Meibo.FindKey({SchTel}))
            return true;
    }
    return false;
}

QString TPreviewWalk::GetItemText(int ItemNo)
{
    if (FAtEnd || !FRow)
        return QString();
    if (FSource == SourceMeibo)
        return MeiboItemText(ItemNo, *FRow, FIgnoreTdfkn);
    return HistoryItemText(ItemNo, *FRow, NeedsDirectoryRecord(ItemNo) ? DirectoryEntry() : nullptr, FIgnoreTdfkn);
}

TListPage MakeListPage(const TListPrintModel& Model, int PageNo, int PageCount, bool Preview)
{
    TListPage Page;
    Page.Settings = &Model.PrintSettings;
    Page.Source = Model.PrintSource;
    for (int I = 0; I < Model.GetLayoutCount(Model.PrintSource); ++I) {
        const LayoutEntry Entry = *Model.GetLayoutEntry(Model.PrintSource, I);
        Page.Layout << Entry;
        Page.Headers << GetHeaderText(Model.PrintSource, Entry.ItemNo, Model.ItemTable());
    }
    Page.RecordsPerPage = Model.RecordsPerPage;
    Page.PageNo = PageNo;
    Page.PageCount = PageCount;
    if (const TPrinterInfo* Printer = Model.PrinterInfo.get()) {
        Page.DpiX = Printer->DpiX;
        Page.DpiY = Printer->DpiY;
        Page.Frame =
            Preview ? QRect(Printer->PhysicalOffsetX, Printer->PhysicalOffsetY, Printer->PageWidth, Printer->PageHeight)
                    : QRect(0, 0, Printer->PageWidth, Printer->PageHeight);
    }
    Page.Outline = Preview;
    Page.Screen = Preview;
    return Page;
}

void RenderPreviewPage(QPainter& Painter, const TListPrintModel& Model, TDMVxRelvo16& Module, int PageNo,
                       const TListTextMetrics& Metrics)
{
    const int PageCount = PageCountOf(Model.SourceRecordCount, Model.RecordsPerPage);
    const TListPage Page = MakeListPage(Model, PageNo, PageCount, true);
    TPreviewWalk Walk(Module, Model.PrintSource, PageNo, Model.RecordsPerPage, Model.PrintSettings.IgnoreTdfkn);
    TListPageRenderer(Metrics).Render(Painter, Page, Walk);
}

// The print lists over a call history of 100,000 rows: the first page, a jump to the last page, the
// next page, and one printed page of every matching record (the job's walk and the renderer into a
// recording of the sheet), all at 200 list rows and 52 printed rows a page.
#include "bench/HistoryBenchTable.h"
#include "transfer/export/ExportList.h"
#include "transfer/print/ListRender.h"
#include "transfer/print/PreviewWalk.h"
#include "transfer/print/lists/PrintJobWalk.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPicture>
#include <benchmark/benchmark.h>

namespace {

constexpr int RowCount = 100000;
constexpr int PageRows = 200;

TTable& Table()
{
    return GeneratedHistoryTable(RowCount);
}

TExportListModel MakeModel()
{
    TExportListModel Model(ExportSourceHistory);
    Model.Pages().ListMaxCount = PageRows;
    return Model;
}

void BM_FirstPage(benchmark::State& State)
{
    // The 100,000 rows are written once, before the clock runs.
    (void)Table();
    TExportListModel Model = MakeModel();
    for (auto _ : State)
        benchmark::DoNotOptimize(Model.Load(Table(), TListPages::Reload, 1));
    State.counters["rows"] = Model.Pages().TotalRows;
}

void BM_JumpToLastPage(benchmark::State& State)
{
    TExportListModel Model = MakeModel();
    for (auto _ : State)
        benchmark::DoNotOptimize(Model.Load(Table(), TListPages::Reload, RowCount / PageRows));
    State.counters["page"] = Model.Pages().CurrentPage;
}

// The same jump in a history one of whose calls has an empty date.
void BM_JumpToLastPageWithAnUndatedCall(benchmark::State& State)
{
    TTable& Undated = GeneratedHistoryWithUndatedCall(RowCount);
    TExportListModel Model = MakeModel();
    for (auto _ : State)
        benchmark::DoNotOptimize(Model.Load(Undated, TListPages::Reload, RowCount / PageRows));
    State.counters["page"] = Model.Pages().CurrentPage;
}

void BM_NextPage(benchmark::State& State)
{
    TExportListModel Model = MakeModel();
    (void)Model.Load(Table(), TListPages::Reload, 1);
    for (auto _ : State) {
        if (Model.Load(Table(), TListPages::Next, 1) != TListLoadResult::Loaded) {
            State.PauseTiming();
            (void)Model.Load(Table(), TListPages::Reload, 1);
            State.ResumeTiming();
        }
    }
}

// One printed page of 52 rows from a position in the middle of the history.
void BM_PrintedPage(benchmark::State& State)
{
    TExportListModel Model = MakeModel();
    const TExportSource Source = Model.ExportSourceOf(Table(), nullptr);
    TPrintSettings Settings;
    Settings.FontSize = 9;
    Settings.RowCount = 1;
    Settings.HorzInterval = 1;
    TListPage Page;
    Page.Settings = &Settings;
    Page.Layout = {{1, 5}, {2, 10}, {3, 8}, {4, 13}, {6, 30}, {8, 14}};
    for (int I = 0; I < Page.Layout.size(); ++I)
        Page.Headers << QStringLiteral("項目");
    Page.RecordsPerPage = 52;
    Page.DpiX = Page.DpiY = 600;
    Page.Frame = QRect(0, 0, 4961, 7016);
    static const TListTextMetrics Metrics;
    const TListPageRenderer Renderer(Metrics);
    for (auto _ : State) {
        TPrintScope Scope;
        Scope.DataSelect = 1;
        Scope.First = RowCount / 2;
        Scope.Count = 52;
        TPrintJobWalk Walk(Source, Scope, false);
        (void)Walk.FirstPrintRecord();
        QPicture Sheet;
        QPainter Painter(&Sheet);
        benchmark::DoNotOptimize(Renderer.Render(Painter, Page, Walk));
    }
}

} // namespace

BENCHMARK(BM_FirstPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpToLastPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpToLastPageWithAnUndatedCall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintedPage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

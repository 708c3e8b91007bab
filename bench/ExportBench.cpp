// The text export at scale: 100,000 calls with all 28 items, each call's directory record looked up
// in a directory of 1,000,000 entries; 100,000 directory entries with all 28 items; and one page
// of the export list over 100,000 calls (the first, and one from the middle by number).
#include "DirectoryRows.h"
#include "main/tables/DBInfo.h"
#include "tests/unit/HisTableFixture.h"
#include "transfer/export/ExportList.h"
#include "transfer/export/ExportRun.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int HistoryRows = 100000;
constexpr int LargeDirectoryRows = 1000000;
constexpr int SmallDirectoryRows = 100000;

// A data folder with a call history whose numbers are found in the directory every other call.
struct TExportData
{
    QTemporaryDir Dir;
    TDMVxRelvo16 Module;
    explicit TExportData(int DirectoryRows) : Module(Dir.path(), Dir.path())
    {
        DMVxRelvo16 = &Module;
        Module.CreateRecvHisTable();
        Module.CreateMeiboTable();
        (void)Module.OpenRecvHis();
        (void)Module.OpenMeibo();
        {
            TTableTransaction Transaction(*MeiboTable);
            for (int RecNo = 0; RecNo < DirectoryRows; ++RecNo)
                AppendDirectoryRow(*MeiboTable, RecNo, RecNo, DirectoryRows);
            Transaction.Commit();
        }
        AppendHistoryRows(*RecvHisTable, HistoryRows, [DirectoryRows](int I) {
            THisFixtureRow Row = GeneratedRow(I);
            if (I % 2 == 0)
                Row.Tel = MeiboTel(I * 7 % DirectoryRows);
            return Row;
        });
    }
    ~TExportData()
    {
        Module.CloseRecvHis();
        Module.CloseMeibo();
        Module.FreeRecvHisTable();
        Module.FreeMeiboTable();
        DMVxRelvo16 = nullptr;
    }
};

// One data folder at a time: the data module is the program's one. It goes before the program
// ends, while the tables' library is still there.
std::unique_ptr<TExportData> Current;
int CurrentRows = -1;

TExportData& Data(int DirectoryRows)
{
    if (CurrentRows != DirectoryRows) {
        Current.reset();
        DMVxRelvo16 = nullptr;
        Current = std::make_unique<TExportData>(DirectoryRows);
        CurrentRows = DirectoryRows;
    }
    return *Current;
}

TExportSource AllItemsOf(int Source, TTable& Table, TTable* Meibo)
{
    TExportSource Walk;
    Walk.Source = Source;
    Walk.Table = &Table;
    Walk.Meibo = Meibo;
    for (int I = 0; I < ExportItemCount; ++I)
        Walk.Layout.append({I + 1, I});
    Walk.ItemNames = ExportItemNames(Source, {QStringLiteral("内容"), QStringLiteral("担当"), QStringLiteral("処理")});
    Walk.Settings.OutHeader = true;
    Walk.Settings.BindDblQuote = true;
    return Walk;
}

void RunExport(benchmark::State& State, int Source, int DirectoryRows)
{
    TExportData& Folder = Data(DirectoryRows);
    const bool History = Source == ExportSourceHistory;
    const TExportSource Walk =
        AllItemsOf(Source, History ? *RecvHisTable : *MeiboTable, History ? MeiboTable : nullptr);
    const QString Target = Folder.Dir.filePath(QStringLiteral("out.txt"));
    int Written = 0;
    for (auto _ : State) {
        TExportTextFile File;
        if (!File.Open(Target, false))
            State.SkipWithError("the file did not open");
        Written = ExportAll(File, Walk).Written;
        if (!File.Commit())
            State.SkipWithError("the file was not written");
    }
    State.counters["rows"] = Written;
    State.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(Written) * State.iterations(), benchmark::Counter::kIsRate);
}

void BM_HistoryExportAllItems(benchmark::State& State)
{
    RunExport(State, ExportSourceHistory, LargeDirectoryRows);
}

void BM_DirectoryExportAllItems(benchmark::State& State)
{
    RunExport(State, ExportSourceMeibo, SmallDirectoryRows);
}

void BM_ListPage(benchmark::State& State)
{
    (void)Data(SmallDirectoryRows);
    TExportListModel Model(ExportSourceHistory);
    Model.Pages().ListMaxCount = 200;
    const int Page = static_cast<int>(State.range(0));
    for (auto _ : State)
        benchmark::DoNotOptimize(Model.Load(*RecvHisTable, TListPages::Reload, Page));
    State.counters["page"] = Model.Pages().CurrentPage;
}

} // namespace

BENCHMARK(BM_DirectoryExportAllItems)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ListPage)->Arg(1)->Arg(250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryExportAllItems)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Current.reset();
    DMVxRelvo16 = nullptr;
    return 0;
}

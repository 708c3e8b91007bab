// The utility's optimisation of a directory of 1,000,000 rows whose record numbers have gaps (every
// other number deleted): the renumbering to 0 .. n-1 in one transaction and the packing.
#include "bench/DirectoryRows.h"
#include "main/tables/DBInfo.h"
#include "utility/tables/Maintenance.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Rows = 1000000;

void FillWithGaps(const QString& Folder)
{
    TDMVxRelvo16 Module(Folder, Folder);
    Module.CreateMeiboTable();
    TTableUse Use(Module, TDataTable::Meibo);
    TTableTransaction Transaction(*MeiboTable);
    for (int Row = 0; Row < Rows; ++Row)
        AppendDirectoryRow(*MeiboTable, Row * 2 + 1, Row, Rows);
    Transaction.Commit();
}

void BM_OptimizeMeiboWithGaps(benchmark::State& State)
{
    for (auto _ : State) {
        State.PauseTiming();
        QTemporaryDir Dir;
        FillWithGaps(Dir.path());
        TDMVxRelvo16 Module(Dir.path(), Dir.path());
        State.ResumeTiming();
        if (!Utility::OptimizeMeibo(Module, true))
            State.SkipWithError("optimisation failed");
    }
}
BENCHMARK(BM_OptimizeMeiboWithGaps)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();

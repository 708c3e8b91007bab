// The directory list over a directory of 100,000 entries: the first page in each of the six
// orders, a page step, a reload under a name condition that one entry in a hundred meets, and
// deleting every entry.
#include "directory/list/MeiboPager.h"
#include "tests/unit/MeiboTableFixture.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int RowCount = 100000;

// The generated entries, each with one of a hundred names.
TMeiboFixtureRow BenchRow(int I)
{
    TMeiboFixtureRow Row = GeneratedMeiboRow(I);
    Row.Tel1 = QStringLiteral("0%1").arg(300000000 + I * 7919 % 600000000);
    Row.NameKanji = QStringLiteral("名前%1").arg(I % 100, 2, 10, QLatin1Char('0'));
    return Row;
}

struct TBenchData
{
    QTemporaryDir Dir;
    std::unique_ptr<TMeiboFixtureData> Data;
    TBenchData()
    {
        Data = std::make_unique<TMeiboFixtureData>(Dir.path());
        AppendMeiboRows(Data->Table(), RowCount, BenchRow);
    }
};

TTable& Table()
{
    static TBenchData Bench;
    return Bench.Data->Table();
}

TMeiboPager MakePager(int SortIndex)
{
    TMeiboPager Pager;
    Pager.ListMaxCount = 200;
    Pager.SortIndex = SortIndex;
    return Pager;
}

void BM_FirstPage(benchmark::State& State)
{
    TMeiboPager Pager = MakePager(static_cast<int>(State.range(0)));
    for (auto _ : State)
        benchmark::DoNotOptimize(Pager.Load(Table(), TMeiboPager::Reload, 1));
    State.counters["rows"] = Pager.TotalRows;
}

void BM_NextPage(benchmark::State& State)
{
    TMeiboPager Pager = MakePager(static_cast<int>(State.range(0)));
    Pager.Load(Table(), TMeiboPager::Reload, 1);
    for (auto _ : State) {
        if (Pager.Load(Table(), TMeiboPager::Next, 1) != TListLoadResult::Loaded) {
            State.PauseTiming();
            Pager.Load(Table(), TMeiboPager::Reload, 1);
            State.ResumeTiming();
        }
    }
}

void BM_ReloadWithNameCondition(benchmark::State& State)
{
    TMeiboPager Pager = MakePager(5);
    Pager.Condition.HasConditions = true;
    Pager.Condition.NameKanji = QStringLiteral("名前42");
    for (auto _ : State)
        benchmark::DoNotOptimize(Pager.Load(Table(), TMeiboPager::Reload, 0));
    State.counters["rows"] = Pager.TotalRows;
}

// On a directory of its own, filled again before each round.
void BM_DeleteMatchingAll(benchmark::State& State)
{
    QTemporaryDir Dir;
    int Deleted = 0;
    for (auto _ : State) {
        State.PauseTiming();
        {
            TMeiboFixtureData Data(Dir.path());
            AppendMeiboRows(Data.Table(), RowCount, BenchRow);
            TMeiboPager Pager = MakePager(static_cast<int>(State.range(0)));
            State.ResumeTiming();
            Deleted = Pager.DeleteMatching(Data.Table());
            State.PauseTiming();
        }
        State.ResumeTiming();
    }
    State.counters["rows"] = Deleted;
}

} // namespace

BENCHMARK(BM_FirstPage)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextPage)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReloadWithNameCondition)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteMatchingAll)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    Table(); // the 100,000 rows are written before any timing starts
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The directory list over a directory of 100,000 entries: the first page in each of the six
// orders, a page step, a reload under a name condition that one entry in a hundred meets, and
// deleting every entry.
#include "bench/MeiboBenchData.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int RowCount = 100000;

TTable& Table()
{
    static TMeiboBenchData Bench(RowCount, SpreadMeiboRow);
    return Bench.Table();
}

void BM_FirstPage(benchmark::State& State)
{
    TMeiboPager Pager = MakeMeiboPager(static_cast<int>(State.range(0)));
    for (auto _ : State)
        benchmark::DoNotOptimize(Pager.Load(Table(), TMeiboPager::Reload, 1));
    State.counters["rows"] = Pager.TotalRows;
}

void BM_NextPage(benchmark::State& State)
{
    TMeiboPager Pager = MakeMeiboPager(static_cast<int>(State.range(0)));
    StepPages(State, Pager, Table());
}

void BM_ReloadWithNameCondition(benchmark::State& State)
{
    TMeiboPager Pager = MakeMeiboPager(5);
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
            AppendMeiboRows(Data.Table(), RowCount, SpreadMeiboRow);
            TMeiboPager Pager = MakeMeiboPager(static_cast<int>(State.range(0)));
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

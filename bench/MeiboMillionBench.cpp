// The directory list over 1,000,000 entries, ten times the directory's limit, as a conversion or an
// import can leave it: the jump to the last page, page steps under a condition, and the searches of
// the search dialog (a reload from page 1 under each kind of condition).
#include "bench/MeiboBenchData.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int RowCount = 1000000;

// One address in a thousand with a wave dash, as an import decodes it.
TMeiboFixtureRow BenchRow(int I)
{
    TMeiboFixtureRow Row = SpreadMeiboRow(I);
    if (I % 1000 == 3)
        Row.Adrs2 = QStringLiteral("梅田１～３");
    return Row;
}

TTable& Table()
{
    static TMeiboBenchData Bench(RowCount, BenchRow);
    return Bench.Table();
}

// The condition of a search: 0 a name, 1 a part of the address, 2 a number's first digits, 3 a
// company reading.
TMeiboSearchCondition SearchOf(int Kind)
{
    TMeiboSearchCondition Condition;
    Condition.HasConditions = true;
    switch (Kind) {
    case 0:
        Condition.NameKanji = QStringLiteral("名前42");
        break;
    case 1:
        Condition.Adrs = QStringLiteral("梅田１〜３");
        break;
    case 2:
        Condition.Tel = QStringLiteral("0312");
        break;
    default:
        Condition.CorpKana = QStringLiteral("ｻ");
        break;
    }
    return Condition;
}

void BM_JumpToLastPage(benchmark::State& State)
{
    TMeiboPager Pager = MakeMeiboPager(static_cast<int>(State.range(0)));
    Pager.Load(Table(), TMeiboPager::Reload, 1);
    const int Last = Pager.PageCount();
    for (auto _ : State)
        benchmark::DoNotOptimize(Pager.Load(Table(), TMeiboPager::Reload, Last));
    State.counters["page"] = Pager.CurrentPage;
}

void BM_FilteredNextPage(benchmark::State& State)
{
    TMeiboPager Pager = MakeMeiboPager(static_cast<int>(State.range(0)));
    Pager.Condition = SearchOf(0);
    StepPages(State, Pager, Table());
    State.counters["rows"] = Pager.TotalRows;
}

void BM_Search(benchmark::State& State)
{
    TMeiboPager Pager = MakeMeiboPager(5);
    Pager.Condition = SearchOf(static_cast<int>(State.range(0)));
    for (auto _ : State)
        benchmark::DoNotOptimize(Pager.Load(Table(), TMeiboPager::Reload, 1));
    State.counters["rows"] = Pager.TotalRows;
}

} // namespace

BENCHMARK(BM_JumpToLastPage)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilteredNextPage)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    Table(); // the rows are written before any timing starts
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

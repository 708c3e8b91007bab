// The call-history list over a full history of 100,000 rows: opening it on the newest page,
// stepping page by page to the oldest one, and jumping straight to the last page; each with all
// days shown and with one weekday button down (the state the list opens in).
#include "bench/HistoryBenchTable.h"
#include "calls/HisPager.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int RowCount = 100000;

TTable& Table()
{
    return GeneratedHistoryTable(RowCount);
}

THistoryPager MakePager(bool AllWeek)
{
    THistoryPager Pager;
    Pager.ListMaxCount = 200;
    Pager.Weekdays.AllWeek = AllWeek;
    Pager.Weekdays.Days[4] = true;
    return Pager;
}

void BM_OpenFirstPage(benchmark::State& State)
{
    THistoryPager Pager = MakePager(State.range(0) != 0);
    for (auto _ : State)
        benchmark::DoNotOptimize(Pager.Load(Table(), THistoryPager::Reload, 1));
    State.counters["rows"] = Pager.TotalRows;
}

void BM_NextPage(benchmark::State& State)
{
    THistoryPager Pager = MakePager(State.range(0) != 0);
    Pager.Load(Table(), THistoryPager::Reload, 1);
    for (auto _ : State) {
        if (Pager.Load(Table(), THistoryPager::Next, 1) != THistoryLoadResult::Loaded) {
            State.PauseTiming();
            Pager.Load(Table(), THistoryPager::Reload, 1);
            State.ResumeTiming();
        }
    }
}

void BM_PreviousPage(benchmark::State& State)
{
    THistoryPager Pager = MakePager(State.range(0) != 0);
    Pager.Load(Table(), THistoryPager::Reload, 0x7fffffff / 1000);
    for (auto _ : State) {
        if (Pager.Load(Table(), THistoryPager::Previous, 1) != THistoryLoadResult::Loaded) {
            State.PauseTiming();
            Pager.CurrentPage = 0x7fffffff / 1000;
            Pager.Load(Table(), THistoryPager::Reload, 0);
            State.ResumeTiming();
        }
    }
}

void BM_JumpToLastPage(benchmark::State& State)
{
    THistoryPager Pager = MakePager(State.range(0) != 0);
    Pager.Load(Table(), THistoryPager::Reload, 1);
    const int Last = Pager.PageCount();
    for (auto _ : State)
        benchmark::DoNotOptimize(Pager.Load(Table(), THistoryPager::Reload, Last));
    State.counters["page"] = Pager.CurrentPage;
}

// The whole walk a user makes pressing "next" from the newest to the oldest page.
void BM_OpenAndPageToTheEnd(benchmark::State& State)
{
    int Pages = 0;
    for (auto _ : State) {
        THistoryPager Pager = MakePager(State.range(0) != 0);
        Pager.Load(Table(), THistoryPager::Reload, 1);
        Pages = 1;
        while (Pager.Load(Table(), THistoryPager::Next, 1) == THistoryLoadResult::Loaded)
            ++Pages;
    }
    State.counters["pages"] = Pages;
}

} // namespace

BENCHMARK(BM_OpenFirstPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviousPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpToLastPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndPageToTheEnd)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    Table(); // the 100,000 rows are written before any timing starts
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

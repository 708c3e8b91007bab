// The directory list over 1,000,000 entries, ten times the directory's limit, as a conversion or an
// import can leave it: the jump to the last page, page steps under a condition, and the searches of
// the search dialog (a reload from page 1 under each kind of condition).
#include "directory/list/MeiboPager.h"
#include "tests/unit/MeiboTableFixture.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int RowCount = 1000000;

// Distinct numbers; one name in a hundred; addresses of a few towns, one with a wave dash.
TMeiboFixtureRow BenchRow(int I)
{
    TMeiboFixtureRow Row = GeneratedMeiboRow(I);
    Row.Tel1 = QStringLiteral("0%1").arg(300000000 + static_cast<qint64>(I) * 7919 % 600000000);
    Row.NameKanji = QStringLiteral("名前%1").arg(I % 100, 2, 10, QLatin1Char('0'));
    if (I % 1000 == 3)
        Row.Adrs2 = QStringLiteral("梅田１～３");
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
    TMeiboPager Pager = MakePager(static_cast<int>(State.range(0)));
    Pager.Load(Table(), TMeiboPager::Reload, 1);
    const int Last = Pager.PageCount();
    for (auto _ : State)
        benchmark::DoNotOptimize(Pager.Load(Table(), TMeiboPager::Reload, Last));
    State.counters["page"] = Pager.CurrentPage;
}

void BM_FilteredNextPage(benchmark::State& State)
{
    TMeiboPager Pager = MakePager(static_cast<int>(State.range(0)));
    Pager.Condition = SearchOf(0);
    Pager.Load(Table(), TMeiboPager::Reload, 1);
    for (auto _ : State) {
        if (Pager.Load(Table(), TMeiboPager::Next, 1) != TListLoadResult::Loaded) {
            State.PauseTiming();
            Pager.Load(Table(), TMeiboPager::Reload, 1);
            State.ResumeTiming();
        }
    }
    State.counters["rows"] = Pager.TotalRows;
}

void BM_Search(benchmark::State& State)
{
    TMeiboPager Pager = MakePager(5);
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

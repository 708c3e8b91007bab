// The record window's call-history panel over a full history of 100,000 rows of which 500 are
// the entry's calls: finding them, newest first, and reading the texts of one screenful; and the
// panel of an entry that is an area code ("03"), which owns the calls of 20,000 distinct numbers.
#include "directory/record/MeiboHistory.h"
#include "tests/unit/HisTableFixture.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int RowCount = 100000;
const QString EntryNumber = QStringLiteral("06-1234-5678");
const QString AreaCode = QStringLiteral("03");

struct TBenchData
{
    QTemporaryDir Dir;
    std::unique_ptr<THisFixtureData> Data;
    TBenchData()
    {
        Data = std::make_unique<THisFixtureData>(Dir.path());
        // One call in five from a distinct number of the area 03, the others from the area 06.
        AppendHistoryRows(Data->Table(), RowCount, [](int I) {
            THisFixtureRow Row = GeneratedRow(I);
            if (I % 200 == 7)
                Row.Tel = EntryNumber;
            else if (I % 5 == 0)
                Row.Tel = QStringLiteral("03-%1-%2").arg(1000 + I / 10000).arg(I % 10000, 4, 10, QLatin1Char('0'));
            else
                Row.Tel = QStringLiteral("06-%1").arg(20000000 + I);
            return Row;
        });
    }
};

TTable& Table()
{
    static TBenchData Bench;
    return Bench.Data->Table();
}

void BM_RefreshHistory(benchmark::State& State)
{
    QList<int> RecNos;
    for (auto _ : State) {
        RecNos = LoadHistoryRecNos(Table(), EntryNumber, QString());
        benchmark::DoNotOptimize(RecNos);
    }
    State.counters["rows"] = static_cast<double>(RecNos.size());
}

void BM_AreaCodeEntry(benchmark::State& State)
{
    QList<int> RecNos;
    for (auto _ : State) {
        RecNos = LoadHistoryRecNos(Table(), AreaCode, QString());
        benchmark::DoNotOptimize(RecNos);
    }
    State.counters["rows"] = static_cast<double>(RecNos.size());
}

void BM_ScreenfulOfTexts(benchmark::State& State)
{
    const QList<int> RecNos = LoadHistoryRecNos(Table(), EntryNumber, QString());
    for (auto _ : State)
        for (int Row = 0; Row < 10 && Row < RecNos.size(); ++Row)
            benchmark::DoNotOptimize(HistoryRowTexts(Table(), RecNos.at(Row), Row + 1));
}

} // namespace

BENCHMARK(BM_RefreshHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AreaCodeEntry)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenfulOfTexts)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    Table(); // the 100,000 rows are written before any timing starts
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

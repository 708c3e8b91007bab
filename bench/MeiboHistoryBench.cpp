// The record window's call-history panel over a full history of 100,000 rows of which 500 are
// the entry's calls: finding them, newest first, and reading the texts of one screenful.
#include "directory/record/MeiboHistory.h"
#include "tests/unit/HisTableFixture.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int RowCount = 100000;
const QString EntryNumber = QStringLiteral("03-1234-5678");

struct TBenchData
{
    QTemporaryDir Dir;
    std::unique_ptr<THisFixtureData> Data;
    TBenchData()
    {
        Data = std::make_unique<THisFixtureData>(Dir.path());
        AppendHistoryRows(Data->Table(), RowCount, [](int I) {
            THisFixtureRow Row = GeneratedRow(I);
            if (I % 200 == 7)
                Row.Tel = EntryNumber;
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

void BM_ScreenfulOfTexts(benchmark::State& State)
{
    const QList<int> RecNos = LoadHistoryRecNos(Table(), EntryNumber, QString());
    for (auto _ : State)
        for (int Row = 0; Row < 10 && Row < RecNos.size(); ++Row)
            benchmark::DoNotOptimize(HistoryRowTexts(Table(), RecNos.at(Row), Row + 1));
}

} // namespace

BENCHMARK(BM_RefreshHistory)->Unit(benchmark::kMillisecond);
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

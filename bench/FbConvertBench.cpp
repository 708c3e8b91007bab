// The conversion of a directory of 100,000 records into a new address book, the rank merge with it.
#include "bench/DirectoryRows.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "utility/fernbook/FbArea.h"
#include "utility/fernbook/FbConvert.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Rows = 100000;

void BM_ConvertDirectoryIntoNewBook(benchmark::State& State)
{
    SetCoreMessageBox([](const QString&, const QString&, unsigned) { return 1; });
    QTemporaryDir Dir;
    const QString Source = Dir.path() + QStringLiteral("/data/");
    QDir().mkpath(Source);
    {
        TDMVxRelvo16 Module(Source, Source);
        Module.CreateMeiboTable();
        TTableUse Use(Module, TDataTable::Meibo);
        TTableTransaction Transaction(*MeiboTable);
        for (int Row = 0; Row < Rows; ++Row)
            AppendDirectoryRow(*MeiboTable, Row, Row, Rows);
        Transaction.Commit();
    }
    int Run = 0;
    for (auto _ : State) {
        const QString Book = Dir.path() + QStringLiteral("/fb/Adrs/Book%1/").arg(++Run);
        QDir().mkpath(Book);
        Utility::KeywordPath = Dir.path() + QStringLiteral("/fb/History/");
        TDMVxRelvo16 Module(Source, Source);
        const Utility::TFbConvertCounts Counts = Utility::ConvertToFernbook(Module, Book, {});
        if (Counts.Records != Rows)
            State.SkipWithError("records missing");
    }
    State.counters["records/s"] =
        benchmark::Counter(double(Rows) * double(State.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ConvertDirectoryIntoNewBook)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

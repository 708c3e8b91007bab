// The utility's exchange-number change over 100,000 history rows and 1,000,000 directory rows, each
// with an old ten-digit mobile number, hyphenated through the stand-in of the program folder.
// KYOKUBAN_BENCH_ROWS=history,directory runs other counts (a profile wants a small table).
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/msg/CoreMessage.h"
#include "utility/fixes/KyokubanChange.h"
#include "utility/start/UtilFolders.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

int HistoryRows = 100000;
int DirectoryRows = 1000000;

void ReadRowCounts()
{
    const QStringList Counts = qEnvironmentVariable("KYOKUBAN_BENCH_ROWS").split(QLatin1Char(','));
    if (Counts.size() != 2)
        return;
    bool HistoryOk = false;
    bool DirectoryOk = false;
    const int History = Counts[0].toInt(&HistoryOk);
    const int Directory = Counts[1].toInt(&DirectoryOk);
    if (HistoryOk && DirectoryOk && History >= 0 && Directory >= 0) {
        HistoryRows = History;
        DirectoryRows = Directory;
    }
}

QString OldMobile(int Row)
{
    return QStringLiteral("010%1").arg(Row % 10000000, 7, 10, QLatin1Char('0'));
}

void Fill(const QString& Folder)
{
    TDMVxRelvo16 Module(Folder, Folder);
    Module.CreateRecvHisTable();
    Module.CreateMeiboTable();
    {
        TTableUse Use(Module, TDataTable::RecvHis);
        TTableTransaction Transaction(*RecvHisTable);
        for (int Row = 0; Row < HistoryRows; ++Row) {
            RecvHisTable->Append();
            RecvHisTable->FieldByName("RecNo").SetAsInteger(Row);
            RecvHisTable->FieldByName("Tel").SetAsString(OldMobile(Row));
            RecvHisTable->Post();
        }
        Transaction.Commit();
    }
    TTableUse Use(Module, TDataTable::Meibo);
    TTableTransaction Transaction(*MeiboTable);
    for (int Row = 0; Row < DirectoryRows; ++Row) {
        MeiboTable->Append();
        MeiboTable->FieldByName("RecNo").SetAsInteger(Row);
        MeiboTable->FieldByName("Tel1").SetAsString(OldMobile(Row));
        MeiboTable->FieldByName("Tel2").SetAsString(QStringLiteral("0312345678"));
        MeiboTable->Post();
    }
    Transaction.Commit();
}

void BM_KyokubanChange(benchmark::State& State)
{
    ReadRowCounts();
    SetCoreMessageBox([](const QString&, const QString&, unsigned) { return IDYES; });
    for (auto _ : State) {
        State.PauseTiming();
        QTemporaryDir Dir;
        Fill(Dir.path() + QStringLiteral("/"));
        Utility::DataPath = Dir.path() + QStringLiteral("/");
        ProgramPath = QStringLiteral(VX_BIN_DIR "/");
        State.ResumeTiming();
        if (!Utility::RunKyokubanChange())
            State.SkipWithError("the change did not run");
    }
    State.counters["rows/s"] = benchmark::Counter(double(HistoryRows + DirectoryRows) * double(State.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_KyokubanChange)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

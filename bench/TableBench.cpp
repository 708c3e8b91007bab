// Figures of the table engine on tables of the size an office accumulates over years.
#include "bench/DirectoryRows.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Collation.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int MeiboRows = 1000000;
constexpr int RecvHisRows = 100000;
constexpr int PageRows = 200;

// Times are given as day numbers: converting a local QDateTime costs a time-zone look-up of the C
// library per call, which would drown what is measured here.
void AppendHistoryRow(TTable& Table, int RecNo, double BaseDays)
{
    Table.Append();
    Table.FieldByName("RecNo").SetAsInteger(RecNo);
    Table.FieldByName("AxsDateTime").SetAsFloat(BaseDays + RecNo * 37 / 86400.0);
    // Several calls share one minute, so the page walks across ties.
    Table.FieldByName("RecvDateTime").SetAsFloat(BaseDays + (RecNo / 3) / 1440.0);
    Table.FieldByName("RecvWeek").SetAsInteger(RecNo % 7 + 1);
    Table.FieldByName("SchTel").SetAsString(Digits(static_cast<quint64>(RecNo % 5000) * 7919, 10));
    Table.FieldByName("Tel").SetAsString(QStringLiteral("03-1234-5678"));
    Table.FieldByName("CorpKana").SetAsString(QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼｬ %1").arg(RecNo % 977));
    Table.FieldByName("CorpKanji").SetAsString(QStringLiteral("株式会社　見本%1").arg(RecNo % 977));
    Table.FieldByName("NameKana").SetAsString(QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
    Table.FieldByName("NameKanji").SetAsString(QStringLiteral("山田　太郎"));
    Table.FieldByName("Division").SetAsString(QStringLiteral("1"));
    Table.FieldByName("SelItem1").SetAsString(QStringLiteral("問い合わせ"));
    Table.Post();
}

// The data folder with both tables filled once for the whole run.
struct TFixture
{
    QTemporaryDir Folder;
    TDMVxRelvo16 Module{Folder.path(), Folder.path()};

    TFixture()
    {
        Module.CreateRecvHisTable();
        Module.CreateMeiboTable();
        if (!Module.OpenRecvHis() || !Module.OpenMeibo())
            throw EDatabaseError(QStringLiteral("cannot open the benchmark tables"));
    }

    void FillRecvHis()
    {
        if (RecvHisTable->RecordCount() > 0)
            return;
        const double Base = DateTimeToDays(QDateTime(QDate(2020, 1, 1), QTime(8, 0)));
        TTableTransaction Transaction(*RecvHisTable);
        for (int RecNo = 0; RecNo < RecvHisRows; ++RecNo)
            AppendHistoryRow(*RecvHisTable, RecNo, Base);
        Transaction.Commit();
    }

    void FillMeibo()
    {
        if (MeiboTable->RecordCount() > 0)
            return;
        TTableTransaction Transaction(*MeiboTable);
        for (int RecNo = 0; RecNo < MeiboRows; ++RecNo) {
            AppendDirectoryRow(*MeiboTable, RecNo, RecNo, MeiboRows);
        }
        Transaction.Commit();
    }
};

TFixture& Fixture()
{
    static TFixture Instance;
    return Instance;
}

void FilledRecvHis()
{
    Fixture().FillRecvHis();
}

void FilledMeibo()
{
    Fixture().FillMeibo();
}

void BM_MeiboFindKeySchTel1(benchmark::State& State)
{
    FilledMeibo();
    MeiboTable->SetIndexName("SchTel1");
    QRandomGenerator Random(7);
    int Found = 0;
    for (auto _ : State) {
        const QString Key = MeiboTel(static_cast<int>(Random.bounded(MeiboRows)));
        Found += MeiboTable->FindKey({Key}) ? 1 : 0;
    }
    if (Found != State.iterations())
        State.SkipWithError("a key was not found");
}
BENCHMARK(BM_MeiboFindKeySchTel1)->Unit(benchmark::kMicrosecond);

// One page of the call-history list: the newest 200 calls, every column read.
void BM_RecvHisNewestPage(benchmark::State& State)
{
    FilledRecvHis();
    RecvHisTable->SetIndexName("RecvDateTime");
    for (auto _ : State) {
        int Rows = 0;
        qsizetype Chars = 0;
        for (RecvHisTable->Last(); !RecvHisTable->Bof() && Rows < PageRows; RecvHisTable->Prior(), ++Rows)
            for (int I = 0; I < RecvHisTable->FieldCount(); ++I)
                Chars += RecvHisTable->Fields(I).AsString().size();
        benchmark::DoNotOptimize(Chars);
    }
}
BENCHMARK(BM_RecvHisNewestPage)->Unit(benchmark::kMillisecond);

// A page from the middle of the directory in reading order, where hundreds of records share one reading.
void BM_MeiboMiddlePageByNameKana(benchmark::State& State)
{
    FilledMeibo();
    MeiboTable->SetIndexName("NameKana");
    for (auto _ : State) {
        if (!MeiboTable->FindKey({QStringLiteral("ｽｽﾞｷ 150")}))
            State.SkipWithError("no such reading");
        MeiboTable->MoveBy(1600); // into the middle of the run of equal readings
        int Rows = 0;
        for (; !MeiboTable->Eof() && Rows < PageRows; MeiboTable->Next())
            ++Rows;
        benchmark::DoNotOptimize(Rows);
    }
}
BENCHMARK(BM_MeiboMiddlePageByNameKana)->Unit(benchmark::kMillisecond);

void BM_RecvHisRecordCount(benchmark::State& State)
{
    FilledRecvHis();
    for (auto _ : State)
        benchmark::DoNotOptimize(RecvHisTable->RecordCount());
}
BENCHMARK(BM_RecvHisRecordCount)->Unit(benchmark::kMillisecond);

// An import: 100,000 history rows in one transaction into an empty table.
void BM_BulkAppend(benchmark::State& State)
{
    for (auto _ : State) {
        State.PauseTiming();
        QTemporaryDir Folder;
        TTable Table;
        Table.SetDatabaseName(Folder.path());
        Table.SetTableName(RecvHisFileName);
        Table.CreateTable(RecvHisTableDef());
        Table.Open();
        const double Base = DateTimeToDays(QDateTime(QDate(2020, 1, 1), QTime(8, 0)));
        State.ResumeTiming();
        TTableTransaction Transaction(Table);
        for (int RecNo = 0; RecNo < RecvHisRows; ++RecNo)
            AppendHistoryRow(Table, RecNo, Base);
        Transaction.Commit();
    }
    State.SetItemsProcessed(State.iterations() * RecvHisRows);
}
BENCHMARK(BM_BulkAppend)->Unit(benchmark::kMillisecond)->Iterations(2);

// The same rows straight through SQLite into a file the engine made: the floor under the figure
// above, so that the engine's own share can be read off on a machine of any speed.
void BM_BulkAppendPlainSqlite(benchmark::State& State)
{
    for (auto _ : State) {
        State.PauseTiming();
        QTemporaryDir Folder;
        {
            TTable Table;
            Table.SetDatabaseName(Folder.path());
            Table.SetTableName(RecvHisFileName);
            Table.CreateTable(RecvHisTableDef());
        }
        sqlite3* Db = nullptr;
        sqlite3_open(Folder.filePath(RecvHisFileName).toUtf8().constData(), &Db);
        RegisterCp932Collations(Db);
        sqlite3_exec(Db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA cache_size=-32768", nullptr,
                     nullptr, nullptr);
        const double Base = DateTimeToDays(QDateTime(QDate(2020, 1, 1), QTime(8, 0)));
        State.ResumeTiming();
        sqlite3_exec(Db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt* Insert = nullptr;
        sqlite3_prepare_v2(Db, "INSERT INTO RecvHis VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1, &Insert, nullptr);
        auto Text = [&](int Position, const QString& Value) {
            const QByteArray Utf8 = Value.toUtf8();
            sqlite3_bind_text(Insert, Position, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_TRANSIENT);
        };
        for (int RecNo = 0; RecNo < RecvHisRows; ++RecNo) {
            sqlite3_bind_int(Insert, 1, RecNo);
            sqlite3_bind_double(Insert, 2, Base + RecNo * 37 / 86400.0);
            sqlite3_bind_double(Insert, 3, Base + (RecNo / 3) / 1440.0);
            sqlite3_bind_int(Insert, 4, RecNo % 7 + 1);
            Text(5, Digits(static_cast<quint64>(RecNo % 5000) * 7919, 10));
            Text(6, QStringLiteral("03-1234-5678"));
            Text(7, QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼｬ %1").arg(RecNo % 977));
            Text(8, QStringLiteral("株式会社　見本%1").arg(RecNo % 977));
            Text(9, QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
            Text(10, QStringLiteral("山田　太郎"));
            Text(11, QStringLiteral("1"));
            Text(12, QString());
            Text(13, QStringLiteral("問い合わせ"));
            Text(14, QString());
            Text(15, QString());
            if (sqlite3_step(Insert) != SQLITE_DONE)
                State.SkipWithError("insert failed");
            sqlite3_reset(Insert);
        }
        sqlite3_finalize(Insert);
        sqlite3_exec(Db, "COMMIT", nullptr, nullptr, nullptr);
        State.PauseTiming();
        sqlite3_close(Db);
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * RecvHisRows);
}
BENCHMARK(BM_BulkAppendPlainSqlite)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();

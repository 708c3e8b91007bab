// The text import at 100,000 rows: the table work of each row (the directory's look-ups of both
// numbers, the append, a savepoint per row, one transaction) through the table engine against the
// same statements straight through SQLite, and the whole run of a CSV with the hyphenation library.
#include "directory/Dashrule.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Collation.h"
#include "platform/text/Cp932.h"
#include "tests/support/DataModuleFolder.h"
#include "transfer/import/ImportRun.h"
#include "transfer/import/ImportStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int Rows = 100000;

QString Number(int Row, int Which)
{
    return QStringLiteral("0%1%2").arg(Which == 0 ? 3 : 6).arg(10000000 + Row, 8, 10, QLatin1Char('0'));
}

// Item values of one line: directory numbers and a name, or a call's date, time and number.
QStringList Line(TImportDest Dest, int Row)
{
    if (Dest == TImportDest::Meibo) {
        QStringList Values(MeiboItem::Last + 1);
        Values[MeiboItem::Tel1] = Number(Row, 0);
        Values[MeiboItem::Tel2] = Number(Row, 1);
        Values[MeiboItem::NameKanji] = QStringLiteral("山田　太郎%1").arg(Row % 977);
        Values[MeiboItem::AddDate] = QStringLiteral("20200101");
        Values[MeiboItem::AddTime] = QStringLiteral("080000");
        return Values;
    }
    QStringList Values(HisItem::Last + 1);
    Values[HisItem::RecvDate] = QStringLiteral("20200101");
    Values[HisItem::RecvTime] =
        QStringLiteral("%1").arg(Row % 86400 / 3600 * 10000 + Row % 60, 6, 10, QLatin1Char('0'));
    Values[HisItem::Tel] = Number(Row % 5000, 0);
    Values[HisItem::CorpKanji] = QStringLiteral("株式会社　見本%1").arg(Row % 977);
    return Values;
}

using TDataFolder = TDataModuleFolder;

// The table work of each line as the store does it, the values already converted: the directory's
// look-ups of both numbers in SchTel1, then SchTel2, the append and post, a savepoint a line, one
// transaction. The conversion of the values is timed with the whole run below.
void TableWork(benchmark::State& State, TImportDest Dest)
{
    const bool Directory = Dest == TImportDest::Meibo;
    for (auto _ : State) {
        State.PauseTiming();
        TDataFolder Data;
        std::vector<QStringList> Lines;
        for (int Row = 0; Row < Rows; ++Row)
            Lines.push_back(Line(Dest, Row));
        const TDataTable Which = Directory ? TDataTable::Meibo : TDataTable::RecvHis;
        TTableUse Use(*DMVxRelvo16, Which);
        TTable& Table = Directory ? *MeiboTable : *RecvHisTable;
        TField& RecNo = Table.FieldByName(QStringLiteral("RecNo"));
        TField& Axs = Table.FieldByName(QStringLiteral("AxsDateTime"));
        State.ResumeTiming();
        Table.StartTransaction();
        int Next = 0;
        for (const QStringList& Values : Lines) {
            Table.Savepoint(QStringLiteral("ImportLine"));
            if (Directory) {
                for (const int Item : {MeiboItem::Tel1, MeiboItem::Tel2})
                    for (const char* Index : {"SchTel1", "SchTel2"})
                        if (Table.LookupKey(QLatin1String(Index), {Values[Item]}, QStringLiteral("RecNo")).isValid())
                            State.SkipWithError("a number was there already");
                Table.Append();
                RecNo.SetAsInteger(Next++);
                Axs.SetAsFloat(45000.5);
                Table.FieldByName(QStringLiteral("SchTel1")).SetAsString(Values[MeiboItem::Tel1]);
                Table.FieldByName(QStringLiteral("SchTel2")).SetAsString(Values[MeiboItem::Tel2]);
                Table.FieldByName(QStringLiteral("Tel1")).SetAsString(Values[MeiboItem::Tel1]);
                Table.FieldByName(QStringLiteral("Tel2")).SetAsString(Values[MeiboItem::Tel2]);
                Table.FieldByName(QStringLiteral("NameKanji")).SetAsString(Values[MeiboItem::NameKanji]);
                Table.FieldByName(QStringLiteral("PrivCorp")).SetAsString(QStringLiteral("0"));
                Table.FieldByName(QStringLiteral("AddDateTime")).SetAsFloat(43831.3);
                Table.FieldByName(QStringLiteral("UpdDateTime")).SetAsFloat(45000.5);
            } else {
                Table.Append();
                RecNo.SetAsInteger(Next++);
                Axs.SetAsFloat(45000.5);
                Table.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(43831.3);
                Table.FieldByName(QStringLiteral("RecvWeek")).SetAsInteger(4);
                Table.FieldByName(QStringLiteral("SchTel")).SetAsString(Values[HisItem::Tel]);
                Table.FieldByName(QStringLiteral("Tel")).SetAsString(Values[HisItem::Tel]);
                Table.FieldByName(QStringLiteral("CorpKanji")).SetAsString(Values[HisItem::CorpKanji]);
                Table.FieldByName(QStringLiteral("Division")).SetAsString(QStringLiteral("0"));
            }
            Table.Post();
            Table.ReleaseSavepoint(QStringLiteral("ImportLine"));
        }
        Table.Commit();
    }
    State.SetItemsProcessed(State.iterations() * Rows);
}
void BM_TableWorkMeibo(benchmark::State& State)
{
    TableWork(State, TImportDest::Meibo);
}
void BM_TableWorkRecvHis(benchmark::State& State)
{
    TableWork(State, TImportDest::RecvHis);
}
BENCHMARK(BM_TableWorkMeibo)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_TableWorkRecvHis)->Unit(benchmark::kMillisecond)->Iterations(2);

// The same statements straight through SQLite, prepared once, into a file the engine made.
void PlainSqlite(benchmark::State& State, TImportDest Dest)
{
    const bool Directory = Dest == TImportDest::Meibo;
    for (auto _ : State) {
        State.PauseTiming();
        QTemporaryDir Folder;
        const QString FileName = Directory ? MeiboFileName : RecvHisFileName;
        {
            TTable Table;
            Table.SetDatabaseName(Folder.path());
            Table.SetTableName(FileName);
            Table.CreateTable(Directory ? MeiboTableDef() : RecvHisTableDef());
        }
        sqlite3* Db = nullptr;
        sqlite3_open(Folder.filePath(FileName).toUtf8().constData(), &Db);
        RegisterCp932Collations(Db);
        sqlite3_exec(Db,
                     "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA cache_size=-32768; "
                     "PRAGMA temp_store=MEMORY",
                     nullptr, nullptr, nullptr);
        auto Prepare = [&](const char* Sql) {
            sqlite3_stmt* Statement = nullptr;
            if (sqlite3_prepare_v2(Db, Sql, -1, &Statement, nullptr) != SQLITE_OK)
                State.SkipWithError(sqlite3_errmsg(Db));
            return Statement;
        };
        sqlite3_stmt* Find1 = Directory ? Prepare("SELECT RecNo FROM Meibo WHERE SchTel1 = ? LIMIT 1") : nullptr;
        sqlite3_stmt* Find2 = Directory ? Prepare("SELECT RecNo FROM Meibo WHERE SchTel2 = ? LIMIT 1") : nullptr;
        // The engine's own insert: every field of the row, the ones the line leaves blank included.
        const TTableDef Def = Directory ? MeiboTableDef() : RecvHisTableDef();
        const QByteArray InsertSql = "INSERT INTO " + QByteArray(Directory ? "Meibo" : "RecvHis") + " VALUES (" +
                                     QByteArray("?,").repeated(Def.Fields.size() - 1) + "?)";
        sqlite3_stmt* Insert = Prepare(InsertSql.constData());
        sqlite3_stmt* Save = Prepare("SAVEPOINT ImportLine");
        sqlite3_stmt* Release = Prepare("RELEASE ImportLine");
        auto Text = [](sqlite3_stmt* Statement, int Position, const QString& Value) {
            const QByteArray Utf8 = Value.toUtf8();
            sqlite3_bind_text(Statement, Position, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_TRANSIENT);
        };
        auto Run = [](sqlite3_stmt* Statement) {
            while (sqlite3_step(Statement) == SQLITE_ROW) {
            }
            sqlite3_reset(Statement);
        };
        std::vector<QStringList> Lines;
        for (int Row = 0; Row < Rows; ++Row)
            Lines.push_back(Line(Dest, Row));
        // The values of every field as the engine binds them, blanks included, made beforehand: the
        // floor binds and steps only.
        std::vector<std::vector<QVariant>> Bound;
        for (int Row = 0; Row < Rows; ++Row) {
            const QStringList& Values = Lines[static_cast<size_t>(Row)];
            QHash<QString, QVariant> Given;
            if (Directory)
                Given = {{"RecNo", Row},
                         {"AxsDateTime", 45000.5},
                         {"SchTel1", Values[MeiboItem::Tel1]},
                         {"SchTel2", Values[MeiboItem::Tel2]},
                         {"Tel1", Values[MeiboItem::Tel1]},
                         {"Tel2", Values[MeiboItem::Tel2]},
                         {"NameKanji", Values[MeiboItem::NameKanji]},
                         {"PrivCorp", QStringLiteral("0")},
                         {"AddDateTime", 43831.3},
                         {"UpdDateTime", 45000.5}};
            else
                Given = {{"RecNo", Row},
                         {"AxsDateTime", 45000.5},
                         {"RecvDateTime", 43831.3},
                         {"RecvWeek", 4},
                         {"SchTel", Values[HisItem::Tel]},
                         {"Tel", Values[HisItem::Tel]},
                         {"CorpKanji", Values[HisItem::CorpKanji]},
                         {"Division", QStringLiteral("0")}};
            std::vector<QVariant> Fields;
            for (const TFieldDef& Each : Def.Fields) {
                const bool IsText = Each.Type == TFieldType::String || Each.Type == TFieldType::Memo;
                Fields.push_back(Given.value(Each.Name, IsText                              ? QVariant(QString())
                                                        : Each.Type == TFieldType::DateTime ? QVariant(0.0)
                                                                                            : QVariant(0)));
                if (IsText)
                    Fields.back() = Fields.back().toString();
            }
            Bound.push_back(std::move(Fields));
        }
        State.ResumeTiming();
        sqlite3_exec(Db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        int RecNo = 0;
        for (const QStringList& Values : Lines) {
            Run(Save);
            if (Directory)
                for (const int Item : {MeiboItem::Tel1, MeiboItem::Tel2})
                    for (sqlite3_stmt* Find : {Find1, Find2}) {
                        Text(Find, 1, Values[Item]);
                        Run(Find);
                    }
            const std::vector<QVariant>& Row = Bound[static_cast<size_t>(RecNo++)];
            for (int Field = 0; Field < Def.Fields.size(); ++Field) {
                const QVariant& Value = Row[static_cast<size_t>(Field)];
                if (Value.typeId() == QMetaType::QString)
                    Text(Insert, Field + 1, Value.toString());
                else if (Value.typeId() == QMetaType::Double)
                    sqlite3_bind_double(Insert, Field + 1, Value.toDouble());
                else
                    sqlite3_bind_int64(Insert, Field + 1, Value.toLongLong());
            }
            if (sqlite3_step(Insert) != SQLITE_DONE)
                State.SkipWithError("insert failed");
            sqlite3_reset(Insert);
            Run(Release);
        }
        sqlite3_exec(Db, "COMMIT", nullptr, nullptr, nullptr);
        State.PauseTiming();
        for (sqlite3_stmt* Statement : {Find1, Find2, Insert, Save, Release})
            sqlite3_finalize(Statement);
        sqlite3_close(Db);
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * Rows);
}
void BM_PlainSqliteMeibo(benchmark::State& State)
{
    PlainSqlite(State, TImportDest::Meibo);
}
void BM_PlainSqliteRecvHis(benchmark::State& State)
{
    PlainSqlite(State, TImportDest::RecvHis);
}
BENCHMARK(BM_PlainSqliteMeibo)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PlainSqliteRecvHis)->Unit(benchmark::kMillisecond)->Iterations(2);

// The whole run of a directory CSV, hyphenation through Dashrule.so included; the counter
// "hyphenation" is the time the same numbers take in FormatTelHyphen alone.
void BM_RunImportMeibo(benchmark::State& State)
{
    const QString Bin = QStringLiteral(VX_BIN_DIR "/");
    if (LoadHyphenLibrary(Bin, Bin + QStringLiteral("Dic/")) != 0) {
        State.SkipWithError("Dashrule.so is not built");
        return;
    }
    double Hyphenation = 0;
    for (auto _ : State) {
        State.PauseTiming();
        TDataFolder Data;
        QByteArray Csv;
        for (int Row = 0; Row < Rows; ++Row)
            Csv += (Number(Row, 0) + u',' + Number(Row, 1) + QStringLiteral(",山田　太郎\r\n")).toUtf8();
        const QString Input = Data.Dir.filePath(QStringLiteral("in.csv"));
        QFile File(Input);
        File.open(QIODevice::WriteOnly);
        File.write(Cp932Encode(QString::fromUtf8(Csv)));
        File.close();
        TImportRun Run;
        Run.FileName = Input;
        Run.DataPath = Data.Dir.path() + QLatin1Char('/');
        Run.SourceCount = 3;
        Run.Options.Dest = TImportDest::Meibo;
        Run.Options.NotAutoSupplement = true;
        Run.Mapping = TImportMapping(MeiboItem::Last + 1);
        Run.Mapping[MeiboItem::Tel1] = {FieldPiece(0, {})};
        Run.Mapping[MeiboItem::Tel2] = {FieldPiece(1, {})};
        Run.Mapping[MeiboItem::NameKanji] = {FieldPiece(2, {})};
        State.ResumeTiming();
        if (Run.RunImport().StoredCount != Rows)
            State.SkipWithError("rows were refused");
        State.PauseTiming();
        QElapsedTimer Timer;
        Timer.start();
        for (int Row = 0; Row < Rows; ++Row)
            for (int Which = 0; Which < 2; ++Which)
                benchmark::DoNotOptimize(FormatTelHyphen(Number(Row, Which)));
        Hyphenation += Timer.nsecsElapsed() / 1e6;
        State.ResumeTiming();
    }
    FreeHyphenLibrary();
    State.counters["hyphenation_ms"] = Hyphenation / static_cast<double>(State.iterations());
    State.SetItemsProcessed(State.iterations() * Rows);
}
BENCHMARK(BM_RunImportMeibo)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();

// The text import of 100,000 call-history lines through the import window itself (TFileImport:
// the file read, the automatic mapping, "取り込み(&I)" with its backup, batches and progress bar,
// offscreen), beside the floor: the sqlite3 shell's .import of the same file into a table of its own.
#include "WindowBenchMain.h"
#include "directory/Dashrule.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/db/TableIndexes.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"
#include "platform/ui/MessageBox.h"
#include "tests/support/DataModuleFolder.h"
#include "transfer/import/FImport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

constexpr int Rows = 100000;

// Arg 0: the five fields of a plain log of calls. Arg 1: every item the history takes, as another
// installation's export writes it: readings in half-width katakana, the division, a rank and three
// select items of a few values each.
QString CallText(bool EveryItem)
{
    QString Text = EveryItem ? QStringLiteral("着信日付,着信時刻,電話番号,会社名カナ,会社名,名前カナ,名前,区分,ランク,"
                                              "選択項目１,選択項目２,選択項目３\r\n")
                             : QStringLiteral("着信日付,着信時刻,電話番号,会社名,名前\r\n");
    for (int I = 0; I < Rows; ++I) {
        const QString When = QStringLiteral("2026/11/%1,%2:%3:%4,03%5")
                                 .arg(1 + I % 28, 2, 10, QLatin1Char('0'))
                                 .arg(8 + I % 10, 2, 10, QLatin1Char('0'))
                                 .arg(I / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(I % 60, 2, 10, QLatin1Char('0'))
                                 .arg(10000000 + I % 5000);
        if (EveryItem)
            Text += QStringLiteral(
                        "%1,ｶﾌﾞｼｷｶﾞｲｼｬ ﾐﾎﾝ%2,株式会社　見本%2,ﾔﾏﾀﾞ ﾀﾛｳ%3,山田　太郎%3,%4,%5,見積%6,訪問%7,済%8\r\n")
                        .arg(When)
                        .arg(I % 977)
                        .arg(I % 613)
                        .arg(I % 2)
                        .arg(QChar(u'A' + I % 3))
                        .arg(I % 20)
                        .arg(I % 7)
                        .arg(I % 3);
        else
            Text += QStringLiteral("%1,株式会社　見本%2,山田　太郎%3\r\n").arg(When).arg(I % 977).arg(I % 613);
    }
    return Text;
}

QByteArray CallLines(bool EveryItem)
{
    return Cp932Encode(CallText(EveryItem));
}

// The data folder with the file to import, the program's settings pointing at it.
struct TDataFolder : TDataModuleFolder
{
    QString Input = Folder + QStringLiteral("calls.csv");
    explicit TDataFolder(bool EveryItem)
    {
        QFile File(Input);
        if (File.open(QIODevice::WriteOnly))
            File.write(CallLines(EveryItem));
        Settings = TSettings();
        Settings.DataPath = Folder;
        SettingsPath = Folder;
    }
};

void BM_FileImportWindow(benchmark::State& State)
{
    for (auto _ : State) {
        State.PauseTiming();
        TDataFolder Data(State.range(0) != 0);
        // The automatic mapping and the confirmation are answered; the summary takes its default.
        qputenv("VX_MSGBOX_ANSWERS", "Yes,Yes");
        ResetMessageBoxAnswers();
        TFileImport Window;
        Window.rbRecvHis->click();
        Window.show();
        Window.edtFile->setText(Data.Input);
        Window.edtFile->setFocus();
        QTest::keyClick(Window.edtFile, Qt::Key_Return);
        Window.bbtnAllSet->click();
        State.ResumeTiming();
        Window.btnImport->click();
        State.PauseTiming();
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        if (RecvHisTable->RecordCount() != Rows)
            State.SkipWithError("not every line was stored");
        State.ResumeTiming();
    }
    State.counters["rows/s"] =
        benchmark::Counter(double(Rows) * double(State.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FileImportWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The shell makes its table from the header line and stores every field as text, in one transaction.
void BM_Sqlite3ShellImport(benchmark::State& State)
{
    QTemporaryDir Dir;
    const QString Input = Dir.filePath(QStringLiteral("calls.csv"));
    {
        QFile File(Input);
        if (File.open(QIODevice::WriteOnly))
            File.write(CallLines(State.range(0) != 0));
    }
    int Round = 0;
    for (auto _ : State) {
        const QString Db = Dir.filePath(QStringLiteral("shell%1.db").arg(Round++));
        QProcess Shell;
        Shell.start(QStringLiteral("sqlite3"), {Db, QStringLiteral(".import --csv %1 RecvHis").arg(Input)});
        if (!Shell.waitForFinished(600000) || Shell.exitCode() != 0)
            State.SkipWithError("the sqlite3 shell failed");
    }
    State.counters["rows/s"] =
        benchmark::Counter(double(Rows) * double(State.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Sqlite3ShellImport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The same floor with what the window's table must have at the end: the shell loads the
// collations, reads the file into a table of its own, copies its fields into the history's table
// (the ring time as days, the number as it stands) and builds the history's seven indexes, the
// statements taken from a table the engine made. What the indexes alone take is the part no import
// into this table can leave out.
void BM_Sqlite3ShellImportWithIndexes(benchmark::State& State)
{
    const bool EveryItem = State.range(0) != 0;
    // The file's fields and the history's columns they go into, beside the ring time and the number.
    const QString Fields = EveryItem ? QStringLiteral("\"会社名カナ\", \"会社名\", \"名前カナ\", \"名前\", \"区分\", "
                                                      "\"ランク\", \"選択項目１\", \"選択項目２\", \"選択項目３\"")
                                     : QStringLiteral("\"会社名\", \"名前\"");
    const QString Columns = EveryItem ? QStringLiteral("CorpKana, CorpKanji, NameKana, NameKanji, Division, Rank, "
                                                       "SelItem1, SelItem2, SelItem3")
                                      : QStringLiteral("CorpKanji, NameKanji");
    QTemporaryDir Dir;
    // In UTF-8, as the table stores text: decoding CP932 is the program's work, not the floor's.
    const QString Input = Dir.filePath(QStringLiteral("calls.csv"));
    {
        QFile File(Input);
        if (File.open(QIODevice::WriteOnly))
            File.write(CallText(EveryItem).toUtf8());
    }
    int Round = 0;
    for (auto _ : State) {
        State.PauseTiming();
        const QString Folder = Dir.filePath(QString::number(Round++));
        QDir().mkpath(Folder);
        const QString Db = Folder + QStringLiteral("/RecvHis.DB");
        QString IndexStatements;
        {
            TTable Table;
            Table.SetDatabaseName(Folder);
            Table.SetTableName(QStringLiteral("RecvHis.DB"));
            Table.CreateTable(RecvHisTableDef());
            QProcess Read;
            Read.start(QStringLiteral("sqlite3"),
                       {Db, QStringLiteral("SELECT sql || ';' FROM sqlite_master WHERE type = 'index' AND sql IS NOT "
                                           "NULL AND tbl_name = 'RecvHis'")});
            Read.waitForFinished(60000);
            IndexStatements = QString::fromUtf8(Read.readAllStandardOutput());
            Table.Open();
            if (DropSecondaryIndexes(Table).size() != 7) {
                State.SkipWithError("the history's seven indexes were not found");
                break;
            }
        }
        const QString Script =
            QStringLiteral(".load " VX_BIN_DIR "/vxcollation\n"
                           ".import --csv %1 C\n"
                           "BEGIN;\n"
                           "INSERT INTO RecvHis (RecNo, AxsDateTime, RecvDateTime, RecvWeek, SchTel, Tel, %2) "
                           "SELECT rowid, julianday('now') - 2415018.5, julianday(replace(\"着信日付\", '/', '-') || "
                           "' ' || \"着信時刻\") - 2415018.5, 0, \"電話番号\", \"電話番号\", %3 FROM C;\n"
                           "DROP TABLE C;\n"
                           "%4"
                           "COMMIT;\n")
                .arg(Input, Columns, Fields, IndexStatements);
        State.ResumeTiming();
        QProcess Shell;
        Shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), Db});
        Shell.write(Script.toUtf8());
        Shell.closeWriteChannel();
        if (!Shell.waitForFinished(600000) || Shell.exitCode() != 0) {
            State.SkipWithError(Shell.readAllStandardError().constData());
            break;
        }
    }
    State.counters["rows/s"] =
        benchmark::Counter(double(Rows) * double(State.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Sqlite3ShellImportWithIndexes)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// What a call that rings during a history import asks of the history, with the run's indexes
// taken away (Arg 0) and with them (Arg 1), over 100,000 rows: the previous call of its number (a
// range of SchTel walked backwards) and whether its ring time is stored (a range of RecvDateTime).
void BM_HistoryLookupsDuringImport(benchmark::State& State)
{
    QTemporaryDir Dir;
    TTable Table;
    Table.SetDatabaseName(Dir.path());
    Table.SetTableName(QStringLiteral("RecvHis.DB"));
    Table.CreateTable(RecvHisTableDef());
    Table.Open();
    {
        TTableTransaction Transaction(Table);
        for (int I = 0; I < Rows; ++I) {
            Table.Append();
            Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(I);
            Table.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(46000.0 + I / 1000.0);
            Table.FieldByName(QStringLiteral("SchTel")).SetAsString(QStringLiteral("03%1").arg(10000000 + I % 5000));
            Table.FieldByName(QStringLiteral("NameKana")).SetAsString(QStringLiteral("ﾔﾏﾀﾞ%1").arg(I % 613));
            Table.Post();
        }
        Transaction.Commit();
    }
    if (State.range(0) == 0)
        (void)DropSecondaryIndexes(Table);
    int Call = 0;
    for (auto _ : State) {
        const QString Number = QStringLiteral("03%1").arg(10000000 + Call * 7 % 5000);
        Table.SetIndexName(QStringLiteral("SchTel"));
        Table.SetRange({Number}, {Number});
        int Found = 0;
        for (Table.Last(); !Table.Bof(); Table.Prior())
            ++Found;
        Table.CancelRange();
        const double Ring = 46000.0 + (Call * 13 % Rows) / 1000.0;
        Table.SetIndexName(QStringLiteral("RecvDateTime"));
        Table.SetRange({Ring - 1e-9}, {Ring + 1e-9});
        if (Found != Rows / 5000 || Table.Eof())
            State.SkipWithError("a lookup went wrong");
        Table.CancelRange();
        Table.SetIndexName({});
        ++Call;
    }
}
BENCHMARK(BM_HistoryLookupsDuringImport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}

// The text import of 100,000 call-history lines through the import window itself (TFileImport:
// the file read, the automatic mapping, "取り込み(&I)" with its backup, batches and progress bar,
// offscreen), beside the floor: the sqlite3 shell's .import of the same file into a table of its own.
#include "ImportDataFolder.h"
#include "WindowBenchMain.h"
#include "directory/Dashrule.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"
#include "platform/ui/MessageBox.h"
#include "transfer/import/FImport.h"

#include <QApplication>
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

QByteArray CallLines()
{
    QString Text = QStringLiteral("着信日付,着信時刻,電話番号,会社名,名前\r\n");
    for (int I = 0; I < Rows; ++I)
        Text += QStringLiteral("2026/11/%1,%2:%3:%4,03%5,株式会社　見本%6,山田　太郎%7\r\n")
                    .arg(1 + I % 28, 2, 10, QLatin1Char('0'))
                    .arg(8 + I % 10, 2, 10, QLatin1Char('0'))
                    .arg(I / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(I % 60, 2, 10, QLatin1Char('0'))
                    .arg(10000000 + I % 5000)
                    .arg(I % 977)
                    .arg(I % 613);
    return Cp932Encode(Text);
}

// The data folder with the file to import, the program's settings pointing at it.
struct TDataFolder : TImportDataFolder
{
    QString Input = Folder + QStringLiteral("calls.csv");
    TDataFolder()
    {
        QFile File(Input);
        if (File.open(QIODevice::WriteOnly))
            File.write(CallLines());
        Settings = TSettings();
        Settings.DataPath = Folder;
        SettingsPath = Folder;
    }
};

void BM_FileImportWindow(benchmark::State& State)
{
    for (auto _ : State) {
        State.PauseTiming();
        TDataFolder Data;
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
BENCHMARK(BM_FileImportWindow)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The shell makes its table from the header line and stores every field as text, in one transaction.
void BM_Sqlite3ShellImport(benchmark::State& State)
{
    QTemporaryDir Dir;
    const QString Input = Dir.filePath(QStringLiteral("calls.csv"));
    {
        QFile File(Input);
        if (File.open(QIODevice::WriteOnly))
            File.write(CallLines());
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
BENCHMARK(BM_Sqlite3ShellImport)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}

// The directory's text export of 100,000 entries as the export list window runs it: "出力(&E)" of
// TAddMeiboFileExportList with every item, the header and quotes on, numbers hyphenated through the
// hyphenation library of the program folder, the file prompt and the boxes answered from a script.
#include "DirectoryRows.h"
#include "WindowBenchMain.h"
#include "directory/Dashrule.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/msg/CoreMessage.h"
#include "platform/ui/FilePrompt.h"
#include "platform/ui/MessageBox.h"
#include "transfer/export/AMFELst.h"
#include "transfer/export/ExportItems.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Rows = 100000;

void BM_DirectoryExportThroughTheWindow(benchmark::State& State)
{
    QTemporaryDir Dir;
    const QString Folder = Dir.path() + QStringLiteral("/");
    Settings = TSettings();
    Settings.DataPath = Folder;
    SettingsPath = Folder;
    TDMVxRelvo16 Module(Folder, Folder);
    DMVxRelvo16 = &Module;
    Module.CreateRecvHisTable();
    Module.CreateMeiboTable();
    (void)Module.OpenMeibo();
    {
        TTableTransaction Transaction(*MeiboTable);
        for (int RecNo = 0; RecNo < Rows; ++RecNo)
            AppendDirectoryRow(*MeiboTable, RecNo, RecNo, Rows);
        Transaction.Commit();
    }
    TExportSettings& Export = ExportSettings();
    Export = {};
    Export.Source = ExportSourceMeibo;
    Export.Range = 2;
    Export.Type = 1;
    Export.OutHeader = true;
    Export.BindDblQuote = true;
    Export.EditTelHyphen = true;
    TExportLayout Layout;
    for (int I = 0; I < ExportItemCount; ++I)
        Layout.append({I + 1, I});
    const QString Target = Folder + QStringLiteral("Meibo.txt");
    for (auto _ : State) {
        State.PauseTiming();
        QFile::remove(Target);
        // "Export all?", then the summary takes its default.
        qputenv("VX_MSGBOX_ANSWERS", "Yes");
        qputenv("VX_FILEDIALOG_ANSWERS", QFile::encodeName(Target));
        ResetMessageBoxAnswers();
        ResetFilePromptAnswers();
        TAddMeiboFileExportList Window;
        Window.SetLayout(Layout, ExportItemNames(ExportSourceMeibo, {}));
        Window.show();
        State.ResumeTiming();
        Window.btnExport->click();
        State.PauseTiming();
        if (QFileInfo(Target).size() < Rows * 100LL)
            State.SkipWithError("the file was not written whole");
        State.ResumeTiming();
    }
    State.counters["rows/s"] =
        benchmark::Counter(double(Rows) * double(State.iterations()), benchmark::Counter::kIsRate);
    Module.CloseMeibo();
    Module.FreeRecvHisTable();
    Module.FreeMeiboTable();
    DMVxRelvo16 = nullptr;
}
BENCHMARK(BM_DirectoryExportThroughTheWindow)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}

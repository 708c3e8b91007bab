#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/OwnedFiles.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/sys/Folders.h"
#include "platform/sys/SysError.h"
#include "platform/ui/FilePrompt.h"
#include "transfer/export/ExportRun.h"
#include "transfer/export/ExportTarget.h"
#include "transfer/export/FELst.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <optional>

// The export run of the list windows: which records, the questions, the target file and the
// writing.

using namespace PagedLines;

namespace {

QList<int> SelectedRecNos(const QListWidget* List)
{
    QList<int> RecNos;
    for (int Row = 0; Row < List->count(); ++Row)
        if (List->item(Row)->isSelected())
            RecNos << List->item(Row)->data(RecNoRole).toInt();
    return RecNos;
}

} // namespace

void TFileExportList::btnExportClick()
{
    if (Busy || Loading)
        return;
    TFlagGuard Guard(Busy);
    int Count = 0;
    if (!AskScope(Count))
        return;
    if (ExportSettings().Type == 0) {
        RunEncrypted(Count);
        return;
    }
    QString Path;
    const int Target = ChooseTextTarget(Path);
    if (Target == 9)
        return;
    TExportTextFile File;
    if (!File.Open(Path, Target == 1)) {
        Message(SysErrorMessage(File.Error()), MB_OK | MB_ICONSTOP);
        return;
    }
    int Written = 0;
    if (!WriteFile(File, Written))
        return;
    SaveExportPaths();
    Message(ExportDoneText(Count, Written), MB_OK | MB_ICONINFORMATION);
    if (File.Substituted() > 0)
        Message(ExportSubstitutedText(File.Substituted()), MB_OK | MB_ICONWARNING);
}

bool TFileExportList::WriteFile(TExportTextFile& File, int& Written)
{
    bool Done = false;
    try {
        TWaitCursor Wait;
        Done = WriteRecords(File, Written) && File.Commit();
    } catch (const Exception& Error) {
        Message(Error.Message(), MB_OK | MB_ICONSTOP);
        return false;
    }
    // What an append wrote stays; a new or overwritten file keeps what it held before. A table that
    // did not open the data module has reported already.
    if (!Done && File.Error() != 0)
        Message(SysErrorMessage(File.Error()), MB_OK | MB_ICONSTOP);
    return Done;
}

bool TFileExportList::AskScope(int& Count)
{
    QString Question;
    switch (ExportSettings().Range) {
    case 0:
        Count = static_cast<int>(lbxList->selectedItems().size());
        if (Count == 0) {
            FocusListOr(btnCancel);
            return false;
        }
        Question = SelectedQuestion(Count);
        break;
    case 1: {
        if (lbxList->count() == 0)
            return false;
        TRangeSpc Dialog(this);
        Dialog.setProperty("HelpContext", 63);
        Dialog.adjustSize();
        PlaceFormBottomRight(&Dialog, this, 15, 15);
        Dialog.SetRange(FRange.First, FRange.Last, Pages().TotalRows);
        if (Dialog.exec() != 1)
            return false;
        Dialog.GetRange(FRange.First, FRange.Last);
        Count = FRange.Last - FRange.First + 1;
        Question = RangeQuestion(FRange.First, FRange.Last);
        break;
    }
    default:
        if (lbxList->count() == 0)
            return false;
        Count = Pages().TotalRows;
        Question = AllQuestion(Count, Model.HasConditions(), Source() == ExportSourceMeibo);
        break;
    }
    return Message(Question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

bool TFileExportList::AskTargetPath(QString& Path, bool Exe)
{
    bool Browse = true;
    if (!Path.isEmpty()) {
        if (QFileInfo(Path).absoluteDir().exists()) {
            const int Answer = MessageBoxPos(this, ChangeTargetText(Path), ProductName,
                                             MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, 0);
            if (Answer == IDCANCEL)
                return false;
            Browse = Answer == IDYES;
        } else {
            Path = Settings.DataPath + QFileInfo(Path).fileName();
        }
    }
    if (Browse) {
        TFilePrompt Prompt;
        Prompt.Kind = TFilePrompt::EKind::SaveFile;
        Prompt.ObjectName = QStringLiteral("SaveDialog");
        Prompt.Title = QStringLiteral("名前を付けて保存");
        Prompt.Filters =
            Exe ? QStringList{QStringLiteral("Vaultix自己復元ファイル (*.exe)")}
                : QStringList{QStringLiteral("テキストファイル (*.txt)"), QStringLiteral("ＣＳＶファイル (*.csv)"),
                              QStringLiteral("すべてのファイル (*)")};
        const QFileInfo Last(Path);
        if (!Path.isEmpty() && Last.isFile()) {
            Prompt.StartFolder = Last.absolutePath();
            Prompt.SelectFile = Last.fileName();
        } else {
            Prompt.StartFolder = Settings.DataPath;
            Prompt.SelectFile = (Source() == ExportSourceMeibo ? QStringLiteral("Meibo") : QStringLiteral("Rireki")) +
                                (Exe ? QStringLiteral(".exe") : QStringLiteral(".txt"));
        }
        int Filter = 1;
        Prompt.ChosenFilter = &Filter;
        Prompt.Place = [this](QFileDialog& Dialog) { PlaceBelowTopLeft(Dialog, *this); };
        const std::optional<QString> Chosen = RunFilePrompt(this, Prompt);
        if (!Chosen)
            return false;
        Path = Exe ? ExeTargetName(*Chosen) : TextTargetName(*Chosen, Filter);
    }
    // A table, its journal or a settings file taken for a target would be renamed over by the export.
    if (IsOwnedFile(Path)) {
        Message(OwnedFileRefusal(Path), MB_OK | MB_ICONSTOP);
        return false;
    }
    if (!CreateOwnerOnlyFolder(QFileInfo(Path).absolutePath())) {
        Message(MsgFolderNotMade, MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

int TFileExportList::ChooseTextTarget(QString& Path)
{
    Path = FFileNormal;
    if (!AskTargetPath(Path, false))
        return 9;
    const QFileInfo Target(Path);
    int Result = 0;
    if (Target.exists()) {
        const int Answer = Message(MsgTextTargetExists, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
        if (Answer == IDCANCEL)
            return 9;
        Result = Answer == IDYES ? 0 : 1;
    }
    FFileNormal = Path;
    return Result;
}

bool TFileExportList::WriteRecords(TExportTextFile& File, int& Written)
{
    if (!DMVxRelvo16)
        return false;
    const TExportTables Tables(*DMVxRelvo16, Source() == ExportSourceMeibo);
    if (!Tables.Opened())
        return false;
    TExportSource Walk = Model.ExportSourceOf(*Tables.Table(), Tables.CallerDirectory());
    Walk.Layout = FLayout;
    Walk.ItemNames = FItemNames;
    Walk.Settings = ExportSettings();
    TExportResult Result;
    switch (Walk.Settings.Range) {
    case 0:
        Result = ExportSelected(File, Walk, SelectedRecNos(lbxList));
        break;
    case 1:
        Result = ExportRange(File, Walk, FRange.First, FRange.Last);
        break;
    default:
        Result = ExportAll(File, Walk);
        break;
    }
    Written = Result.Written;
    return !Result.Failed;
}

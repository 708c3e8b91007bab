#include "utility/tables/Maintenance.h"

#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/msg/CoreMessage.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"
#include "utility/tables/TableSafety.h"
#include "platform/sys/Folders.h"

#include <QDir>
#include <QStringList>

namespace Utility {

std::function<void(const QString& NewFile)> RepairRebuildHook;
std::function<void(bool Busy)> ShowBusy;

namespace {

class TBusy
{
public:
    TBusy()
    {
        if (ShowBusy)
            ShowBusy(true);
    }
    ~TBusy()
    {
        if (ShowBusy)
            ShowBusy(false);
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;
};

TTable*& TableObject(TDataTable Table)
{
    return Table == TDataTable::RecvHis ? RecvHisTable : MeiboTable;
}

void FreeTable(TDMVxRelvo16& Module, TDataTable Table)
{
    Table == TDataTable::RecvHis ? Module.FreeRecvHisTable() : Module.FreeMeiboTable();
}

QString TableTitle(TDataTable Table)
{
    return Table == TDataTable::RecvHis ? QStringLiteral("着信対応履歴ファイル") : QStringLiteral("登録名簿ファイル");
}

QString FileNameOf(TDataTable Table)
{
    return Table == TDataTable::RecvHis ? RecvHisFileName : MeiboFileName;
}

// The definition the main program makes the table with: the rebuilt file is made from it alone, and a
// file that holds anything else is no table of ours.
TTableDef DefinitionOf(TDataTable Table)
{
    return Table == TDataTable::RecvHis ? RecvHisTableDef() : MeiboTableDef();
}

// Said of a file that opens with the table password but holds what the program never makes there
// (another table, a trigger, a view, other columns): nothing of it is run, and it stays as it was.
QString NotRecognisedText(TDataTable Table, const QString& Command)
{
    return QStringLiteral("「%1」は %2 のテーブルとして認識できないため、%3できませんでした  ")
        .arg(FileNameOf(Table), ProductName, Command);
}

} // namespace

QString NotOptimisedText(TDataTable Table)
{
    return NotRecognisedText(Table, QStringLiteral("最適化"));
}

QString NotRepairedText(TDataTable Table)
{
    return NotRecognisedText(Table, QStringLiteral("修復"));
}

TOptimizeResult OptimizeTable(TDMVxRelvo16& Module, TDataTable Table, bool Renumbering)
{
    Table == TDataTable::RecvHis ? Module.CreateRecvHisTable() : Module.CreateMeiboTable();
    int Count = 0;
    bool Renumber = false;
    {
        TTableUse Use(Module, Table);
        if (!Use.Opened()) {
            FreeTable(Module, Table);
            return TOptimizeResult::Failed;
        }
        TTable& Target = *TableObject(Table);
        try {
            Target.SetIndexName({});
            Count = Target.RecordCount();
            if (Count > 0 && Renumbering) {
                Target.Last();
                Renumber = Target.FieldByName(QStringLiteral("RecNo")).AsInteger() != Count - 1;
            }
        } catch (const EDatabaseError&) {
            FreeTable(Module, Table);
            return TOptimizeResult::Failed;
        }
    }
    // The rows go into a new, packed file made from the table's definition, which replaces the table
    // only when it checked out; a failed renumbering leaves every number as it was, and the packing
    // still follows.
    TOptimizeResult Result = TOptimizeResult::Done;
    if (Count > 0) {
        const TTableDef Def = DefinitionOf(Table);
        try {
            (void)TableObject(Table)->Rebuild(Def, {}, Renumber ? QStringLiteral("RecNo") : QString());
        } catch (const EForeignTableError&) {
            Result = TOptimizeResult::NotRecognised;
        } catch (const EDatabaseError&) {
            Result = TOptimizeResult::Failed;
            if (Renumber) {
                try {
                    (void)TableObject(Table)->Rebuild(Def);
                } catch (const EDatabaseError&) {
                }
            }
        }
    }
    FreeTable(Module, Table);
    return Result;
}

TRepairResult RepairTable(TDMVxRelvo16& Module, TDataTable Table,
                          const std::function<void(const QString&)>& BeforeRename)
{
    const unsigned ErrorBox = MB_OK | MB_ICONERROR;
    const QString FileName = FileNameOf(Table);
    const QString Folder = DataPath + RepairBackupFolder;
    // A missing table is made empty by the counted open, as every command finds it.
    {
        Table == TDataTable::RecvHis ? Module.CreateRecvHisTable() : Module.CreateMeiboTable();
        TTableUse Use(Module, Table);
        if (!Use.Opened()) {
            FreeTable(Module, Table);
            return TRepairResult::NoSafetyCopy;
        }
    }
    FreeTable(Module, Table);
    // The copy replaces the previous run's only once it is whole.
    try {
        if (!CreateOwnerOnlyFolder(Folder))
            throw EDatabaseError(QStringLiteral("Cannot create %1").arg(Folder));
        BackupTableFile(DataPath + FileName, Folder + FileName);
    } catch (const EDatabaseError&) {
        (void)CoreMessageBox(QStringLiteral("元ファイルの保存に失敗しました  \r\n処理を中断します  "), ProductName,
                             ErrorBox);
        return TRepairResult::NoSafetyCopy;
    }
    Table == TDataTable::RecvHis ? Module.CreateRecvHisTableExclusive() : Module.CreateMeiboTableExclusive();
    try {
        (void)TableObject(Table)->Rebuild(DefinitionOf(Table), BeforeRename);
    } catch (const EForeignTableError&) {
        FreeTable(Module, Table);
        (void)CoreMessageBox(NotRepairedText(Table), ProductName, ErrorBox);
        return TRepairResult::NotRecognised;
    } catch (const EDatabaseError&) {
        FreeTable(Module, Table);
        (void)CoreMessageBox(QStringLiteral("主データと主インデックスのコピーに失敗しました  \r\n処理を中断します  "),
                             ProductName, ErrorBox);
        return TRepairResult::RebuildFailed;
    }
    TRepairResult Result = TRepairResult::Done;
    {
        TTableUse Use(Module, Table);
        if (!Use.Opened()) {
            Result = TRepairResult::CheckFailed;
        } else {
            try {
                (void)TableObject(Table)->RegenerateIndexes();
            } catch (const EDatabaseError& Error) {
                (void)CoreMessageBox(Error.Message(), ProductName, ErrorBox);
                Result = TRepairResult::CheckFailed;
            }
        }
    }
    FreeTable(Module, Table);
    return Result;
}

bool RunOptimize()
{
    if (IsMainProgramRunning())
        return false;
    if (CoreMessageBox(QStringLiteral("データベースの最適化をおこないます  \r\n\r\n現在のデータ保存フォルダーの下に "
                                      "「backup.opt」 \r\nフォルダーを作成し、そこに最適化前のファイルを保存します  "
                                      "\r\n\r\nよろしいですか？  "),
                       ProductName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    if (!SaveTablesBeforeChange(OptimizeBackupFolder))
        return false;
    QStringList Failed;
    {
        TBusy Busy;
        TDMVxRelvo16 Module(DataPath, ProgramPath);
        for (const TDataTable Table : {TDataTable::RecvHis, TDataTable::Meibo}) {
            const TOptimizeResult Result = OptimizeTable(Module, Table, true);
            if (Result == TOptimizeResult::NotRecognised)
                Failed << NotOptimisedText(Table);
            else if (Result == TOptimizeResult::Failed)
                Failed << TableTitle(Table) + QStringLiteral("の最適化に失敗しました  ");
        }
    }
    if (Failed.isEmpty())
        (void)CoreMessageBox(QStringLiteral("最適化が終了しました  "), ProductName, MB_OK | MB_ICONINFORMATION);
    else
        (void)CoreMessageBox(Failed.join(QStringLiteral("\r\n")), ProductName, MB_OK | MB_ICONWARNING);
    return true;
}

bool RunRepair(int RepairRow)
{
    if (IsMainProgramRunning())
        return false;
    if (CoreMessageBox(
            QStringLiteral("インデックスファイルの修復を行います  \r\n\r\n現在のデータ保存フォルダーの下に "
                           "「backup.rep」\r\nフォルダーを作成し、そこに元のファイルを保存します  \r\n\r\n"
                           "よろしいですか？  \r\n\r\n※インデックスが壊れたり、古くなってしまった場合以外には"
                           "　\r\n　実行しないでください  "),
            ProductName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    const TDataTable Table = RepairRow == 0 ? TDataTable::RecvHis : TDataTable::Meibo;
    TRepairResult Result;
    {
        TBusy Busy;
        TDMVxRelvo16 Module(DataPath, ProgramPath);
        Result = RepairTable(Module, Table, RepairRebuildHook);
    }
    if (Result == TRepairResult::Done)
        (void)CoreMessageBox(QStringLiteral("修復が終了しました  "), ProductName, MB_OK | MB_ICONINFORMATION);
    else if (Result == TRepairResult::CheckFailed)
        (void)CoreMessageBox(TableTitle(Table) + QStringLiteral("の修復に失敗しました  "), ProductName,
                             MB_OK | MB_ICONWARNING);
    return Result == TRepairResult::Done;
}

} // namespace Utility

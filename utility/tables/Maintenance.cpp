#include "utility/tables/Maintenance.h"

#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/msg/CoreMessage.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"
#include "utility/tables/TableSafety.h"

#include <QDir>
#include <QStringList>

namespace Utility {

std::function<void(const QString& NewFile)> RepairRebuildHook;

namespace {

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

// Gives the records 0 .. Count-1 in their order. No two records may share a number on the way, so
// the numbers first move below every number in use, keeping their order, and then to their place.
void Renumber(TTable& Table, int Count)
{
    TTableTransaction Transaction(Table);
    TField& RecNo = Table.FieldByName(QStringLiteral("RecNo"));
    Table.First();
    const int Lowest = std::min(RecNo.AsInteger(), 0);
    // Below: the last record not yet moved is always the table's last.
    for (int Moved = 0; Moved < Count; ++Moved) {
        Table.Last();
        Table.Edit();
        RecNo.SetAsInteger(Lowest - 1 - Moved);
        Table.Post();
    }
    // In place: the first record not yet placed is always the table's first.
    for (int K = 0; K < Count; ++K) {
        Table.First();
        Table.Edit();
        RecNo.SetAsInteger(K);
        Table.Post();
    }
    Transaction.Commit();
}

} // namespace

bool OptimizeTable(TDMVxRelvo16& Module, TDataTable Table, bool Renumbering)
{
    Table == TDataTable::RecvHis ? Module.CreateRecvHisTable() : Module.CreateMeiboTable();
    bool Ok = true;
    {
        TTableUse Use(Module, Table);
        if (!Use.Opened()) {
            FreeTable(Module, Table);
            return false;
        }
        TTable& Target = *TableObject(Table);
        try {
            Target.SetIndexName({});
            Target.First();
            const int Count = Target.RecordCount();
            if (Count > 0) {
                if (Renumbering) {
                    Target.Last();
                    if (Target.FieldByName(QStringLiteral("RecNo")).AsInteger() != Count - 1) {
                        try {
                            Renumber(Target, Count);
                        } catch (const EDatabaseError&) {
                            // The transaction took every number back; the packing still follows.
                            Ok = false;
                        }
                    }
                }
                Target.Pack();
            }
        } catch (const EDatabaseError&) {
            Ok = false;
        }
    }
    FreeTable(Module, Table);
    return Ok;
}

TRepairResult RepairTable(TDMVxRelvo16& Module, TDataTable Table,
                          const std::function<void(const QString&)>& BeforeRename)
{
    const unsigned ErrorBox = MB_OK | MB_ICONERROR;
    const QString FileName = Table == TDataTable::RecvHis ? RecvHisFileName : MeiboFileName;
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
        if (!QDir().mkpath(Folder))
            throw EDatabaseError(QStringLiteral("Cannot create %1").arg(Folder));
        BackupTableFile(DataPath + FileName, Folder + FileName);
    } catch (const EDatabaseError&) {
        (void)CoreMessageBox(QStringLiteral("元ファイルの保存に失敗しました  \r\n処理を中断します  "), ProductName,
                             ErrorBox);
        return TRepairResult::NoSafetyCopy;
    }
    Table == TDataTable::RecvHis ? Module.CreateRecvHisTableExclusive() : Module.CreateMeiboTableExclusive();
    try {
        (void)TableObject(Table)->Rebuild(BeforeRename);
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
        TDMVxRelvo16 Module(DataPath, ProgramPath);
        if (!OptimizeRecvHis(Module, true))
            Failed << TableTitle(TDataTable::RecvHis) + QStringLiteral("の最適化に失敗しました  ");
        if (!OptimizeMeibo(Module, true))
            Failed << TableTitle(TDataTable::Meibo) + QStringLiteral("の最適化に失敗しました  ");
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

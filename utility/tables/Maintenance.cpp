#include "utility/tables/Maintenance.h"

#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/msg/CoreMessage.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"
#include "utility/tables/TableSafety.h"
#include "platform/sys/Folders.h"
#include "platform/sys/SafeWrite.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

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

TTable* TableObject(const TDMVxRelvo16& Module, TDataTable Table)
{
    return Table == TDataTable::RecvHis ? Module.RecvHis() : Module.Meibo();
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

// The table's file as it is, into Folder, replacing the previous run's copy only once whole. With
// the main program stopped and the table closed, the file's bytes are the table: a damaged one is
// kept exactly as it was, which no copy through SQLite would do (it reads a file cut short as
// padded with empty pages). A journal a crash left beside it goes along, as the rest of that state.
bool KeepRepairCopy(const QString& File, const QString& Folder)
{
    if (!CreateOwnerOnlyFolder(Folder))
        return false;
    const QString Dest = Folder + QFileInfo(File).fileName();
    // Named as the engine names its temporaries, so that a killed copy's goes at the next start.
    const QString Temporary = Folder + u'.' + QFileInfo(File).fileName() + QStringLiteral(".tmp-copy");
    const QString Journal = File + QStringLiteral("-journal");
    QFile::remove(Temporary);
    QFile::remove(Temporary + QStringLiteral("-journal"));
    if (!CopyFileOwnerOnly(File, Temporary))
        return false;
    if (QFileInfo::exists(Journal) && !CopyFileOwnerOnly(Journal, Temporary + QStringLiteral("-journal"))) {
        QFile::remove(Temporary);
        return false;
    }
    try {
        PutTableFileInPlace(Temporary, Dest);
    } catch (const EDatabaseError&) {
        QFile::remove(Temporary + QStringLiteral("-journal"));
        return false;
    }
    if (QFileInfo::exists(Temporary + QStringLiteral("-journal")))
        (void)::rename(QFile::encodeName(Temporary + QStringLiteral("-journal")).constData(),
                       QFile::encodeName(Dest + QStringLiteral("-journal")).constData());
    return true;
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
        TTable& Target = *TableObject(Module, Table);
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
            (void)TableObject(Module, Table)->Rebuild(Def, {}, Renumber ? QStringLiteral("RecNo") : QString());
        } catch (const EForeignTableError&) {
            Result = TOptimizeResult::NotRecognised;
        } catch (const EDatabaseError&) {
            Result = TOptimizeResult::Failed;
            if (Renumber) {
                try {
                    (void)TableObject(Module, Table)->Rebuild(Def);
                } catch (const EDatabaseError&) {
                }
            }
        }
    }
    FreeTable(Module, Table);
    return Result;
}

TRepairResult RepairTable(TDMVxRelvo16& Module, TDataTable Table,
                          const std::function<void(const QString&)>& BeforeRename, TTable::TSalvageCount* Rows)
{
    const unsigned ErrorBox = MB_OK | MB_ICONERROR;
    const QString FileName = FileNameOf(Table);
    const QString& DataPath = Module.DataPath();
    const QString Folder = DataPath + RepairBackupFolder;
    // A missing table is made empty by the counted open, as every command finds it. A file that is
    // there is not opened before its copy is safe: a damaged one may not open at all.
    if (!QFileInfo::exists(DataPath + FileName)) {
        Table == TDataTable::RecvHis ? Module.CreateRecvHisTable() : Module.CreateMeiboTable();
        TTableUse Use(Module, Table);
        const bool Opened = Use.Opened();
        if (!Opened) {
            FreeTable(Module, Table);
            return TRepairResult::NoSafetyCopy;
        }
    }
    FreeTable(Module, Table);
    if (!KeepRepairCopy(DataPath + FileName, Folder)) {
        (void)CoreMessageBox(QStringLiteral("元ファイルの保存に失敗しました  \r\n処理を中断します  "), ProductName,
                             ErrorBox);
        return TRepairResult::NoSafetyCopy;
    }
    Table == TDataTable::RecvHis ? Module.CreateRecvHisTableExclusive() : Module.CreateMeiboTableExclusive();
    TTable::TSalvageCount Count;
    try {
        try {
            Count.Saved = TableObject(Module, Table)->Rebuild(DefinitionOf(Table), BeforeRename);
        } catch (const EForeignTableError&) {
            throw;
        } catch (const EDatabaseError&) {
            // Rows that cannot be read fail the plain rebuild; the salvage passes them over.
            Count = TableObject(Module, Table)->Salvage(DefinitionOf(Table), BeforeRename);
        }
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
    if (Rows)
        *Rows = Count;
    TRepairResult Result = TRepairResult::Done;
    {
        TTableUse Use(Module, Table);
        if (!Use.Opened()) {
            Result = TRepairResult::CheckFailed;
        } else {
            try {
                (void)TableObject(Module, Table)->RegenerateIndexes();
            } catch (const EDatabaseError& Error) {
                (void)CoreMessageBox(Error.Message(), ProductName, ErrorBox);
                Result = TRepairResult::CheckFailed;
            }
        }
    }
    FreeTable(Module, Table);
    return Result;
}

QString RepairedText(const TTable::TSalvageCount& Rows)
{
    const QString Lost = Rows.Lost < 0 ? QStringLiteral("不明") : QStringLiteral("%1 件").arg(Rows.Lost);
    return QStringLiteral("修復が終了しました  \r\n\r\n保存できたレコード：%1 件  \r\n失われたレコード：%2  ")
        .arg(Rows.Saved)
        .arg(Lost);
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
        TDMVxRelvo16 Module(DataPath, ProgramPath, TModuleReach::Private);
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
    TTable::TSalvageCount Rows;
    {
        TBusy Busy;
        TDMVxRelvo16 Module(DataPath, ProgramPath, TModuleReach::Private);
        Result = RepairTable(Module, Table, RepairRebuildHook, &Rows);
    }
    if (Result == TRepairResult::Done)
        (void)CoreMessageBox(RepairedText(Rows), ProductName, MB_OK | MB_ICONINFORMATION);
    else if (Result == TRepairResult::CheckFailed)
        (void)CoreMessageBox(TableTitle(Table) + QStringLiteral("の修復に失敗しました  "), ProductName,
                             MB_OK | MB_ICONWARNING);
    return Result == TRepairResult::Done;
}

} // namespace Utility

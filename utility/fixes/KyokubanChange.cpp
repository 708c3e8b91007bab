#include "utility/fixes/KyokubanChange.h"

#include "directory/Dashrule.h"
#include "main/common/CommonText.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/msg/CoreMessage.h"
#include "transfer/common/TelRules.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"
#include "utility/tables/TableSafety.h"

#include <QHash>

namespace Utility {

QString ConvertStoredTel(const QString& Tel)
{
    if (!Tel.startsWith(QLatin1Char('0')))
        return Tel;
    QString Number = ConvertExchange0720(ConvertOldMobileNumber(DigitsOnly(Tel)));
    // Without a hyphenation the digits stand as the rules left them.
    (void)HyphenateTel(Number);
    return Number.trimmed();
}

namespace {

// The history holds the same callers' numbers many times over: within one run a number is worked
// out once.
class TTelCache
{
public:
    QString Convert(const QString& Tel)
    {
        if (!Tel.startsWith(QLatin1Char('0')))
            return Tel;
        auto Found = FDone.constFind(Tel);
        if (Found == FDone.constEnd())
            Found = FDone.insert(Tel, ConvertStoredTel(Tel));
        return *Found;
    }

private:
    QHash<QString, QString> FDone;
};

// The library's use count goes back down once, unless the binding failed and took it down itself.
struct THyphenLibrary
{
    int Rc = LoadHyphenLibrary(ProgramPath, ProgramPath + QStringLiteral("Dic/"));
    ~THyphenLibrary()
    {
        if (Rc != HyphenRcBindError)
            FreeHyphenLibrary();
    }
    THyphenLibrary() = default;
    THyphenLibrary(const THyphenLibrary&) = delete;
    THyphenLibrary& operator=(const THyphenLibrary&) = delete;
};

int CountRows(TDMVxRelvo16& Module, TDataTable Which)
{
    TTableUse Use(Module, Which);
    return Use.Opened() ? (Which == TDataTable::RecvHis ? RecvHisTable : MeiboTable)->RecordCount() : 0;
}

// Writes one row's numbers under its own savepoint; a refused row keeps its old values.
bool PostNumbers(TTable& Table, const QList<std::pair<const char*, QString>>& Values, const QDateTime& Now)
{
    const QString Point = QStringLiteral("TelRow");
    Table.Savepoint(Point);
    try {
        Table.Edit();
        Table.FieldByName(QStringLiteral("AxsDateTime")).SetAsDateTime(Now);
        for (const auto& [Name, Value] : Values)
            Table.FieldByName(QLatin1String(Name)).SetAsString(Value);
        Table.Post();
        Table.ReleaseSavepoint(Point);
        return true;
    } catch (const EDatabaseError&) {
        Table.RollbackToSavepoint(Point);
        return false;
    }
}

void WalkHistory(TTable& Table, const QDateTime& Now, TTelCache& Cache, const TFixProgress& Progress)
{
    Table.SetIndexName({});
    TTableTransaction Transaction(Table);
    for (Table.First(); !Table.Eof(); Table.Next()) {
        const QString Tel = Table.FieldByName(QStringLiteral("Tel")).AsString().trimmed();
        const QString NewTel = Cache.Convert(Tel);
        if (NewTel != Tel)
            (void)PostNumbers(Table, {{"SchTel", DigitsOnly(NewTel)}, {"Tel", NewTel}}, Now);
        if (Progress.Step)
            Progress.Step();
    }
    Transaction.Commit();
}

void WalkDirectory(TTable& Table, const QDateTime& Now, TTelCache& Cache, const TFixProgress& Progress)
{
    Table.SetIndexName({});
    TTableTransaction Transaction(Table);
    for (Table.First(); !Table.Eof(); Table.Next()) {
        const QString Tel1 = Table.FieldByName(QStringLiteral("Tel1")).AsString().trimmed();
        // A row without its first number is left as the user keeps it, whatever its second holds.
        if (!Tel1.isEmpty()) {
            const QString Tel2 = Table.FieldByName(QStringLiteral("Tel2")).AsString().trimmed();
            const QString NewTel1 = Cache.Convert(Tel1);
            const QString NewTel2 = Cache.Convert(Tel2);
            if (NewTel1 != Tel1 || NewTel2 != Tel2)
                (void)PostNumbers(Table,
                                  {{"SchTel1", DigitsOnly(NewTel1)},
                                   {"SchTel2", DigitsOnly(NewTel2)},
                                   {"Tel1", NewTel1},
                                   {"Tel2", NewTel2}},
                                  Now);
        }
        if (Progress.Step)
            Progress.Step();
    }
    Transaction.Commit();
}

} // namespace

bool RunKyokubanChange(const TFixProgress& Progress)
{
    if (IsMainProgramRunning())
        return false;
    if (CoreMessageBox(
            QStringLiteral("登録されているデータの局番変換を行います  \r\n\r\n現在のデータ保存フォルダーの下に "
                           "「backup.kyk」 \r\nフォルダーを作成し、そこに変換前のファイルを保存します　  "
                           "\r\n\r\nよろしいですか？　  "),
            ProductName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    if (!SaveTablesBeforeChange(KyokubanBackupFolder))
        return false;
    {
        TDMVxRelvo16 Module(DataPath, ProgramPath);
        Module.CreateRecvHisTable();
        Module.CreateMeiboTable();
        if (Progress.ProcessMessages)
            Progress.ProcessMessages();
        if (Progress.Busy)
            Progress.Busy(true);
        const int HisCount = CountRows(Module, TDataTable::RecvHis);
        const int MeiboCount = CountRows(Module, TDataTable::Meibo);
        if (Progress.Start)
            Progress.Start(HisCount + MeiboCount);
        THyphenLibrary Hyphen;
        if (Hyphen.Rc != 0) {
            if (Progress.Busy)
                Progress.Busy(false);
            return false;
        }
        const QDateTime Now = TelRulesNow();
        TTelCache Cache;
        if (HisCount > 0) {
            TTableUse Use(Module, TDataTable::RecvHis);
            if (Use.Opened())
                WalkHistory(*RecvHisTable, Now, Cache, Progress);
        }
        if (MeiboCount > 0) {
            TTableUse Use(Module, TDataTable::Meibo);
            if (Use.Opened())
                WalkDirectory(*MeiboTable, Now, Cache, Progress);
        }
        if (Progress.Busy)
            Progress.Busy(false);
    }
    (void)CoreMessageBox(QStringLiteral("一括変換が終了しました  "), ProductName, MB_OK | MB_ICONINFORMATION);
    if (Progress.Reset)
        Progress.Reset();
    return true;
}

} // namespace Utility

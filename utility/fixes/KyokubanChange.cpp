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

namespace {

QString ConvertStoredTel(const QString& Tel, const QDate& Today)
{
    if (!Tel.startsWith(QLatin1Char('0')))
        return Tel;
    QString Number = ConvertExchange0720(ConvertOldMobileNumber(DigitsOnly(Tel)), Today);
    // Without a hyphenation the digits stand as the rules left them.
    (void)HyphenateTel(Number);
    return Number.trimmed();
}

} // namespace

QString ConvertStoredTel(const QString& Tel)
{
    return ConvertStoredTel(Tel, TelRulesNow().date());
}

namespace {

// The history holds the same callers' numbers many times over: within one run a number is worked
// out once, and on the run's own day.
class TTelCache
{
public:
    explicit TTelCache(const QDate& Today) : FToday(Today) {}
    QString Convert(const QString& Tel)
    {
        if (!Tel.startsWith(QLatin1Char('0')))
            return Tel;
        auto Found = FDone.constFind(Tel);
        if (Found == FDone.constEnd()) {
            // A directory's numbers are mostly each its own: the memory stays bounded, the
            // history's frequent callers are worked out again after a clearing at most.
            if (FDone.size() >= MaxKept)
                FDone.clear();
            Found = FDone.insert(Tel, ConvertStoredTel(Tel, FToday));
        }
        return *Found;
    }

private:
    static constexpr qsizetype MaxKept = 65536;
    QDate FToday;
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

// Each table is rewritten in one transaction, a row's numbers under a savepoint of their own: a
// row the table refuses keeps its old values.
void WalkHistory(TTable& Table, const QDateTime& Now, TTelCache& Cache, const TFixProgress& Progress)
{
    (void)Table.RewriteRows({QStringLiteral("Tel")},
                            {QStringLiteral("AxsDateTime"), QStringLiteral("SchTel"), QStringLiteral("Tel")},
                            [&](const QVariantList& Values, QVariantList& NewValues) {
                                if (Progress.Step)
                                    Progress.Step();
                                const QString Tel = Values[0].toString().trimmed();
                                const QString NewTel = Cache.Convert(Tel);
                                if (NewTel == Tel)
                                    return false;
                                NewValues << Now << DigitsOnly(NewTel) << NewTel;
                                return true;
                            });
}

void WalkDirectory(TTable& Table, const QDateTime& Now, TTelCache& Cache, const TFixProgress& Progress)
{
    (void)Table.RewriteRows({QStringLiteral("Tel1"), QStringLiteral("Tel2")},
                            {QStringLiteral("AxsDateTime"), QStringLiteral("SchTel1"), QStringLiteral("SchTel2"),
                             QStringLiteral("Tel1"), QStringLiteral("Tel2")},
                            [&](const QVariantList& Values, QVariantList& NewValues) {
                                if (Progress.Step)
                                    Progress.Step();
                                const QString Tel1 = Values[0].toString().trimmed();
                                // A row without its first number is left as the user keeps it, whatever its second
                                // holds.
                                if (Tel1.isEmpty())
                                    return false;
                                const QString Tel2 = Values[1].toString().trimmed();
                                const QString NewTel1 = Cache.Convert(Tel1);
                                const QString NewTel2 = Cache.Convert(Tel2);
                                if (NewTel1 == Tel1 && NewTel2 == Tel2)
                                    return false;
                                NewValues << Now << DigitsOnly(NewTel1) << DigitsOnly(NewTel2) << NewTel1 << NewTel2;
                                return true;
                            });
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
        TTelCache Cache(Now.date());
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

#include "utility/fixes/AdrsPosConvert.h"

#include "directory/dic/PosDicClass.h"
#include "main/common/CommonText.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"
#include "utility/fixes/AdrsConvLibs.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"
#include "utility/tables/TableSafety.h"

#include <memory>

namespace Utility {

namespace {

// The directory's field widths in bytes.
constexpr int TdfknWidth = 8;
constexpr int Adrs1Width = 32;
constexpr int Adrs2Width = 100;
constexpr int Adrs3Width = 116;
constexpr int Adrs2SplitBytes = 100;
constexpr int PosWidth = 7;
constexpr int JisCodeWidth = 5;

bool FitsFields(const TAdrsWork& Work)
{
    return Cp932Width(Work.Tdfkn) <= TdfknWidth && Cp932Width(Work.Adrs1) <= Adrs1Width &&
           Cp932Width(Work.Adrs2) <= Adrs2Width && Cp932Width(Work.Adrs3) <= Adrs3Width;
}

// The new prefecture, city part and rest; the rest goes around the kept Adrs3 or is split so that no
// field ends inside a character.
void TakeConverted(TAdrsWork& Work, const TCvtAdrsResult& Result, const QString& Overflow)
{
    Work.Tdfkn = Result.Tdfkn;
    Work.Adrs1 = Result.City;
    const QString Rest = Result.Rest + Overflow;
    if (!Work.Adrs3.isEmpty() && Rest.endsWith(Work.Adrs3, Qt::CaseInsensitive)) {
        Work.Adrs2 = Rest.left(Rest.size() - Work.Adrs3.size());
    } else {
        Work.Adrs2 = MbcsLeft(Rest, Adrs2SplitBytes);
        Work.Adrs3 = Rest.mid(Work.Adrs2.size());
    }
}

const QString FolderTooLong = QStringLiteral("変換データのフォルダー名が長すぎます  \r\n");

} // namespace

TAdrsOutcome ConvertAddress(TAdrsWork& Work, const QString& Folder, const TPostalCheck& IsCurrentPos)
{
    QString Address = Work.Tdfkn + Work.Adrs1 + Work.Adrs2 + Work.Adrs3;
    if (Address.isEmpty())
        return TAdrsOutcome::Unchanged;
    Address = ToFullWidth(Address);
    QString Overflow;
    if (Cp932Width(Address) > CvtAdrsMaxBytes) {
        const QString Head = MbcsLeft(Address, CvtAdrsMaxBytes);
        Overflow = Address.mid(Head.size());
        Address = Head;
    }
    TAdrsWork Result = Work;
    bool Changed = false;
    bool AddressConverted = false;
    std::int32_t Rc = 0;
    if (const auto In = MakeCvtAdrsIn(Address, Folder)) {
        TCvtAdrsOut Out;
        if (CallCvtAdrs(*In, Out, Rc)) {
            const TCvtAdrsResult Converted = ReadCvtAdrsOut(Out);
            TakeConverted(Result, Converted, Overflow);
            if (!FitsFields(Result))
                return TAdrsOutcome::TooLong;
            Address = Converted.Whole;
            Changed = AddressConverted = true;
        }
    }
    if (const auto In = MakeYAdrsToIn(Address, Folder)) {
        TYAdrsToOut Out;
        if (CallYAdrsTo(*In, Out, Rc)) {
            TYAdrsToResult Codes = ReadYAdrsToOut(Out);
            // A code wider than its field (bad bytes shown as substitutes) would be cut by the
            // table: it is no answer.
            if (Cp932Width(Codes.JisCode) > JisCodeWidth)
                Codes.JisCode = Result.JisCode;
            if (Cp932Width(Codes.Pos) > PosWidth)
                Codes.Pos.clear();
            if (AddressConverted)
                Result.JisCode = Codes.JisCode;
            // An empty answer is no suggestion: it never wipes a stored code.
            if (!Codes.Pos.isEmpty() && Codes.Pos != Result.Pos && !IsCurrentPos(Result.Pos)) {
                Result.Pos = Codes.Pos;
                Changed = true;
            }
        }
    }
    if (Changed)
        Work = Result;
    return Changed ? TAdrsOutcome::Changed : TAdrsOutcome::Unchanged;
}

bool IsCurrentPostalCode(TPosSearch& Search, const QString& Pos)
{
    if (Pos.size() != 7)
        return false;
    try {
        return Search.Search(Pos) == 0 && Search.CityCount() > 0 && Search.City(0).LargeCount > 0;
    } catch (const Exception&) {
        return false;
    }
}

namespace {

struct TLibrariesLoaded
{
    TLibrariesLoaded()
    {
        // A library that did not load makes its export report no conversion; the walk goes on.
        (void)LoadAddrmend(ProgramPath);
        (void)LoadPostmend(ProgramPath);
    }
    ~TLibrariesLoaded()
    {
        FreeAddrmend();
        FreePostmend();
    }
    TLibrariesLoaded(const TLibrariesLoaded&) = delete;
    TLibrariesLoaded& operator=(const TLibrariesLoaded&) = delete;
};

TAdrsWork ReadWork(TTable& Table)
{
    auto Text = [&Table](const char* Name) { return Table.FieldByName(QLatin1String(Name)).AsString(); };
    return {Text("Tdfkn"), Text("Adrs1"), Text("Adrs2"), Text("Adrs3"), Text("Pos"), Text("JisCode")};
}

// Writes one row under its own savepoint; a refused row keeps its old values.
bool PostWork(TTable& Table, const TAdrsWork& Work)
{
    const QString Point = QStringLiteral("AdrsRow");
    Table.Savepoint(Point);
    try {
        Table.Edit();
        Table.FieldByName(QStringLiteral("Tdfkn")).SetAsString(Work.Tdfkn);
        Table.FieldByName(QStringLiteral("Adrs1")).SetAsString(Work.Adrs1);
        Table.FieldByName(QStringLiteral("Adrs2")).SetAsString(Work.Adrs2);
        Table.FieldByName(QStringLiteral("Adrs3")).SetAsString(Work.Adrs3);
        Table.FieldByName(QStringLiteral("Pos")).SetAsString(Work.Pos);
        Table.FieldByName(QStringLiteral("JisCode")).SetAsString(Work.JisCode);
        Table.Post();
        Table.ReleaseSavepoint(Point);
        return true;
    } catch (const EDatabaseError&) {
        Table.RollbackToSavepoint(Point);
        return false;
    }
}

// Walks the open directory; answers the rows converted.
int WalkDirectory(TTable& Table, TPosSearch& Search, const QString& Folder, const TFixProgress& Progress)
{
    const TPostalCheck Check = [&Search](const QString& Pos) { return IsCurrentPostalCode(Search, Pos); };
    int Converted = 0;
    Table.SetIndexName({});
    TTableTransaction Transaction(Table);
    for (Table.First(); !Table.Eof(); Table.Next()) {
        TAdrsWork Work = ReadWork(Table);
        if (ConvertAddress(Work, Folder, Check) == TAdrsOutcome::Changed && PostWork(Table, Work))
            ++Converted;
        if (Progress.Step)
            Progress.Step();
    }
    Transaction.Commit();
    return Converted;
}

} // namespace

bool RunConvertAdrsPos(const TFixProgress& Progress)
{
    if (IsMainProgramRunning())
        return false;
    if (CoreMessageBox(
            QStringLiteral("登録されているデータの住所・郵便番号変換を行います  \r\n\r\n1996年4月から2012年10月までの"
                           "期間に、市区郡町村の合併・編入  \r\nなどにより変更された住所と郵便番号を一括変換します  "
                           "\r\n\r\n現在のデータ保存フォルダーの下に 「backup.cap」 \r\nフォルダーを作成し、そこに"
                           "変換前のファイルを保存します　  \r\n\r\nよろしいですか？　  "),
            ProductName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    const QString Folder = ProgramPath + QStringLiteral("AddConv/");
    // The libraries take the folder in a fixed field; a cut name would point them elsewhere.
    if (!ConversionFolderFits(Folder)) {
        (void)CoreMessageBox(FolderTooLong + Folder, ProductName, MB_OK | MB_ICONERROR);
        return false;
    }
    if (!SaveTablesBeforeChange(AdrsPosBackupFolder))
        return false;
    int Processed = 0;
    int Converted = 0;
    {
        if (Progress.Busy)
            Progress.Busy(true);
        TDMVxRelvo16 Module(DataPath, ProgramPath);
        Module.CreateMeiboTable();
        std::unique_ptr<TPosSearch> Search;
        QString Failure;
        {
            TTableUse Use(Module, TDataTable::Meibo);
            if (Use.Opened())
                Processed = MeiboTable->RecordCount();
            if (Progress.Start)
                Progress.Start(Processed);
            if (Processed > 0) {
                TLibrariesLoaded Libraries;
                try {
                    Search = std::make_unique<TPosSearch>(ProgramPath, ProgramPath + QStringLiteral("Dic/"));
                    Converted = WalkDirectory(*MeiboTable, *Search, Folder, Progress);
                } catch (const Exception& Error) {
                    Failure = Error.Message();
                }
                Search.reset();
            }
        }
        Module.FreeMeiboTable();
        if (Progress.Busy)
            Progress.Busy(false);
        if (!Failure.isEmpty()) {
            if (Progress.Reset)
                Progress.Reset();
            (void)CoreMessageBox(Failure, ProductName, MB_OK | MB_ICONERROR);
            return false;
        }
    }
    (void)CoreMessageBox(QStringLiteral("住所・郵便番号変換が終了しました  \r\n\r\n  処理件数 = %1\r\n  変換件数 = %2")
                             .arg(Processed)
                             .arg(Converted),
                         ProductName, MB_OK | MB_ICONINFORMATION);
    if (Progress.Reset)
        Progress.Reset();
    return true;
}

} // namespace Utility

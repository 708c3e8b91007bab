#include "utility/fernbook/FbConvert.h"

#include "main/common/CommonSys.h"
#include "main/common/ProductInfo.h"
#include "main/identify/AppSub.h"
#include "main/identify/DBInfoFb.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/CoreMessage.h"
#include "platform/msg/MessageBoxFlags.h"
#include "platform/sys/Folders.h"
#include "utility/fernbook/FbArea.h"
#include "utility/start/UtilFolders.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace Utility {

namespace {

constexpr int MaxRecNo = 99999;
constexpr int MaxRecords = 100000;

// Commits the run's records on every way out, so that what was posted before an error stays. A new
// book gets its indexes built once, by the commit.
class TCommitOnExit
{
public:
    explicit TCommitOnExit(TTable& Table) : FTable(Table)
    {
        FTable.StartTransaction();
        (void)FTable.DeferIndexes();
    }
    ~TCommitOnExit()
    {
        try {
            if (FTable.InTransaction())
                FTable.Commit();
        } catch (...) {
        }
    }
    TCommitOnExit(const TCommitOnExit&) = delete;
    TCommitOnExit& operator=(const TCommitOnExit&) = delete;

private:
    TTable& FTable;
};

// The time each record is stamped with, read off a steady clock from the run's start: the local
// time of day costs a look at the time zone each time it is asked.
class TRecordClock
{
public:
    TRecordClock() : FStart(DateTimeToDays(QDateTime::currentDateTime())) { FTimer.start(); }
    [[nodiscard]] double Now() const { return FStart + static_cast<double>(FTimer.elapsed()) / 86400000.0; }

private:
    double FStart;
    QElapsedTimer FTimer;
};

int LastRecNo(TTable& Adrs)
{
    if (Adrs.IsEmpty())
        return -1;
    Adrs.Last();
    return Adrs.FieldByName(QStringLiteral("RecNo")).AsInteger();
}

// The fields one record takes from the directory, looked up once a run: a look-up by name costs a
// hash of the name, and a name such as "Keyword3" a string built for it, some sixty times a record.
// A record starts blank (Append), so the fields the book leaves empty or zero (the group, the
// numbers no choice names, the joint names, the custom code, the keywords nothing fills...) are
// not set at all.
class TAdrsFill
{
public:
    TAdrsFill(TTable& Adrs, TTable& Meibo, const TFbConvertChoice& Choice)
    {
        const auto Of = [](TTable& Table, const QString& Name) { return &Table.FieldByName(Name); };
        const auto Latin = [](const char* Name) { return QString::fromLatin1(Name); };
        for (int I = 1; I <= 5; ++I)
            FTrue.push_back(Of(Adrs, QStringLiteral("JointPrint%1").arg(I)));
        FTrue.push_back(Of(Adrs, QStringLiteral("JointPrint")));
        if (Choice.Tel1Set >= 0 && Choice.Tel1Set < 4)
            Copy(Adrs, FbTelFields[static_cast<size_t>(Choice.Tel1Set)], Meibo, QStringLiteral("SchTel1"));
        if (Choice.Tel2Set >= 0 && Choice.Tel2Set < 4)
            Copy(Adrs, FbTelFields[static_cast<size_t>(Choice.Tel2Set)], Meibo, QStringLiteral("SchTel2"));
        for (const char* Field : {"Pos", "Tdfkn", "Adrs1", "Adrs2", "Adrs3", "JisCode", "KajoCode", "CorpKanji",
                                  "CorpKana", "NameKanji", "NameKana", "Note", "ExtFile"})
            Copy(Adrs, Latin(Field), Meibo, Latin(Field));
        Copy(Adrs, QStringLiteral("EMail1"), Meibo, QStringLiteral("EMail"));
        const std::pair<int, const char*> Keywords[] = {{Choice.Memo1, "Memo1"},
                                                        {Choice.Memo2, "Memo2"},
                                                        {Choice.Memo3, "Memo3"},
                                                        {Choice.Line1, "Msg1"},
                                                        {Choice.Line2, "Msg2"}};
        for (const auto& [Target, Field] : Keywords)
            if (Target >= 0 && Target <= 4)
                Copy(Adrs, QStringLiteral("Keyword%1").arg(Target + 1), Meibo, Latin(Field));
        if (Choice.Rank >= 0 && Choice.Rank <= 2)
            Copy(Adrs, QStringLiteral("Keyword%1").arg(Choice.Rank + 6), Meibo, QStringLiteral("Rank"));
        for (const char* Field : {"Latitude", "Longitude"})
            FNumbers.emplace_back(Of(Adrs, Latin(Field)), Of(Meibo, Latin(Field)));
        FPrivCorp = Of(Adrs, QStringLiteral("PrivCorp"));
        FCompanyMark = Of(Meibo, QStringLiteral("PrivCorp"));
        FIgnoreName = Of(Adrs, QStringLiteral("IgnoreName"));
        FUpdated = Of(Adrs, QStringLiteral("UpdDateTime"));
        FAdded = Of(Adrs, QStringLiteral("AddDateTime"));
        FSymbolColor = Of(Adrs, QStringLiteral("SymbolColor"));
        FBGColor = Of(Meibo, QStringLiteral("BGColor"));
    }

    void Fill(double Now) const
    {
        for (TField* Field : FTrue)
            Field->SetAsBoolean(true);
        for (const auto& [To, From] : FTexts)
            To->SetAsString(From->AsString());
        for (const auto& [To, From] : FNumbers)
            To->SetAsInteger(From->AsInteger());
        // The book marks a person true, as the program's own reader of the book expects; only the
        // directory's company mark "1" is a company there.
        FPrivCorp->SetAsBoolean(FCompanyMark->AsString() != QLatin1String("1"));
        FIgnoreName->SetAsBoolean(false);
        FUpdated->SetAsFloat(Now);
        FAdded->SetAsFloat(TruncToSeconds(Now));
        FSymbolColor->SetAsInteger(SymbolColorOf(FBGColor->AsString()));
    }

private:
    void Copy(TTable& Adrs, const QString& To, TTable& Meibo, const QString& From)
    {
        FTexts.emplace_back(&Adrs.FieldByName(To), &Meibo.FieldByName(From));
    }

    std::vector<TField*> FTrue;
    std::vector<std::pair<TField*, TField*>> FTexts;
    std::vector<std::pair<TField*, TField*>> FNumbers;
    TField* FPrivCorp = nullptr;
    TField* FCompanyMark = nullptr;
    TField* FIgnoreName = nullptr;
    TField* FUpdated = nullptr;
    TField* FAdded = nullptr;
    TField* FSymbolColor = nullptr;
    TField* FBGColor = nullptr;
};

// Walks the directory into the book; answers the records converted.
int CopyRecords(TTable& Meibo, TTable& Adrs, const TFbConvertChoice& Choice, const std::function<void()>& Step)
{
    int Count = Adrs.RecordCount();
    const int Last = LastRecNo(Adrs);
    int Next = Last < 0 ? 0 : Last + 1;
    int Converted = 0;
    TCommitOnExit Transaction(Adrs);
    const TAdrsFill Fill(Adrs, Meibo, Choice);
    const TRecordClock Clock;
    for (Meibo.First(); !Meibo.Eof(); Meibo.Next()) {
        if (Next > MaxRecNo) {
            (void)CoreMessageBox(Count < MaxRecords ? FbCounterFullText : FbBookFullText, ProductName,
                                 MB_OK | MB_ICONINFORMATION);
            break;
        }
        const QString Savepoint = QStringLiteral("record");
        try {
            Adrs.Savepoint(Savepoint);
            Adrs.Append();
            Fill.Fill(Clock.Now());
            Adrs.Post();
            Adrs.ReleaseSavepoint(Savepoint);
        } catch (const std::exception&) {
            // A record the book refuses is left out; the walk goes on with the next.
            try {
                Adrs.Cancel();
                Adrs.RollbackToSavepoint(Savepoint);
                Adrs.ReleaseSavepoint(Savepoint);
            } catch (...) {
            }
            continue;
        }
        ++Next;
        ++Count;
        ++Converted;
        Step();
    }
    return Converted;
}

// Puts the rank items at the top of the keyword list in the rank list's own order; answers the items.
int MergeRanks(THistoryData& Ranks, THistoryData& Keywords, const std::function<void()>& Step)
{
    int Merged = 0;
    for (int I = Ranks.Count() - 1; I >= 0; --I) {
        const QString Item = Ranks.GetText(I);
        const int At = Keywords.IndexOf(Item);
        if (At != 0) {
            if (At > 0)
                Keywords.Delete(At);
            Keywords.Insert(0, Item, 0);
        }
        ++Merged;
        Step();
    }
    return Merged;
}

} // namespace

TFbConvertChoice ReadFbConvertChoice()
{
    const TSettings Saved = Settings;
    ReadFbAdrs(TMemIniFile(SettingsFileName()));
    TFbConvertChoice Choice;
    Choice.Memo1 = Settings.Memo1;
    Choice.Memo2 = Settings.Memo2;
    Choice.Memo3 = Settings.Memo3;
    Choice.Line1 = Settings.Line1;
    Choice.Line2 = Settings.Line2;
    Choice.Rank = Settings.Rank;
    Settings = Saved;
    return Choice;
}

int SymbolColorOf(const QString& BGColor)
{
    const QString Value = BGColor.trimmed();
    bool Ok = false;
    const int Color =
        Value.startsWith(QLatin1Char('$')) ? static_cast<int>(Value.mid(1).toUInt(&Ok, 16)) : Value.toInt(&Ok, 10);
    // A colour that is no number leaves the record without a symbol colour rather than ending the run.
    return Ok ? Color : 0;
}

void FillAdrsRecord(TTable& Adrs, TTable& Meibo, const TFbConvertChoice& Choice, double Now)
{
    TAdrsFill(Adrs, Meibo, Choice).Fill(Now);
}

TFbConvertCounts ConvertToFernbook(TDMVxRelvo16& Module, const QString& BookFolder, const TFbConvertChoice& Choice,
                                   const TFbProgress& Progress)
{
    TFbConvertCounts Counts;
    TDMFbarea Area(Choice.Edition);
    Module.CreateMeiboTable();
    Module.CreateRankHistory();
    int Total = 0;
    {
        TTableUse Use(Module, TDataTable::Meibo);
        if (Use.Opened())
            Total += MeiboTable->RecordCount();
    }
    try {
        if (Module.LoadRankHistory())
            Total += RankHistory->Count();
    } catch (const std::exception&) {
    }
    Module.ClearRankHistory();
    if (Total == 0)
        return Counts;
    int Position = 0;
    if (Progress)
        Progress(0, Total);
    const auto Step = [&] {
        if (Progress)
            Progress(++Position, Total);
    };

    Area.PrepareAdrsTable(BookFolder);
    if (!Area.OpenAdrsTable())
        return Counts;
    {
        TTableUse Use(Module, TDataTable::Meibo);
        if (Use.Opened() && !MeiboTable->IsEmpty()) {
            MeiboTable->SetIndexName({});
            // The walk reads the directory a batch of rows a query, all under the one read lock;
            // the book is another connection, so its writes keep what was read ahead valid.
            const TTableReading Reading(*MeiboTable);
            const TTableReadAhead ReadAhead(*MeiboTable);
            Counts.Records = CopyRecords(*MeiboTable, *Area.AdrsTable(), Choice, Step);
        }
    }
    Area.CloseAdrsTable();

    (void)CreateOwnerOnlyFolder(KeywordPath);
    Area.PrepareKeywords();
    if (!Area.OpenKeywords())
        return Counts;
    try {
        if (Module.LoadRankHistory() && RankHistory->Count() > 0 && Choice.Rank >= 0 && Choice.Rank <= 2) {
            THistoryData& Keywords = *Area.Keyword(Choice.Rank);
            Counts.Ranks = MergeRanks(*RankHistory, Keywords, Step);
            if (Counts.Ranks > 0)
                (void)Keywords.Save();
        }
    } catch (const std::exception&) {
    }
    Module.ClearRankHistory();
    Area.CloseKeywords();
    Area.FreeKeywords();
    return Counts;
}

bool BackupFernbookBook(const QString& BookFolder, const QString& DataPath,
                        const std::function<bool(int Done, int Total)>& Progress)
{
    if (BookFolder.isEmpty() || !QFileInfo(BookFolder).isDir())
        return false;
    return BackupBookFolder(BookFolder, IncludeTrailingDelimiter(DataPath) + FbBackupFolderName + QLatin1Char('/'),
                            Progress);
}

std::array<QString, FbSeriesCount> FindFernbookFolders()
{
    std::array<QString, FbSeriesCount> Found;
    for (int Edition = 0; Edition < FbSeriesCount; ++Edition) {
        const QString Folder = FindFbSettingsFolder(FbProgramNames[static_cast<size_t>(Edition)]);
        const QString Data = Folder.isEmpty() ? QString() : ReadFbDataPath(Edition, Folder);
        Found[static_cast<size_t>(Edition)] = Data.isEmpty() ? NotFoundText : Data;
    }
    return Found;
}

bool IsFernbookRunning(int Edition)
{
    if (!IsProgramRunning(FbInstanceName(Edition)))
        return false;
    const QString& Name = FbEditionNames[Edition == 1 ? 1 : 0];
    (void)CoreMessageBox(QStringLiteral("「%1」が動作中です  \r\n「%1」を終了してから実行してください  ").arg(Name),
                         ProductName, MB_OK | MB_ICONWARNING);
    return true;
}

TDataPathSwitch::TDataPathSwitch(const QString& Folder) : FSaved(DataPath)
{
    DataPath = IncludeTrailingDelimiter(Folder);
}

TDataPathSwitch::~TDataPathSwitch()
{
    DataPath = FSaved;
}

} // namespace Utility

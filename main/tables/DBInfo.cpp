#include "main/tables/DBInfo.h"

#include "main/common/ProductInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/Folders.h"
#include "platform/sys/SafeWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QtDebug>

TDMVxRelvo16* DMVxRelvo16 = nullptr;
TTable* RecvHisTable = nullptr;
TTable* MeiboTable = nullptr;
THistoryData* RankHistory = nullptr;
std::array<THistoryData*, 3> SelItemHistory = {nullptr, nullptr, nullptr};

namespace {

constexpr int RankItemBytes = 20;
constexpr int SelItemBytes = 60;

TFieldDef Int(const char* Name)
{
    return {QString::fromLatin1(Name), TFieldType::Integer, 0};
}

TFieldDef Str(const char* Name, int Size)
{
    return {QString::fromLatin1(Name), TFieldType::String, Size};
}

TFieldDef Time(const char* Name)
{
    return {QString::fromLatin1(Name), TFieldType::DateTime, 0};
}

TIndexDef Primary(const char* Fields)
{
    return {QString(), QString::fromLatin1(Fields), true, true, false};
}

TIndexDef Plain(const char* Name, const char* Fields)
{
    return {QString::fromLatin1(Name), QString::fromLatin1(Fields), false, false, false};
}

TIndexDef NoCase(const char* Name, const char* Fields)
{
    return {QString::fromLatin1(Name), QString::fromLatin1(Fields), false, false, true};
}

QString SelItemFileName(int Index)
{
    return QStringLiteral("SelItem%1.mtd").arg(Index + 1);
}

void CheckSelItemIndex(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(SelItemHistory.size()))
        throw ERangeError(QStringLiteral("Index %1 is outside the select-item lists").arg(Index));
}

} // namespace

TTableDef RecvHisTableDef()
{
    return {{Int("RecNo"), Time("AxsDateTime"), Time("RecvDateTime"), Int("RecvWeek"), Str("SchTel", 11),
             Str("Tel", 13), Str("CorpKana", 80), Str("CorpKanji", 120), Str("NameKana", 25), Str("NameKanji", 30),
             Str("Division", 1), Str("Rank", 20), Str("SelItem1", 60), Str("SelItem2", 60), Str("SelItem3", 60)},
            {Primary("RecNo"), Plain("AxsDateTime", "AxsDateTime"), Plain("RecvDateTime", "RecvDateTime"),
             Plain("SchTel", "SchTel"), NoCase("CorpKana", "CorpKana"), NoCase("CorpKanji", "CorpKanji"),
             NoCase("NameKana", "NameKana"), NoCase("NameKanji", "NameKanji")}};
}

TTableDef MeiboTableDef()
{
    return {{Int("RecNo"),
             Time("AxsDateTime"),
             Str("SchTel1", 11),
             Str("SchTel2", 11),
             Str("Tel1", 13),
             Str("Tel2", 13),
             Str("Pos", 7),
             Str("Tdfkn", 8),
             Str("Adrs1", 32),
             Str("Adrs2", 100),
             Str("Adrs3", 116),
             Str("JisCode", 5),
             Str("KajoCode", 6),
             Str("CorpKana", 80),
             Str("CorpKanji", 120),
             Str("NameKana", 25),
             Str("NameKanji", 30),
             Str("PrivCorp", 1),
             Str("Memo1", 100),
             Str("Memo2", 100),
             Str("Memo3", 100),
             Str("EMail", 64),
             Str("Rank", 20),
             Int("Latitude"),
             Int("Longitude"),
             Int("Msg"),
             Str("Msg1", 32),
             Str("Msg2", 32),
             Str("BGColor", 7),
             {QStringLiteral("ExtFile"), TFieldType::Memo, 100},
             {QStringLiteral("Note"), TFieldType::Memo, 100},
             Time("AddDateTime"),
             Time("UpdDateTime")},
            {Primary("RecNo"), Plain("AxsDateTime", "AxsDateTime"), Plain("SchTel1", "SchTel1"),
             Plain("SchTel2", "SchTel2"), NoCase("Adrs", "JisCode;Adrs2;Adrs3"), NoCase("CorpKana", "CorpKana"),
             NoCase("CorpKanji", "CorpKanji"), NoCase("NameKana", "NameKana"), NoCase("NameKanji", "NameKanji")}};
}

TDMVxRelvo16::TDMVxRelvo16(const QString& DataPath, const QString& ProgramFolder, TModuleReach Reach)
    : FReach(Reach), FDataPath(IncludeTrailingDelimiter(DataPath)), FProgramFolder(IncludeTrailingDelimiter(ProgramFolder))
{
    DefaultSession().AddPassword(MasterPassword);
}

TDMVxRelvo16::~TDMVxRelvo16()
{
    // The tables belong to the module and go with it; the pick lists are freed by their owner.
    FreeMeiboTable();
    FreeRecvHisTable();
    FreeRankHistory();
    for (int I = 0; I < static_cast<int>(FSelItems.size()); ++I)
        FreeSelItemHistory(I);
    DefaultSession().RemovePassword(MasterPassword);
}

template <class T> void TDMVxRelvo16::Reach(T*& Global, T* Old, T* New) const
{
    // Another module's object stays where it is: only this module's own is replaced or let go.
    if (FReach == TModuleReach::ProgramWide && (New || Global == Old))
        Global = New;
}

THistoryData* TDMVxRelvo16::SelItem(int Index) const
{
    CheckSelItemIndex(Index);
    return FSelItems[Index].get();
}

void TDMVxRelvo16::SetDataPath(const QString& DataPath)
{
    FDataPath = IncludeTrailingDelimiter(DataPath);
}

TTable* TDMVxRelvo16::NewTable(const QString& FileName) const
{
    auto* Table = new TTable(DefaultSession());
    Table->SetDatabaseName(FDataPath);
    Table->SetTableName(FileName);
    return Table;
}

void TDMVxRelvo16::CreateRecvHisTable()
{
    FreeRecvHisTable();
    FRecvHis.reset(NewTable(RecvHisFileName));
    Reach(RecvHisTable, static_cast<TTable*>(nullptr), FRecvHis.get());
}

void TDMVxRelvo16::CreateMeiboTable()
{
    FreeMeiboTable();
    FMeibo.reset(NewTable(MeiboFileName));
    Reach(MeiboTable, static_cast<TTable*>(nullptr), FMeibo.get());
}

void TDMVxRelvo16::CreateRecvHisTableExclusive()
{
    CreateRecvHisTable();
    FRecvHis->SetExclusive(true);
}

void TDMVxRelvo16::CreateMeiboTableExclusive()
{
    CreateMeiboTable();
    FMeibo->SetExclusive(true);
}

bool TDMVxRelvo16::CountedOpen(TTable* Table, int& Count, const TTableDef& Def, const QString& FailText)
{
    ++Count;
    FLastOpenBusy = false;
    FLastOpenCode = 0;
    // An inactive table is opened whatever the count says: an earlier open may have failed while
    // another window still holds its count.
    if (Table && Table->Active())
        return true;
    try {
        if (!Table)
            throw EDatabaseError(QStringLiteral("The table object does not exist"));
        // The new file carries the master password from the start, so it is never seen unprotected.
        if (!Table->Exists())
            Table->CreateTable(Def, MasterPassword);
        Table->Open();
        return true;
    } catch (const std::exception& Error) {
        qWarning().noquote() << FailText.trimmed() << Error.what();
        const auto* TableError = dynamic_cast<const EDatabaseError*>(&Error);
        FLastOpenBusy = TableError && TableError->Busy();
        FLastOpenCode = TableError ? TableError->Code() : 0;
        if (QuietOnFailure) {
            if (!FQuietFailures.contains(FailText))
                FQuietFailures.append(FailText);
        } else if (!(FLastOpenBusy && QuietWhenBusy)) {
            (void)CoreMessageBox(FailText, ProductName, MB_OK | MB_ICONSTOP);
        }
        return false;
    }
}

void TDMVxRelvo16::CountedClose(TTable* Table, int& Count)
{
    if (Count > 0)
        --Count;
    if (Count == 0 && Table && Table->Active())
        Table->Close();
}

bool TDMVxRelvo16::OpenRecvHis()
{
    return CountedOpen(FRecvHis.get(), FRecvHisOpenCount, RecvHisTableDef(), RecvHisOpenError);
}

bool TDMVxRelvo16::OpenMeibo()
{
    return CountedOpen(FMeibo.get(), FMeiboOpenCount, MeiboTableDef(), MeiboOpenError);
}

void TDMVxRelvo16::CloseRecvHis()
{
    CountedClose(FRecvHis.get(), FRecvHisOpenCount);
}

void TDMVxRelvo16::CloseMeibo()
{
    CountedClose(FMeibo.get(), FMeiboOpenCount);
}

bool TDMVxRelvo16::Open(TDataTable Table)
{
    return Table == TDataTable::RecvHis ? OpenRecvHis() : OpenMeibo();
}

void TDMVxRelvo16::Close(TDataTable Table)
{
    Table == TDataTable::RecvHis ? CloseRecvHis() : CloseMeibo();
}

void TDMVxRelvo16::FreeRecvHisTable()
{
    Reach(RecvHisTable, FRecvHis.get(), static_cast<TTable*>(nullptr));
    FRecvHis.reset(); // closes an open table
    FRecvHisOpenCount = 0;
}

void TDMVxRelvo16::FreeMeiboTable()
{
    Reach(MeiboTable, FMeibo.get(), static_cast<TTable*>(nullptr));
    FMeibo.reset();
    FMeiboOpenCount = 0;
}

std::unique_ptr<THistoryData> TDMVxRelvo16::NewRankHistory() const
{
    const QString FileName = FDataPath + QStringLiteral("Rank.mtd");
    // A new data folder starts with the rank list that ships with the program; a failed copy
    // leaves the list empty.
    if (!QFileInfo::exists(FileName))
        (void)CopyFileOwnerOnly(FProgramFolder + QStringLiteral("Common/History/Rank.mtd"), FileName);
    // A save that a kill cut short left its temporary file beside the list.
    RemoveSafeWriteTemporaries(FileName);
    return std::make_unique<THistoryData>(FileName, true, RankItemBytes);
}

std::unique_ptr<THistoryData> TDMVxRelvo16::NewSelItemHistory(int Index) const
{
    CheckSelItemIndex(Index);
    RemoveSafeWriteTemporaries(FDataPath + SelItemFileName(Index));
    return std::make_unique<THistoryData>(FDataPath + SelItemFileName(Index), true, SelItemBytes);
}

void TDMVxRelvo16::CreateRankHistory()
{
    PutRank(NewRankHistory());
}

void TDMVxRelvo16::CreateSelItemHistory(int Index)
{
    PutSelItem(Index, NewSelItemHistory(Index));
}

bool TDMVxRelvo16::LoadRankHistory()
{
    return FRank && FRank->Load();
}

bool TDMVxRelvo16::LoadSelItemHistory(int Index)
{
    CheckSelItemIndex(Index);
    return FSelItems[Index] && FSelItems[Index]->Load();
}

void TDMVxRelvo16::ClearRankHistory()
{
    if (FRank)
        FRank->FreeItems();
}

void TDMVxRelvo16::ClearSelItemHistory(int Index)
{
    CheckSelItemIndex(Index);
    if (FSelItems[Index])
        FSelItems[Index]->FreeItems();
}

void TDMVxRelvo16::FreeRankHistory()
{
    PutRank(nullptr);
}

void TDMVxRelvo16::PutRank(std::unique_ptr<THistoryData> List)
{
    Reach(RankHistory, FRank.get(), List.get());
    FRank = std::move(List);
}

void TDMVxRelvo16::PutSelItem(int Index, std::unique_ptr<THistoryData> List)
{
    Reach(SelItemHistory[Index], FSelItems[Index].get(), List.get());
    FSelItems[Index] = std::move(List);
}

void TDMVxRelvo16::FreeSelItemHistory(int Index)
{
    CheckSelItemIndex(Index);
    PutSelItem(Index, nullptr);
}

void TDMVxRelvo16::ChangeDataPath(const QString& DataPath)
{
    // The new folder's lists are read before anything of the old folder is let go, so that a
    // damaged one leaves the tables and lists where they were.
    const QString OldPath = FDataPath;
    std::unique_ptr<THistoryData> Rank;
    std::array<std::unique_ptr<THistoryData>, 3> SelItems;
    SetDataPath(DataPath);
    try {
        Rank = NewRankHistory();
        for (int I = 0; I < 3; ++I)
            SelItems[I] = NewSelItemHistory(I);
        (void)Rank->Load();
        for (int I = 0; I < 3; ++I)
            (void)SelItems[I]->Load();
    } catch (...) {
        SetDataPath(OldPath);
        throw;
    }

    for (int I = 0; I < 3; ++I)
        ClearSelItemHistory(I);
    ClearRankHistory();
    FreeRecvHisTable();
    CreateRecvHisTable();
    FreeMeiboTable();
    CreateMeiboTable();
    PutRank(std::move(Rank));
    for (int I = 0; I < 3; ++I)
        PutSelItem(I, std::move(SelItems[I]));
}

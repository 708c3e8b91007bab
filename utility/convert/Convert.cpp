#include "utility/convert/Convert.h"

#include "main/common/CommonText.h"
#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "main/identify/AppSub.h"
#include "main/settings/IPPBXIni.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/Folders.h"
#include "platform/sys/SafeWrite.h"
#include "platform/text/Cp932.h"
#include "utility/convert/ConvertFrame.h"
#include "utility/convert/KnownNumbers.h"
#include "utility/convert/OlderData.h"
#include "utility/convert/OlderRules.h"
#include "utility/start/UtilFolders.h"

#include <QFile>
#include <algorithm>
#include <memory>
#include <vector>

namespace Utility {

std::array<int, 6> ConvertCounts{};

namespace {

// Runs its action when it goes out of scope, whatever the way out.
template <typename F> class TFinally
{
public:
    explicit TFinally(F Action) : FAction(std::move(Action)) {}
    ~TFinally() { FAction(); }
    TFinally(const TFinally&) = delete;
    TFinally& operator=(const TFinally&) = delete;

private:
    F FAction;
};

// Text fields a row copies under their own names. Each is found by its name in both tables once,
// at the first row, and read and written by its place for every row after.
class TTextCopy
{
public:
    TTextCopy(std::initializer_list<const char*> Names) : FNames(Names) {}
    void Copy(TTable& Dest, TParadoxTable& Source)
    {
        // The tables of one run stay open from its first row to its last.
        if (&Dest != FDest || &Source != FSource) {
            std::vector<std::pair<int, TField*>> Fields;
            for (const char* Name : FNames) {
                const QString Field = QString::fromLatin1(Name);
                Fields.emplace_back(Source.FieldIndex(Field), &Dest.FieldByName(Field));
            }
            FFields = std::move(Fields);
            FDest = &Dest;
            FSource = &Source;
        }
        for (const auto& [From, To] : FFields)
            To->SetAsString(Source.FieldAt(From).AsString());
    }

private:
    std::vector<const char*> FNames;
    TTable* FDest = nullptr;
    TParadoxTable* FSource = nullptr;
    std::vector<std::pair<int, TField*>> FFields;
};

void FillHistoryRow(TTable& Dest, TParadoxTable& Source, double Now, TTextCopy& Texts)
{
    Dest.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Now);
    Dest.FieldByName(QStringLiteral("RecvDateTime"))
        .SetAsFloat(Source.FieldByName(QStringLiteral("RecvDateTime")).AsFloat());
    Dest.FieldByName(QStringLiteral("RecvWeek"))
        .SetAsInteger(Source.FieldByName(QStringLiteral("RecvWeek")).AsInteger());
    Texts.Copy(Dest, Source);
    SetText(Dest, "Division", NormalDivision(SourceText(Source, "Division")));
}

void FillDirectoryRow(TTable& Dest, TParadoxTable& Source, int Version, double Now, TTextCopy& Texts,
                      TTextCopy& Version15Texts)
{
    Dest.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Now);
    Texts.Copy(Dest, Source);
    // The earlier versions kept the whole rest of the address in Adrs2; version 16 holds 100 bytes
    // there and the rest in Adrs3.
    const TAddressRest Address = SplitAddressRest(SourceText(Source, "Adrs2"));
    SetText(Dest, "Adrs2", Address.Adrs2);
    SetText(Dest, "Adrs3", Address.Adrs3);
    Dest.FieldByName(QStringLiteral("Latitude"))
        .SetAsInteger(Source.FieldByName(QStringLiteral("Latitude")).AsInteger());
    Dest.FieldByName(QStringLiteral("Longitude"))
        .SetAsInteger(Source.FieldByName(QStringLiteral("Longitude")).AsInteger());
    SetNewEntryDefaults(Dest, Now);
    if (Version == 15) {
        Dest.FieldByName(QStringLiteral("Msg")).SetAsInteger(Source.FieldByName(QStringLiteral("Msg")).AsInteger());
        Version15Texts.Copy(Dest, Source);
    }
}

QStringList ListTexts(const THistoryData& List)
{
    QStringList Texts;
    for (int I = 0; I < List.Count(); ++I)
        Texts.append(List.GetText(I));
    return Texts;
}

// The values of a select-item table as a pick list, newest on top: the rows are read in the order
// of the version's index (its last-use stamp; the file's order where it has none), and the row read
// last is the one used last.
QStringList SelItemTableTexts(TParadoxTable& Table, const TOlderLayout& Layout)
{
    struct TItem
    {
        QVariant Key;
        QString Text;
    };
    QList<TItem> Items;
    for (Table.First(); !Table.Eof(); Table.Next())
        Items.append({Layout.SelItemOrder.isEmpty() ? QVariant() : Table.FieldByName(Layout.SelItemOrder).Value(),
                      TrimBlanks(Table.FieldByName(Layout.SelItemField).AsString())});
    // An empty stamp sorts first, as the index kept it; equal stamps stay in the file's order.
    std::stable_sort(Items.begin(), Items.end(), [](const TItem& A, const TItem& B) {
        if (!A.Key.isValid() || !B.Key.isValid())
            return !A.Key.isValid() && B.Key.isValid();
        return QVariant::compare(A.Key, B.Key) == QPartialOrdering::Less;
    });
    QStringList Texts;
    for (auto It = Items.crbegin(); It != Items.crend(); ++It)
        Texts.append(It->Text);
    return Texts;
}

} // namespace

TConversionModule::TConversionModule(const QString& DataFolder)
    : FModule(std::make_unique<TDMVxRelvo16>(DataFolder, ProgramPath)), FWas(DMVxRelvo16)
{
    FModule->SetDataPath(DataFolder);
    DMVxRelvo16 = FModule.get();
}

TConversionModule::~TConversionModule()
{
    DMVxRelvo16 = FWas;
}

TRowPoster::TRowPoster(TTable& Table, const QStringList& LookUps) : FTable(Table)
{
    FTable.SetIndexName(QString());
    FCount = FTable.RecordCount();
    FTable.Last();
    FNext = FTable.IsEmpty() ? 0 : FTable.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
    FTable.StartTransaction();
    (void)FTable.DeferIndexes(LookUps);
}

TRowPoster::~TRowPoster()
{
    // What was posted stays, whatever ended the run.
    try {
        if (FTable.InTransaction())
            FTable.Commit();
    } catch (...) {
    }
}

bool TRowPoster::RoomForMore()
{
    if (FNext <= HighestRecNo)
        return true;
    (void)CoreMessageBox(FCount > HighestRecNo ? TableFullMessage : CounterFullMessage, ProductName,
                         MB_OK | MB_ICONINFORMATION);
    return false;
}

bool TRowPoster::Post(const std::function<void(TTable&)>& Fill)
{
    // A row is one insert, which SQLite makes whole or undoes whole: a refused row leaves nothing
    // without a savepoint of its own.
    try {
        FTable.Append();
        FTable.FieldByName(QStringLiteral("RecNo")).SetAsInteger(FNext);
        Fill(FTable);
        FTable.Post();
    } catch (const Exception&) {
        if (FTable.State() == TDataSetState::Insert || FTable.State() == TDataSetState::Edit)
            FTable.Cancel();
        // A failure that cost the whole transaction (a full disk, an I/O error) ends the run.
        if (!FTable.InTransaction())
            throw;
        return false;
    }
    ++FNext;
    ++FCount;
    return true;
}

void MergePickList(const QStringList& Source, THistoryData& Dest, int& Counter, const std::function<void()>& Step)
{
    for (qsizetype I = Source.size() - 1; I >= 0; --I) {
        const QString& Text = Source[I];
        const int At = Dest.IndexOf(Text);
        if (At != 0) {
            if (At > 0)
                Dest.Delete(At);
            Dest.Insert(0, Text, 0);
        }
        ++Counter;
        Step();
    }
    if (Counter > 0)
        (void)Dest.Save();
}

void CarryOverAdapterSettings(int Version)
{
    const TOlderAdapterSetting Setting = OlderAdapterSettings.at(static_cast<size_t>(15 - Version));
    // The library's version first: when it cannot be read, nothing of the hand-over is written.
    std::int32_t LibraryVersion = 0;
    {
        std::unique_ptr<TVxCommDLL> Library = TVxCommDLL::Create(nullptr, Setting.IPPBX ? 1 : 0, ProgramPath);
        if (!Library)
            throw EConvertAborted();
        LibraryVersion = Library->GetVersion();
    }
    TMemIniFile Ini(SettingsFileName());
    const QString Common = QStringLiteral("COMMON");
    Ini.WriteBool(Common, QStringLiteral("IPPBX"), Setting.IPPBX);
    if (Version >= 13) {
        const QString Folder = FindIgnoringCase(GetCommonAppDataFolder() + QStringLiteral("Pelmar/"),
                                                QStringLiteral("VxRelvo") + QString::number(Version));
        const QString From = Folder.isEmpty() ? QString() : FindIgnoringCase(Folder + u'/', IPPBXIniName);
        QFile File(From);
        // It holds the extension's password: only its owner may read the copy.
        if (!From.isEmpty() && File.open(QIODevice::ReadOnly))
            (void)WriteFileSafely(SettingsPath + IPPBXIniName, File.readAll(), TFileAccess::OwnerOnly);
    }
    Ini.WriteInteger(Common, QStringLiteral("Adapter"), Setting.Adapter);
    Ini.WriteString(Common, QStringLiteral("Port"), Setting.Port);
    Ini.WriteString(QStringLiteral("VERSION"), QStringLiteral("DLL"),
                    QString::number(static_cast<quint32>(LibraryVersion)));
    (void)Ini.UpdateFile();
}

QString SourceText(TParadoxTable& Source, const char* Name)
{
    return Source.FieldByName(QString::fromLatin1(Name)).AsString();
}

void SetText(TTable& Dest, const char* Name, const QString& Value)
{
    Dest.FieldByName(QString::fromLatin1(Name)).SetAsString(Value);
}

void SetNewEntryDefaults(TTable& Row, double Now)
{
    Row.FieldByName(QStringLiteral("Msg")).SetAsInteger(0);
    for (const char* Name : {"Msg1", "Msg2", "ExtFile", "Note"})
        SetText(Row, Name, QString());
    SetText(Row, "BGColor", QStringLiteral("$D8E9EC"));
    TField& Updated = Row.FieldByName(QStringLiteral("UpdDateTime"));
    Updated.SetAsFloat(Now);
    Row.FieldByName(QStringLiteral("AddDateTime")).SetAsFloat(TruncToSeconds(Updated.AsFloat()));
}

namespace {

bool IsOpen(const std::unique_ptr<TParadoxTable>& Table)
{
    return Table && Table->Active();
}

} // namespace

void RunConversion(TDMVxRelvoOlder& Older, const QString& SourceFolder, TConvertProgress& Progress,
                   const TConvertRules& Rules)
{
    TDMVxRelvo16& Dest = *DMVxRelvo16;
    const bool Tables = OlderLayout(Older.Version()).SelItemTables;
    const bool Ranks = OlderLayout(Older.Version()).RankList;

    // Count what there is to copy. The history and the directory stay open for their steps: an open
    // reads and checks every block of the file and builds the directory's look-ups over every row.
    TFinally CloseSources([&Older] {
        Older.CloseMeiboTable();
        Older.CloseRecvHisTable();
    });
    int Total = 0;
    if (Older.OpenRecvHisTable(SourceFolder))
        Total += Older.SourceRecvHisTable->RecordCount();
    if (Older.OpenMeiboTable(SourceFolder))
        Total += Older.SourceMeiboTable->RecordCount();
    for (int I = 0; I < 3; ++I) {
        const auto At = static_cast<size_t>(I);
        if (Tables && Older.OpenSelItemTable(I, SourceFolder))
            Total += Older.SourceSelItemTables[At]->RecordCount();
        if (!Tables && Older.OpenSelItemList(I, SourceFolder))
            Total += Older.SourceSelItemLists[At]->Count();
        Older.CloseSelItemTable(I);
        Older.CloseSelItemList(I);
    }
    if (Ranks && Older.OpenRankList(SourceFolder))
        Total += Older.SourceRankList->Count();
    Older.CloseRankList();
    if (Total == 0)
        return;

    Progress.Start(Total);
    TFinally Finish([&Progress] { Progress.Finish(); });
    const auto Step = [&Progress] { Progress.Step(); };
    const double Now = DateTimeToDays(QDateTime::currentDateTime());

    {
        Dest.CreateRecvHisTable();
        TFinally Release([&Dest, &Older] {
            Older.CloseRecvHisTable();
            Dest.CloseRecvHis();
            Dest.FreeRecvHisTable();
        });
        if (Dest.OpenRecvHis() && (IsOpen(Older.SourceRecvHisTable) || Older.OpenRecvHisTable(SourceFolder))) {
            TParadoxTable* Directory = nullptr;
            if (Rules.HistoryLooksUpDirectory && (IsOpen(Older.SourceMeiboTable) || Older.OpenMeiboTable(SourceFolder)))
                Directory = Older.SourceMeiboTable.get();
            TParadoxTable& Source = *Older.SourceRecvHisTable;
            if (!Source.IsEmpty()) {
                TRowPoster Poster(*RecvHisTable);
                for (Source.First(); !Source.Eof() && Poster.RoomForMore(); Source.Next())
                    if (Poster.Post([&](TTable& Row) { Rules.FillHistoryRow(Row, Source, Directory, Now); })) {
                        ++ConvertCounts[0];
                        Step();
                    }
            }
        }
    }

    // Directory, without the numbers it already knows.
    {
        Dest.CreateMeiboTable();
        TFinally Release([&Dest, &Older] {
            Older.CloseMeiboTable();
            Dest.CloseMeibo();
            Dest.FreeMeiboTable();
        });
        if (Dest.OpenMeibo() && (IsOpen(Older.SourceMeiboTable) || Older.OpenMeiboTable(SourceFolder)) &&
            !Older.SourceMeiboTable->IsEmpty()) {
            TParadoxTable& Source = *Older.SourceMeiboTable;
            // Into an empty directory the numbers are known in memory, and every index waits.
            TKnownNumbers Known(*MeiboTable);
            TRowPoster Poster(*MeiboTable);
            for (Source.First(); !Source.Eof(); Source.Next()) {
                if (Rules.IsKnownEntry(Known, Source))
                    continue;
                if (!Poster.RoomForMore())
                    break;
                if (Poster.Post([&](TTable& Row) { Rules.FillDirectoryRow(Row, Source, Now); })) {
                    Known.Add(*MeiboTable);
                    ++ConvertCounts[1];
                    Step();
                }
            }
        }
    }

    // Select items and ranks, the source's entries on top.
    for (int I = 0; I < 3; ++I) {
        const auto At = static_cast<size_t>(I);
        Dest.CreateSelItemHistory(I);
        TFinally Release([&Dest, &Older, I] {
            Older.CloseSelItemTable(I);
            Older.CloseSelItemList(I);
            Dest.ClearSelItemHistory(I);
            Dest.FreeSelItemHistory(I);
        });
        // A destination list that cannot be read is left alone rather than replaced by the source's.
        if (!Dest.LoadSelItemHistory(I))
            continue;
        if (Tables && Older.OpenSelItemTable(I, SourceFolder))
            MergePickList(SelItemTableTexts(*Older.SourceSelItemTables[At], OlderLayout(Older.Version())),
                          *SelItemHistory[At], ConvertCounts[2 + At], Step);
        if (!Tables && Older.OpenSelItemList(I, SourceFolder))
            MergePickList(ListTexts(*Older.SourceSelItemLists[At]), *SelItemHistory[At], ConvertCounts[2 + At], Step);
    }
    if (Ranks) {
        Dest.CreateRankHistory();
        TFinally Release([&Dest, &Older] {
            Older.CloseRankList();
            Dest.ClearRankHistory();
            Dest.FreeRankHistory();
        });
        if (Dest.LoadRankHistory() && Older.OpenRankList(SourceFolder))
            MergePickList(ListTexts(*Older.SourceRankList), *RankHistory, ConvertCounts[5], Step);
    }

    CarryOverAdapterSettings(Older.Version());
}

void ConvertVersion(int Version, const QString& SourceFolder, TConvertProgress& Progress)
{
    TDMVxRelvoOlder Older(Version);
    TConvertRules Rules;
    auto HistoryTexts = std::make_shared<TTextCopy>(std::initializer_list<const char*>{
        "SchTel", "Tel", "CorpKana", "CorpKanji", "NameKana", "NameKanji", "Rank", "SelItem1", "SelItem2", "SelItem3"});
    Rules.FillHistoryRow = [HistoryTexts](TTable& Row, TParadoxTable& Source, TParadoxTable*, double Now) {
        FillHistoryRow(Row, Source, Now, *HistoryTexts);
    };
    Rules.IsKnownEntry = [](TKnownNumbers& Known, TParadoxTable& Source) {
        return Known.Knows(SourceText(Source, "SchTel1"), SourceText(Source, "SchTel2"));
    };
    auto DirectoryTexts = std::make_shared<TTextCopy>(std::initializer_list<const char*>{
        "SchTel1", "SchTel2", "Tel1", "Tel2", "Pos", "Tdfkn", "Adrs1", "JisCode", "KajoCode", "CorpKana", "CorpKanji",
        "NameKana", "NameKanji", "PrivCorp", "Memo1", "Memo2", "Memo3", "EMail", "Rank"});
    auto Version15Texts =
        std::make_shared<TTextCopy>(std::initializer_list<const char*>{"Msg1", "Msg2", "ExtFile", "Note", "BGColor"});
    Rules.FillDirectoryRow = [Version, DirectoryTexts, Version15Texts](TTable& Row, TParadoxTable& Source, double Now) {
        FillDirectoryRow(Row, Source, Version, Now, *DirectoryTexts, *Version15Texts);
    };
    RunConversion(Older, SourceFolder, Progress, Rules);
}

QString ConvertEndMessage(int Version)
{
    const QString Count = QStringLiteral("件　");
    QString Text = QStringLiteral("コンバートが終了しました  \r\n\r\nコンバート件数\r\n着信対応履歴\t") +
                   QString::number(ConvertCounts[0]) + Count;
    Text += QStringLiteral("\r\n登録名簿\t\t") + QString::number(ConvertCounts[1]) + Count;
    const QString Digits = QStringLiteral("１２３");
    for (int I = 0; I < 3; ++I)
        Text += QStringLiteral("\r\n選択項目") + Digits[I] + u'\t' + QString::number(ConvertCounts[2 + I]) + Count;
    if (Version >= 7)
        Text += QStringLiteral("\r\nランク\t\t") + QString::number(ConvertCounts[5]) + Count;
    return Text;
}

} // namespace Utility

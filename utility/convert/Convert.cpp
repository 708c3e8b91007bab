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
#include "utility/convert/OlderData.h"
#include "utility/start/UtilFolders.h"

#include <QFile>

namespace Utility {

std::array<int, 6> ConvertCounts{};

namespace {

const QString RowSavepoint = QStringLiteral("ConvertRow");

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

QString Text(TParadoxTable& Source, const char* Name)
{
    return Source.FieldByName(QString::fromLatin1(Name)).AsString();
}

void CopyText(TTable& Dest, TParadoxTable& Source, const char* Name)
{
    Dest.FieldByName(QString::fromLatin1(Name)).SetAsString(Text(Source, Name));
}

void FillHistoryRow(TTable& Dest, TParadoxTable& Source, double Now)
{
    Dest.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Now);
    Dest.FieldByName(QStringLiteral("RecvDateTime"))
        .SetAsFloat(Source.FieldByName(QStringLiteral("RecvDateTime")).AsFloat());
    Dest.FieldByName(QStringLiteral("RecvWeek"))
        .SetAsInteger(Source.FieldByName(QStringLiteral("RecvWeek")).AsInteger());
    for (const char* Name : {"SchTel", "Tel", "CorpKana", "CorpKanji", "NameKana", "NameKanji", "Rank", "SelItem1",
                             "SelItem2", "SelItem3"})
        CopyText(Dest, Source, Name);
    // Only a plain "1" marked a call as dealt with.
    Dest.FieldByName(QStringLiteral("Division"))
        .SetAsString(Text(Source, "Division") == QStringLiteral("1") ? QStringLiteral("1") : QStringLiteral("0"));
}

void FillDirectoryRow(TTable& Dest, TParadoxTable& Source, int Version, double Now)
{
    Dest.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Now);
    for (const char* Name :
         {"SchTel1", "SchTel2", "Tel1", "Tel2", "Pos", "Tdfkn", "Adrs1", "JisCode", "KajoCode", "CorpKana", "CorpKanji",
          "NameKana", "NameKanji", "PrivCorp", "Memo1", "Memo2", "Memo3", "EMail", "Rank"})
        CopyText(Dest, Source, Name);
    // The earlier versions kept the whole rest of the address in Adrs2; version 16 holds 100 bytes
    // there and the rest in Adrs3.
    const QStringList Address = SplitText(Text(Source, "Adrs2"), 1, SplitAtByte, QString(), 100);
    Dest.FieldByName(QStringLiteral("Adrs2")).SetAsString(Address.value(0));
    Dest.FieldByName(QStringLiteral("Adrs3")).SetAsString(Address.value(1));
    Dest.FieldByName(QStringLiteral("Latitude"))
        .SetAsInteger(Source.FieldByName(QStringLiteral("Latitude")).AsInteger());
    Dest.FieldByName(QStringLiteral("Longitude"))
        .SetAsInteger(Source.FieldByName(QStringLiteral("Longitude")).AsInteger());
    if (Version == 15) {
        Dest.FieldByName(QStringLiteral("Msg")).SetAsInteger(Source.FieldByName(QStringLiteral("Msg")).AsInteger());
        for (const char* Name : {"Msg1", "Msg2", "ExtFile", "Note", "BGColor"})
            CopyText(Dest, Source, Name);
    } else {
        Dest.FieldByName(QStringLiteral("Msg")).SetAsInteger(0);
        for (const char* Name : {"Msg1", "Msg2", "ExtFile", "Note"})
            Dest.FieldByName(QString::fromLatin1(Name)).SetAsString(QString());
        Dest.FieldByName(QStringLiteral("BGColor")).SetAsString(QStringLiteral("$D8E9EC"));
    }
    TField& Updated = Dest.FieldByName(QStringLiteral("UpdDateTime"));
    Updated.SetAsFloat(Now);
    Dest.FieldByName(QStringLiteral("AddDateTime")).SetAsFloat(TruncToSeconds(Updated.AsFloat()));
}

// A directory row is already there when one of its numbers is a key of either number index.
bool IsDuplicate(TTable& Dest, TParadoxTable& Source)
{
    QString A = Text(Source, "SchTel1").trimmed();
    QString B = Text(Source, "SchTel2").trimmed();
    if (A.isEmpty()) {
        A = B;
        B.clear();
    }
    if (A.isEmpty())
        return false;
    const QString RecNo = QStringLiteral("RecNo");
    for (const QString& Number : {A, B}) {
        if (Number.isEmpty())
            continue;
        for (const QString& Index : {QStringLiteral("SchTel1"), QStringLiteral("SchTel2")})
            if (Dest.LookupKey(Index, {Number}, RecNo).isValid())
                return true;
    }
    return false;
}

QStringList ListTexts(const THistoryData& List)
{
    QStringList Texts;
    for (int I = 0; I < List.Count(); ++I)
        Texts.append(List.GetText(I));
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
    FTable.Savepoint(RowSavepoint);
    try {
        FTable.Append();
        FTable.FieldByName(QStringLiteral("RecNo")).SetAsInteger(FNext);
        Fill(FTable);
        FTable.Post();
    } catch (const Exception&) {
        if (FTable.State() == TDataSetState::Insert || FTable.State() == TDataSetState::Edit)
            FTable.Cancel();
        FTable.RollbackToSavepoint(RowSavepoint);
        return false;
    }
    FTable.ReleaseSavepoint(RowSavepoint);
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

void ConvertVersion(int Version, const QString& SourceFolder, TConvertProgress& Progress)
{
    TDMVxRelvoOlder Older(Version);
    TDMVxRelvo16& Dest = *DMVxRelvo16;

    // Count what there is to copy.
    int Total = 0;
    if (Older.OpenRecvHisTable(SourceFolder))
        Total += Older.SourceRecvHisTable->RecordCount();
    Older.CloseRecvHisTable();
    if (Older.OpenMeiboTable(SourceFolder))
        Total += Older.SourceMeiboTable->RecordCount();
    Older.CloseMeiboTable();
    for (int I = 0; I < 3; ++I) {
        if (Older.OpenSelItemList(I, SourceFolder))
            Total += Older.SourceSelItemLists[static_cast<size_t>(I)]->Count();
        Older.CloseSelItemList(I);
    }
    if (Older.OpenRankList(SourceFolder))
        Total += Older.SourceRankList->Count();
    Older.CloseRankList();
    if (Total == 0)
        return;

    Progress.Start(Total);
    TFinally Finish([&Progress] { Progress.Finish(); });
    const auto Step = [&Progress] { Progress.Step(); };
    const double Now = DateTimeToDays(QDateTime::currentDateTime());

    // History. Its rows need nothing of the source directory.
    {
        Dest.CreateRecvHisTable();
        TFinally Release([&Dest, &Older] {
            Older.CloseRecvHisTable();
            Dest.CloseRecvHis();
            Dest.FreeRecvHisTable();
        });
        if (Dest.OpenRecvHis() && Older.OpenRecvHisTable(SourceFolder) && !Older.SourceRecvHisTable->IsEmpty()) {
            TParadoxTable& Source = *Older.SourceRecvHisTable;
            TRowPoster Poster(*RecvHisTable);
            for (Source.First(); !Source.Eof() && Poster.RoomForMore(); Source.Next())
                if (Poster.Post([&](TTable& Row) { FillHistoryRow(Row, Source, Now); })) {
                    ++ConvertCounts[0];
                    Step();
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
        if (Dest.OpenMeibo() && Older.OpenMeiboTable(SourceFolder) && !Older.SourceMeiboTable->IsEmpty()) {
            TParadoxTable& Source = *Older.SourceMeiboTable;
            TRowPoster Poster(*MeiboTable, {QStringLiteral("SchTel1"), QStringLiteral("SchTel2")});
            for (Source.First(); !Source.Eof(); Source.Next()) {
                if (IsDuplicate(*MeiboTable, Source))
                    continue;
                if (!Poster.RoomForMore())
                    break;
                if (Poster.Post([&](TTable& Row) { FillDirectoryRow(Row, Source, Version, Now); })) {
                    ++ConvertCounts[1];
                    Step();
                }
            }
        }
    }

    // Select items and ranks, the source's entries on top.
    for (int I = 0; I < 3; ++I) {
        Dest.CreateSelItemHistory(I);
        TFinally Release([&Dest, &Older, I] {
            Older.CloseSelItemList(I);
            Dest.ClearSelItemHistory(I);
            Dest.FreeSelItemHistory(I);
        });
        // A destination list that cannot be read is left alone rather than replaced by the source's.
        if (Dest.LoadSelItemHistory(I) && Older.OpenSelItemList(I, SourceFolder))
            MergePickList(ListTexts(*Older.SourceSelItemLists[static_cast<size_t>(I)]),
                          *SelItemHistory[static_cast<size_t>(I)], ConvertCounts[2 + static_cast<size_t>(I)], Step);
    }
    {
        Dest.CreateRankHistory();
        TFinally Release([&Dest, &Older] {
            Older.CloseRankList();
            Dest.ClearRankHistory();
            Dest.FreeRankHistory();
        });
        if (Dest.LoadRankHistory() && Older.OpenRankList(SourceFolder))
            MergePickList(ListTexts(*Older.SourceRankList), *RankHistory, ConvertCounts[5], Step);
    }

    CarryOverAdapterSettings(Version);
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

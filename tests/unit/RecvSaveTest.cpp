#include "calls/RecvSave.h"

#include "main/identify/DBInfoFb.h"
#include "main/settings/Settings.h"
#include "main/tables/AdrsTableDef.h"
#include "platform/msg/MessageBoxFlags.h"
#include "tests/support/RecvData.h"

#include <gtest/gtest.h>

namespace {

// A save as the window runs it, with its message boxes recorded and answered from a list.
struct TSaveRun
{
    explicit TSaveRun(const TCallerRecord& Record, TReceiveSave::TMode Mode = TReceiveSave::TMode::Own) : Save(Mode)
    {
        Save.SetCallRecord(Record);
        Save.Hooks.Message = [this](const QString& Text, unsigned Flags) {
            Texts << Text;
            return Answers.isEmpty() ? ((Flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK) : Answers.takeFirst();
        };
        Save.Hooks.ReloadHistoryPage = [this] { ++Reloads; };
        // The window shows what it was filled with.
        Input.Tel1 = Record.Tel[0];
        Input.Tel2 = Record.Tel[1];
        Input.FbTel = Record.Tel[Record.TelIndex];
        Input.NameKanji = Record.NameKanji;
        Input.Note = Record.Note ? Record.Note->join(QStringLiteral("\r\n")) : QString();
    }
    TRegisterResult Register()
    {
        TRecvFocus Focus;
        const TRegisterResult Result = Save.RegisterCaller(Input, Focus);
        LastFocus = Focus;
        return Result;
    }

    TReceiveSave Save;
    TRecvViewInput Input;
    QStringList Texts;
    QList<int> Answers;
    TRecvFocus LastFocus = TRecvFocus::None;
    int Reloads = 0;
};

class RecvSaveTest : public ::testing::Test
{
protected:
    void SetUp() override { Settings.SameTelUpdate = true; }
    void TearDown() override { Settings = TSettings(); }
    TRecvData Data;
};

TEST_F(RecvSaveTest, RegisteringNewCallersNumbersThemFromZeroAndWritesTheWindowsFields)
{
    Data.AddCall(7, QStringLiteral("03-1111-2222"));
    TSaveRun Run(CallRecordFor(7, QStringLiteral("03-1111-2222")));
    Run.Input.Tel2 = QStringLiteral(" 090-1234-5678 ");
    Run.Input.Pos = QStringLiteral("100-0001");
    Run.Input.Tdfkn = QStringLiteral("東京都");
    Run.Input.NameKana = QStringLiteral("ﾀﾅｶ ｲﾁﾛｳ");
    Run.Input.NameKanji = QStringLiteral("田中　一郎");
    Run.Input.PrivCorp = 1;
    Run.Input.Rank = QStringLiteral("Ａ");
    Run.Input.SelItem1 = QStringLiteral("見積");
    Run.Input.Latitude = 128000000;
    Run.Input.Note = QStringLiteral("一行目\r\n二行目");
    Run.Input.ExtFiles = {QStringLiteral("/srv/a.pdf")};
    EXPECT_EQ(Run.Register(), TRegisterResult::Saved);
    EXPECT_TRUE(Run.Texts.isEmpty()) << Run.Texts.join(u'\n').toStdString();

    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT RecNo, SchTel1, SchTel2, Tel1, Tel2, Pos, Tdfkn, NameKana, NameKanji, "
                                       "PrivCorp, Rank, Latitude, Note, ExtFile, Msg, AddDateTime > 0 FROM Meibo"),
              QStringList{QStringLiteral("0|0311112222|09012345678|03-1111-2222|090-1234-5678|1000001|東京都|"
                                         "ﾀﾅｶ ｲﾁﾛｳ|田中　一郎|1|Ａ|128000000|一行目\r\n二行目|/srv/a.pdf|0|1")});
    // The history row keeps the call's number and takes the names, rank and select items.
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT SchTel, NameKanji, Rank, SelItem1, Division, RecvWeek FROM RecvHis"),
              QStringList{QStringLiteral("0311112222|田中　一郎|Ａ|見積|0|4")});
    // The values went to the top of their pick lists, on disk.
    EXPECT_EQ(RankHistory->GetText(0), QStringLiteral("Ａ"));
    THistoryData Reread(SelItemHistory[0]->FileName(), false, 60);
    Reread.Load();
    EXPECT_EQ(Reread.GetText(0), QStringLiteral("見積"));

    Data.AddCall(8, QStringLiteral("06-5555-6666"));
    TSaveRun Second(CallRecordFor(8, QStringLiteral("06-5555-6666")));
    EXPECT_EQ(Second.Register(), TRegisterResult::Saved);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT RecNo FROM Meibo ORDER BY RecNo"),
              (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
}

TEST_F(RecvSaveTest, TheDirectoryCounterStopsAtRecNo99999)
{
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Data.AddEntry(99999, QStringLiteral("06-0000-0000"), QString());
    TSaveRun Run(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    EXPECT_EQ(Run.Register(), TRegisterResult::Saved);
    EXPECT_EQ(Run.Texts, (QStringList{MsgMeiboCounterFull, QStringLiteral("登録できませんでした  ")}));
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT COUNT(*) FROM Meibo"), QStringList{QStringLiteral("1")});
}

TEST_F(RecvSaveTest, ValidationStopsWithTheMessageAndTheOffendingEdit)
{
    struct TCase
    {
        QString Tel1, Tel2, Message;
        TRecvFocus Focus;
    } Cases[] = {
        {QStringLiteral("03-1111-222a"), QString(), MsgInvalidTel, TRecvFocus::Tel1},
        {QStringLiteral("0311112222"), QStringLiteral("０３"), MsgInvalidTel, TRecvFocus::Tel2All},
        {QStringLiteral("03-1111-2222"), QStringLiteral("0311112222"), MsgSameTel, TRecvFocus::Tel1},
    };
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    for (const TCase& Case : Cases) {
        TSaveRun Run(CallRecordFor(1, QStringLiteral("03-1111-2222")));
        Run.Input.Tel1 = Case.Tel1;
        Run.Input.Tel2 = Case.Tel2;
        EXPECT_EQ(Run.Register(), TRegisterResult::Stopped);
        EXPECT_EQ(Run.Texts, QStringList{Case.Message});
        EXPECT_EQ(Run.LastFocus, Case.Focus);
    }
    EXPECT_TRUE(Data.Rows(MeiboFileName, "SELECT RecNo FROM Meibo").isEmpty());
}

TEST_F(RecvSaveTest, SwappingTheNumbersOfAnExistingEntryLooksNothingUp)
{
    Data.AddCall(1, QStringLiteral("03-1111-2222"), 1);
    Data.AddEntry(5, QStringLiteral("03-1111-2222"), QStringLiteral("090-1234-5678"), QStringLiteral("田中"));
    // Another entry shares the first number: a look-up would refuse the change.
    Data.AddEntry(6, QStringLiteral("06-9999-9999"), QStringLiteral("03-1111-2222"));
    TCallerRecord R = CallRecordFor(1, QStringLiteral("03-1111-2222"), 1, 5);
    R.SchTel[1] = QStringLiteral("09012345678");
    R.Tel[1] = QStringLiteral("090-1234-5678");
    TSaveRun Run(R);
    std::swap(Run.Input.Tel1, Run.Input.Tel2);
    EXPECT_EQ(Run.Register(), TRegisterResult::Saved);
    EXPECT_TRUE(Run.Texts.isEmpty()) << Run.Texts.join(u'\n').toStdString();
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT SchTel1, SchTel2 FROM Meibo WHERE RecNo = 5"),
              QStringList{QStringLiteral("09012345678|0311112222")});
}

TEST_F(RecvSaveTest, AnUnchangedExistingEntryIsNotRewrittenButItsCallIs)
{
    Data.AddCall(1, QStringLiteral("03-1111-2222"), 1);
    Data.AddEntry(5, QStringLiteral("03-1111-2222"), QString(), QStringLiteral("田中"));
    TCallerRecord R = CallRecordFor(1, QStringLiteral("03-1111-2222"), 1, 5);
    R.NameKanji = QStringLiteral("田中");
    {
        TSaveRun Run(R);
        Run.Input.SelItem2 = QStringLiteral("折り返し");
        R.SelItem2 = Run.Input.SelItem2; // the window was filled with it
        Run.Save.SetCallRecord(R);
        EXPECT_EQ(Run.Register(), TRegisterResult::Saved);
    }
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT AxsDateTime, UpdDateTime FROM Meibo"),
              QStringList{QStringLiteral("1000.0|0.0")});
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT NameKanji, SelItem2, Division, AxsDateTime > 0 FROM RecvHis"),
              QStringList{QStringLiteral("田中|折り返し|1|1")});
    EXPECT_EQ(SelItemHistory[1]->GetText(0), QStringLiteral("折り返し"));

    // The silent save of the same window without SameTelUpdate writes nothing at all.
    Settings.SameTelUpdate = false;
    Data.AddCall(2, QStringLiteral("03-1111-2222"), 1);
    R.HisRecNo = 2;
    TSaveRun Silent(R);
    Silent.Input.SelItem2 = R.SelItem2;
    Silent.Save.SaveBeforeRefill(Silent.Input);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT SelItem2 FROM RecvHis WHERE RecNo = 2"), QStringList{QString()});
    EXPECT_EQ(Silent.Reloads, 0);
}

TEST_F(RecvSaveTest, DuplicatesAreCountedPerEntry)
{
    Data.AddEntry(3, QStringLiteral("03-1111-2222"), QStringLiteral("090-1234-5678"), QStringLiteral("旧名"));
    Data.AddEntry(4, QStringLiteral("06-5555-6666"), QString(), QStringLiteral("別人"));

    // Both numbers belong to one entry: one question, and Yes replaces that entry.
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    TSaveRun Same(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    Same.Input.Tel2 = QStringLiteral("090-1234-5678");
    Same.Input.NameKanji = QStringLiteral("新名");
    Same.Answers = {IDYES};
    EXPECT_EQ(Same.Register(), TRegisterResult::Saved);
    EXPECT_EQ(Same.Texts, QStringList{MsgReplace});
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT RecNo, NameKanji FROM Meibo ORDER BY RecNo"),
              (QStringList{QStringLiteral("3|新名"), QStringLiteral("4|別人")}));

    // The numbers belong to two entries: refused on registration, not saved on a refill.
    Data.AddCall(2, QStringLiteral("03-1111-2222"));
    TSaveRun Two(CallRecordFor(2, QStringLiteral("03-1111-2222")));
    Two.Input.Tel2 = QStringLiteral("06-5555-6666");
    EXPECT_EQ(Two.Register(), TRegisterResult::Stopped);
    EXPECT_EQ(Two.Texts, QStringList{MsgTwoEntries});
    Two.Save.SaveBeforeRefill(Two.Input);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT AxsDateTime FROM RecvHis WHERE RecNo = 2"),
              QStringList{QStringLiteral("0.0")});

    // No to the question keeps everything, with the focus on the number that matched.
    TSaveRun No(CallRecordFor(2, QStringLiteral("045-000-0000")));
    No.Input.Tel2 = QStringLiteral("06-5555-6666");
    No.Answers = {IDNO};
    EXPECT_EQ(No.Register(), TRegisterResult::Stopped);
    EXPECT_EQ(No.LastFocus, TRecvFocus::Tel2);

    // A refill takes the one matching entry over when SameTelUpdate allows.
    TSaveRun Refill(CallRecordFor(2, QStringLiteral("06-5555-6666")));
    Refill.Input.NameKanji = QStringLiteral("別人二");
    Refill.Save.SaveBeforeRefill(Refill.Input);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT NameKanji FROM Meibo WHERE RecNo = 4"),
              QStringList{QStringLiteral("別人二")});
    EXPECT_EQ(Refill.Reloads, 1);
}

TEST_F(RecvSaveTest, SilentSaveNeedsTwoValidDifferentNumbersAndMovesALoneSecondOne)
{
    Data.AddCall(1, QString());
    TSaveRun Blank(CallRecordFor(1, QString()));
    Blank.Save.SaveBeforeRefill(Blank.Input);
    EXPECT_TRUE(Data.Rows(MeiboFileName, "SELECT RecNo FROM Meibo").isEmpty());
    EXPECT_EQ(Blank.Reloads, 0);

    TSaveRun Lone(CallRecordFor(1, QString()));
    Lone.Input.Tel2 = QStringLiteral("045-111-2222");
    Lone.Save.SaveBeforeRefill(Lone.Input);
    EXPECT_EQ(Lone.Input.Tel1, QStringLiteral("045-111-2222"));
    EXPECT_TRUE(Lone.Input.Tel2.isEmpty());
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT SchTel1, SchTel2 FROM Meibo"),
              QStringList{QStringLiteral("0451112222|")});
    EXPECT_TRUE(Lone.Texts.isEmpty());
}

TEST_F(RecvSaveTest, AFailedWriteIsReportedAndNotTakenForASave)
{
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Data.BreakWrites(MeiboFileName, "Meibo");
    TSaveRun Run(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    EXPECT_EQ(Run.Register(), TRegisterResult::Failed);
    ASSERT_EQ(Run.Texts.size(), 1);
    EXPECT_TRUE(Run.Texts[0].startsWith(MsgMeiboWriteFailed)) << Run.Texts[0].toStdString();
    EXPECT_TRUE(Run.Texts[0].endsWith(MsgInputKept));
    EXPECT_FALSE(Run.Save.IsExisting());

    // The silent save says so too.
    TSaveRun Silent(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    EXPECT_FALSE(Silent.Save.SaveBeforeRefill(Silent.Input));
    EXPECT_EQ(Silent.Texts.size(), 1);

    Data.BreakWrites(RecvHisFileName, "RecvHis");
    TSaveRun History(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    EXPECT_EQ(History.Register(), TRegisterResult::Failed);
    EXPECT_TRUE(History.Texts.value(0).startsWith(MsgHistoryWriteFailed));
}

TEST_F(RecvSaveTest, AddressBookWritesOnlyTheSlotThatRangAndTheKeywordFields)
{
    Settings.Memo1 = 0;
    Settings.Rank = 1;
    Settings.Line1 = 3;
    const QString Book = Data.Folder + QStringLiteral("Book/");
    QDir().mkpath(Book);
    {
        TTable T;
        T.SetDatabaseName(Book);
        T.SetTableName(AdrsFileName);
        T.CreateTable(AdrsTableDef());
        T.Open();
        T.Append();
        T.FieldByName(QStringLiteral("Tel")).SetAsString(QStringLiteral("0311112222"));
        T.FieldByName(QStringLiteral("Fax")).SetAsString(QStringLiteral("0311113333"));
        T.Post();
    }
    TDMFbarea Module(0);
    DMFbarea = &Module;
    Data.AddCall(1, QStringLiteral("03-1111-3333"), 1);
    TCallerRecord R = CallRecordFor(1, QStringLiteral("03-1111-3333"), 1, 1);
    R.SchTel[1] = R.SchTel[0];
    R.Tel[1] = R.Tel[0];
    R.SchTel[0] = QStringLiteral("0311112222");
    R.Tel[0] = QStringLiteral("03-1111-2222");
    R.TelIndex = 1;
    TSaveRun Run(R, TReceiveSave::TMode::Fernbook);
    Run.Save.Hooks.Fb = {[] { return true; }, [Book] { return Book; }, [] { return 1; }};
    Run.Input.FbTel = QStringLiteral("03-1111-4444");
    Run.Input.Memo1 = QStringLiteral("メモ");
    Run.Input.Rank = QStringLiteral("Ｂ");
    Run.Input.MsgShown = true;
    Run.Input.Msg1 = QStringLiteral("至急");
    Run.Input.BGColor = QStringLiteral("not a colour");
    EXPECT_EQ(Run.Register(), TRegisterResult::Saved);
    EXPECT_TRUE(Run.Texts.isEmpty()) << Run.Texts.join(u'\n').toStdString();
    DMFbarea = nullptr;

    TTable T;
    T.SetDatabaseName(Book);
    T.SetTableName(AdrsFileName);
    T.Open();
    ASSERT_EQ(T.RecordCount(), 1);
    T.First();
    EXPECT_EQ(T.FieldByName(QStringLiteral("Tel")).AsString(), QStringLiteral("0311112222"));
    EXPECT_EQ(T.FieldByName(QStringLiteral("Fax")).AsString(), QStringLiteral("0311114444"));
    EXPECT_EQ(T.FieldByName(QStringLiteral("Keyword1")).AsString(), QStringLiteral("メモ"));
    EXPECT_EQ(T.FieldByName(QStringLiteral("Keyword7")).AsString(), QStringLiteral("Ｂ"));
    EXPECT_EQ(T.FieldByName(QStringLiteral("Keyword4")).AsString(), QStringLiteral("至急"));
    EXPECT_EQ(T.FieldByName(QStringLiteral("SymbolColor")).AsInteger(), 0x7fdf3f);
    EXPECT_TRUE(T.FieldByName(QStringLiteral("PrivCorp")).AsBoolean());
}

} // namespace

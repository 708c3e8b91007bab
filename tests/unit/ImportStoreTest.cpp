#include "transfer/import/ImportStore.h"

#include "tests/support/RecvData.h"
#include "tests/unit/BoxRecorder.h"
#include "transfer/common/TelRules.h"

#include <gtest/gtest.h>

namespace {

const QDateTime Moment(QDate(2026, 12, 9), QTime(10, 20, 30, 123));

// Item values with the given rows set; entry n is item row n.
QStringList Values(int Last, std::initializer_list<std::pair<int, const char*>> Set)
{
    QStringList Result(Last + 1);
    for (const auto& [Row, Text] : Set)
        Result[Row] = QString::fromUtf8(Text);
    return Result;
}

class ImportStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetTelRulesClock([] { return QDate(2026, 12, 9); });
    }
    void TearDown() override { SetTelRulesClock({}); }

    int Store(TImportDest Dest, const QStringList& Line, bool SameReplace = false)
    {
        const TDataTable Which = Dest == TImportDest::Meibo ? TDataTable::Meibo : TDataTable::RecvHis;
        TTableUse Use(*DMVxRelvo16, Which);
        TImportStore Store(Dest == TImportDest::Meibo ? *MeiboTable : *RecvHisTable, Dest,
                           {RankHistory, SelItemHistory});
        Store.SameReplace = SameReplace;
        Store.Now = [] { return Moment; };
        Store.ReadTableState();
        const int Result = Store.StoreRecord(Line);
        // As the run does once its rows are committed.
        Store.SavePickLists();
        return Result;
    }

    TRecvData Data;
};

TEST_F(ImportStoreTest, HistoryDatesNeedEightAndSixDigits)
{
    TCallerRecord Record;
    EXPECT_EQ(ConvertHistoryRow(Values(12, {{1, "2013/04/01"}, {2, "9:05:00"}, {3, "0312345678"}}), Record),
              ReasonDateFormat);
    EXPECT_EQ(ConvertHistoryRow(Values(12, {{1, "2013/13/01"}, {2, "09:05:00"}}), Record), ReasonOther);
    EXPECT_EQ(ConvertHistoryRow(Values(12, {{1, "2013/04/01"}, {2, "09:05:00"}, {3, "0312345678"}}), Record),
              ImportStored);
    EXPECT_EQ(DaysToDateTime(Record.RecvDateTime), QDateTime(QDate(2013, 4, 1), QTime(9, 5)));
}

TEST_F(ImportStoreTest, ARowTheTableRefusesLeavesNothingAndKeepsTheRowsOfItsBatch)
{
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    TImportStore Store(*RecvHisTable, TImportDest::RecvHis, {RankHistory, SelItemHistory});
    Store.Now = [] { return Moment; };
    Store.ReadTableState();
    const QStringList Line =
        Values(12, {{1, "20130401"}, {2, "090500"}, {3, "0312345678"}, {4, "見本"}, {5, "株式会社見本"}});
    // The run's batch: one transaction, no savepoint a line.
    RecvHisTable->StartTransaction();
    ASSERT_EQ(Store.StoreRecord(Line), ImportStored);
    Store.NextRecNo = 0; // taken by the row just stored
    EXPECT_EQ(Store.StoreRecord(Line), ReasonHistoryPost);
    EXPECT_EQ(Store.NextRecNo, 0);
    Store.NextRecNo = 1;
    EXPECT_EQ(Store.StoreRecord(Line), ImportStored);
    RecvHisTable->Commit();
    EXPECT_EQ(RecvHisTable->IntegrityCheck(), QStringList());
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT RecNo, CorpKanji FROM RecvHis ORDER BY rowid"),
              QStringList({QStringLiteral("0|株式会社見本"), QStringLiteral("1|株式会社見本")}));
    EXPECT_EQ(Store.AddedRecNos, QList<int>({0, 1}));
}

TEST_F(ImportStoreTest, HistoryNumbersReasonWordsAndDivision)
{
    const struct
    {
        const char* Number;
        const char* Division;
        const char* Tel;
        const char* SchTel;
        int Expected;
    } Cases[] = {
        {"表示圏外", "", "O", "O", 0},
        {" 表示圏外", "", " 表示圏外", "", 0}, // not the word: its own text, trimmed by nothing
        {"匿名着信", " 既存", "P", "P", 1},
        {"0101234567", "1", "09011234567", "09011234567", 1},
        {"010-123-4567", "新規", "010-123-4567", "0101234567", 0},
    };
    for (const auto& Case : Cases) {
        TCallerRecord Record;
        ASSERT_EQ(ConvertHistoryRow(Values(12, {{1, "20130401"}, {2, "090500"}, {3, Case.Number}, {8, Case.Division}}),
                                    Record),
                  ImportStored);
        // A number that is no reason word goes through the hyphenation, which trims it; a text
        // without digits is no number and stays as written.
        const QString Tel = QString::fromUtf8(Case.Tel);
        EXPECT_EQ(Record.Tel[0], DigitsOnly(Tel).isEmpty() ? Tel : Tel.trimmed()) << Case.Number;
        EXPECT_EQ(Record.SchTel[0],
                  QString::fromUtf8(Case.SchTel).isEmpty() ? Record.Tel[0].left(11) : QString::fromUtf8(Case.SchTel))
            << Case.Number;
        EXPECT_EQ(Record.Division, Case.Expected) << Case.Number;
    }
}

TEST_F(ImportStoreTest, HistoryRowIsStoredWithItsWeekdayAndFeedsThePickLists)
{
    EXPECT_EQ(
        Store(
            TImportDest::RecvHis,
            Values(12, {{1, "20130401"}, {2, "090500"}, {3, "0312345678"}, {5, " 会社 "}, {9, "Ａ新"}, {10, "用件"}})),
        ImportStored);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT RecNo, RecvWeek, SchTel, Tel, CorpKanji, Division FROM RecvHis"),
              QStringList({"0|2|0312345678|0312345678|会社|0"}));
    EXPECT_GE(RankHistory->IndexOf(QStringLiteral("Ａ新")), 0);
    EXPECT_EQ(SelItemHistory[0]->GetText(0), QStringLiteral("用件"));
}

TEST_F(ImportStoreTest, SameNumbersAreCountedPerEntry)
{
    Data.AddEntry(5, "0311111111", "0322222222");
    Data.AddEntry(6, "0333333333", "");
    const struct
    {
        const char* Tel1;
        const char* Tel2;
        int Count;
        int RecNo;
    } Cases[] = {
        {"03-1111-1111", "0311111111", 2, -1}, // the line's own numbers are equal
        {"0311111111", "0333333333", 2, 6},    // two entries
        {"0322222222", "0311111111", 1, 5},    // both on one entry count once
        {"", "0333333333", 1, 6},              // a lone second number is the first
        {"0399999999", "0322222222", 1, 5},    // the first found nothing: any hit counts
        {"0399999999", "", 0, -1},
    };
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    for (const auto& Case : Cases) {
        TCallerRecord Record;
        int Count = -1;
        int RecNo = -2;
        FindSameNumbers(*MeiboTable, Values(27, {{1, Case.Tel1}, {2, Case.Tel2}}), Record, Count, RecNo);
        EXPECT_EQ(Count, Case.Count) << Case.Tel1 << " " << Case.Tel2;
        if (Case.Count == 1) {
            EXPECT_EQ(RecNo, Case.RecNo) << Case.Tel1 << " " << Case.Tel2;
        }
    }
}

TEST_F(ImportStoreTest, DirectoryRowsNewReplacedAndRefused)
{
    Data.AddEntry(41, "0311111111", "", "古い名前");
    EXPECT_EQ(Store(TImportDest::Meibo, Values(27, {{1, "0311111111"}, {11, "新しい名前"}})), ReasonSameNumber);
    EXPECT_EQ(Store(TImportDest::Meibo, Values(27, {{1, "0311111111"}, {2, "0311111111"}})), ReasonManyNumbers);
    EXPECT_EQ(Store(TImportDest::Meibo, Values(27, {{1, "0311111111"}, {11, "新しい名前"}}), true), ImportStored);
    EXPECT_EQ(Store(TImportDest::Meibo, Values(27, {{1, "0101234567"}, {11, "携帯"}})), ImportStored);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT RecNo, SchTel1, NameKanji FROM Meibo ORDER BY RecNo"),
              QStringList({"41|0311111111|新しい名前", "42|09011234567|携帯"}));
}

TEST_F(ImportStoreTest, DirectoryFieldsFromTheLine)
{
    ASSERT_EQ(Store(TImportDest::Meibo, Values(27, {{1, "0312345678"},
                                                    {3, "123-4567"},
                                                    {4, "東京都千代田区"},
                                                    {5, "丸の内"},
                                                    {12, "法人 "},
                                                    {18, "2147483648"},
                                                    {19, "-1"},
                                                    {20, "設定あり"},
                                                    {24, "a\tb"},
                                                    {25, "c\t"}})),
              ImportStored);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT Pos, Tdfkn, Adrs1, Adrs2, PrivCorp, Latitude, Longitude, Msg, ExtFile, "
                                       "Note FROM Meibo"),
              QStringList({"1234567|東京都|千代田区|丸の内|0|0|-1|1|a\r\nb\r\n|c\r\n"}));
    // Without a registration date: now without its milliseconds; the update keeps them.
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    MeiboTable->First();
    EXPECT_EQ(MeiboTable->FieldByName("AddDateTime").AsDateTime(), Moment.addMSecs(-123));
    EXPECT_EQ(MeiboTable->FieldByName("UpdDateTime").AsDateTime(), Moment);
}

TEST_F(ImportStoreTest, ALatitudeThatIsNoWholeNumberFailsTheLine)
{
    EXPECT_EQ(Store(TImportDest::Meibo, Values(27, {{1, "0312345678"}, {18, "12.5"}})), ReasonOther);
    EXPECT_TRUE(Data.Rows(MeiboFileName, "SELECT RecNo FROM Meibo").isEmpty());
}

TEST_F(ImportStoreTest, RegistrationTimeFromTheLine)
{
    ASSERT_EQ(Store(TImportDest::Meibo, Values(27, {{1, "0312345678"}, {26, "2013/04/01"}, {27, "9:05"}})),
              ImportStored);
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    MeiboTable->First();
    EXPECT_EQ(MeiboTable->FieldByName("AddDateTime").AsDateTime(), QDateTime(QDate(2013, 4, 1), QTime(0, 0)));
}

TEST_F(ImportStoreTest, UsedUpRecordNumbersStopWithTheRightMessage)
{
    Data.AddEntry(99999, "0311111111", "");
    TBoxRecorder Boxes;
    EXPECT_EQ(Store(TImportDest::Meibo, Values(27, {{1, "0322222222"}})), ImportStop);
    ASSERT_EQ(Boxes.Boxes.size(), 1);
    EXPECT_EQ(Boxes.Boxes[0].Text, ImportCounterFull);
    EXPECT_EQ(Boxes.Boxes[0].Caption, QStringLiteral("Tolvane１６"));
    // A replacement takes no new number.
    EXPECT_EQ(Store(TImportDest::Meibo, Values(27, {{1, "0311111111"}}), true), ImportStored);
    Data.AddCall(99999, "0311111111");
    EXPECT_EQ(Store(TImportDest::RecvHis, Values(12, {{1, "20130401"}, {2, "090500"}})), ImportStop);
    EXPECT_EQ(Boxes.Boxes.size(), 2);
}

} // namespace

// The store works on the table and pick lists it is given: no data module, no program-wide list.
TEST(ImportStoreAloneTest, StoresIntoTheTableAndPickListsItIsGiven)
{
    ASSERT_EQ(DMVxRelvo16, nullptr);
    ASSERT_EQ(RankHistory, nullptr);
    QTemporaryDir Dir;
    const QString Folder = Dir.path() + QStringLiteral("/");
    TTable Table;
    Table.SetDatabaseName(Folder);
    Table.SetTableName(QStringLiteral("Calls.DB"));
    Table.CreateTable(RecvHisTableDef());
    Table.Open();
    THistoryData Ranks(Folder + QStringLiteral("ranks.mtd"), true, 20);
    THistoryData Items(Folder + QStringLiteral("items.mtd"), true, 60);
    ASSERT_TRUE(Ranks.Load());
    ASSERT_TRUE(Items.Load());
    TImportStore Store(Table, TImportDest::RecvHis, {&Ranks, {nullptr, &Items, nullptr}});
    Store.Now = [] { return Moment; };
    Store.ReadTableState();
    for (const char* Item : {"一", "二", "一"})
        ASSERT_EQ(Store.StoreRecord(Values(12, {{1, "20130401"}, {2, "090500"}, {9, "Ｂ"}, {10, "外"}, {11, Item}})),
                  ImportStored);
    Store.SavePickLists();
    EXPECT_EQ(Table.RecordCount(), 3);
    EXPECT_EQ(Store.AddedRecNos, QList<int>({0, 1, 2}));
    EXPECT_EQ(Ranks.Count(), 1);
    ASSERT_EQ(Items.Count(), 2);
    EXPECT_EQ(Items.GetText(0), QStringLiteral("一")); // the last one named comes first
    THistoryData Saved(Items.FileName(), false, 60);
    ASSERT_TRUE(Saved.Load());
    EXPECT_EQ(Saved.Count(), 2);
}

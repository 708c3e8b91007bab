#include "calls/HisPager.h"

#include "HisTableFixture.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QList<int> RecNos(const THistoryPager& Pager)
{
    QList<int> Result;
    for (const THistoryLine& Line : Pager.Lines)
        Result << Line.RecNo;
    return Result;
}

QList<int> Numbers(const THistoryPager& Pager)
{
    QList<int> Result;
    for (const THistoryLine& Line : Pager.Lines)
        Result << Line.Cells[0].toInt();
    return Result;
}

// RecNos from High down to Low: newest first, as a page lists them (RecNo grows with time).
QList<int> Down(int High, int Low)
{
    QList<int> Result;
    for (int I = High; I >= Low; --I)
        Result << I;
    return Result;
}

QSet<int> AllRecNos(TTable& Table)
{
    QSet<int> Result;
    Table.SetIndexName(QString());
    for (Table.First(); !Table.IsEmpty();) {
        Result << Table.FieldByName(QStringLiteral("RecNo")).AsInteger();
        if (Table.MoveBy(1) == 0)
            break;
    }
    return Result;
}

} // namespace

TEST(HisPagerTest, PagesThroughFourHundredFiftyRows)
{
    QTemporaryDir Dir;
    THisFixtureData Data(Dir.path());
    AppendHistoryRows(Data.Table(), 450, [](int I) { return GeneratedRow(I); });
    THistoryPager Pager;
    Pager.Weekdays.AllWeek = true;
    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, 1), THistoryLoadResult::Loaded);
    EXPECT_EQ(Pager.TotalRows, 450);
    EXPECT_EQ(RecNos(Pager), Down(449, 250));
    EXPECT_TRUE(Pager.JumpVisible());
    EXPECT_FALSE(Pager.PrevVisible());
    EXPECT_TRUE(Pager.NextVisible());
    EXPECT_EQ(Pager.PageCount(), 3);

    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Next, 1), THistoryLoadResult::Loaded);
    EXPECT_EQ(Pager.CurrentPage, 2);
    EXPECT_EQ(RecNos(Pager), Down(249, 50));
    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Next, 1), THistoryLoadResult::Loaded);
    EXPECT_EQ(Pager.CurrentPage, 3);
    EXPECT_EQ(RecNos(Pager), Down(49, 0));
    EXPECT_EQ(Numbers(Pager).first(), 401);
    EXPECT_EQ(Numbers(Pager).last(), 450);
    EXPECT_FALSE(Pager.NextVisible());
    EXPECT_EQ(Pager.Load(Data.Table(), THistoryPager::Next, 1), THistoryLoadResult::NoNext);
    EXPECT_EQ(Pager.CurrentPage, 3);

    // Previous builds the page bottom up with the same numbers.
    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Previous, 1), THistoryLoadResult::Loaded);
    EXPECT_EQ(Pager.CurrentPage, 2);
    EXPECT_EQ(RecNos(Pager), Down(249, 50));
    EXPECT_EQ(Numbers(Pager).first(), 201);
    EXPECT_EQ(Numbers(Pager).last(), 400);
    EXPECT_TRUE(Pager.NextVisible());
    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Previous, 1), THistoryLoadResult::Loaded);
    EXPECT_EQ(Pager.Load(Data.Table(), THistoryPager::Previous, 1), THistoryLoadResult::NoPrevious);

    // A jump lands where "next" did.
    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, 3), THistoryLoadResult::Loaded);
    EXPECT_EQ(RecNos(Pager), Down(49, 0));
    // The table's cursor is left without the list's filter.
    EXPECT_FALSE(Data.Table().Filtered());
}

TEST(HisPagerTest, AJumpDeepIntoTheHistoryLandsWhereStepping)
{
    QTemporaryDir Dir;
    THisFixtureData Data(Dir.path());
    // Calls bunch up on some days and thin out on others, so that guessing by date is off; the
    // oldest call has an empty date, which sorts first and says nothing of the pace.
    AppendHistoryRows(Data.Table(), 9000, [](int I) {
        THisFixtureRow Row = GeneratedRow(I);
        Row.When = I == 0 ? 0 : 45000 + (I < 6000 ? I / 3000.0 : 2 + (I - 6000) / 100.0);
        return Row;
    });
    for (const bool AllWeek : {true, false}) {
        THistoryPager Stepper;
        Stepper.ListMaxCount = 700;
        Stepper.Weekdays.AllWeek = AllWeek;
        Stepper.Weekdays.Days[1] = Stepper.Weekdays.Days[5] = true;
        QList<QList<int>> Pages;
        ASSERT_EQ(Stepper.Load(Data.Table(), THistoryPager::Reload, 1), THistoryLoadResult::Loaded);
        do
            Pages << RecNos(Stepper);
        while (Stepper.Load(Data.Table(), THistoryPager::Next, 1) == THistoryLoadResult::Loaded);
        ASSERT_EQ(Pages.size(), Stepper.PageCount());
        ASSERT_GT(Pages.size(), 4);
        THistoryPager Jumper = Stepper;
        for (int Page = Pages.size(); Page >= 1; --Page) {
            ASSERT_EQ(Jumper.Load(Data.Table(), THistoryPager::Reload, Page), THistoryLoadResult::Loaded);
            EXPECT_EQ(RecNos(Jumper), Pages[Page - 1]) << "page " << Page << (AllWeek ? " all days" : " two days");
        }
    }
}

// The jump to the last page narrows in by date ranges: its work grows no faster than the history,
// and a call with an empty date (which sorts first and says nothing of the pace) costs it nothing.
TEST(HisPagerTest, TheJumpToTheLastPageCostsStepsInProportionToTheHistoryWithOrWithoutAnUndatedCall)
{
    const auto JumpSteps = [](int Rows, bool Undated) {
        QTemporaryDir Dir;
        THisFixtureData Data(Dir.path());
        AppendHistoryRows(Data.Table(), Rows, [Undated](int I) {
            THisFixtureRow Row = GeneratedRow(I);
            Row.When = I == 0 && Undated ? 0 : 45000 + I / 500.0;
            return Row;
        });
        THistoryPager Pager;
        Pager.Weekdays.AllWeek = true;
        EXPECT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, 1), THistoryLoadResult::Loaded);
        const long long Before = TableVmSteps();
        EXPECT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, Pager.PageCount()), THistoryLoadResult::Loaded);
        EXPECT_EQ(RecNos(Pager).value(0), Rows - 1 - (Pager.PageCount() - 1) * Pager.ListMaxCount);
        // A statement's steps count once it is used again: page 1 again, a cost of its own size.
        EXPECT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, 1), THistoryLoadResult::Loaded);
        return TableVmSteps() - Before;
    };
    const long long Small = JumpSteps(5000, true);
    const long long Large = JumpSteps(20000, true);
    const long long Dated = JumpSteps(20000, false);
    ASSERT_GT(Small, 0);
    EXPECT_LE(Large, 5 * Small) << Small << " steps at 5,000 calls, " << Large << " at 20,000";
    EXPECT_LE(Large, 2 * Dated) << Large << " steps with an undated call, " << Dated << " without";
}

TEST(HisPagerTest, AReloadPastTheRowsFallsBackToTheLastFullPage)
{
    const struct
    {
        int Rows;
        int ShownPage;
        int Expected;
    } Cases[] = {{450, 4, 2}, {400, 4, 2}, {150, 4, 1}, {450, 3, 3}, {450, 0, 3}};
    for (const auto& Case : Cases) {
        QTemporaryDir Dir;
        THisFixtureData Data(Dir.path());
        AppendHistoryRows(Data.Table(), Case.Rows, [](int I) { return GeneratedRow(I); });
        THistoryPager Pager;
        Pager.Weekdays.AllWeek = true;
        Pager.CurrentPage = Case.ShownPage == 0 ? 3 : Case.ShownPage;
        ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, 0), THistoryLoadResult::Loaded);
        EXPECT_EQ(Pager.CurrentPage, Case.Expected) << Case.Rows << " rows, page " << Case.ShownPage;
    }
}

TEST(HisPagerTest, FiltersEmptyTablesAndVanishedAnchors)
{
    QTemporaryDir Dir;
    THisFixtureData Data(Dir.path());
    THistoryPager Pager;
    Pager.ListMaxCount = 10;
    Pager.Weekdays.AllWeek = true;
    EXPECT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, 1), THistoryLoadResult::Empty);
    EXPECT_FALSE(Pager.JumpVisible() || Pager.PrevVisible() || Pager.NextVisible());

    AppendHistoryRows(Data.Table(), 60, [](int I) { return GeneratedRow(I); });
    Pager.Condition.HasConditions = true;
    Pager.Condition.CorpKanji = QStringLiteral("河井");
    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, 1), THistoryLoadResult::Loaded);
    EXPECT_EQ(Pager.TotalRows, 20);
    EXPECT_EQ(RecNos(Pager), QList<int>({58, 55, 52, 49, 46, 43, 40, 37, 34, 31}));
    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Next, 1), THistoryLoadResult::Loaded);
    EXPECT_EQ(RecNos(Pager), QList<int>({28, 25, 22, 19, 16, 13, 10, 7, 4, 1}));

    // The top row of the page edited so that it no longer passes: "previous" walks on from it.
    Data.Table().SetIndexName(QString());
    ASSERT_TRUE(Data.Table().FindKey({28}));
    Data.Table().Edit();
    Data.Table().FieldByName(QStringLiteral("CorpKanji")).SetAsString(QStringLiteral("別会社"));
    Data.Table().Post();
    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Previous, 1), THistoryLoadResult::Loaded);
    EXPECT_EQ(RecNos(Pager), QList<int>({58, 55, 52, 49, 46, 43, 40, 37, 34, 31}));

    // The anchor deleted: nothing to page from.
    Data.Table().SetIndexName(QString());
    ASSERT_TRUE(Data.Table().FindKey({31}));
    Data.Table().Delete();
    EXPECT_EQ(Pager.Load(Data.Table(), THistoryPager::Next, 1), THistoryLoadResult::Gone);

    Pager.Condition.CorpKanji = QStringLiteral("存在しない");
    EXPECT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, 1), THistoryLoadResult::Empty);
    EXPECT_TRUE(Pager.Lines.isEmpty());
}

TEST(HisPagerTest, CellsOfARow)
{
    QTemporaryDir Dir;
    THisFixtureData Data(Dir.path());
    AppendHistoryRows(Data.Table(), 3, [](int I) {
        THisFixtureRow Row;
        Row.When = I == 0 ? 45000.5 + 1.0 / 86400 * 3723 : I == 1 ? 45001.9999999999 : 0;
        Row.Tel = I == 0 ? QStringLiteral(" 03-1234-5678 ") : I == 1 ? QStringLiteral("O") : QStringLiteral("$");
        Row.CorpKanji = QStringLiteral("　青井商事 ");
        Row.Division = I == 0 ? QStringLiteral("0") : I == 1 ? QStringLiteral("1") : QStringLiteral("9");
        Row.Rank = QStringLiteral(" Ａ");
        return Row;
    });
    THistoryPager Pager;
    Pager.Weekdays.AllWeek = true;
    ASSERT_EQ(Pager.Load(Data.Table(), THistoryPager::Reload, 1), THistoryLoadResult::Loaded);
    ASSERT_EQ(Pager.Lines.size(), 3);
    const QStringList First = Pager.Lines[0].Cells;
    EXPECT_EQ(First.mid(0, 8),
              QStringList({"1", "2023/03/17", "00:00:00", "表示圏外", "　青井商事", "", "既存", "Ａ"}));
    EXPECT_EQ(Pager.Lines[1].Cells.mid(1, 4), QStringList({"2023/03/15", "13:02:03", "03-1234-5678", "　青井商事"}));
    EXPECT_EQ(Pager.Lines[1].Cells[6], QStringLiteral("新規"));
    EXPECT_EQ(Pager.Lines[2].Cells.mid(1, 4), QStringList({"", "", "特殊電話番号", "　青井商事"}));
    EXPECT_EQ(Pager.Lines[2].Cells[6], QString());
    EXPECT_EQ(Pager.Lines[2].Text().count(u'\t'), 11);
}

TEST(HisPagerTest, DeletingAllMatchingRowsAndPurging)
{
    QTemporaryDir Dir;
    THisFixtureData Data(Dir.path());
    AppendHistoryRows(Data.Table(), 900, [](int I) { return GeneratedRow(I); });
    THistoryPager Pager;
    Pager.Condition.HasConditions = true;
    Pager.Condition.CorpKana = QStringLiteral("ｶﾜ");
    Pager.Weekdays.Days[2] = true; // Mondays
    Pager.Weekdays.Days[4] = true; // Wednesdays
    QSet<int> Matching;
    QSet<int> Before = AllRecNos(Data.Table());
    Data.Table().SetIndexName(QString());
    for (Data.Table().First();;) {
        if (Pager.RowMatches(Data.Table()))
            Matching << Data.Table().FieldByName(QStringLiteral("RecNo")).AsInteger();
        if (Data.Table().MoveBy(1) == 0)
            break;
    }
    ASSERT_GT(Matching.size(), 50);
    ASSERT_LT(Matching.size(), 300);
    EXPECT_EQ(Pager.DeleteMatching(Data.Table()), Matching.size());
    EXPECT_EQ(AllRecNos(Data.Table()), Before - Matching);

    // Purge: rows whose day is at or before the limit go, newer ones stay; a refusal keeps all.
    const int Limit = 45001;
    QSet<int> Old;
    Data.Table().SetIndexName(QString());
    for (Data.Table().First();;) {
        if (Data.Table().FieldByName(QStringLiteral("RecvDateTime")).AsFloat() < Limit + 1)
            Old << Data.Table().FieldByName(QStringLiteral("RecNo")).AsInteger();
        if (Data.Table().MoveBy(1) == 0)
            break;
    }
    const QSet<int> Left = AllRecNos(Data.Table());
    int Asked = 0;
    EXPECT_EQ(PurgeHistoryRows(Data.Table(), Limit,
                               [&] {
                                   ++Asked;
                                   return false;
                               }),
              0);
    EXPECT_EQ(AllRecNos(Data.Table()), Left);
    EXPECT_EQ(PurgeHistoryRows(Data.Table(), Limit,
                               [&] {
                                   ++Asked;
                                   return true;
                               }),
              Old.size());
    EXPECT_EQ(Asked, 2);
    EXPECT_EQ(AllRecNos(Data.Table()), Left - Old);
    EXPECT_EQ(PurgeHistoryRows(Data.Table(), Limit,
                               [&] {
                                   ++Asked;
                                   return true;
                               }),
              0);
    EXPECT_EQ(Asked, 2); // nothing old left: no question

    const QList<int> Gone = DeleteHistoryRows(Data.Table(), {899, 898, 123456});
    EXPECT_EQ(Gone, QList<int>({899, 898}));
}

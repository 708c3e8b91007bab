#include "directory/list/MeiboPager.h"

#include "main/common/CallerRec.h"
#include "tests/unit/MeiboTableFixture.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QList<int> RecNos(const TMeiboPager& Pager)
{
    QList<int> Result;
    for (const TListLine& Line : Pager.Lines)
        Result << Line.RecNo;
    return Result;
}

class MeiboPagerTest : public ::testing::Test
{
protected:
    QTemporaryDir Dir;
    TMeiboFixtureData Data{Dir.path()};
    TTable& Table = Data.Table();
};

} // namespace

// Every order pages forward over the whole table and back again without skipping or repeating a
// row, also where a page edge falls inside a run of equal keys.
TEST_F(MeiboPagerTest, EverySortOrderPagesForwardAndBackOverEqualKeys)
{
    AppendMeiboRows(Table, 95, GeneratedMeiboRow);
    for (int Sort = 0; Sort < 6; ++Sort) {
        TMeiboPager Pager;
        Pager.ListMaxCount = 7;
        Pager.SortIndex = Sort;
        ASSERT_EQ(Pager.Load(Table, TMeiboPager::Reload, 1), TListLoadResult::Loaded);
        QList<int> Forward = RecNos(Pager);
        while (Pager.NextVisible()) {
            ASSERT_EQ(Pager.Load(Table, TMeiboPager::Next, 1), TListLoadResult::Loaded) << Sort;
            Forward += RecNos(Pager);
        }
        EXPECT_EQ(Pager.CurrentPage, 14) << Sort;
        EXPECT_EQ(Pager.Lines.last().Cells[0], QStringLiteral("95")) << Sort;
        EXPECT_EQ(Pager.Load(Table, TMeiboPager::Next, 1), TListLoadResult::NoNext);
        // The walk is the index's order, ties by RecNo.
        const QList<int> Expected = IndexOrder(Table, TMeiboPager::IndexOf(Sort));
        EXPECT_EQ(Forward, Expected) << Sort;

        QList<int> Backward = RecNos(Pager);
        while (Pager.PrevVisible()) {
            ASSERT_EQ(Pager.Load(Table, TMeiboPager::Previous, 1), TListLoadResult::Loaded) << Sort;
            // A page built upwards is full and numbered from the top.
            EXPECT_EQ(Pager.Lines.size(), 7);
            EXPECT_EQ(Pager.Lines.first().Cells[0].toInt(), (Pager.CurrentPage - 1) * 7 + 1);
            Backward = RecNos(Pager) + Backward;
        }
        EXPECT_EQ(Backward, Expected) << Sort;
        EXPECT_EQ(Pager.Load(Table, TMeiboPager::Previous, 1), TListLoadResult::NoPrevious);
    }
}

TEST_F(MeiboPagerTest, NameOrderIsCp932ByteOrder)
{
    AppendMeiboRows(Table, 3, [](int I) {
        TMeiboFixtureRow Row;
        Row.NameKana = QStringList{QStringLiteral("ｱｵｷ"), QStringLiteral("アオキ"), QStringLiteral("ｱｵｲ")}[I];
        return Row;
    });
    TMeiboPager Pager;
    Pager.SortIndex = 5;
    ASSERT_EQ(Pager.Load(Table, TMeiboPager::Reload, 1), TListLoadResult::Loaded);
    // Full-width katakana lead with 0x83, half-width ones are single bytes from 0xA6.
    EXPECT_EQ(RecNos(Pager), (QList<int>{1, 2, 0}));
}

TEST_F(MeiboPagerTest, PagesAgainstTheConditionsAndVanishingRows)
{
    AppendMeiboRows(Table, 450, GeneratedMeiboRow);
    TMeiboPager Pager;
    Pager.SortIndex = 0;
    ASSERT_EQ(Pager.Load(Table, TMeiboPager::Reload, 3), TListLoadResult::Loaded);
    EXPECT_EQ(Pager.Lines.size(), 50);
    EXPECT_EQ(Pager.Lines.first().Cells[0], QStringLiteral("401"));
    EXPECT_FALSE(Pager.NextVisible());

    // Another window deletes 100 rows: 350 are left, and page 3 would begin past them.
    ASSERT_EQ(DeleteRowsByRecNo(Table,
                                [] {
                                    QList<int> R;
                                    for (int I = 0; I < 100; ++I)
                                        R << I;
                                    return R;
                                }())
                  .size(),
              100);
    ASSERT_EQ(Pager.Load(Table, TMeiboPager::Reload, 0), TListLoadResult::Loaded);
    EXPECT_EQ(Pager.TotalRows, 350);
    EXPECT_EQ(Pager.CurrentPage, 1);

    // The first row of page 2 goes from outside: the step back cannot find its anchor.
    ASSERT_EQ(Pager.Load(Table, TMeiboPager::Next, 1), TListLoadResult::Loaded);
    ASSERT_EQ(DeleteRowsByRecNo(Table, {Pager.FirstRecNo}).size(), 1);
    EXPECT_EQ(Pager.Load(Table, TMeiboPager::Previous, 1), TListLoadResult::Gone);
    EXPECT_EQ(Pager.CurrentPage, 2);

    // Exactly one page of matches: no next page and no jump.
    Pager.Condition.HasConditions = true;
    Pager.Condition.NameKanji = QStringLiteral("河井");
    Pager.ListMaxCount = 70;
    ASSERT_EQ(Pager.Load(Table, TMeiboPager::Reload, 1), TListLoadResult::Loaded);
    EXPECT_EQ(Pager.TotalRows, 70);
    EXPECT_FALSE(Pager.NextVisible());
    EXPECT_FALSE(Pager.JumpVisible());
    EXPECT_FALSE(Table.Filtered());

    Pager.Condition.NameKanji = QStringLiteral("誰");
    EXPECT_EQ(Pager.Load(Table, TMeiboPager::Reload, 1), TListLoadResult::Empty);
    EXPECT_EQ(Pager.TotalRows, 0);
}

TEST_F(MeiboPagerTest, DeleteMatchingTakesExactlyTheMatchingRows)
{
    AppendMeiboRows(Table, 450, GeneratedMeiboRow);
    TMeiboPager Pager;
    Pager.SortIndex = 3;
    Pager.Condition.HasConditions = true;
    // Even rows lie in 港区, and every fourth of them, from row 2 on, in its 千代田3丁目.
    Pager.Condition.Adrs = QStringLiteral("港区千代田3");
    QSet<int> Expected;
    for (int I = 2; I < 450; I += 4)
        Expected << I;
    EXPECT_EQ(Pager.DeleteMatching(Table), Expected.size());
    const QList<int> Remaining = IndexOrder(Table, QString());
    EXPECT_EQ(Remaining.size(), 450 - Expected.size());
    for (int RecNo : Remaining) {
        EXPECT_FALSE(Expected.contains(RecNo)) << RecNo;
    }

    Pager.Condition = TMeiboSearchCondition();
    EXPECT_EQ(Pager.DeleteMatching(Table), Remaining.size());
    EXPECT_EQ(Table.RecordCount(), 0);
}

TEST_F(MeiboPagerTest, CellsAndTheInquiryRecord)
{
    AppendMeiboRows(Table, 1, GeneratedMeiboRow);
    Table.SetIndexName(QString());
    Table.First();
    Table.Edit();
    Table.FieldByName(QStringLiteral("Pos")).SetAsString(QStringLiteral("1000001"));
    Table.FieldByName(QStringLiteral("PrivCorp")).SetAsString(QStringLiteral("1"));
    Table.FieldByName(QStringLiteral("Note")).SetAsString(QStringLiteral("一行目\r\n二行目\r\n"));
    Table.FieldByName(QStringLiteral("CorpKanji")).SetAsString(QStringLiteral(" 青木商事 "));
    Table.Post();
    EXPECT_EQ(TMeiboPager::RowCells(Table, 7),
              (QStringList{"7", "03-1000-5000", "", "東京都港区千代田1丁目0", "青木商事", "青木太郎"}));
    TCallerRecord Record;
    MeiboRowToRecord(Table, Record);
    EXPECT_EQ(Record.RecNo, 0);
    EXPECT_EQ(Record.Tel[0], QStringLiteral("03-1000-5000"));
    EXPECT_EQ(Record.Pos, QStringLiteral("100-0001"));
    EXPECT_EQ(Record.PrivCorp, 1);
    EXPECT_EQ(Record.CorpKanji, QStringLiteral("青木商事"));
    // The note's last break is a line of its own, so that the record window writes the note back whole.
    EXPECT_EQ(Record.Note, (QStringList{"一行目", "二行目", ""}));
    // The record window looks an entry up by its RecNo, never by a search number.
    EXPECT_TRUE(Record.SchTel[0].isEmpty());
    EXPECT_TRUE(Record.SchTel[1].isEmpty());
}

// Deleting the matching rows is one transaction: a failure in the middle leaves the table as it
// was before the command.
TEST_F(MeiboPagerTest, DeleteMatchingIsAllOrNothing)
{
    AppendMeiboRows(Table, 300, GeneratedMeiboRow);
    Table.SetIndexName(QStringLiteral("NameKana"));
    int Seen = 0;
    EXPECT_THROW(DeleteMatchingRows(Table, true,
                                    [&Seen](TTable&) {
                                        if (++Seen == 150)
                                            throw EDatabaseError(QStringLiteral("disk full"));
                                        return true;
                                    }),
                 EDatabaseError);
    EXPECT_EQ(Table.RecordCount(), 300);
}

// A page chosen by number is the same page whether it is reached from the first row or, nearer the
// end, from the last: same rows, same running numbers, in every order and under a condition.
TEST_F(MeiboPagerTest, APageByNumberIsTheSameFromEitherEnd)
{
    AppendMeiboRows(Table, 95, GeneratedMeiboRow);
    for (const bool Filtered : {false, true}) {
        for (int Sort = 0; Sort < 6; ++Sort) {
            TMeiboPager Walk;
            Walk.ListMaxCount = 7;
            Walk.SortIndex = Sort;
            Walk.LastPageRoundsUp = true;
            if (Filtered) {
                Walk.Condition.HasConditions = true;
                Walk.Condition.Adrs = QStringLiteral("千代田区");
            }
            QList<QList<int>> Pages;
            QList<QString> Firsts;
            ASSERT_EQ(Walk.Load(Table, TMeiboPager::Reload, 1), TListLoadResult::Loaded);
            do {
                Pages << RecNos(Walk);
                Firsts << Walk.Lines.first().Cells.first();
            } while (Walk.Load(Table, TMeiboPager::Next, 1) == TListLoadResult::Loaded);
            ASSERT_GT(Pages.size(), 3);
            for (int Page = 1; Page <= Pages.size(); ++Page) {
                TMeiboPager Jump = Walk;
                ASSERT_EQ(Jump.Load(Table, TMeiboPager::Reload, Page), TListLoadResult::Loaded);
                EXPECT_EQ(RecNos(Jump), Pages[Page - 1]) << "sort " << Sort << " page " << Page;
                EXPECT_EQ(Jump.Lines.first().Cells.first(), Firsts[Page - 1]);
            }
        }
    }
}

// Paging through the whole directory under a condition costs steps in proportion to its rows: a
// step goes on from the page's edge, it does not read the directory again from its start.
TEST_F(MeiboPagerTest, PagingUnderAConditionCostsStepsInProportionToTheRows)
{
    const auto Row = [](int I) {
        TMeiboFixtureRow R = GeneratedMeiboRow(I);
        R.Tel1 = QStringLiteral("03%1").arg(10000000 + I);
        R.NameKanji = I % 4 == 0 ? QStringLiteral("山田") : QStringLiteral("鈴木");
        return R;
    };
    long long Steps[2] = {};
    int Added = 0;
    for (const int Count : {1000, 4000}) {
        AppendMeiboRows(Table, Count - Added, [&Row, Added](int I) { return Row(Added + I); });
        Added = Count;
        for (const int Sort : {0, 1, 5}) {
            TMeiboPager Pager;
            Pager.ListMaxCount = 50;
            Pager.SortIndex = Sort;
            Pager.Condition.HasConditions = true;
            Pager.Condition.NameKanji = QStringLiteral("山田");
            const long long Before = TableVmSteps();
            int Pages = 1;
            ASSERT_EQ(Pager.Load(Table, TMeiboPager::Reload, 1), TListLoadResult::Loaded);
            while (Pager.Load(Table, TMeiboPager::Next, 1) == TListLoadResult::Loaded)
                ++Pages;
            Data.Module.CloseMeibo();
            Steps[Count == 1000 ? 0 : 1] += TableVmSteps() - Before;
            Data.Module.OpenMeibo();
            EXPECT_EQ(Pages, Count / 4 / 50);
        }
    }
    EXPECT_LE(Steps[1], 5 * Steps[0]) << Steps[0] << " steps for 1000 rows, " << Steps[1] << " for 4000";
}

namespace {

// The readings of GeneratedMeiboRow, "ﾔﾏﾀﾞ" last in their order; one row in four of those (one in
// twenty of all) has the name "名前42", the number 0499... and the address part "梅田１～３".
TMeiboFixtureRow MetLateRow(int I)
{
    TMeiboFixtureRow R = GeneratedMeiboRow(I);
    const bool Meets = R.NameKana == QStringLiteral("ﾔﾏﾀﾞ") && I % 4 == 0;
    R.Tel1 = QStringLiteral("%1%2").arg(Meets ? QStringLiteral("0499") : QStringLiteral("03")).arg(10000000 + I);
    R.Adrs2 = Meets ? QStringLiteral("梅田１～３") : QStringLiteral("千代田");
    R.NameKanji = Meets ? QStringLiteral("名前42") : QStringLiteral("名前41");
    return R;
}

} // namespace

// A condition met only by rows whose reading sorts last: paging through them in the reading order,
// forwards and back, and searching anew with each kind of condition cost steps in proportion to
// the rows. A step seeks on its anchor under the condition; it does not walk the readings before
// the first row that meets it again, nor does switching the condition on.
TEST_F(MeiboPagerTest, ConditionMetLateInTheReadingOrderCostsStepsInProportionToTheRows)
{
    TMeiboSearchCondition Kinds[3];
    Kinds[0].NameKanji = QStringLiteral("名前42");
    Kinds[1].Adrs = QStringLiteral("梅田１〜３");
    Kinds[2].Tel = QStringLiteral("0499");
    long long Paging[2] = {};
    long long Searching[2] = {};
    int Added = 0;
    for (const int Count : {1000, 4000}) {
        AppendMeiboRows(Table, Count - Added, [Added](int I) { return MetLateRow(Added + I); });
        Added = Count;
        const int Slot = Count == 1000 ? 0 : 1;
        for (TMeiboSearchCondition& Kind : Kinds) {
            Kind.HasConditions = true;
            TMeiboPager Pager;
            Pager.ListMaxCount = 10;
            Pager.SortIndex = 5;
            Pager.Condition = Kind;
            long long Before = TableVmSteps();
            ASSERT_EQ(Pager.Load(Table, TMeiboPager::Reload, 1), TListLoadResult::Loaded);
            Data.Module.CloseMeibo();
            Searching[Slot] += TableVmSteps() - Before;
            Data.Module.OpenMeibo();
            EXPECT_EQ(Pager.TotalRows, Count / 20);

            Before = TableVmSteps();
            int Pages = 1;
            while (Pager.Load(Table, TMeiboPager::Next, 1) == TListLoadResult::Loaded)
                ++Pages;
            while (Pager.Load(Table, TMeiboPager::Previous, 1) == TListLoadResult::Loaded)
                --Pages;
            Data.Module.CloseMeibo();
            Paging[Slot] += TableVmSteps() - Before;
            Data.Module.OpenMeibo();
            EXPECT_EQ(Pages, 1);
            EXPECT_EQ(Pager.CurrentPage, 1);
        }
    }
    EXPECT_LE(Paging[1], 5 * Paging[0]) << Paging[0] << " steps for 1000 rows, " << Paging[1] << " for 4000";
    EXPECT_LE(Searching[1], 5 * Searching[0])
        << Searching[0] << " steps for 1000 rows, " << Searching[1] << " for 4000";
}

// Deleting what a condition met late in the reading order meets costs steps in proportion to the
// rows, and takes exactly those rows.
TEST_F(MeiboPagerTest, DeletingWhatAConditionMeetsCostsStepsInProportionToTheRows)
{
    long long Steps[2] = {};
    for (const int Count : {1000, 4000}) {
        AppendMeiboRows(Table, Count, MetLateRow);
        TMeiboPager Pager;
        Pager.SortIndex = 5;
        Pager.Condition.HasConditions = true;
        Pager.Condition.NameKanji = QStringLiteral("名前42");
        const long long Before = TableVmSteps();
        EXPECT_EQ(Pager.DeleteMatching(Table), Count / 20);
        Data.Module.CloseMeibo();
        Steps[Count == 1000 ? 0 : 1] += TableVmSteps() - Before;
        Data.Module.OpenMeibo();
        EXPECT_EQ(Table.RecordCount(), Count - Count / 20);
        // The rest, for the next round to start empty.
        Pager.Condition.NameKanji = QStringLiteral("名前4");
        EXPECT_EQ(Pager.DeleteMatching(Table), Count - Count / 20);
    }
    EXPECT_LE(Steps[1], 5 * Steps[0]) << Steps[0] << " steps for 1000 rows, " << Steps[1] << " for 4000";
}

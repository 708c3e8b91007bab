#include "transfer/export/ExportList.h"

#include "HisTableFixture.h"
#include "MeiboTableFixture.h"
#include "platform/db/Table.h"
#include "platform/text/Cp932.h"
#include "transfer/export/ExportRun.h"
#include "transfer/export/ExportTarget.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QList<int> Numbers(const TListPages& Pages)
{
    QList<int> Result;
    for (const TListLine& Line : Pages.Lines)
        Result << Line.Cells[0].toInt();
    return Result;
}

} // namespace

TEST(ExportListTest, PagesOfTwentyFiveHistoryRows)
{
    QTemporaryDir Dir;
    THisFixtureData Data(Dir.path());
    AppendHistoryRows(Data.Table(), 25, [](int I) { return GeneratedRow(I); });
    TExportListModel Model(ExportSourceHistory);
    Model.Pages().ListMaxCount = 10;
    ASSERT_EQ(Model.Load(Data.Table(), TListPages::Reload, 1), TListLoadResult::Loaded);
    EXPECT_EQ(Model.Pages().PageCount(), 3);
    EXPECT_TRUE(Model.Pages().JumpVisible());
    EXPECT_EQ(Model.Pages().Lines.size(), 11 - 1);
    EXPECT_EQ(Model.Pages().Lines[0].Cells.size(), 11);
    ASSERT_EQ(Model.Load(Data.Table(), TListPages::Next, 1), TListLoadResult::Loaded);
    EXPECT_EQ(Model.Pages().CurrentPage, 2);
    // A page past the rows shows the last page with rows; the history list would show page 2.
    ASSERT_EQ(Model.Load(Data.Table(), TListPages::Reload, 4), TListLoadResult::Loaded);
    EXPECT_EQ(Model.Pages().CurrentPage, 3);
    EXPECT_EQ(Numbers(Model.Pages()), QList<int>({21, 22, 23, 24, 25}));
    EXPECT_FALSE(Model.Pages().NextVisible());
    THistoryPager Plain;
    Plain.Weekdays.AllWeek = true;
    Plain.ListMaxCount = 10;
    ASSERT_EQ(Plain.Load(Data.Table(), TListPages::Reload, 4), TListLoadResult::Loaded);
    EXPECT_EQ(Plain.CurrentPage, 2);

    // Nothing matches: empty.
    Model.HistoryCondition().HasConditions = true;
    Model.HistoryCondition().Tel = QStringLiteral("999");
    EXPECT_EQ(Model.Load(Data.Table(), TListPages::Reload, 1), TListLoadResult::Empty);
    EXPECT_TRUE(Model.HasConditions());
}

TEST(ExportListTest, DirectoryByAddressListsAndExportsInAdrsOrder)
{
    QTemporaryDir Dir;
    TMeiboFixtureData Data(Dir.path());
    AppendMeiboRows(Data.Table(), 12, [](int I) { return GeneratedMeiboRow(I); });
    TExportListModel Model(ExportSourceMeibo);
    Model.Pages().ListMaxCount = 5;
    Model.SetSortIndex(3);
    ASSERT_EQ(Model.Load(Data.Table(), TListPages::Reload, 1), TListLoadResult::Loaded);
    EXPECT_EQ(Numbers(Model.Pages()), QList<int>({1, 2, 3, 4, 5}));
    const QList<int> Order = IndexOrder(Data.Table(), QStringLiteral("Adrs"));
    QList<int> Shown;
    for (const TListLine& Line : Model.Pages().Lines)
        Shown << Line.RecNo;
    EXPECT_EQ(Shown, Order.mid(0, 5));

    // "全件" writes the same order; the RecNo column shows which row each line is.
    TExportSource Source = Model.ExportSourceOf(Data.Table(), nullptr);
    Source.Layout = {{1, 7}, {2, 5}, {3, 6}};
    Source.Settings.OutHeader = false;
    TExportTextFile File;
    ASSERT_TRUE(File.Open(Dir.filePath("all.txt"), false));
    EXPECT_EQ(ExportAll(File, Source).Written, 12);
    ASSERT_TRUE(File.Commit());
    QStringList Expected;
    Data.Table().SetIndexName(QStringLiteral("Adrs"));
    for (Data.Table().First(); !Data.Table().IsEmpty();) {
        TTable& T = Data.Table();
        Expected << QStringList{T.FieldByName("JisCode").AsString(), T.FieldByName("Adrs2").AsString(),
                                T.FieldByName("Adrs3").AsString()}
                        .join(u',');
        if (Data.Table().MoveBy(1) == 0)
            break;
    }
    QFile Written(Dir.filePath("all.txt"));
    ASSERT_TRUE(Written.open(QIODevice::ReadOnly));
    EXPECT_EQ(Cp932DecodeLenient(Written.readAll()), Expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

TEST(ExportTargetTest, NamesAndQuestions)
{
    EXPECT_EQ(TextTargetName(QStringLiteral(" /tmp/out "), 2), QStringLiteral("/tmp/out.csv"));
    EXPECT_EQ(TextTargetName(QStringLiteral("/tmp/out"), 1), QStringLiteral("/tmp/out.txt"));
    EXPECT_EQ(TextTargetName(QStringLiteral("/tmp/out"), 3), QStringLiteral("/tmp/out.txt"));
    EXPECT_EQ(TextTargetName(QStringLiteral("/tmp/out.dat"), 2), QStringLiteral("/tmp/out.dat"));
    EXPECT_EQ(ExeTargetName(QStringLiteral("/tmp/a.txt")), QStringLiteral("/tmp/a.exe"));
    EXPECT_EQ(ExeTargetName(QStringLiteral("/tmp/a")), QStringLiteral("/tmp/a.exe"));
    EXPECT_EQ(RangeQuestion(3, 3),
              QStringLiteral("3件目のデータをテキストファイルに出力します  \r\nよろしいですか？  "));
    EXPECT_EQ(RangeQuestion(2, 5), QStringLiteral("2件目から5件目までの\r\n4件のデータをテキストファイルに出力します  "
                                                  "\r\nよろしいですか？  "));
    EXPECT_EQ(AllQuestion(7, false, true),
              QStringLiteral("登録されているデータ 7件すべてをテキストファイルに出力します  \r\nよろしいですか？  "));
    EXPECT_EQ(AllQuestion(7, true, false), QStringLiteral("検索条件にマッチしたデータ  7件すべてをテキストファイルに"
                                                          "出力します  \r\nよろしいですか？  "));
    EXPECT_EQ(SelectedQuestion(2), QStringLiteral("2件のデータをテキストファイルに出力します  \r\nよろしいですか？  "));
    EXPECT_EQ(ExportDoneText(3, 2),
              QStringLiteral("テキストファイル出力が完了しました  \r\n\r\n対象件数 = 3件\r\n出力件数 = 2件"));
}

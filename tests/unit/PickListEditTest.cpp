#include "directory/picklist/PickListEdit.h"

#include "FileSizeLimit.h"
#include "main/settings/Settings.h"
#include "tests/support/RecvData.h"

#include <gtest/gtest.h>

namespace {

// "a b c" with the items named in Chosen selected.
TPickList ListOf(const QStringList& Items, const QList<int>& Chosen = {})
{
    TPickList List = TPickList::Of(Items);
    for (int I : Chosen)
        List.Selected[I] = true;
    return List;
}

TEST(PickListEdit, AddsOnTopAsTheOnlySelectedName)
{
    TPickList List = ListOf({"A", "B"}, {1});
    EXPECT_EQ(AddName(List, QStringLiteral(" 至急 ")), TPickRefusal::None);
    EXPECT_EQ(List.Items, QStringList({QStringLiteral("至急"), "A", "B"}));
    EXPECT_EQ(List.SelectedIndexes(), QList<int>{0});
    EXPECT_EQ(List.Current, 0);
    // Letter case makes another name; the exact name is refused, as is a blank one.
    EXPECT_EQ(AddName(List, QStringLiteral("a")), TPickRefusal::None);
    EXPECT_EQ(AddName(List, QStringLiteral("B")), TPickRefusal::NameExists);
    EXPECT_EQ(AddName(List, QStringLiteral(" \t")), TPickRefusal::NameBlank);
    EXPECT_EQ(List.Items.size(), 4);
}

TEST(PickListEdit, RenameRefusesInTheOrderTheUserMeetsThem)
{
    const struct
    {
        QList<int> Chosen;
        const char* Name;
        TPickRefusal Refusal;
    } Cases[] = {
        {{0}, " ", TPickRefusal::NameBlank},
        {{}, "X", TPickRefusal::NothingSelected},
        {{0, 2}, "X", TPickRefusal::SeveralSelected},
        {{0}, "C", TPickRefusal::NameExists},
        {{2}, "C", TPickRefusal::None}, // its own name again
        {{1}, " X ", TPickRefusal::None},
    };
    for (const auto& Case : Cases) {
        TPickList List = ListOf({"A", "B", "C"}, Case.Chosen);
        EXPECT_EQ(RenameSelected(List, QString::fromUtf8(Case.Name)), Case.Refusal) << Case.Name;
        if (Case.Refusal == TPickRefusal::None) {
            EXPECT_EQ(List.Items[Case.Chosen[0]], QString::fromUtf8(Case.Name).trimmed());
            EXPECT_EQ(List.SelectedIndexes(), Case.Chosen);
        }
    }
    EXPECT_EQ(RefusalText(TPickRefusal::SeveralSelected), QStringLiteral("変更するデータを１件だけ選択してください  "));
}

TEST(PickListEdit, MovesTheSelectedBlockOnePlaceUnlessItIsAtTheEnd)
{
    const struct
    {
        QList<int> Chosen;
        bool Up;
        QStringList After;
        QList<int> Selected;
    } Cases[] = {
        {{1, 2}, true, {"B", "C", "A", "D"}, {0, 1}},
        {{1, 3}, true, {"B", "A", "D", "C"}, {0, 2}},
        {{0, 2}, true, {"A", "B", "C", "D"}, {0, 2}}, // the first item is in the block
        {{1, 2}, false, {"A", "D", "B", "C"}, {2, 3}},
        {{0, 3}, false, {"A", "B", "C", "D"}, {0, 3}}, // the last item is in the block
        {{}, true, {"A", "B", "C", "D"}, {}},
    };
    for (const auto& Case : Cases) {
        TPickList List = ListOf({"A", "B", "C", "D"}, Case.Chosen);
        List.Current = Case.Chosen.value(0, -1);
        EXPECT_EQ(MoveSelected(List, Case.Up), Case.After != QStringList({"A", "B", "C", "D"}));
        EXPECT_EQ(List.Items, Case.After) << Case.Chosen.size() << Case.Up;
        EXPECT_EQ(List.SelectedIndexes(), Case.Selected);
        EXPECT_EQ(List.Current, Case.Selected.value(0, -1)) << "the focus moves with its item";
    }
}

TEST(PickListEdit, MoveButtonsFollowTheEndsOfTheSelection)
{
    EXPECT_FALSE(MoveButtonsFor(ListOf({"A", "B"})).Up);
    EXPECT_FALSE(MoveButtonsFor(ListOf({"A", "B"})).Down);
    EXPECT_FALSE(MoveButtonsFor(ListOf({"A", "B", "C"}, {0, 1})).Up);
    EXPECT_TRUE(MoveButtonsFor(ListOf({"A", "B", "C"}, {0, 1})).Down);
    EXPECT_TRUE(MoveButtonsFor(ListOf({"A", "B", "C"}, {1, 2})).Up);
    EXPECT_FALSE(MoveButtonsFor(ListOf({"A", "B", "C"}, {1, 2})).Down);
}

TEST(PickListEdit, DeletesTheSelectedItems)
{
    TPickList List = ListOf({"A", "B", "C", "D"}, {0, 2, 3});
    List.Current = 3;
    DeleteSelected(List);
    EXPECT_EQ(List.Items, QStringList{"B"});
    EXPECT_EQ(List.Current, 0);
    DeleteSelected(List); // nothing selected: nothing goes
    EXPECT_EQ(List.Items, QStringList{"B"});
}

class PickListTabsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.SelectItem1 = QStringLiteral("内容");
        Settings.SelectItem2 = QStringLiteral("メモ");
        Settings.SelectItem3 = QStringLiteral("受付");
    }
    void TearDown() override { Settings = TSettings(); }
    TRecvData Data;
};

TEST_F(PickListTabsTest, RewritesOnlyTheChangedListsWithFallingStamps)
{
    SelItemHistory[1]->Add(QStringLiteral("残す"), 45000);
    ASSERT_TRUE(SelItemHistory[1]->Save());
    TPickListTabs Tabs;
    Tabs.Prepare(false);
    ASSERT_EQ(Tabs.Count(), 4);
    Tabs.Tab(0).Changed = true;
    Tabs.Tab(0).ItemsCopy = QStringList{"S", "A", "B"};
    Tabs.Tab(2).ItemsCopy = QStringList{}; // shown, not changed
    EXPECT_EQ(Tabs.ChangedBits(), 1);
    ASSERT_TRUE(Tabs.SaveChanged().isEmpty());

    THistoryData Rank(Data.Folder + QStringLiteral("Rank.mtd"), false, 20);
    ASSERT_TRUE(Rank.Load());
    ASSERT_EQ(Rank.Count(), 3);
    for (int J = 0; J < 3; ++J) {
        EXPECT_EQ(Rank.GetText(J), QStringList({"S", "A", "B"})[J]);
        EXPECT_EQ(Rank.Items()->at(J).Stamp, 3 - J);
    }
    THistoryData Memo(Data.Folder + QStringLiteral("SelItem2.mtd"), false, 60);
    ASSERT_TRUE(Memo.Load());
    EXPECT_EQ(Memo.GetText(0), QStringLiteral("残す"));
}

TEST_F(PickListTabsTest, AFailedWriteKeepsTheListInMemoryAsItWas)
{
    RankHistory->Add(QStringLiteral("A"), 2);
    RankHistory->Add(QStringLiteral("B"), 1);
    TPickListTabs Tabs;
    Tabs.Prepare(true);
    Tabs.Tab(0).Changed = true;
    Tabs.Tab(0).ItemsCopy = QStringList{"新しい", "順番", "です"};
    QString Failure;
    {
        TFileSizeLimit Limit(8);
        Failure = Tabs.SaveChanged();
    }
    EXPECT_EQ(Failure, RankHistory->FileName() + QStringLiteral("\r\nデータが書き込めませんでした"));
    ASSERT_EQ(RankHistory->Count(), 2);
    EXPECT_EQ(RankHistory->GetText(0), QStringLiteral("A"));
    EXPECT_EQ(RankHistory->Items()->at(1).Stamp, 1);
}

TEST_F(PickListTabsTest, CaptionsAndTheCancelQuestionNameTheLists)
{
    TPickListTabs Tabs;
    Tabs.Prepare(false);
    EXPECT_EQ(TPickListTabs::Caption(0), QStringLiteral(" ランク "));
    EXPECT_EQ(TPickListTabs::Caption(3), QStringLiteral(" 受付 "));
    EXPECT_EQ(TPickListTabs::NameLimit(0), 20);
    EXPECT_EQ(TPickListTabs::NameLimit(2), 30);
    Tabs.Tab(1).Changed = true;
    Tabs.Tab(3).Changed = true;
    EXPECT_EQ(Tabs.ChangedBits(), 0b1010);
    EXPECT_EQ(Tabs.CancelQuestion(), QStringLiteral(" 内容 \r\n 受付 \r\n\r\n以上のリストが変更されています  \r\n"
                                                    "このままキャンセルすると変更内容が破棄されますが  \r\n"
                                                    "よろしいですか？  "));
    // Prepared again for the rank list alone, every tab starts over.
    Tabs.Prepare(true);
    EXPECT_EQ(Tabs.Count(), 1);
    EXPECT_EQ(Tabs.ChangedBits(), 0);
}

} // namespace

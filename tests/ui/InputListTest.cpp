#include "directory/picklist/InputLst.h"
#include "main/controls/NMDEdit.h"
#include "main/settings/Settings.h"
#include "main/start/MainHooks.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class InputListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.SelectItem1 = QStringLiteral("内容");
        Settings.SelectItem2 = QStringLiteral("メモ");
        Settings.SelectItem3 = QStringLiteral("受付");
        Fill(RankHistory, {"Ａ", "Ｂ", "Ｃ"});
        Fill(SelItemHistory[0], {"見積", "注文"});
    }
    void TearDown() override { Settings = TSettings(); }

    static void Fill(THistoryData* List, const QStringList& Items)
    {
        for (const QString& Item : Items)
            List->Add(Item, 45000);
        ASSERT_TRUE(List->Save());
    }
    void Open(bool RankOnly, int Tab)
    {
        Editor = std::make_unique<TInputList>();
        Editor->Prepare(RankOnly);
        Editor->SelectList(Tab);
        Editor->show();
        Editor->activateWindow();
        (void)QTest::qWaitForWindowActive(Editor.get());
    }
    QStringList Shown() const
    {
        QStringList Items;
        for (int I = 0; I < Editor->lbxList->count(); ++I)
            Items << Editor->lbxList->item(I)->text();
        return Items;
    }
    void Select(const QList<int>& Rows)
    {
        Editor->lbxList->clearSelection();
        for (int Row : Rows)
            Editor->lbxList->item(Row)->setSelected(true);
    }
    void ClickTab(int Index)
    {
        QTest::mouseClick(Editor->tabctlInputList, Qt::LeftButton, {},
                          Editor->tabctlInputList->tabRect(Index).center());
    }
    // The list as the file holds it: text and stamp of each item.
    QStringList Stored(const QString& FileName, int Bytes) const
    {
        THistoryData List(Data.Folder + FileName, true, Bytes);
        QStringList Items;
        if (List.Load())
            for (const THistoryStruct& Item : *List.Items())
                Items << Item.Text + QLatin1Char('@') + QString::number(Item.Stamp);
        return Items;
    }
    int Changed() const
    {
        int Bits = 0;
        Editor->GetChangedLists(Bits);
        return Bits;
    }

    TRecvData Data;
    std::unique_ptr<TInputList> Editor;
};

TEST_F(InputListTest, ShowsTheListsUnderTheirCaptionsAndLimits)
{
    Open(false, 1);
    EXPECT_EQ(Editor->windowTitle(), QStringLiteral("入力リストの編集"));
    EXPECT_EQ(HelpContextOf(Editor.get()), 51);
    ASSERT_EQ(Editor->tabctlInputList->count(), 4);
    EXPECT_EQ(Editor->tabctlInputList->tabText(0), QStringLiteral(" ランク "));
    EXPECT_EQ(Editor->tabctlInputList->tabText(3), QStringLiteral(" 受付 "));
    EXPECT_EQ(Editor->tabctlInputList->currentIndex(), 1);
    EXPECT_EQ(Shown(), QStringList({"見積", "注文"}));
    EXPECT_EQ(ByteLimit(Editor->edtName), 30);
    EXPECT_EQ(QApplication::focusWidget(), Editor->edtName);
    EXPECT_FALSE(Editor->bbtnUp->isEnabled());
    EXPECT_FALSE(Editor->bbtnDown->isEnabled());
    ClickTab(0);
    EXPECT_EQ(Shown(), QStringList({"Ａ", "Ｂ", "Ｃ"}));
    EXPECT_EQ(ByteLimit(Editor->edtName), 20);

    Open(true, 0);
    EXPECT_EQ(Editor->tabctlInputList->count(), 1);
}

TEST_F(InputListTest, TheRankListCannotBeEmptiedButASelectItemListCan)
{
    TScriptedBoxes Boxes;
    Open(false, 0);
    Select({0, 1, 2});
    QTest::mouseClick(Editor->bbtnDelete, Qt::LeftButton);
    EXPECT_TRUE(Shown().isEmpty());
    ClickTab(1);
    EXPECT_EQ(Editor->tabctlInputList->currentIndex(), 0) << "the tab must not move";
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("ランク情報は１件以上登録してください  ")});
    QTest::keyClick(Editor->tabctlInputList, Qt::Key_Right);
    EXPECT_EQ(Editor->tabctlInputList->currentIndex(), 0);
    QTest::mouseClick(Editor->btnOk, Qt::LeftButton);
    EXPECT_TRUE(Editor->isVisible());
    EXPECT_EQ(Boxes.Texts().size(), 3);

    QTest::keyClicks(Editor->edtName, QStringLiteral("S"));
    QTest::keyClick(Editor->edtName, Qt::Key_Return);
    ClickTab(1);
    ASSERT_EQ(Editor->tabctlInputList->currentIndex(), 1);
    Select({0, 1});
    QTest::mouseClick(Editor->bbtnDelete, Qt::LeftButton);
    ClickTab(2);
    EXPECT_EQ(Editor->tabctlInputList->currentIndex(), 2);
    QTest::mouseClick(Editor->btnOk, Qt::LeftButton);
    EXPECT_EQ(Editor->result(), 1);
    EXPECT_EQ(Changed(), 0b11);
    EXPECT_EQ(Stored(QStringLiteral("Rank.mtd"), 20), QStringList{QStringLiteral("S@1")});
    EXPECT_TRUE(Stored(QStringLiteral("SelItem1.mtd"), 60).isEmpty());
    EXPECT_EQ(Boxes.Texts().size(), 3);
}

TEST_F(InputListTest, OkWritesTheEditedOrderWithFallingStamps)
{
    TScriptedBoxes Boxes;
    Open(true, 0);
    // A name that differs only in letter case is another name.
    Editor->edtName->setText(QStringLiteral("ａ"));
    QTest::mouseClick(Editor->bbtnAdd, Qt::LeftButton);
    EXPECT_EQ(Shown(), QStringList({"ａ", "Ａ", "Ｂ", "Ｃ"}));
    EXPECT_TRUE(Editor->edtName->text().isEmpty());
    Editor->edtName->setText(QStringLiteral("Ａ"));
    QTest::mouseClick(Editor->bbtnAdd, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("既に同じ名称が登録されています  ")});

    // Renaming an item to its own text is no clash.
    Select({2});
    Editor->edtName->setText(QStringLiteral("Ｂ"));
    QTest::mouseClick(Editor->bbtnUpdate, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts().size(), 1);
    EXPECT_EQ(Shown(), QStringList({"ａ", "Ａ", "Ｂ", "Ｃ"}));

    // A block holding the first item does not move up; otherwise it moves as one.
    Select({0, 1});
    EXPECT_FALSE(Editor->bbtnUp->isEnabled());
    EXPECT_TRUE(Editor->bbtnDown->isEnabled());
    Editor->bbtnUp->click();
    EXPECT_EQ(Shown(), QStringList({"ａ", "Ａ", "Ｂ", "Ｃ"}));
    QTest::mouseClick(Editor->bbtnDown, Qt::LeftButton);
    EXPECT_EQ(Shown(), QStringList({"Ｂ", "ａ", "Ａ", "Ｃ"}));
    EXPECT_TRUE(Editor->lbxList->item(1)->isSelected());
    EXPECT_TRUE(Editor->lbxList->item(2)->isSelected());
    EXPECT_TRUE(Editor->bbtnUp->isEnabled());

    QTest::mouseClick(Editor->btnOk, Qt::LeftButton);
    EXPECT_EQ(Editor->result(), 1);
    EXPECT_EQ(Changed(), 1);
    EXPECT_EQ(Stored(QStringLiteral("Rank.mtd"), 20), QStringList({"Ｂ@4", "ａ@3", "Ａ@2", "Ｃ@1"}));
    EXPECT_EQ(RankHistory->GetText(0), QStringLiteral("Ｂ"));
}

TEST_F(InputListTest, DeleteWithoutASelectionStillRewritesTheList)
{
    Open(true, 0);
    QTest::mouseClick(Editor->bbtnDelete, Qt::LeftButton);
    EXPECT_EQ(Shown().size(), 3);
    QTest::mouseClick(Editor->btnOk, Qt::LeftButton);
    EXPECT_EQ(Changed(), 1);
    EXPECT_EQ(Stored(QStringLiteral("Rank.mtd"), 20), QStringList({"Ａ@3", "Ｂ@2", "Ｃ@1"}));
}

TEST_F(InputListTest, CancelAfterChangesAsksAndSavesNothing)
{
    TScriptedBoxes Boxes("No,Yes");
    Open(false, 0);
    Editor->edtName->setText(QStringLiteral("Ｄ"));
    QTest::mouseClick(Editor->bbtnAdd, Qt::LeftButton);
    ClickTab(3);
    Editor->edtName->setText(QStringLiteral("田中"));
    QTest::keyClick(Editor->edtName, Qt::Key_Return);
    QTest::mouseClick(Editor->btnCancel, Qt::LeftButton);
    ASSERT_EQ(Boxes.Boxes().size(), 1);
    EXPECT_EQ(Boxes.Texts()[0], QStringLiteral(" ランク \r\n 受付 \r\n\r\n以上のリストが変更されています  \r\n"
                                               "このままキャンセルすると変更内容が破棄されますが  \r\n"
                                               "よろしいですか？  "));
    EXPECT_EQ(Boxes.Boxes()[0].value(QStringLiteral("default")).toString(), QStringLiteral("No"));
    EXPECT_TRUE(Editor->isVisible()) << "No keeps the editor open";
    QTest::keyClick(Editor.get(), Qt::Key_Escape); // asked again, answered Yes
    EXPECT_FALSE(Editor->isVisible());
    EXPECT_EQ(Boxes.Boxes().size(), 2);
    EXPECT_EQ(Editor->result(), 2);
    EXPECT_EQ(Stored(QStringLiteral("Rank.mtd"), 20).size(), 3);
    EXPECT_TRUE(Stored(QStringLiteral("SelItem3.mtd"), 60).isEmpty());
    EXPECT_EQ(RankHistory->Count(), 3);

    // Nothing changed: no question.
    Open(false, 0);
    QTest::mouseClick(Editor->btnCancel, Qt::LeftButton);
    EXPECT_EQ(Editor->result(), 2);
    EXPECT_EQ(Boxes.Boxes().size(), 2);
}

TEST_F(InputListTest, EachTabKeepsItsEditAndSelectionAndTheKeysWalk)
{
    TScriptedBoxes Boxes;
    Open(false, 0);
    // Enter in an empty edit goes to Cancel while nothing changed, to OK afterwards.
    QTest::keyClick(Editor->edtName, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Editor->btnCancel);
    EXPECT_TRUE(Boxes.Texts().isEmpty());

    Select({1});
    Editor->edtName->setText(QStringLiteral("途中"));
    ClickTab(1);
    EXPECT_TRUE(Editor->edtName->text().isEmpty());
    ClickTab(0);
    EXPECT_EQ(Editor->edtName->text(), QStringLiteral("途中"));
    EXPECT_TRUE(Editor->lbxList->item(1)->isSelected());
    EXPECT_FALSE(Editor->lbxList->item(0)->isSelected());

    // A double click takes the item's text into the edit; Enter in the list goes back to it.
    const QRect Row = Editor->lbxList->visualItemRect(Editor->lbxList->item(2));
    QTest::mouseClick(Editor->lbxList->viewport(), Qt::LeftButton, {}, Row.center());
    QTest::mouseDClick(Editor->lbxList->viewport(), Qt::LeftButton, {}, Row.center());
    EXPECT_EQ(Editor->edtName->text(), QStringLiteral("Ｃ"));
    EXPECT_EQ(QApplication::focusWidget(), Editor->edtName);
    Editor->lbxList->setFocus();
    QTest::keyClick(Editor->lbxList, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Editor->edtName);

    QTest::keyClick(Editor->edtName, Qt::Key_Return); // "Ｃ" is listed already
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("既に同じ名称が登録されています  ")});
    Editor->edtName->clear();
    QTest::mouseClick(Editor->bbtnDelete, Qt::LeftButton);
    QTest::keyClick(Editor->edtName, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Editor->btnOk);
}

} // namespace

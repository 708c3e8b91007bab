#include "widelayer/UniComCtrls.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

namespace {

void Fill(TUniCustomListView& View, const QStringList& Captions)
{
    View.Columns().Add(QStringLiteral("名前"), 120);
    View.Columns().Add(QStringLiteral("電話"), 120);
    for (const QString& Caption : Captions) {
        TUniListItem* Item = View.Items().Add();
        Item->SetCaption(Caption);
        Item->SubItems().Add(Caption + QStringLiteral("の番号"));
    }
}

QStringList Captions(TUniCustomListView& View)
{
    QStringList Out;
    for (int I = 0; I < View.Items().Count(); ++I)
        Out << View.model()->index(I, 0).data().toString();
    return Out;
}

TEST(UniListView, ItemModeModelStaysConsistent)
{
    TUniCustomListView View;
    QAbstractItemModelTester Tester(View.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    Fill(View, {QStringLiteral("佐藤"), QStringLiteral("𠮷田")});
    View.Items().Item(1)->SubItems().Add(QStringLiteral("余分"));
    View.Items().Insert(0)->SetCaption(QStringLiteral("先頭"));
    View.Items().Delete(1);
    View.SetCheckboxes(true);
    View.Items().Item(0)->SetChecked(true);
    View.Items().BeginUpdate();
    View.Items().Add()->SetCaption(QStringLiteral("後"));
    View.Items().EndUpdate();
    View.Columns().Add(QStringLiteral("備考"));
    EXPECT_EQ(Captions(View), QStringList({QStringLiteral("先頭"), QStringLiteral("𠮷田"), QStringLiteral("後")}));
    EXPECT_EQ(View.model()->index(1, 1).data().toString(), QStringLiteral("𠮷田の番号"));
    EXPECT_EQ(View.model()->index(1, 2).data().toString(), QStringLiteral("余分"));
    // A row with fewer sub-items than columns shows empty cells.
    EXPECT_EQ(View.model()->index(2, 2).data().toString(), QString());
    EXPECT_EQ(View.model()->index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(View.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("備考"));
    EXPECT_EQ(View.Columns()[0]->Width(), 120);
}

TEST(UniListView, OwnerDataAsksOnlyForVisibleRows)
{
    TUniCustomListView View;
    QAbstractItemModelTester Tester(View.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    View.SetOwnerData(true);
    View.Columns().Add(QStringLiteral("日時"), 100);
    View.Columns().Add(QStringLiteral("番号"), 100);
    View.Columns().Add(QStringLiteral("名前"), 100);
    std::set<int> Asked;
    std::vector<std::pair<int, int>> Hints;
    bool HintBeforeData = true;
    View.OnDataHint = [&](int Start, int End) { Hints.emplace_back(Start, End); };
    View.OnData = [&](TUniListItem* Item) {
        // The scratch item comes empty, whatever the last row left in it.
        EXPECT_EQ(Item->Caption(), QString());
        EXPECT_EQ(Item->SubItems().Count(), 0);
        if (Hints.empty() || Item->Index() < Hints.back().first || Item->Index() > Hints.back().second)
            HintBeforeData = false, ADD_FAILURE() << Item->Index();
        Asked.insert(Item->Index());
        Item->SetCaption(QStringLiteral("行%1").arg(Item->Index()));
        Item->SubItems().Add(QStringLiteral("０３－%1").arg(Item->Index()));
    };
    View.Items().SetCount(100000);
    const int RowHeight = View.sizeHintForRow(0);
    Asked.clear();
    HintBeforeData = true;
    View.resize(400, View.header()->sizeHint().height() + 20 * RowHeight + 2 * View.frameWidth());
    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    View.viewport()->repaint();
    ASSERT_FALSE(Hints.empty());
    EXPECT_EQ(Hints.back().first, 0);
    EXPECT_NEAR(Hints.back().second, 19, 1);
    EXPECT_LE(Asked.size(), 22u);
    EXPECT_TRUE(HintBeforeData);
    EXPECT_EQ(View.model()->index(5, 1).data().toString(), QStringLiteral("０３－5"));
    // The third column has no sub-item: an empty cell, not a stale text.
    EXPECT_EQ(View.model()->index(5, 2).data().toString(), QString());

    View.scrollTo(View.model()->index(50000, 0), QAbstractItemView::PositionAtTop);
    Asked.clear();
    View.viewport()->repaint();
    EXPECT_EQ(Hints.back().first, 50000);
    EXPECT_LE(Asked.size(), 22u);
    EXPECT_GE(*Asked.begin(), 50000);
}

TEST(UniListView, TypeAheadSelectsWhatTheOwnerFinds)
{
    TUniCustomListView View;
    View.SetOwnerData(true);
    View.Columns().Add(QStringLiteral("名前"));
    View.OnData = [](TUniListItem* Item) { Item->SetCaption(QString::number(Item->Index())); };
    View.Items().SetCount(1000);
    QString Searched;
    View.OnDataFind = [&](TItemFind Find, const QString& Text, int Start, bool Wrap, int& Index) {
        EXPECT_EQ(Find, TItemFind::ifPartialString);
        Searched = Text;
        Index = 777;
    };
    View.show();
    View.setFocus();
    QTest::keyClicks(&View, QStringLiteral("77"));
    EXPECT_EQ(Searched, QStringLiteral("77"));
    EXPECT_EQ(View.ItemIndex(), 777);
    EXPECT_EQ(View.Selected()->Caption(), QStringLiteral("777"));
}

TEST(UniListView, AlphaSortAndCompareHandler)
{
    TUniCustomListView View;
    QAbstractItemModelTester Tester(View.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    Fill(View, {"pear", "Apple", "banana"});
    View.SetItemIndex(0);
    ASSERT_TRUE(View.AlphaSort());
    EXPECT_EQ(Captions(View), QStringList({"Apple", "banana", "pear"}));
    // The selection follows its item, not its row number.
    EXPECT_EQ(View.Selected()->Caption(), QStringLiteral("pear"));
    EXPECT_EQ(View.model()->index(0, 1).data().toString(), QStringLiteral("Appleの番号"));
    View.OnCompare = [](TUniListItem* A, TUniListItem* B, int, int& Compare) {
        Compare = int(B->Caption().size() - A->Caption().size());
    };
    View.AlphaSort();
    EXPECT_EQ(Captions(View), QStringList({"banana", "Apple", "pear"}));
}

TEST(UniListView, CopySelectionCopiesEverySelectedItem)
{
    TUniCustomListView View;
    View.SetMultiSelect(true);
    Fill(View, {"0", "一", "2", "三"});
    int Data[4] = {};
    for (int I = 0; I < 4; ++I)
        View.Items()[I]->SetData(&Data[I]);
    View.Items()[3]->SetSelected(true);
    View.Items()[1]->SetSelected(true);
    View.selectionModel()->setCurrentIndex(View.model()->index(3, 0), QItemSelectionModel::NoUpdate);

    QListWidget List;
    View.CopySelection(&List);
    ASSERT_EQ(List.count(), 2);
    EXPECT_EQ(List.item(0)->text(), QStringLiteral("一"));
    EXPECT_EQ(List.item(1)->text(), QStringLiteral("三"));
    EXPECT_EQ(WideListControlItemData(&List, 0), &Data[1]);

    TUniCustomListView Other;
    Other.Columns().Add();
    View.CopySelection(&Other);
    ASSERT_EQ(Other.Items().Count(), 2);
    EXPECT_EQ(Other.Items()[1]->Data(), &Data[3]);
    QComboBox Combo;
    View.CopySelection(&Combo);
    EXPECT_EQ(Combo.itemText(1), QStringLiteral("三"));
}

TEST(UniListView, EventsOfSelectionHeaderAndEditing)
{
    TUniCustomListView View;
    Fill(View, {"甲", "乙"});
    std::vector<std::pair<int, bool>> Selects;
    View.OnSelectItem = [&](TUniListItem* Item, bool Selected) { Selects.emplace_back(Item->Index(), Selected); };
    std::vector<TItemChange> Changes;
    View.OnChange = [&](TUniListItem*, TItemChange Change) { Changes.push_back(Change); };
    View.SetItemIndex(0);
    View.SetItemIndex(1);
    EXPECT_EQ(Selects, (std::vector<std::pair<int, bool>>{{0, true}, {0, false}, {1, true}}));
    EXPECT_EQ(View.ItemIndex(), 1);
    Changes.clear();
    View.Items()[0]->SubItems().Put(0, QStringLiteral("新"));
    EXPECT_EQ(Changes, std::vector<TItemChange>{TItemChange::ctText});
    EXPECT_EQ(View.model()->index(0, 1).data().toString(), QStringLiteral("新"));

    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    TUniListColumn* Clicked = nullptr;
    View.OnColumnRightClick = [&](TUniListColumn* Column, QPoint) { Clicked = Column; };
    View.header()->customContextMenuRequested(QPoint(View.header()->sectionPosition(1) + 5, 5));
    EXPECT_EQ(Clicked, View.Columns()[1]);
    View.header()->moveSection(1, 0);
    EXPECT_EQ(View.ColumnFromIndex(0), View.Columns()[1]);
    EXPECT_EQ(View.ColumnFromIndex(1), View.Columns()[0]);
}

} // namespace

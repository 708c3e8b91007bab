// One table of sort-header behaviour, run against the plain and the wide sortable list views: the
// header, the sort state and the width tracking are shared, and so must their behaviour be.
#include "main/controls/SortListView.h"
#include "widelayer/UniSortListView.h"

#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Drives either view through the same calls and writes down what it raises, in order.
template <typename TView> struct TDriver;

template <> struct TDriver<TSortListView>
{
    TSortListView View;
    QStringList Events;
    bool Refuse = false;

    void Make(int Columns)
    {
        View.setColumnCount(Columns);
        QStringList Labels;
        for (int I = 0; I < Columns; ++I)
            Labels << QStringLiteral("列%1").arg(I);
        View.setHeaderLabels(Labels);
        for (int I = 0; I < Columns; ++I)
            View.setColumnWidth(I, 60);
        QObject::connect(&View, &TCustomSortListView::SortChange, [this](QObject*, int Old, int New) {
            Events << QStringLiteral("sort %1 %2").arg(Old).arg(New);
        });
        QObject::connect(&View, &TCustomSortListView::ColumnClick,
                         [this](QObject*, int Column) { Events << QStringLiteral("click %1").arg(Column); });
        QObject::connect(&View, &TCustomSortListView::ColumnWidthChange,
                         [this](QObject*, int Column, int) { Events << QStringLiteral("width %1").arg(Column); });
        QObject::connect(&View, &TCustomSortListView::ColumnWidthChanging,
                         [this](QObject*, int Column, int, bool* Allow) {
                             Events << QStringLiteral("changing %1").arg(Column);
                             *Allow = !Refuse;
                         });
        QObject::connect(&View, &TCustomSortListView::DividerDblClick,
                         [this](QObject*, int Column) { Events << QStringLiteral("dbl %1").arg(Column); });
        QObject::connect(&View, &TCustomSortListView::DividerMouseUp,
                         [this](QObject*, int Column) { Events << QStringLiteral("up %1").arg(Column); });
    }
    int Width(int Column) { return View.columnWidth(Column); }
    void SetWidth(int Column, int Width) { View.SetColumnWidth(Column, Width); }
};

template <> struct TDriver<TUniSortListView>
{
    TUniSortListView View;
    QStringList Events;
    bool Refuse = false;

    void Make(int Columns)
    {
        for (int I = 0; I < Columns; ++I)
            View.Columns().Add(QStringLiteral("列%1").arg(I), 60);
        View.OnSortChange = [this](int Old, int New) { Events << QStringLiteral("sort %1 %2").arg(Old).arg(New); };
        View.OnColumnClick = [this](TUniListColumn* Column) {
            Events << QStringLiteral("click %1").arg(Column->Index());
        };
        View.OnColumnWidthChange = [this](int Column) { Events << QStringLiteral("width %1").arg(Column); };
        View.OnColumnWidthChanging = [this](int Column, int, bool& Allow) {
            Events << QStringLiteral("changing %1").arg(Column);
            Allow = !Refuse;
        };
        View.OnDividerDblClick = [this](int Column) { Events << QStringLiteral("dbl %1").arg(Column); };
        View.OnDividerMouseUp = [this](int Column) { Events << QStringLiteral("up %1").arg(Column); };
    }
    int Width(int Column) { return View.header()->sectionSize(Column); }
    void SetWidth(int Column, int Width) { View.SetColumnWidth(Column, Width); }
};

template <typename TView> class SortViewsTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        D.Make(5);
        D.View.resize(400, 200);
        D.View.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&D.View));
        D.Events.clear();
    }
    QWidget* Header() { return D.View.header()->viewport(); }
    void Click(int X) { QTest::mouseClick(Header(), Qt::LeftButton, {}, {X, 8}); }

    TDriver<TView> D;
};

using TViews = ::testing::Types<TSortListView, TUniSortListView>;
TYPED_TEST_SUITE(SortViewsTable, TViews);

TYPED_TEST(SortViewsTable, ClicksAlternateAndRaiseTheClickAfterTheSortChange)
{
    auto& View = this->D.View;
    this->Click(90); // column 1
    EXPECT_EQ(View.SortIndex(), 1);
    EXPECT_EQ(View.SortDir(), sdAsc);
    this->Click(90);
    EXPECT_EQ(View.SortDir(), sdDesc);
    this->Click(90);
    EXPECT_EQ(View.SortDir(), sdAsc);
    EXPECT_EQ(this->D.Events, QStringList({"sort 0 1", "click 1", "sort 1 1", "click 1", "sort 1 1", "click 1"}));
}

TYPED_TEST(SortViewsTable, NoneOnlyNeverSortsByAClick)
{
    auto& View = this->D.View;
    View.SetSortDirs({sdNone});
    EXPECT_EQ(View.SortDir(), sdNone);
    this->D.Events.clear();
    this->Click(30); // the sort column: nothing changes
    EXPECT_EQ(View.SortIndex(), 0);
    EXPECT_EQ(this->D.Events, QStringList({"click 0"}));
    this->D.Events.clear();
    this->Click(150); // another column: the index moves, still without a direction
    EXPECT_EQ(View.SortIndex(), 2);
    EXPECT_EQ(View.SortDir(), sdNone);
    EXPECT_EQ(this->D.Events, QStringList({"sort 0 2", "click 2"}));
}

TYPED_TEST(SortViewsTable, SettersAndTheirEdges)
{
    auto& View = this->D.View;
    View.SetSortIndex(7); // beyond five columns
    EXPECT_EQ(View.SortIndex(), 0);
    View.SetSortIndex(-1); // kept: no column is sorted
    EXPECT_EQ(View.SortIndex(), -1);
    View.SetSortIndex(0);
    View.SetSortDirs({});
    EXPECT_EQ(View.SortDirs(), TSortDirs({sdAsc, sdDesc}));
    View.SetSortDir(sdNone); // not allowed
    EXPECT_EQ(View.SortDir(), sdAsc);
    View.SetSortDirs({sdDesc}); // the direction gives way to the only one left
    EXPECT_EQ(View.SortDir(), sdDesc);
}

TYPED_TEST(SortViewsTable, DividerDragsDoubleClicksAndVetoes)
{
    auto& D = this->D;
    // A drag that ends where it started changes nothing, and a program change after it still reports.
    QTest::mousePress(this->Header(), Qt::LeftButton, {}, {60, 8});
    QTest::mouseMove(this->Header(), {80, 8});
    QTest::mouseMove(this->Header(), {60, 8});
    QTest::mouseRelease(this->Header(), Qt::LeftButton, {}, {60, 8});
    EXPECT_EQ(D.Events, QStringList({"up 0"}));
    D.Events.clear();
    D.SetWidth(0, 80);
    EXPECT_EQ(D.Width(0), 80);
    EXPECT_EQ(D.Events, QStringList({"changing 0", "width 0"}));

    D.Events.clear();
    D.Refuse = true;
    D.SetWidth(2, 90);
    EXPECT_EQ(D.Width(2), 60);
    EXPECT_EQ(D.Events, QStringList({"changing 2"}));

    D.Events.clear();
    QTest::mouseDClick(this->Header(), Qt::LeftButton, {}, {140, 8}); // right divider of column 1
    EXPECT_EQ(D.Events, QStringList({"dbl 1"}));
    EXPECT_EQ(D.Width(1), 60);
}

TEST(UniSortListView, ArrowSitsRightOfTheSortCaption)
{
    TUniSortListView View;
    View.Columns().Add(QStringLiteral("日時"), 120);
    View.Columns().Add(QStringLiteral("番号"), 120);
    View.resize(300, 100);
    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    auto GreyIn = [&](int From, int To) {
        const QImage Shot = View.header()->grab().toImage();
        int Count = 0;
        for (int Y = 0; Y < Shot.height(); ++Y)
            for (int X = From; X < To; ++X)
                Count += Shot.pixel(X, Y) == qRgb(0x80, 0x80, 0x80);
        return Count;
    };
    // The ascending arrow has 36 grey pixels, in the right end of the sort column.
    EXPECT_EQ(GreyIn(100, 120), 36);
    EXPECT_EQ(GreyIn(220, 240), 0);
    View.SetSortDirs({sdNone});
    EXPECT_EQ(GreyIn(100, 120), 0);
    View.SetSortDirs({sdAsc, sdDesc});
    View.SetSortIndex(-1);
    EXPECT_EQ(GreyIn(100, 120) + GreyIn(220, 240), 0);
}

TEST(UniSortListView, StoredPropertiesInTheirOrder)
{
    struct TCase
    {
        const char* Name;
        TUniSortListViewProperties Properties;
        int SortIndex;
        TSortDir SortDir;
    };
    const QList<std::pair<QString, int>> Five{{"A", 50}, {"B", 50}, {"C", 50}, {"D", 50}, {"E", 50}};
    const TCase Cases[] = {
        // The index comes before the columns exist, so any stored index above 0 falls back to 0.
        {"index before columns", {false, 3, sdAsc, {sdAsc, sdDesc}, Five}, 0, sdAsc},
        // sdNone is refused while only asc and desc are allowed, then the set of none alone forces it.
        {"call list", {false, 0, sdNone, {sdNone}, Five}, 0, sdNone},
        {"descending kept", {true, 0, sdDesc, {sdAsc, sdDesc}, Five}, 0, sdDesc},
        {"desc only", {false, 0, sdAsc, {sdDesc}, Five}, 0, sdDesc},
        {"negative", {false, -1, sdAsc, {sdAsc, sdDesc}, Five}, -1, sdAsc},
    };
    for (const TCase& Case : Cases) {
        TUniSortListView View;
        LoadSortListViewProperties(View, Case.Properties);
        EXPECT_EQ(View.SortIndex(), Case.SortIndex) << Case.Name;
        EXPECT_EQ(View.SortDir(), Case.SortDir) << Case.Name;
        EXPECT_EQ(View.ShowDragImage(), Case.Properties.ShowDragImage) << Case.Name;
        EXPECT_EQ(View.Columns().Count(), 5) << Case.Name;
    }
}

} // namespace

namespace {

// The call list as the record window sets it up, with Japanese rows, for a look by eye.
TEST(UniSortListView, Screenshot)
{
    const QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR");
    if (Folder.isEmpty())
        GTEST_SKIP() << "VX_SCREENSHOT_DIR not set";
    TUniSortListView View;
    View.SetOwnerData(true);
    View.SetReadOnly(true);
    View.SetRowSelect(true);
    View.SetShowDragImage(false);
    LoadSortListViewProperties(View, {false,
                                      0,
                                      sdNone,
                                      {sdNone},
                                      {{QStringLiteral("着信日時"), 130},
                                       {QStringLiteral("電話番号"), 110},
                                       {QStringLiteral("名前"), 100},
                                       {QStringLiteral("住所"), 160},
                                       {QStringLiteral("内容"), 90}}});
    const QStringList Names{QStringLiteral("𠮷田 太郎"), QStringLiteral("髙橋 花子"), QStringLiteral("ｶﾞｽ会社"),
                            QStringLiteral("佐藤 一郎😀")};
    View.OnData = [&](TUniListItem* Item) {
        const int Row = Item->Index();
        Item->SetCaption(
            QStringLiteral("2026/12/%1 09:%2").arg(1 + Row % 28, 2, 10, QChar(u'0')).arg(Row % 60, 2, 10, QChar(u'0')));
        Item->SubItems().Add(QStringLiteral("03-1234-%1").arg(5000 + Row));
        Item->SubItems().Add(Names[Row % Names.size()]);
        Item->SubItems().Add(QStringLiteral("東京都千代田区丸の内%1丁目").arg(1 + Row % 3));
    };
    View.Items().SetCount(200);
    View.SetItemIndex(2);
    View.resize(620, 260);
    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    EXPECT_TRUE(View.grab().save(Folder + QStringLiteral("/UniSortListView.png")));
}

} // namespace

#include "main/controls/MyHdCtrl.h"

#include "main/controls/SortListView.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(MyHdCtrlTest, DraggingADividerStopsAtTheMaximum)
{
    TMyHeaderControl Header;
    Header.resize(400, 20);
    TMyCustomHeaderSection& First = Header.Sections().Add();
    First.SetWidth(100);
    First.SetMaxWidth(150);
    Header.Sections().Add().SetWidth(100);
    Header.show();
    QList<std::pair<int, TMySectionTrackState>> Tracks;
    QObject::connect(&Header, &TMyCustomHeaderControl::SectionTrack,
                     [&](auto*, TMyCustomHeaderSection*, int Width, TMySectionTrackState State) {
                         Tracks.append({Width, State});
                     });
    QTest::mousePress(&Header, Qt::LeftButton, {}, {100, 8});
    QTest::mouseMove(&Header, {130, 8});
    QTest::mouseMove(&Header, {300, 8});
    QTest::mouseRelease(&Header, Qt::LeftButton, {}, {300, 8});
    const QList<std::pair<int, TMySectionTrackState>> Expected{{100, TMySectionTrackState::Begin},
                                                               {130, TMySectionTrackState::Move},
                                                               {150, TMySectionTrackState::Move},
                                                               {150, TMySectionTrackState::End}};
    EXPECT_EQ(Tracks, Expected);
    EXPECT_EQ(First.Width(), 150);
    EXPECT_EQ(Header.SectionRect(1).left(), 150);
}

TEST(MyHdCtrlTest, ASectionThatTakesNoClicksIsNotPressed)
{
    TMyHeaderControl Header;
    Header.resize(300, 20);
    Header.Sections().Add().SetWidth(100);
    Header.Sections().Add().SetWidth(100);
    Header.Sections()[1].SetAllowClick(false);
    Header.show();
    QSignalSpy Clicks(&Header, &TMyCustomHeaderControl::SectionClick);
    QTest::mousePress(&Header, Qt::LeftButton, {}, {150, 8});
    EXPECT_EQ(Header.PressedSection(), -1);
    QTest::mouseRelease(&Header, Qt::LeftButton, {}, {150, 8});
    QTest::mousePress(&Header, Qt::LeftButton, {}, {50, 8});
    EXPECT_EQ(Header.PressedSection(), 0);
    QTest::mouseRelease(&Header, Qt::LeftButton, {}, {50, 8});
    ASSERT_EQ(Clicks.count(), 1);
    EXPECT_EQ(Header.PressedSection(), -1);

    // A section with an image of the control's list shows it.
    QPixmap Red(8, 8);
    Red.fill(Qt::red);
    Header.SetImages({Red});
    auto RedPixels = [&] {
        const QImage Shot = Header.grab().toImage();
        int Count = 0;
        for (int Y = 0; Y < Shot.height(); ++Y)
            for (int X = 0; X < 100; ++X)
                Count += Shot.pixelColor(X, Y) == QColor(Qt::red);
        return Count;
    };
    EXPECT_EQ(RedPixels(), 0);
    Header.Sections()[0].SetImageIndex(0);
    EXPECT_GT(RedPixels(), 20);
}

TEST(MyHdCtrlTest, ReorderingByDragWhenAllowed)
{
    TMyHeaderControl Header;
    Header.resize(300, 20);
    for (const char* Text : {"A", "B", "C"})
        Header.Sections().Add().SetText(QLatin1String(Text));
    Header.show();
    auto Drag = [&](int From, int To) {
        QTest::mousePress(&Header, Qt::LeftButton, {}, {From, 8});
        QTest::mouseMove(&Header, {(From + To) / 2, 8});
        QTest::mouseMove(&Header, {To, 8});
        QTest::mouseRelease(&Header, Qt::LeftButton, {}, {To, 8});
    };
    auto Order = [&] {
        return Header.Sections()[0].Text() + Header.Sections()[1].Text() + Header.Sections()[2].Text();
    };
    Drag(20, 120); // not allowed by default: a click, no move
    EXPECT_EQ(Order(), QStringLiteral("ABC"));
    Header.SetDragReorder(true);
    bool Allow = false;
    QSignalSpy Ends(&Header, &TMyCustomHeaderControl::SectionEndDrag);
    QObject::connect(
        &Header, &TMyCustomHeaderControl::SectionDrag,
        [&](QObject*, TMyCustomHeaderSection*, TMyCustomHeaderSection*, bool* Allowed) { *Allowed = Allow; });
    Drag(20, 120);
    EXPECT_EQ(Order(), QStringLiteral("ABC"));
    Allow = true;
    Drag(20, 120);
    EXPECT_EQ(Order(), QStringLiteral("BCA"));
    Drag(20, 290); // right of all sections: to the last place
    EXPECT_EQ(Order(), QStringLiteral("CAB"));
    EXPECT_EQ(Ends.count(), 2);
}

// The sort view's clicks, dividers and width vetoes are in SortViewsTableTest.cpp, run on both views.

TEST(SortListViewTest, TheBaseClassWorksOnItsOwn)
{
    // The header serves the base class, not only the published descendant.
    TCustomSortListView View;
    View.setColumnCount(2);
    View.setHeaderLabels({"A", "B"});
    View.setColumnWidth(0, 60);
    View.resize(200, 100);
    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    auto* Header = qobject_cast<TSortHeaderView*>(View.header());
    ASSERT_NE(Header, nullptr);
    QTest::mouseClick(Header->viewport(), Qt::LeftButton, {}, {90, 8});
    EXPECT_EQ(View.SortIndex(), 1);
    QSignalSpy DividerDouble(&View, &TCustomSortListView::DividerDblClick);
    QTest::mouseDClick(Header->viewport(), Qt::LeftButton, {}, {60, 8});
    EXPECT_EQ(DividerDouble.count(), 1);
}

TEST(SortListViewTest, ArrowBitmapsAreElevenSquareOnSilver)
{
    for (TSortDir Dir : {sdAsc, sdDesc}) {
        const QImage Image = SortArrowBitmap(Dir);
        EXPECT_EQ(Image.size(), QSize(11, 11));
        EXPECT_EQ(Image.pixel(0, 0), qRgb(192, 192, 192));
        EXPECT_NE(Image.pixel(5, 5), qRgb(192, 192, 192));
    }
    // Ascending is wide at the bottom, descending at the top.
    EXPECT_NE(SortArrowBitmap(sdAsc).pixel(1, 7), qRgb(192, 192, 192));
    EXPECT_NE(SortArrowBitmap(sdDesc).pixel(1, 3), qRgb(192, 192, 192));
}

#include "directory/namedic/NameGrid.h"

#include <gtest/gtest.h>

namespace {

QList<TNameDicName> Seven()
{
    QList<TNameDicName> Names;
    for (const char* N : {"一", "二", "三", "四", "五", "六", "七"})
        Names.append({QStringLiteral("ﾅﾅﾂ"), QString::fromUtf8(N)});
    Names.append({QStringLiteral("ﾅﾅﾂｷﾞ"), QStringLiteral("七月")});
    return Names;
}

TEST(NameGridTest, EachReadingStartsARowAndFiveNamesFillOne)
{
    TNameGrid Grid;
    Grid.Fill(Seven());
    ASSERT_EQ(Grid.RowCount(), 3);
    EXPECT_EQ(Grid.ColCount(), 6);
    EXPECT_EQ(Grid.Cell(0, 0), QStringLiteral("ﾅﾅﾂ"));
    EXPECT_EQ(Grid.Cell(5, 0), QStringLiteral("五"));
    EXPECT_EQ(Grid.Cell(0, 1), QString()); // a continuation row
    EXPECT_EQ(Grid.Cell(2, 1), QStringLiteral("七"));
    EXPECT_EQ(Grid.Cell(3, 1), QString());
    EXPECT_EQ(Grid.Cell(0, 2), QStringLiteral("ﾅﾅﾂｷﾞ"));
    EXPECT_FALSE(Grid.HasSelection());

    TNameGrid One;
    One.Fill({{QStringLiteral("ﾀ"), QStringLiteral("多")}});
    EXPECT_EQ(One.ColCount(), 2);
    One.Fill({});
    EXPECT_EQ(One.RowCount(), 0);
    EXPECT_FALSE(One.HandleKey(Qt::Key_Down).Consumed); // nothing to select
}

TEST(NameGridTest, KeysMoveTheSelectionAndEnterChoosesWithTheGroupsReading)
{
    TNameGrid Grid;
    Grid.Fill(Seven());
    Grid.SetVisibleRows(2);
    // Without a selection only Down and Page Down are taken.
    for (int Key : {Qt::Key_Up, Qt::Key_Return, Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp}) {
        EXPECT_FALSE(Grid.HandleKey(Key).Consumed) << Key;
    }
    EXPECT_TRUE(Grid.HandleKey(Qt::Key_Down).Consumed);
    EXPECT_EQ(Grid.Row(), 0);
    EXPECT_EQ(Grid.Col(), 1);
    EXPECT_TRUE(Grid.HandleKey(Qt::Key_Left).Consumed);
    EXPECT_EQ(Grid.Col(), 1); // never into the reading column
    for (int I = 0; I < 4; ++I)
        (void)Grid.HandleKey(Qt::Key_Right);
    EXPECT_EQ(Grid.Col(), 5);
    (void)Grid.HandleKey(Qt::Key_Right);
    EXPECT_EQ(Grid.Col(), 5); // no cell beyond the fifth name
    (void)Grid.HandleKey(Qt::Key_Down);
    EXPECT_EQ(Grid.Row(), 1);
    EXPECT_EQ(Grid.Col(), 2); // the nearest name to the left on a shorter row
    (void)Grid.HandleKey(Qt::Key_Right);
    EXPECT_EQ(Grid.Col(), 2); // only into a cell that holds a name
    const auto Chosen = Grid.HandleKey(Qt::Key_Return);
    EXPECT_TRUE(Chosen.Chosen);
    EXPECT_EQ(Chosen.Name, QStringLiteral("七"));
    EXPECT_EQ(Chosen.Reading, QStringLiteral("ﾅﾅﾂ")); // the reading of the group's first row
    (void)Grid.HandleKey(Qt::Key_PageDown);
    EXPECT_EQ(Grid.Row(), 2);
    (void)Grid.HandleKey(Qt::Key_PageDown);
    EXPECT_EQ(Grid.Row(), 2); // stops at the last row
    EXPECT_EQ(Grid.TopRow(), 1);
    (void)Grid.HandleKey(Qt::Key_PageUp);
    EXPECT_EQ(Grid.Row(), 0);
    EXPECT_EQ(Grid.TopRow(), 0);
    (void)Grid.HandleKey(Qt::Key_PageUp);
    EXPECT_FALSE(Grid.HasSelection()); // Page Up on row 0 lets go of the list
    (void)Grid.HandleKey(Qt::Key_Down);
    (void)Grid.HandleKey(Qt::Key_Right);
    EXPECT_TRUE(Grid.HandleKey(Qt::Key_Up).Consumed);
    EXPECT_FALSE(Grid.HasSelection()); // Up on the first row too
    (void)Grid.HandleKey(Qt::Key_Down);
    EXPECT_EQ(Grid.Col(), 1); // and the next Down starts at the first name again
}

TEST(NameGridTest, ClicksSelectOnlyNamesAndScrollingStaysWithinTheRows)
{
    TNameGrid Grid;
    Grid.Fill(Seven());
    Grid.SetVisibleRows(2);
    EXPECT_FALSE(Grid.Select(0, 0)); // the reading
    EXPECT_FALSE(Grid.Select(4, 1)); // an empty cell
    EXPECT_FALSE(Grid.Select(1, 7)); // past the rows
    EXPECT_TRUE(Grid.Select(3, 0));
    QString Name, Reading;
    EXPECT_TRUE(Grid.ChoiceAt(1, 2, Name, Reading));
    EXPECT_EQ(Reading, QStringLiteral("ﾅﾅﾂｷﾞ"));
    Grid.SetTopRow(9);
    EXPECT_EQ(Grid.TopRow(), 1);
    Grid.SetTopRow(-3);
    EXPECT_EQ(Grid.TopRow(), 0);
}

} // namespace

namespace {

TEST(NameGridTest, TheChosenColumnOutlivesAShorterRowOnTheWay)
{
    // Five names, one, five: down from the fourth name through the short row back to the fourth.
    QList<TNameDicName> Names;
    for (const char* N : {"一", "二", "三", "四", "五"})
        Names.append({QStringLiteral("ｱ"), QString::fromUtf8(N)});
    Names.append({QStringLiteral("ｲ"), QStringLiteral("井")});
    for (const char* N : {"宇", "卯", "羽", "鵜", "雨"})
        Names.append({QStringLiteral("ｳ"), QString::fromUtf8(N)});
    TNameGrid Grid;
    Grid.Fill(Names);
    Grid.SetVisibleRows(3);
    (void)Grid.HandleKey(Qt::Key_Down);
    for (int I = 0; I < 3; ++I)
        (void)Grid.HandleKey(Qt::Key_Right);
    ASSERT_EQ(Grid.Col(), 4);
    (void)Grid.HandleKey(Qt::Key_Down);
    EXPECT_EQ(Grid.Col(), 1);
    (void)Grid.HandleKey(Qt::Key_Right); // nowhere to go: the choice stands
    (void)Grid.HandleKey(Qt::Key_Down);
    EXPECT_EQ(Grid.Col(), 4);
    (void)Grid.HandleKey(Qt::Key_Up);
    (void)Grid.HandleKey(Qt::Key_Up);
    EXPECT_EQ(Grid.Col(), 4);
    // A move left is a new choice.
    (void)Grid.HandleKey(Qt::Key_Left);
    (void)Grid.HandleKey(Qt::Key_Down);
    (void)Grid.HandleKey(Qt::Key_Down);
    EXPECT_EQ(Grid.Col(), 3);
    // Leaving the grid upwards starts again at the first name.
    (void)Grid.HandleKey(Qt::Key_Up);
    (void)Grid.HandleKey(Qt::Key_Up);
    (void)Grid.HandleKey(Qt::Key_Up);
    ASSERT_FALSE(Grid.HasSelection());
    (void)Grid.HandleKey(Qt::Key_Down);
    (void)Grid.HandleKey(Qt::Key_Down);
    (void)Grid.HandleKey(Qt::Key_Down);
    EXPECT_EQ(Grid.Col(), 1);
}

} // namespace

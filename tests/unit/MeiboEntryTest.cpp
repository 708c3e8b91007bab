#include "main/tables/MeiboEntry.h"

#include "tests/support/RecvData.h"

#include <gtest/gtest.h>

namespace {

TEST(MeiboEntry, ColourTextsRoundTripInUpperCaseAndAnythingElseIsNoColour)
{
    EXPECT_EQ(ColorFromText(QStringLiteral("$7fdf3f")), 0x7fdf3fu);
    EXPECT_EQ(ColorFromText(QStringLiteral(" $00FF00 ")), 0x00ff00u);
    // A colour is a number: short hexadecimal and decimal texts are colours too.
    EXPECT_EQ(ColorFromText(QStringLiteral("$FF")), 0x0000ffu);
    EXPECT_EQ(ColorFromText(QStringLiteral("$7fdf3")), 0x07fdf3u);
    EXPECT_EQ(ColorFromText(QStringLiteral("255")), 255u);
    for (const char* Bad : {"", "$", "7fdf3f", "$7fdf3fa", "$gggggg", "clRed", "xyz", "-1", "$-1", "16777216"}) {
        EXPECT_EQ(ColorFromText(QString::fromLatin1(Bad)), std::nullopt) << Bad;
    }
    EXPECT_EQ(ColorToText(0x0a0b0c), QStringLiteral("$0A0B0C"));
    EXPECT_EQ(ColorToText(0xff0000ffu), QStringLiteral("$0000FF")) << "a colour has 24 bits";
    EXPECT_TRUE(IsValidTelText(QStringLiteral(" 03-1234 ")));
    EXPECT_FALSE(IsValidTelText(QStringLiteral("03 1234")));
    EXPECT_FALSE(IsValidTelText(QStringLiteral("０３")));
}

TEST(MeiboEntry, EachLookUpLandsOnOneEntryOtherThanTheOneBeingEdited)
{
    TRecvData Data;
    Data.AddEntry(4, QStringLiteral("03-1111-1111"), QStringLiteral("090-2222-2222"));
    Data.AddEntry(7, QStringLiteral("03-1111-1111"), QString()); // an import's second entry
    Data.AddEntry(9, QStringLiteral("090-2222-2222"), QString());

    std::set<int> Rows;
    LookUpEntries(QStringLiteral("0311111111"), TEntryLookUp::Both, NoEntry, Rows);
    EXPECT_EQ(Rows, std::set<int>{4}) << "the first entry in index order, not every one";
    Rows.clear();
    LookUpEntries(QStringLiteral("03-1111-1111"), TEntryLookUp::Both, 4, Rows);
    EXPECT_EQ(Rows, std::set<int>{7});
    Rows.clear();
    LookUpEntries(QStringLiteral("090-2222-2222"), TEntryLookUp::Both, NoEntry, Rows);
    EXPECT_EQ(Rows, (std::set<int>{4, 9}));
    Rows.clear();
    LookUpEntries(QStringLiteral("090-2222-2222"), TEntryLookUp::SecondIfNone, NoEntry, Rows);
    EXPECT_EQ(Rows, std::set<int>{9}) << "SchTel1 found it: SchTel2 is not asked";
    Rows.clear();
    Data.AddEntry(11, QString(), QString());
    LookUpEntries(QStringLiteral("--"), TEntryLookUp::Both, NoEntry, Rows);
    EXPECT_TRUE(Rows.empty()) << "no digits, no number to find";
}

TEST(MeiboEntry, ANewRowFollowsTheLastOneAndTheCounterEndsAt99999)
{
    TRecvData Data;
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    TNextRecNo Next = NextRecNo(*MeiboTable);
    EXPECT_EQ(Next.RecNo, 0);
    EXPECT_FALSE(Next.Exhausted);
    Data.AddEntry(5, QStringLiteral("03-1111-1111"), QString());
    Data.AddEntry(2, QStringLiteral("03-2222-2222"), QString());
    EXPECT_EQ(NextRecNo(*MeiboTable).RecNo, 6) << "numbers below the last are not filled in";
    Data.AddEntry(99999, QStringLiteral("03-3333-3333"), QString());
    Next = NextRecNo(*MeiboTable);
    EXPECT_TRUE(Next.Exhausted);
    EXPECT_FALSE(Next.TableFull);
}

} // namespace

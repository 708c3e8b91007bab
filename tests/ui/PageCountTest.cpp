#include "transfer/print/PageCount.h"

#include "main/common/CommonFonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <gtest/gtest.h>

namespace {

// Letters exactly as high as the font's pixel size: a line is px(S), as the page count has always
// taken it.
class THeightIsPixelSize final : public TListTextMetrics
{
public:
    QSize LetterBox(const QFont& Font) const override { return {Font.pixelSize() / 2, Font.pixelSize()}; }
};

TRecordsPerPageInput Page600()
{
    TRecordsPerPageInput In;
    In.PageHeight = 6600;
    In.DpiY = 600;
    In.ScaleY = 6.25;
    In.OffsetY = 100;
    In.Font = {MsGothicFontName, 9, 0, 128};
    return In;
}

TEST(PageCountTest, WorkedCasesAtSixHundredDotsPerInch)
{
    const THeightIsPixelSize Metrics;
    TRecordsPerPageInput In = Page600();
    In.HasTitle = true;
    In.ViewDate = true;
    In.DatePosY = 0;
    In.ViewPage = true;
    In.PagePosY = 1;
    In.BottomRule = true;
    In.BottomRuleType = 0;
    const int First = CountRecordsPerPage(In, Metrics);
    EXPECT_EQ(First, 52);
    EXPECT_EQ(RecordsPerPageLabel(First), QStringLiteral("52 件"));

    In = Page600();
    In.TopRule = In.BottomRule = true;
    In.TopRuleType = In.BottomRuleType = 2;
    In.RowCount = 2;
    EXPECT_EQ(CountRecordsPerPage(In, Metrics), 33);

    In = Page600();
    In.OffsetY = 0;
    In.ViewDate = In.ViewPage = true;
    In.DatePosX = In.PagePosX = 2;
    EXPECT_EQ(CountRecordsPerPage(In, Metrics), 55);
    In.PagePosX = 1;
    EXPECT_EQ(CountRecordsPerPage(In, Metrics), 56);
}

TEST(PageCountTest, APageTooSmallAnswersZeroOrLessAndOnePage)
{
    TRecordsPerPageInput In = Page600();
    In.PageHeight = 300;
    In.HasTitle = true;
    EXPECT_LE(CountRecordsPerPage(In, THeightIsPixelSize()), 0);
    EXPECT_EQ(PageCountOf(500, 0), 1);
    EXPECT_EQ(PageCountOf(500, -3), 1);
    EXPECT_EQ(PageCountOf(105, 52), 3);
}

TEST(PageCountTest, RuleWidthsCoverTheirRowAndItsNeighbours)
{
    // Scale 1 makes the width the line type's factor.
    EXPECT_EQ(GetRuleExtent(10, RuleTop, 0, 1, 1)->First, 10);
    EXPECT_EQ(GetRuleExtent(10, RuleTop, 0, 1, 1)->Last, 10);
    EXPECT_EQ(GetRuleExtent(10, RuleInnerHorz, 1, 1, 1)->First, 10);
    EXPECT_EQ(GetRuleExtent(10, RuleInnerHorz, 1, 1, 1)->Last, 11);
    EXPECT_EQ(GetRuleExtent(10, RuleBottom, 2, 1, 1)->First, 9);
    EXPECT_EQ(GetRuleExtent(10, RuleBottom, 2, 1, 1)->Last, 11);
    EXPECT_EQ(GetRuleExtent(10, RuleLeft, 2, 1, 9)->Last, 13);
    EXPECT_EQ(GetRuleExtent(10, RuleRight, 2, 1, 9)->First, 7);
    EXPECT_FALSE(GetRuleExtent(10, 6, 0, 1, 1));
    EXPECT_EQ(RuleWidth(2, 6.25), 19);
    EXPECT_EQ(RuleWidth(9, 6.25), 6);
}

TEST(PageCountTest, TheCountUsesTheMeasuredLineHeightOfTheRealFont)
{
    // The Japanese monospace font is far taller than its pixel size; counting lines of px(S) would
    // let the last rows fall off the page.
    const TListTextMetrics Real;
    const QFont Body = ListBodyFont({MsGothicFontName, 9, 0, 128}, 600);
    ASSERT_GT(Real.LetterBox(Body).height(), 75);
    TRecordsPerPageInput In = Page600();
    EXPECT_LT(CountRecordsPerPage(In, Real), CountRecordsPerPage(In, THeightIsPixelSize()));
}

TEST(PrintFontTest, TheWindowsGothicNameIsListedAndDrawsInTheJapaneseMonospaceFont)
{
    const QList<TFontListEntry> Fonts = ListFonts(true, false);
    const auto Found = std::find_if(Fonts.cbegin(), Fonts.cend(),
                                    [](const TFontListEntry& Each) { return Each.Name == MsGothicFontName; });
    ASSERT_NE(Found, Fonts.cend());
    EXPECT_EQ(Found->Charset, SHIFTJIS_CHARSET);
    // Each family once, by its name alone: a foundry's tag would be stored as no font's name.
    QStringList Names;
    for (const TFontListEntry& Each : Fonts) {
        EXPECT_FALSE(Each.Name.endsWith(u']')) << Each.Name.toStdString();
        EXPECT_FALSE(Names.contains(Each.Name)) << Each.Name.toStdString();
        Names << Each.Name;
    }
    EXPECT_EQ(FamilyWithoutFoundry(QStringLiteral("Noto Sans Mono [GOOG]")), QStringLiteral("Noto Sans Mono"));
    EXPECT_EQ(FamilyWithoutFoundry(QStringLiteral("[x]")), QStringLiteral("[x]"));
    ASSERT_FALSE(JapaneseMonospaceFamily().isEmpty());
    QFont Font;
    SetFontAttributes(&Font, SHIFTJIS_CHARSET, MsGothicFontName, 0, 9);
    EXPECT_EQ(Font.family(), MsGothicFontName);
    EXPECT_EQ(QFontInfo(Font).family(), JapaneseMonospaceFamily());
}

} // namespace

// The column unit is "ｳ" in a font that has it; in a Latin monospace font, whose fallback kana is
// narrower than its own digits, it is the digits' width, so that ten units hold a whole date.
TEST(PageCountTest, TheUnitHoldsTheDigitsOfAFontWithoutKana)
{
    const TListTextMetrics Metrics;
    const QFont Latin = ListBodyFont({QStringLiteral("DejaVu Sans Mono"), 9, 0, 0}, 600);
    ASSERT_FALSE(QRawFont::fromFont(Latin).supportsCharacter(QChar(0xFF73)));
    EXPECT_GE(Metrics.LetterBox(Latin).width() * 10,
              QFontMetricsF(Latin).horizontalAdvance(QStringLiteral("2026/12/03")));
    const QFont Japanese = ListBodyFont({MsGothicFontName, 9, 0, 128}, 600);
    EXPECT_EQ(Metrics.LetterBox(Japanese).width(), QFontMetrics(Japanese).horizontalAdvance(QChar(0xFF73)));
}

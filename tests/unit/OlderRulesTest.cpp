#include "utility/convert/OlderRules.h"

#include <gtest/gtest.h>

using namespace Utility;

namespace {

TEST(OlderRulesTest, NamesAreLongFromTwentyOneAndTwentyThreeBytesAndOnlyThenIsTheOptionAsked)
{
    int Asked = 0;
    const TNameOverflowChoice Corp = [&Asked] {
        ++Asked;
        return TNameOverflow::CorpSet;
    };
    const QString Reading20(20, u'ｱ');
    const QString Name22(11, u'山');
    EXPECT_EQ(PlaceNames(Reading20, Name22, true, Corp).NameKanji, Name22);
    EXPECT_EQ(PlaceNames(Reading20 + u'ｱ', Name22, false, Corp).CorpKana, Reading20 + u'ｱ');
    EXPECT_EQ(Asked, 0);
    EXPECT_EQ(PlaceNames(Reading20 + u'ｱ', Name22, true, Corp).NameKana, QString());
    EXPECT_EQ(PlaceNames({}, Name22 + u'a', true, Corp).CorpKanji, Name22 + u'a');
    EXPECT_EQ(Asked, 2);
    // A character CP932 lacks counts as two bytes.
    EXPECT_EQ(PlaceNames({}, QString(10, u'山') + QStringLiteral("😀"), true, Corp).CorpKanji, QString());
    EXPECT_EQ(PlaceNames({}, QString(10, u'山') + QStringLiteral("😀a"), true, Corp).NameKanji, QString());
}

TEST(OlderRulesTest, CallTimesTakeOnlyRealDatesAndTimes)
{
    EXPECT_DOUBLE_EQ(CallTime(QStringLiteral("20040229"), QStringLiteral("235959")), 38046 + 86399 / 86400.0);
    EXPECT_DOUBLE_EQ(CallTime(QStringLiteral(" 18991230 "), QStringLiteral("000001")), 1 / 86400.0);
    EXPECT_DOUBLE_EQ(CallTime(QStringLiteral("20030229"), QStringLiteral("240000")), 0);
    EXPECT_DOUBLE_EQ(CallTime(QStringLiteral("00000101"), QStringLiteral("12 000")), 0);
    EXPECT_DOUBLE_EQ(CallTime(QStringLiteral("２００４０１０５"), QStringLiteral("-10000")), 0);
    EXPECT_DOUBLE_EQ(CallTime(QStringLiteral("+2040105"), QStringLiteral("1200000")), 0);
}

TEST(OlderRulesTest, WeeksRunFromSundayToSaturday)
{
    EXPECT_EQ(WeekOfDays(0), 7);
    EXPECT_EQ(WeekOfDays(0.99), 7);
    EXPECT_EQ(WeekOfDays(1), 1);
    EXPECT_EQ(WeekOfDays(-1), 6);
    EXPECT_EQ(WeekOfDays(37991.75), 2);
}

TEST(OlderRulesTest, RanksBetweenAAndZInByteOrderStay)
{
    const std::pair<const char*, const char*> Cases[]{{"b", "B"},  {"aB1", "AB1"}, {"ZZ", "A"},    {"@", "A"},
                                                      {"ａ", "A"}, {"ｱ", "A"},     {"\t y\t", "Y"}};
    for (const auto& [From, To] : Cases) {
        EXPECT_EQ(NormalRank(QString::fromUtf8(From)), QString::fromUtf8(To)) << From;
    }
}

} // namespace

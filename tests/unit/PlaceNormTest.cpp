#include "peers/dic/PlaceNorm.h"

#include <gtest/gtest.h>

namespace {

using dicstore::KyotoTownStart;
using dicstore::NormalisePlace;

TEST(PlaceNorm, SpellingsTypedInterchangeablyAreOne)
{
    const std::pair<const char*, const char*> Same[] = {
        {"桜ヶ丘", "桜ケ丘"},
        {"桜が丘", "桜ケ丘"},
        {"青ヵ島", "青ヶ島"},
        {"丸の内１－１－１", "丸の内1-1-1"},
        {"丸の内１−１", "丸の内1ー1"},
        {"丸の内1ｰ1", "丸の内１‐１"},
        {"髙田", "高田"},
        {"宮﨑", "宮崎"},
        {"𠮷野", "吉野"},
        {"市之町", "市ノ町"},
        {"東京都 千代田区", "東京都千代田区"},
        {"ＡＢＣビル", "abcビル"},
    };
    for (const auto& [A, B] : Same) {
        EXPECT_EQ(NormalisePlace(A), NormalisePlace(B)) << A << " / " << B;
    }
    const std::pair<const char*, const char*> Different[] = {
        {"高田", "高山"}, {"桜ケ丘", "桜丘"}, {"1-1", "11"}, {"北区", "北村"}};
    for (const auto& [A, B] : Different) {
        EXPECT_NE(NormalisePlace(A), NormalisePlace(B)) << A << " / " << B;
    }
}

TEST(PlaceNorm, BrokenBytesNeverVanishOrRunOver)
{
    EXPECT_EQ(NormalisePlace(std::string("\xE6\x9D", 2)), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(NormalisePlace(std::string("a\xFF"
                                         "b",
                                         3)),
              "A\xEF\xBF\xBD"
              "B");
    EXPECT_EQ(NormalisePlace(""), "");
}

TEST(PlaceNorm, AKyotoAddressTurnsToItsTownAfterTheLastDirection)
{
    const std::pair<const char*, const char*> Cases[] = {
        {"烏丸通二条下ル秋野々町", "秋野々町"},
        {"四条通烏丸東入長刀鉾町", "長刀鉾町"},
        {"寺町通御池上る上本能寺前町", "上本能寺前町"},
    };
    for (const auto& [Address, Town] : Cases) {
        const std::string Text = Address;
        const size_t At = KyotoTownStart(Text);
        ASSERT_NE(At, std::string::npos) << Address;
        EXPECT_EQ(Text.substr(At), Town) << Address;
    }
    EXPECT_EQ(KyotoTownStart("秋野々町"), std::string::npos);
    EXPECT_EQ(KyotoTownStart("烏丸通二条下ル"), std::string::npos);
}

} // namespace

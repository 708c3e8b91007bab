#include "directory/dic/AdrsDicClass.h"

#include "directory/dic/ConAdrsDicClass.h"
#include "platform/dynlib/DynLib.h"
#include "platform/text/Cp932.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QString DicFolder = QStringLiteral(VX_BIN_DIR "/Dic/");
const QString Counting = QStringLiteral(VX_FIXTURE_DIR "/dic_counting");

QString Raised(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const Exception& E) {
        return E.Message();
    }
    return {};
}

TEST(AdrsDicClassTest, FailuresRaiseTheirTexts)
{
    const QString Nowhere = QDir::tempPath() + "/no-such-folder";
    EXPECT_EQ(Raised([&] { TAdrsSearch(Nowhere, {}); }),
              QStringLiteral("Placedex.so LoadLibrary Error\r\nDLLのロードに失敗しました"));
    EXPECT_EQ(Raised([&] { TContinualAdrsSearch(Nowhere, {}); }),
              QStringLiteral("Placefix.so LoadLibrary Error\r\nDLLのロードに失敗しました"));
    // A library of another name's exports lacks every one of ours.
    EXPECT_EQ(Raised([] { TAdrsSearch(QStringLiteral(VX_FIXTURE_DIR "/postroll_rc3"), {}); }),
              QStringLiteral("Placedex.so LoadLibrary Error\r\nDLLのロードに失敗しました"));
    TAdrsSearch Search(Counting, {});
    EXPECT_EQ(Raised([&] { (void)Search.Search(QStringLiteral("  ")); }), QStringLiteral("検索住所が未入力です"));
    ASSERT_EQ(Search.Search(QStringLiteral("E")), 0);
    EXPECT_EQ(Raised([&] { (void)Search.ListTowns(0, false); }),
              QStringLiteral("PlacedexTownCount (Placedex.so) Call Error\r\nRC = 5"));
    TContinualAdrsSearch Fix(Counting, {});
    EXPECT_EQ(Raised([&] { (void)Fix.Search(QStringLiteral(" \t ")); }), QStringLiteral("検索住所が未入力です"));
    EXPECT_EQ(Raised([&] { (void)Fix.Search(QStringLiteral("E")); }),
              QStringLiteral("PlacefixAdrs (Placefix.so) Call Error\r\nRC = 3"));
}

TEST(AdrsDicClassTest, LongAddressesReachTheLibraryCutOnACharacter)
{
    TDynLib Fixture;
    ASSERT_TRUE(Fixture.Load(Counting + "/Placedex.so"));
    auto Address = Fixture.SymbolAs<const char* (*)()>("FixtureAddress");
    TAdrsSearch Search(Counting, {});
    // Half-width letters are widened first, so 300 bytes of text become 127 whole characters.
    const QString Long = QStringLiteral("a") + QString(149, u'東');
    ASSERT_EQ(Search.Search(Long), 0);
    const QByteArray Got(Address());
    EXPECT_EQ(Got, Cp932Encode(QStringLiteral("ａ") + QString(126, u'東')));
    EXPECT_TRUE(IsValidCp932(Got));
}

TEST(AdrsDicClassTest, ListsAreFetchedOncePerCityAndKindAndHitsCarryTheirTexts)
{
    TDynLib Fixture;
    ASSERT_TRUE(Fixture.Load(Counting + "/Placedex.so"));
    auto Calls = Fixture.SymbolAs<int (*)()>("FixtureCalls");
    TAdrsSearch Search(Counting, {});
    ASSERT_EQ(Search.Search(QStringLiteral("江東区")), 0);
    const int Before = Calls();
    ASSERT_EQ(Search.ListTowns(0, false), 0);
    ASSERT_EQ(Search.ListTowns(0, false), 0);
    EXPECT_EQ(Calls() - Before, 100);
    ASSERT_EQ(Search.ListTowns(0, true), 0);
    EXPECT_EQ(Calls() - Before, 101);
    TAdrsHitRecord Hit = Search.BuildHit(0, true);
    EXPECT_EQ(Hit.Pos, QStringLiteral("135-8001"));
    EXPECT_EQ(Hit.LargeKanji, QStringLiteral("区役所"));
    EXPECT_EQ(Hit.Latitude, 1000);
    ASSERT_EQ(Search.ListTowns(0, false), 0);
    Hit = Search.BuildHit(-1, true);
    EXPECT_EQ(Hit.TdfknKanji, QStringLiteral("東京都"));
    EXPECT_EQ(Hit.CityKana, QStringLiteral("ｺｳﾄｳｸ"));
    EXPECT_EQ(Hit.Latitude, 0);
    Hit = Search.BuildHit(0, false);
    EXPECT_EQ(Hit.TownKanji, QStringLiteral("川"));
}

TEST(AdrsDicClassTest, GetResultConvertsAgainOnlyWhenCoordinatesAreNewlyAsked)
{
    TDynLib Geomark;
    ASSERT_TRUE(Geomark.Load(Counting + "/Geomark.so"));
    auto Lookups = Geomark.SymbolAs<int (*)()>("FixtureLookups");
    TContinualAdrsSearch Fix(Counting, {});
    ASSERT_EQ(Fix.Search(QStringLiteral("江東区川")), 0);
    int Before = Lookups();
    EXPECT_EQ(Fix.GetResult(false).Pos, QStringLiteral("135-0001"));
    EXPECT_EQ(Fix.GetResult(true).Pos, QStringLiteral("135-0099"));
    EXPECT_EQ(Lookups() - Before, 1);
    EXPECT_EQ(Fix.GetResult(true).Latitude, 1000);
    ASSERT_EQ(Fix.Search(QStringLiteral("江東区川")), 0);
    Before = Lookups();
    EXPECT_EQ(Fix.GetResult(true).Pos, QStringLiteral("135-0099"));
    EXPECT_EQ(Fix.GetResult(false).Pos, QStringLiteral("135-0099"));
    EXPECT_EQ(Lookups() - Before, 1);
}

TEST(AdrsDicClassTest, TheStandInsFindHalfAndFullWidthAddressesAlike)
{
    TAdrsSearch Search(BinFolder, DicFolder);
    ASSERT_EQ(Search.Search(QStringLiteral("東京都千代田区千代田1-1")), 0);
    ASSERT_EQ(Search.CityCount(), 1);
    ASSERT_EQ(Search.ListTowns(0, false), 0);
    EXPECT_EQ(Search.BuildHit(0, true).TownKanji, QStringLiteral("千代田"));
    EXPECT_EQ(Search.SearchedAddress(), Cp932Encode(QStringLiteral("東京都千代田区千代田１－１")));
    EXPECT_EQ(Search.Search(QStringLiteral("123")), 4);

    TContinualAdrsSearch Fix(BinFolder, DicFolder);
    ASSERT_EQ(Fix.Search(QStringLiteral("東京都千代田区千代田１－１")), 0);
    const TContinualAdrsResult& Result = Fix.GetResult(true);
    EXPECT_EQ(Result.Pos, QStringLiteral("100-0001"));
    EXPECT_EQ(Result.CityKanji, QStringLiteral("千代田区"));
    EXPECT_EQ(Result.Latitude, 0);
    EXPECT_EQ(Fix.Search(QStringLiteral("東京都千代田区")), 1);
}

} // namespace

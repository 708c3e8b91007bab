#include "directory/dic/KykbnDicClass.h"

#include "platform/dynlib/DynLib.h"

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

struct TCalls
{
    int Firsts, Nexts, Closes;
};

TCalls Calls(TDynLib& Fixture)
{
    int Out[3];
    Fixture.SymbolAs<void (*)(int*)>("FixtureCalls")(Out);
    return {Out[0], Out[1], Out[2]};
}

TEST(KykbnDicClassTest, LoadAndBindFailuresRaiseTheirTexts)
{
    EXPECT_EQ(Raised([] { TKykbnSearch(QDir::tempPath() + "/no-such-folder", {}); }),
              QStringLiteral("Areadex.so LoadLibrary Error\r\nDLLのロードに失敗しました"));
    EXPECT_EQ(Raised([] { TKykbnSearch(QStringLiteral(VX_FIXTURE_DIR "/areadex_noprev"), {}); }),
              QStringLiteral("AreadexTown2Prev (Areadex.so) GetProcAddress Error\r\n関数の割り当てに失敗しました"));
    TKykbnSearch Search(Counting, {});
    EXPECT_EQ(Raised([&] { (void)Search.Search(QStringLiteral("--")); }), QStringLiteral("検索電話番号が未入力です"));
    EXPECT_EQ(Raised([&] { (void)Search.Town(0); }), QStringLiteral("町大字検索の結果がありません"));
}

TEST(KykbnDicClassTest, CityListsBeyondOneBatchAreKeptWithEmptyEntries)
{
    TKykbnSearch Search(Counting, {});
    ASSERT_EQ(Search.Search(QStringLiteral("03-1234-5678")), 0);
    ASSERT_EQ(Search.CityCount(), 23);
    EXPECT_EQ(Search.City(19).TownCount, 5);
    for (int I = 20; I < 23; ++I) {
        EXPECT_EQ(Search.City(I).TownCount, 0);
        EXPECT_EQ(Search.City(I).Kanji[0], 0);
    }
}

TEST(KykbnDicClassTest, TownsAreListedOnceAndNeverPastTheirCount)
{
    TDynLib Fixture;
    ASSERT_TRUE(Fixture.Load(Counting + "/Areadex.so"));
    TKykbnSearch Search(Counting, {});
    ASSERT_EQ(Search.Search(QStringLiteral("0312345678")), 0);
    const TCalls Before = Calls(Fixture);
    ASSERT_EQ(Search.ListTowns(0), 0);
    ASSERT_EQ(Search.ListTowns(0), 0);
    EXPECT_EQ(Search.TownCount(), 45);
    EXPECT_EQ(Calls(Fixture).Firsts - Before.Firsts, 1);
    EXPECT_EQ(Calls(Fixture).Nexts - Before.Nexts, 2);
    // A listing that answers "more" for ever stops at the town count and is closed.
    ASSERT_EQ(Search.ListTowns(1), 0);
    EXPECT_EQ(Search.TownCount(), 5);
    EXPECT_EQ(Calls(Fixture).Nexts - Before.Nexts, 2);
    EXPECT_EQ(Calls(Fixture).Closes - Before.Closes, 2);
}

TEST(KykbnDicClassTest, HitsCarryNumberNamesAndCodes)
{
    TDynLib Geomark;
    ASSERT_TRUE(Geomark.Load(Counting + "/Geomark.so"));
    auto Lookups = Geomark.SymbolAs<int (*)()>("FixtureLookups");
    TKykbnSearch Search(Counting, {});
    ASSERT_EQ(Search.Search(QStringLiteral("0312345678")), 0);
    ASSERT_EQ(Search.ListTowns(0), 0);
    const int Before = Lookups();
    TKykbnHitRecord Hit = Search.BuildHit(-1, true);
    EXPECT_EQ(Lookups(), Before);
    EXPECT_FALSE(Hit.Tel.isEmpty());
    EXPECT_EQ(Hit.TdfknKanji, QStringLiteral("東京都"));
    EXPECT_EQ(Hit.CityKanji, QStringLiteral("江東区"));
    EXPECT_EQ(Hit.JisCode, QStringLiteral("13108"));
    EXPECT_TRUE(Hit.Pos.isEmpty());
    EXPECT_TRUE(Hit.TownKanji.isEmpty());
    Hit = Search.BuildHit(0, false);
    EXPECT_EQ(Hit.Pos, QStringLiteral("135-0001"));
    EXPECT_EQ(Hit.KajoCode, QStringLiteral("001002"));
    EXPECT_EQ(Hit.TownKanji, QStringLiteral("川"));
    Hit = Search.BuildHit(0, true);
    EXPECT_EQ(Lookups(), Before + 1);
    EXPECT_EQ(Hit.Latitude, 1000);
    EXPECT_EQ(Hit.TownKanji, QStringLiteral("浜"));
}

TEST(KykbnDicClassTest, TheStandInListsTheWardsOfTheCapital)
{
    TKykbnSearch Search(BinFolder, DicFolder);
    QString Hyphenated;
    ASSERT_EQ(Search.Search(QStringLiteral("0312345678"), &Hyphenated), 0);
    EXPECT_EQ(Hyphenated, QStringLiteral("03-1234-5678"));
    EXPECT_EQ(Search.CityCount(), 23);
    ASSERT_EQ(Search.Search(QStringLiteral("0593548111")), 0);
    ASSERT_EQ(Search.CityCount(), 1);
    ASSERT_EQ(Search.ListTowns(0), 0);
    EXPECT_GT(Search.TownCount(), 20);
    EXPECT_EQ(Search.BuildHit(0, true).CityKanji, QStringLiteral("四日市市"));
    EXPECT_EQ(Search.Search(QStringLiteral("0120123456")), 8);
}

} // namespace

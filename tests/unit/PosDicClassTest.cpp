#include "directory/dic/PosDicClass.h"

#include "directory/DicField.h"
#include "platform/dynlib/DynLib.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QString DicFolder = QStringLiteral(VX_BIN_DIR "/Dic/");
const QString FixtureFolder = QStringLiteral(VX_FIXTURE_DIR "/");

QString Raised(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const Exception& E) {
        return E.Message();
    }
    return {};
}

// The calls the counting fixture saw: PostrollFirst, CityList, TownList, LgTownList, Close, open handles.
struct TCounts
{
    int Values[6] = {};
    char Code[64] = {};
    char Dic[256] = {};
};

TCounts Counts(TDynLib& Fixture)
{
    TCounts Result;
    auto Read = Fixture.SymbolAs<void (*)(int*, char*, char*)>("FixtureCounts");
    Read(Result.Values, Result.Code, Result.Dic);
    return Result;
}

TEST(PosDicClassTest, LoadBindAndCallFailuresRaiseTheirTexts)
{
    EXPECT_EQ(Raised([] { TPosSearch(QDir::tempPath() + "/no-such-folder", {}); }),
              QStringLiteral("Postroll.so LoadLibrary Error\r\nDLLのロードに失敗しました"));
    EXPECT_EQ(Raised([] { TPosSearch(FixtureFolder + "postroll_nopost", {}); }),
              QStringLiteral("PostrollPost (Postroll.so) GetProcAddress Error\r\n関数の割り当てに失敗しました"));
    TPosSearch Search(FixtureFolder + "postroll_rc3", {});
    EXPECT_EQ(Raised([&] { (void)Search.Search(QStringLiteral("1000001")); }),
              QStringLiteral("PostrollFirst (Postroll.so) Call Error\r\nRC = 3"));
    EXPECT_EQ(Raised([&] { (void)Search.Search(QStringLiteral(" - ")); }), QStringLiteral("検索郵便番号が未入力です"));
    EXPECT_EQ(Raised([&] { (void)Search.City(0); }), QStringLiteral("市区郡町村検索の結果がありません"));
    EXPECT_EQ(Raised([&] { (void)Search.Town(0); }), QStringLiteral("町大字検索の結果がありません"));
    EXPECT_EQ(Raised([&] { (void)Search.Office(0); }), QStringLiteral("大口事業所検索の結果がありません"));
}

TEST(PosDicClassTest, ListsAreFetchedOncePerCityAndKind)
{
    TDynLib Fixture;
    ASSERT_TRUE(Fixture.Load(FixtureFolder + "dic_counting/Postroll.so"));
    const TCounts Before = Counts(Fixture);
    TPosSearch Search(FixtureFolder + "dic_counting", QStringLiteral("/dic"));
    ASSERT_EQ(Search.Search(QStringLiteral("1")), 0);
    EXPECT_STREQ(Counts(Fixture).Dic, "/dic/");
    ASSERT_EQ(Search.CityCount(), 2);
    EXPECT_EQ(Search.ListTowns(0, false), 0);
    EXPECT_EQ(Search.ListTowns(0, false), 0);
    EXPECT_EQ(Counts(Fixture).Values[2] - Before.Values[2], 1);
    EXPECT_EQ(Search.ListTowns(0, true), 0);
    EXPECT_EQ(Search.ListTowns(0, false), 0);
    EXPECT_EQ(Counts(Fixture).Values[2] - Before.Values[2], 2);
    EXPECT_EQ(Counts(Fixture).Values[3] - Before.Values[3], 1);
    // A city of no towns is not asked for them.
    EXPECT_EQ(Search.ListTowns(1, false), 8);
    EXPECT_EQ(Counts(Fixture).Values[2] - Before.Values[2], 2);
}

TEST(PosDicClassTest, CountsTheLibraryReportsAreNotTakenOnTrust)
{
    TPosSearch Search(FixtureFolder + "dic_counting", {});
    ASSERT_EQ(Search.Search(QStringLiteral("2")), 0);
    EXPECT_EQ(Search.CityCount(), 0);
    ASSERT_EQ(Search.Search(QStringLiteral("3")), 0);
    EXPECT_LE(Search.CityCount(), TPosSearch::MaxRecords);
}

TEST(PosDicClassTest, ANewSearchClosesTheHeldHandle)
{
    TDynLib Fixture;
    ASSERT_TRUE(Fixture.Load(FixtureFolder + "dic_counting/Postroll.so"));
    const int OpenBefore = Counts(Fixture).Values[5];
    {
        TPosSearch Search(FixtureFolder + "dic_counting", {});
        ASSERT_EQ(Search.Search(QStringLiteral("1")), 0);
        ASSERT_EQ(Search.Search(QStringLiteral("1")), 0);
        ASSERT_EQ(Search.Search(QStringLiteral("1")), 0);
        EXPECT_EQ(Counts(Fixture).Values[5] - OpenBefore, 1);
    }
    EXPECT_EQ(Counts(Fixture).Values[5], OpenBefore);
}

TEST(PosDicClassTest, HitsTakeTownsOfficesAndCoordinates)
{
    TDynLib Fixture, Geomark;
    ASSERT_TRUE(Geomark.Load(FixtureFolder + "dic_counting/Geomark.so"));
    auto Lookups = Geomark.SymbolAs<int (*)()>("FixtureLookups");
    TPosSearch Search(FixtureFolder + "dic_counting", {});
    ASSERT_EQ(Search.Search(QStringLiteral("1")), 0);
    ASSERT_EQ(Search.ListTowns(0, false), 0);
    // The city alone: no number, no town, and no coordinates asked for.
    const int Before = Lookups();
    TAdrsHitRecord Hit = Search.BuildHit(-1, true);
    EXPECT_EQ(Lookups(), Before);
    EXPECT_TRUE(Hit.Pos.isEmpty());
    EXPECT_EQ(Hit.TdfknKanji, QStringLiteral("東京都"));
    EXPECT_EQ(Hit.CityKanji, QStringLiteral("江東区"));
    EXPECT_EQ(Hit.TdfknKana, QStringLiteral("ﾄｳｷﾖｳﾄ"));
    EXPECT_EQ(Hit.CityKana, QStringLiteral("ｺｳﾄｳｸ"));
    EXPECT_TRUE(Hit.TownKanji.isEmpty());
    // A town name cut inside its last character at the field's end lists without the half.
    EXPECT_EQ(FixedFieldText(Search.Town(1).Kanji, sizeof Search.Town(1).Kanji), QString(101, u'A'));
    Hit = Search.BuildHit(1, false);
    EXPECT_EQ(Hit.Pos, QStringLiteral("135-0002"));
    EXPECT_EQ(Hit.TownKanji, QString(100, u'A'));
    // Town view: the coordinates record's texts replace the dictionary's.
    Hit = Search.BuildHit(0, true);
    EXPECT_EQ(Lookups(), Before + 1);
    EXPECT_EQ(Hit.Pos, QStringLiteral("135-0099"));
    EXPECT_EQ(Hit.TownKanji, QStringLiteral("浜"));
    EXPECT_EQ(Hit.Latitude, 1000);
    EXPECT_EQ(Hit.Longitude, 2000);
    // Office view: coordinates set, the dictionary's own texts kept.
    ASSERT_EQ(Search.ListTowns(0, true), 0);
    Hit = Search.BuildHit(0, true);
    EXPECT_EQ(Hit.Pos, QStringLiteral("135-8001"));
    EXPECT_EQ(Hit.TownKanji, QStringLiteral("川"));
    EXPECT_EQ(Hit.LargeKanji, QStringLiteral("区役所"));
    EXPECT_EQ(Hit.Latitude, 1000);
}

TEST(PosDicClassTest, CodesWithOrWithoutHyphenSearchTheSameDigits)
{
    TDynLib Fixture;
    ASSERT_TRUE(Fixture.Load(FixtureFolder + "dic_counting/Postroll.so"));
    TPosSearch Search(FixtureFolder + "dic_counting", {});
    QString Normalised;
    ASSERT_EQ(Search.Search(QStringLiteral("100-0001"), &Normalised), 0);
    EXPECT_STREQ(Counts(Fixture).Code, "1000001");
    EXPECT_EQ(Normalised, QStringLiteral("100-0001"));
    ASSERT_EQ(Search.Search(QStringLiteral("12345"), &Normalised), 0);
    EXPECT_EQ(Normalised, QStringLiteral("123-45"));
    EXPECT_EQ(Search.Search(QStringLiteral("9")), 8);
    EXPECT_EQ(Search.CityCount(), 0);
}

TEST(PosDicClassTest, TheStandInFindsTheCapitalsOwnTown)
{
    TPosSearch Search(BinFolder, DicFolder);
    ASSERT_EQ(Search.Search(QStringLiteral("100-0001")), 0);
    ASSERT_EQ(Search.CityCount(), 1);
    ASSERT_EQ(Search.ListTowns(0, false), 0);
    TAdrsHitRecord Hit = Search.BuildHit(0, true);
    EXPECT_EQ(Hit.Pos, QStringLiteral("100-0001"));
    EXPECT_EQ(Hit.TdfknKanji, QStringLiteral("東京都"));
    EXPECT_EQ(Hit.CityKanji, QStringLiteral("千代田区"));
    EXPECT_EQ(Hit.TownKanji, QStringLiteral("千代田"));
    EXPECT_EQ(Hit.Latitude, 0);
    EXPECT_EQ(Search.Search(QStringLiteral("12")), 4);
    EXPECT_EQ(Search.Search(QStringLiteral("999-9999")), 8);
}

} // namespace

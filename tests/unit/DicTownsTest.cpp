#include "directory/dicdialog/DicTowns.h"

#include "directory/dic/AdrsHitRecord.h"
#include "directory/dic/KykbnDicClass.h"
#include "directory/dicdialog/DicSearchResult.h"

#include <gtest/gtest.h>

namespace {

TEST(DicTownsTest, EachKanaFilterHoldsItsColumnOnly)
{
    const struct
    {
        int Filter;
        const char16_t* Reading;
        bool Kept;
    } Cases[] = {
        {0, u"", true},        {0, u"ｦﾉ", true},  {0, u"ABC", true},   {1, u"ｱｵﾊﾞ", true}, {1, u"ｵ", true},
        {1, u"ｶ", false},      {2, u"ｶﾜﾗ", true}, {2, u"ｺ", true},     {3, u"ｿ", true},    {4, u"ﾄ", true},
        {5, u"ﾉ", true},       {6, u"ﾎ", true},   {7, u"ﾓ", true},     {8, u"ﾖ", true},    {8, u"ﾗ", false},
        {9, u"ﾛｯﾎﾟﾝｷﾞ", true}, {9, u"ﾜ", false},  {10, u"ﾜｶﾊﾞ", true}, {10, u"ｦﾉ", false}, {10, u"ﾝﾏ", false},
        {1, u"", false},       {1, u"ア", false}, {1, u"あ", false},   {11, u"ｱ", false},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(KanaFilterAccepts(Case.Filter, QString::fromUtf16(Case.Reading)), Case.Kept)
            << Case.Filter << " " << QString::fromUtf16(Case.Reading).toStdString();
    EXPECT_EQ(KanaFilterItems().size(), 11);
    EXPECT_EQ(KanaFilterItems().back(), QStringLiteral("わ行"));
}

TEST(DicTownsTest, InitialsAndPostalCodesAsTheTownListShowsThem)
{
    EXPECT_EQ(KanaInitial(QStringLiteral("ｱｵﾊﾞ")), QStringLiteral("あ"));
    EXPECT_EQ(KanaInitial(QStringLiteral("ｦﾉ")), QStringLiteral("を"));
    EXPECT_EQ(KanaInitial(QStringLiteral("ﾝﾏ")), QStringLiteral("ん"));
    EXPECT_EQ(KanaInitial(QStringLiteral("ｶﾞｯｺｳ")), QStringLiteral("か"));
    EXPECT_EQ(KanaInitial(QStringLiteral("ﾞ")), QStringLiteral("ﾞ"));
    EXPECT_EQ(KanaInitial(QString()), QString());

    EXPECT_EQ(TownPosText(QStringLiteral(" 1000001 ")), QStringLiteral("100-0001"));
    EXPECT_EQ(TownPosText(QStringLiteral("10000")), QStringLiteral("100-00"));
    EXPECT_EQ(TownPosText(QStringLiteral("100-0001")), QStringLiteral("100-0001"));
    EXPECT_EQ(TownPosText(QStringLiteral("100")), QStringLiteral("100"));

    const QList<TDicTown> Towns = {
        {QStringLiteral("1000001"), QStringLiteral("ｱｵﾊﾞ"), QStringLiteral("青葉"), {}},
        {QStringLiteral("1000002"), QStringLiteral(" "), QStringLiteral(" "), {}},
        {QStringLiteral("1000003"), QStringLiteral("ｱｻﾋ"), QStringLiteral("旭"), {}},
        {QStringLiteral("1000004"), QString(), QStringLiteral("名のみ"), {}},
        {QStringLiteral("1000005"), QStringLiteral("ｲﾅ"), QStringLiteral("稲"), {}},
    };
    const QList<TDicTownRow> Rows = BuildTownRows(Towns, 0);
    ASSERT_EQ(Rows.size(), 4);
    // A row keeps its town's place, past the town left out.
    EXPECT_EQ(Rows[1].Index, 2);
    EXPECT_EQ(Rows[0].Initial, QStringLiteral("あ"));
    EXPECT_EQ(Rows[1].Initial, QString());
    EXPECT_EQ(Rows[2].Initial, QString());
    EXPECT_EQ(Rows[3].Initial, QStringLiteral("い"));
    // Under a filter the first row kept shows its initial even when an earlier town had the same.
    const QList<TDicTownRow> Filtered = BuildTownRows(Towns, 1);
    ASSERT_EQ(Filtered.size(), 3);
    EXPECT_EQ(Filtered[0].Initial, QStringLiteral("あ"));
}

TEST(DicTownsTest, TheResultIsTrimmedAndCutToItsFieldsOnCharacterBoundaries)
{
    TAdrsHitRecord Hit;
    Hit.Pos = QStringLiteral(" 100-0001 ");
    Hit.TdfknKanji = QStringLiteral("神奈川県X");
    Hit.CityKanji = QString(31, QLatin1Char('C')) + QStringLiteral("市");
    Hit.TownKanji = QString(151, QLatin1Char('T')) + QStringLiteral("亀");
    Hit.LargeKanji = QStringLiteral("宮内庁");
    Hit.LargeKana = QStringLiteral("ｸﾅｲﾁﾖｳ");
    Hit.JisCode = QStringLiteral("131010");
    Hit.Latitude = 128000000;
    const TDicSearchResult Result = DicResultOfAdrsHit(Hit);
    EXPECT_EQ(Result.Pos, QStringLiteral("100-0001"));
    EXPECT_EQ(Result.Tdfkn, QStringLiteral("神奈川県"));
    EXPECT_EQ(Result.Adrs1, QString(31, QLatin1Char('C')));
    EXPECT_EQ(Result.Adrs2, QString(151, QLatin1Char('T')));
    EXPECT_EQ(Result.JisCode, QStringLiteral("13101"));
    EXPECT_EQ(Result.NameKanji, QStringLiteral("宮内庁"));
    EXPECT_EQ(Result.NameKana, QStringLiteral("ｸﾅｲﾁﾖｳ"));
    EXPECT_EQ(Result.Latitude, 128000000);
    EXPECT_TRUE(Result.Tel.isEmpty());
    EXPECT_FALSE(Result.Personal);

    TKykbnHitRecord Area;
    Area.Tel = QStringLiteral("059-354-8111");
    Area.TdfknKanji = QStringLiteral("三重県");
    Area.CityKanji = QStringLiteral("四日市市");
    Area.TownKanji = QStringLiteral("八田");
    const TDicSearchResult FromArea = DicResultOfKykbnHit(Area);
    EXPECT_EQ(FromArea.Tel, QStringLiteral("059-354-8111"));
    EXPECT_EQ(FromArea.Adrs2, QStringLiteral("八田"));
    EXPECT_TRUE(FromArea.NameKanji.isEmpty());
}

} // namespace

// The address stand-ins' walks of the dictionary, counted in SQLite VM steps on dictionaries of n
// and 4n municipalities: the first load reads the municipalities once, and a search that reaches
// one municipality reads its towns alone, whatever the size of the country.

#include "peers/dic/DicBuild.h"
#include "peers/dic/PlaceIndex.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TDicData Country(int Municipalities)
{
    TDicData Data;
    for (int C = 0; C < Municipalities; ++C) {
        Data.Cities.append(TDicCity{C % 47, QStringLiteral("町%1市").arg(C), QStringLiteral("ﾏﾁｼ")});
        for (int T = 0; T < 10; ++T)
            Data.Towns.append(TBuildTown{QStringLiteral("%1").arg(C * 10 + T, 7, 10, QLatin1Char('0')), C,
                                         QStringLiteral("本町%1").arg(T), QStringLiteral("ﾎﾝﾏﾁ")});
        Data.Offices.append(TDicOffice{QStringLiteral("%1").arg(9000000 + C), C, QStringLiteral("本町１－１"),
                                       QStringLiteral("役場"), QStringLiteral("ﾎﾝﾏﾁ")});
    }
    return Data;
}

struct TSteps
{
    long long Load = 0;
    long long Towns = 0;
};

TSteps Measure(int Municipalities)
{
    QTemporaryDir Dir;
    QString Error;
    EXPECT_TRUE(WriteDic(Country(Municipalities), Dir.path(), Error)) << Error.toStdString();
    const QByteArray Folder = Dir.path().toUtf8();
    TSteps Steps;
    long long Before = dicstore::VmSteps;
    const dicstore::TPlaceIndex* Index = dicstore::LoadPlaceIndex(Folder.constData());
    Steps.Load = dicstore::VmSteps - Before;
    EXPECT_NE(Index, nullptr);
    if (!Index)
        return Steps;
    EXPECT_EQ(Index->Cities.size(), static_cast<size_t>(Municipalities));
    Before = dicstore::VmSteps;
    const auto Matches = dicstore::MatchCities(*Index, "町7市本町3");
    EXPECT_EQ(Matches.size(), 1u);
    if (Matches.size() == 1) {
        EXPECT_EQ(dicstore::TownsNamed(*Index, *Matches[0].City, Matches[0].Rest).size(), 1u);
        EXPECT_EQ(dicstore::OfficesOf(*Index, *Matches[0].City).size(), 1u);
    }
    Steps.Towns = dicstore::VmSteps - Before;
    return Steps;
}

TEST(PlaceIndexSteps, TheFirstLoadIsOneWalkOfTheMunicipalitiesAndASearchReadsOnlyItsTowns)
{
    const TSteps Small = Measure(200);
    const TSteps Large = Measure(800);
    ASSERT_GT(Small.Load, 0);
    ASSERT_GT(Small.Towns, 0);
    EXPECT_LE(Large.Load, 5 * Small.Load) << Small.Load << " -> " << Large.Load;
    // No walk of the whole town table: the towns of one municipality cost the same in any country.
    EXPECT_LE(Large.Towns, 2 * Small.Towns) << Small.Towns << " -> " << Large.Towns;
}

} // namespace

#include "peers/dic/PostalJson.h"

#include <gtest/gtest.h>

namespace {

const QString FixtureFolder = QStringLiteral(VX_TEST_DATA_DIR "/dic/jpostal");

class PostalJsonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString Error;
        ASSERT_TRUE(ReadJpostalFolder(FixtureFolder, File, Error)) << Error.toStdString();
        Data = BuildFromPostal(File, QStringLiteral("test"));
    }

    const TDicCity* City(const QString& Name) const
    {
        for (const TDicCity& C : Data.Cities)
            if (C.Name == Name)
                return &C;
        return nullptr;
    }
    QList<TBuildTown> TownsOf(const QString& Code) const
    {
        QList<TBuildTown> Towns;
        for (const TBuildTown& T : Data.Towns)
            if (T.Code == Code)
                Towns << T;
        return Towns;
    }
    const TDicOffice* Office(const QString& Code) const
    {
        for (const TDicOffice& O : Data.Offices)
            if (O.Code == Code)
                return &O;
        return nullptr;
    }

    TPostalFile File;
    TDicData Data;
};

TEST_F(PostalJsonTest, TheCallbackWrapperAndThePackagesOwnRowsAreNoEntries)
{
    EXPECT_EQ(File.Rejected, 0);
    for (const TPostalRow& Row : File.Rows) {
        EXPECT_EQ(Row.Code.size(), 7) << Row.Code.toStdString();
    }
    EXPECT_EQ(File.Rows.front().Code, QStringLiteral("0010000"));
    EXPECT_EQ(Data.Source, QStringLiteral("test"));
}

TEST_F(PostalJsonTest, ACodeOfAMunicipalityAloneIsOneRowReadAsTheMunicipality)
{
    const QList<TBuildTown> Shared = TownsOf(QStringLiteral("5100000"));
    ASSERT_EQ(Shared.size(), 3);
    for (const TBuildTown& Town : Shared) {
        EXPECT_TRUE(Town.Name.isEmpty());
        EXPECT_EQ(Town.Kana, Data.Cities[Town.City].Kana);
        EXPECT_FALSE(Town.Kana.isEmpty());
    }
    const QList<TBuildTown> Naoshima = TownsOf(QStringLiteral("7613110"));
    ASSERT_EQ(Naoshima.size(), 1);
    EXPECT_EQ(Data.Cities[Naoshima[0].City].Name, QStringLiteral("香川郡直島町"));
    EXPECT_EQ(Naoshima[0].Kana, QStringLiteral("ｶｶﾞﾜｸﾞﾝﾅｵｼﾏﾁｮｳ"));
}

TEST_F(PostalJsonTest, TownsKeepTheirReadingsAndOfficesTheirBlockAndName)
{
    const QList<TBuildTown> Ginza = TownsOf(QStringLiteral("1040061"));
    ASSERT_EQ(Ginza.size(), 1);
    EXPECT_EQ(Ginza[0].Name, QStringLiteral("銀座"));
    EXPECT_EQ(Ginza[0].Kana, QStringLiteral("ｷﾞﾝｻﾞ"));

    const TDicOffice* Kunai = Office(QStringLiteral("1008111"));
    ASSERT_NE(Kunai, nullptr);
    EXPECT_EQ(Kunai->Town, QStringLiteral("千代田１－１"));
    EXPECT_EQ(Kunai->Name, QStringLiteral("宮内庁"));
    EXPECT_EQ(Kunai->Kana, QStringLiteral("ﾁﾖﾀﾞ"));
    // A row without the town's reading takes it from the town's own row.
    const TDicOffice* Otemachi = Office(QStringLiteral("1008926"));
    ASSERT_NE(Otemachi, nullptr);
    EXPECT_EQ(Otemachi->Kana, QStringLiteral("ｵｵﾃﾏﾁ"));
    // An office whose address names no town is its block.
    const TDicOffice* Tsukigata = Office(QStringLiteral("0610592"));
    ASSERT_NE(Tsukigata, nullptr);
    EXPECT_EQ(Tsukigata->Town, QStringLiteral("１２１９番地（月形郵便局私書箱第２号）"));
    EXPECT_EQ(Data.Cities[Tsukigata->City].Name, QStringLiteral("樺戸郡月形町"));
    // The office rows make no town rows of their own.
    EXPECT_TRUE(TownsOf(QStringLiteral("1008111")).isEmpty());
}

TEST_F(PostalJsonTest, MunicipalitiesAreTheListsOwnAndSplitAtTheirDistrictOnly)
{
    ASSERT_NE(City(QStringLiteral("蒲郡市")), nullptr);
    EXPECT_EQ(City(QStringLiteral("蒲郡市"))->Pref, 22);
    struct TCase
    {
        const char* Name;
        const char* Kana;
        const char* Free;
    };
    const TCase Cases[] = {
        {"茅部郡森町", "ｶﾔﾍﾞｸﾞﾝﾓﾘﾏﾁ", "森町"},
        {"三重郡朝日町", "ﾐｴｸﾞﾝｱｻﾋﾁｮｳ", "朝日町"},
        {"蒲郡市", "ｶﾞﾏｺﾞｵﾘｼ", ""},
        {"小郡市", "ｵｺﾞｵﾘｼ", ""},
        {"大和郡山市", "ﾔﾏﾄｺｵﾘﾔﾏｼ", ""},
        {"千代田区", "ﾁﾖﾀﾞｸ", ""},
        // The SKK lists carry no readings: a district's towns and villages are still told apart.
        {"三重郡朝日町", "", "朝日町"},
        {"蒲郡市", "", ""},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(DistrictFreeName(QString::fromUtf8(Case.Name), QString::fromUtf8(Case.Kana)),
                  QString::fromUtf8(Case.Free))
            << Case.Name << " " << Case.Kana;
}

TEST(PostalJsonHostileTest, DamagedFilesAndRowsAreRefusedWithoutLosingTheRest)
{
    EXPECT_TRUE(ParseJpostal("jQuery_jpostal_callback([[\"_1000001\"").Damaged);
    EXPECT_TRUE(ParseJpostal("").Damaged);
    EXPECT_TRUE(ParseJpostal("cb({\"a\":1})").Damaged);
    const TPostalFile File =
        ParseJpostal("cb([[\"_1000001\",\"東京都\",\"千代田区\",\"千代田\",\"\",\"\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ﾁﾖﾀﾞ\"],"
                     "[\"_10000\",\"東京都\",\"千代田区\",\"\",\"\",\"\",\"\",\"\",\"\"]," // five digits
                     "[\"_1000002\",\"東京\",\"千代田区\",\"\",\"\",\"\",\"\",\"\",\"\"]," // no such prefecture
                     "[\"_1000003\",\"東京都\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"],"       // no municipality
                     "[\"_1000004\",\"東京都\",\"千代田区\",1,\"\",\"\",\"\",\"\",\"\"],"  // a number for a text
                     "[\"_1000005\",\"東京都\",\"千代田区\"],"                             // short
                     "\"row\", null, [\"_000info\",\"\",\"v\",\"\",\"\",\"\",\"\",\"v\",\"\"]]);");
    EXPECT_FALSE(File.Damaged);
    ASSERT_EQ(File.Rows.size(), 1);
    EXPECT_EQ(File.Rows[0].TownKana, QStringLiteral("ﾁﾖﾀﾞ"));
    EXPECT_EQ(File.Rejected, 7);
    QString Error;
    TPostalFile Folder;
    EXPECT_FALSE(ReadJpostalFolder(QStringLiteral("/proc/no-such-folder"), Folder, Error));
    EXPECT_FALSE(Error.isEmpty());
}

} // namespace

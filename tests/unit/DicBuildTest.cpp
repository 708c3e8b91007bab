#include "peers/dic/DicBuild.h"

#include "platform/text/Cp932.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString DataFolder = QStringLiteral(VX_TEST_DATA_DIR "/dic/");

TSkkFile Read(const QString& Name)
{
    TSkkFile File;
    QString Error;
    EXPECT_TRUE(ReadSkkFile(DataFolder + Name, File, Error)) << Error.toStdString();
    return File;
}

class DicBuildTest : public ::testing::Test
{
protected:
    TSkkFile Zipcode = Read(QStringLiteral("zipcode.skk"));
    TSkkFile Office = Read(QStringLiteral("office.skk"));
    TDicBuilder Builder{Zipcode};
    TDicData Data = Builder.Build(Zipcode, Office);

    QStringList CitiesOf(const QString& Code) const
    {
        QStringList Names;
        for (const TBuildTown& Town : Data.Towns)
            if (Town.Code == Code)
                Names << Data.Cities[Town.City].Name;
        return Names;
    }
};

TEST_F(DicBuildTest, AddressesSplitAtTheLongestMunicipality)
{
    struct TCase
    {
        const char* Address;
        const char* City;
        const char* Town;
    };
    const TCase Cases[] = {
        {"千葉県市川市市川", "市川市", "市川"},
        {"三重県四日市市八田", "四日市市", "八田"},
        {"北海道札幌市北区北十条西", "札幌市北区", "北十条西"},
        {"三重県三重郡朝日町柿", "三重郡朝日町", "柿"},
        {"東京都千代田区", "千代田区", ""},
        // A village with no entry of its own at a code ending in 00 is still its own municipality.
        {"東京都青ヶ島村", "青ヶ島村", ""},
    };
    for (const TCase& Case : Cases) {
        TAddressSplit Split = Builder.Split(QString::fromUtf8(Case.Address));
        EXPECT_EQ(Split.City, QString::fromUtf8(Case.City)) << Case.Address;
        EXPECT_EQ(Split.Town, QString::fromUtf8(Case.Town)) << Case.Address;
        EXPECT_GE(Split.Pref, 0) << Case.Address;
    }
}

TEST_F(DicBuildTest, ACodeOfSeveralMunicipalitiesKeepsEachAsATownlessRow)
{
    EXPECT_EQ(
        CitiesOf(QStringLiteral("5100000")),
        (QStringList{QStringLiteral("四日市市"), QStringLiteral("三重郡朝日町"), QStringLiteral("三重郡川越町")}));
    for (const TBuildTown& Town : Data.Towns)
        if (Town.Code == QLatin1String("5100000")) {
            EXPECT_TRUE(Town.Name.isEmpty());
        }
}

TEST_F(DicBuildTest, OfficesGetTheirMunicipalityTownAndName)
{
    const TDicOffice* Found = nullptr;
    for (const TDicOffice& Office : Data.Offices)
        if (Office.Code == QLatin1String("1008111"))
            Found = &Office;
    ASSERT_NE(Found, nullptr);
    EXPECT_EQ(Data.Cities[Found->City].Name, QStringLiteral("千代田区"));
    EXPECT_EQ(Found->Town, QStringLiteral("千代田"));
    EXPECT_EQ(Found->Name, QStringLiteral("宮内庁"));
    // A town the postal list does not know ends at the first digit of the address.
    for (const TDicOffice& Office : Data.Offices)
        if (Office.Code == QLatin1String("5108501")) {
            EXPECT_EQ(Office.Town, QStringLiteral("諏訪町"));
        }
}

TEST_F(DicBuildTest, FieldsAreCutOnACharacterAndMissingCharactersShow)
{
    QString Long;
    for (const TDicOffice& Office : Data.Offices)
        if (Office.Code == QLatin1String("1048001"))
            Long = Office.Name;
    ASSERT_EQ(Cp932Encode(Long).size(), 70);
    const QByteArray Cut = DicFieldBytes(Long, 62);
    EXPECT_EQ(Cut.size(), 61); // "1" and thirty double-byte characters; the next would need 63
    EXPECT_TRUE(IsValidCp932(Cut));
    // A JIS X 0213 character of the postal lists that CP932 lacks.
    QString Missing;
    for (const TDicOffice& Office : Data.Offices)
        if (Office.Code == QLatin1String("1048002"))
            Missing = Office.Name;
    EXPECT_EQ(DicFieldBytes(Missing, 62), Cp932Encode(QStringLiteral("株式会社")) + QByteArray(Cp932Substitute) +
                                              Cp932Encode(QStringLiteral("銀座")));
}

TEST(DicBuildHostileTest, DamagedLinesAreRefusedAndBadBytesShowWithoutLosingTheLine)
{
    QByteArray Bytes = QByteArray(";; comment\n") + "12 /short code/\n" + "1234567 no slash\n" + "1234567 //\n" +
                       "abcdefg /letters/\n" + "7654321 /\xA4\xA2\xFF\xA4\xA4/\n" + "7654322 /\xA4";
    TSkkFile File = ParseSkk(Bytes);
    EXPECT_EQ(File.Rejected, 4);
    ASSERT_EQ(File.Lines.size(), 2);
    EXPECT_EQ(File.Lines[0].Texts, QStringList{QStringLiteral("あ〓い")});
    EXPECT_EQ(File.Lines[1].Texts, QStringList{QStringLiteral("〓")});
    // Addresses of no prefecture or no known municipality still make an entry.
    TDicBuilder Builder(File);
    TDicData Data = Builder.Build(File, ParseSkk("1000000 /no address mark/\n"));
    EXPECT_EQ(Data.Towns.size(), 2);
    EXPECT_EQ(Data.Offices.size(), 1);
}

TEST(DicBuildHostileTest, WritingReplacesTheFileWhole)
{
    QTemporaryDir Dir;
    TDicData Data;
    Data.Cities.append(TDicCity{12, QStringLiteral("市川市")});
    Data.Towns.append(TBuildTown{QStringLiteral("2720034"), 0, QStringLiteral("市川")});
    QString Error;
    ASSERT_TRUE(WriteDic(Data, Dir.path(), Error)) << Error.toStdString();
    ASSERT_TRUE(WriteDic(Data, Dir.path(), Error)) << Error.toStdString();
    EXPECT_TRUE(QFile::exists(Dir.filePath(QStringLiteral("PostalDic.db"))));
    EXPECT_FALSE(QFile::exists(Dir.filePath(QStringLiteral("PostalDic.db.tmp"))));
    EXPECT_FALSE(WriteDic(Data, QStringLiteral("/proc/no-such-folder"), Error));
}

} // namespace

#include "directory/Geomark.h"

#include "BoxRecorder.h"
#include "platform/text/Cp932.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");

TEST(GeomarkTest, KeysAreCodesPaddedWithZerosToElevenCharacters)
{
    EXPECT_EQ(GeomarkKey(QStringLiteral("13101"), {}), QStringLiteral("13101000000"));
    EXPECT_EQ(GeomarkKey(QStringLiteral("13101"), QStringLiteral("001002")), QStringLiteral("13101001002"));
    EXPECT_EQ(GeomarkKey(QStringLiteral("131"), QStringLiteral("1234567")), QStringLiteral("13112345600"));
    EXPECT_EQ(GeomarkKey({}, {}), QStringLiteral("00000000000"));
}

TEST(GeomarkTest, ArcUnitsBecomeMillisecondsRoundedHalfAwayFromZero)
{
    EXPECT_EQ(Arc256ToMilliseconds(256), 1000);
    EXPECT_EQ(Arc256ToMilliseconds(1), 4);
    EXPECT_EQ(Arc256ToMilliseconds(0), 0);
    EXPECT_EQ(Arc256ToMilliseconds(-1), -4);
    // 140 degrees east: 129 024 000 units, far past 32 bits once multiplied by 1000.
    EXPECT_EQ(Arc256ToMilliseconds(140LL * 3600 * 256), 504000000);
    EXPECT_EQ(Arc256ToMilliseconds(0xFFFFFFFFLL), INT32_MAX);
}

TEST(GeomarkTest, PostalCodesOfFiveOrSevenDigitsGetTheirHyphen)
{
    EXPECT_EQ(FormatPostalCode(QStringLiteral("1000005")), QStringLiteral("100-0005"));
    EXPECT_EQ(FormatPostalCode(QStringLiteral("10000")), QStringLiteral("100-00"));
    EXPECT_EQ(FormatPostalCode(QStringLiteral("100")), QStringLiteral("100"));
    EXPECT_EQ(FormatPostalCode({}), QString());
}

void Put(char* Field, std::size_t Size, const QString& Text)
{
    std::memset(Field, ' ', Size);
    const QByteArray Bytes = Cp932Encode(Text);
    std::memcpy(Field, Bytes.constData(), std::min<std::size_t>(Size, Bytes.size()));
}

TEST(GeomarkTest, AFoundRecordJoinsTownAndSubArea)
{
    TGeomarkRecord Record{};
    Record.Latitude = 35 * 3600 * 256;
    Record.Longitude = 140 * 3600 * 256;
    Put(Record.Pos, sizeof(Record.Pos), QStringLiteral("1000005"));
    Put(Record.TdfknKana, sizeof(Record.TdfknKana), QStringLiteral("ﾄｳｷﾖｳﾄ"));
    Put(Record.TdfknKanji, sizeof(Record.TdfknKanji), QStringLiteral("東京都"));
    Put(Record.CityKanji, sizeof(Record.CityKanji), QStringLiteral("千代田区"));
    Put(Record.TownKanji, sizeof(Record.TownKanji), QStringLiteral("丸の内"));
    Put(Record.SubAreaKanji, sizeof(Record.SubAreaKanji), QStringLiteral("１丁目"));
    Put(Record.TownKana, sizeof(Record.TownKana), QStringLiteral("ﾏﾙﾉｳﾁ"));
    const TGeomarkResult Result = ReadGeomarkRecord(Record);
    EXPECT_EQ(Result.Pos, QStringLiteral("100-0005"));
    EXPECT_EQ(Result.TdfknKana, QStringLiteral("ﾄｳｷﾖｳﾄ"));
    EXPECT_EQ(Result.TdfknKanji, QStringLiteral("東京都"));
    EXPECT_EQ(Result.CityKanji, QStringLiteral("千代田区"));
    EXPECT_EQ(Result.TownKanji, QStringLiteral("丸の内１丁目"));
    EXPECT_EQ(Result.TownKana, QStringLiteral("ﾏﾙﾉｳﾁ"));
    EXPECT_EQ(Result.Latitude, 126000000);
    EXPECT_EQ(Result.Longitude, 504000000);
}

TEST(GeomarkTest, TheStandInFindsNothingAndFailuresAreReported)
{
    TBoxRecorder Recorder;
    TGeomarkRecord Record{};
    EXPECT_EQ(GeomarkLookup(QStringLiteral("13101000000"), Record, BinFolder), GeomarkRcNotLoaded);

    ASSERT_EQ(LoadGeomarkLibrary(BinFolder), 0);
    std::memset(&Record, 0x55, sizeof(Record));
    EXPECT_NE(GeomarkLookup(QStringLiteral("13101000000"), Record, BinFolder), 0);
    EXPECT_EQ(Record.Latitude, 0u);
    FreeGeomarkLibrary();
    EXPECT_FALSE(GeomarkLibraryLoaded());
    EXPECT_TRUE(Recorder.Boxes.isEmpty());

    QTemporaryDir Folder;
    const QString Path = Folder.path() + QLatin1Char('/');
    EXPECT_EQ(LoadGeomarkLibrary(Path), GeomarkRcLoadError);
    ASSERT_EQ(Recorder.Boxes.size(), 1);
    EXPECT_EQ(Recorder.Boxes[0].Text, QStringLiteral("Geomark.so\r\nDLLのロードに失敗しました"));
    EXPECT_EQ(Recorder.Boxes[0].Caption, QStringLiteral("Geomark.so LoadLibrary Error"));
    FreeGeomarkLibrary();

    ASSERT_TRUE(QFile::copy(BinFolder + QStringLiteral("Dashrule.so"), Path + QStringLiteral("Geomark.so")));
    EXPECT_EQ(LoadGeomarkLibrary(Path), GeomarkRcBindError);
    ASSERT_EQ(Recorder.Boxes.size(), 2);
    EXPECT_EQ(Recorder.Boxes[1].Text, QStringLiteral("GeomarkAdrs\r\n関数の割り当てに失敗しました"));
    EXPECT_EQ(Recorder.Boxes[1].Caption, QStringLiteral("Geomark.so GetProcAddress Error"));
    EXPECT_EQ(LoadGeomarkLibrary(BinFolder), 0); // the failed bind gave its use back
    EXPECT_TRUE(GeomarkLibraryLoaded());
    FreeGeomarkLibrary();
}

} // namespace

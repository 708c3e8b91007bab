#include "directory/Numfind.h"

#include "BoxRecorder.h"
#include "directory/DicField.h"
#include "main/common/ProductInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");

void WriteList(const QString& Folder, const QByteArray& Content)
{
    QFile File(Folder + QStringLiteral("Numfind.csv"));
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Content);
}

TEST(NumfindTest, TheStandInAnswersFromTheUsersNumberList)
{
    TBoxRecorder Recorder;
    QTemporaryDir Dic;
    const QString DicFolder = Dic.path() + QLatin1Char('/');
    ASSERT_EQ(LoadNumberDictionary(BinFolder, ProductName), 0);
    TNumfindRecord Record;

    EXPECT_EQ(SearchNumberDictionary(QStringLiteral("0312345678"), Record, {}, DicFolder), 1) << "no list";

    WriteList(DicFolder, "\xEF\xBB\xBF# number,postal code,name,...\n"
                         "\n"
                         "03-1234-5678,100-0005,東京商事,ﾄｳｷﾖｳｼﾖｳｼﾞ,東京都千代田区,丸の内,１－１,13101,001002,11,"
                         "35.5,140\n"
                         "0466123456,2510052,藤沢太郎\n"
                         "0466999999,,藤沢\x01😀商店\n");
    ASSERT_EQ(SearchNumberDictionary(QStringLiteral("0312345678"), Record, {}, DicFolder), 0);
    EXPECT_EQ(FixedFieldText(Record.Tel, sizeof(Record.Tel)), QStringLiteral("0312345678"));
    EXPECT_EQ(FixedFieldText(Record.Pos, sizeof(Record.Pos)), QStringLiteral("1000005"));
    EXPECT_EQ(FixedFieldText(Record.NameKanji, sizeof(Record.NameKanji)), QStringLiteral("東京商事"));
    EXPECT_EQ(FixedFieldText(Record.NameKana, sizeof(Record.NameKana)), QStringLiteral("ﾄｳｷﾖｳｼﾖｳｼﾞ"));
    EXPECT_EQ(FixedFieldText(Record.TdfknCity, sizeof(Record.TdfknCity)), QStringLiteral("東京都千代田区"));
    EXPECT_EQ(FixedFieldText(Record.Codes, sizeof(Record.Codes)), QStringLiteral("13101001002"));
    EXPECT_EQ(FixedFieldText(Record.TypeCode, sizeof(Record.TypeCode)), QStringLiteral("11"));
    EXPECT_EQ(Record.Latitude, 35u * 3600 * 256 + 1800 * 256);
    EXPECT_EQ(Record.Longitude, 140u * 3600 * 256);

    ASSERT_EQ(SearchNumberDictionary(QStringLiteral("0466123456"), Record, {}, DicFolder), 0);
    EXPECT_EQ(FixedFieldText(Record.NameKanji, sizeof(Record.NameKanji)), QStringLiteral("藤沢太郎"));
    EXPECT_EQ(FixedFieldText(Record.TypeCode, sizeof(Record.TypeCode)), QString());
    EXPECT_EQ(Record.Latitude, 0u);

    // A control character becomes a blank, a character CP932 lacks the geta mark.
    ASSERT_EQ(SearchNumberDictionary(QStringLiteral("0466999999"), Record, {}, DicFolder), 0);
    EXPECT_EQ(FixedFieldText(Record.NameKanji, sizeof(Record.NameKanji)), QStringLiteral("藤沢 〓商店"));

    EXPECT_EQ(SearchNumberDictionary(QStringLiteral("0999999999"), Record, {}, DicFolder), 1);
    FreeNumberDictionary();
    EXPECT_EQ(SearchNumberDictionary(QStringLiteral("0312345678"), Record, {}, DicFolder), NumfindRcBindError);
    EXPECT_TRUE(Recorder.Boxes.isEmpty());
}

TEST(NumfindTest, LoadAndBindFailuresAreReportedWithTheProductCaption)
{
    TBoxRecorder Recorder;
    QTemporaryDir Folder;
    const QString Path = Folder.path() + QLatin1Char('/');
    EXPECT_EQ(LoadNumberDictionary(Path, ProductName), NumfindRcLoadError);
    ASSERT_EQ(Recorder.Boxes.size(), 1);
    EXPECT_EQ(Recorder.Boxes[0].Text, QStringLiteral("Numfind.so LoadLibrary Error\r\nDLLのロードに失敗しました"));
    EXPECT_EQ(Recorder.Boxes[0].Caption, QStringLiteral("Tolvane１６"));
    FreeNumberDictionary();

    ASSERT_TRUE(QFile::copy(BinFolder + QStringLiteral("Geomark.so"), Path + QStringLiteral("Numfind.so")));
    EXPECT_EQ(LoadNumberDictionary(Path, ProductName), NumfindRcBindError);
    ASSERT_EQ(Recorder.Boxes.size(), 2);
    EXPECT_EQ(Recorder.Boxes[1].Text,
              QStringLiteral("SearchTel (Numfind.so) GetProcAddress Error\r\n関数の割り当てに失敗しました"));
    EXPECT_FALSE(NumberDictionaryLoaded());
    TNumfindRecord Record;
    EXPECT_EQ(SearchNumberDictionary(QStringLiteral("0312345678"), Record, {}, Path), NumfindRcBindError);

    // An empty folder is the program folder: the stand-in beside the test program is not there,
    // so nothing is picked up from the loader's search path either.
    EXPECT_EQ(LoadNumberDictionary({}, ProductName), NumfindRcLoadError);
    FreeNumberDictionary();
}

} // namespace

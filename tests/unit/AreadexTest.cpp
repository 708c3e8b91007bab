// The area-code stand-in through its C exports, on the dictionary built from the public lists.

#include "platform/dynlib/DynLib.h"
#include "platform/text/Cp932.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>
#include <vector>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QByteArray DicFolder = QByteArray(VX_BIN_DIR "/Dic/");

using TPrefix = std::int32_t (*)(const char*, char*, std::int16_t*, const char*);
using TCity2 = std::int32_t (*)(const char*, void*, const char*);
using TFirst = void* (*)(const char*, const void*, void*, std::int32_t*, const char*);
using TNext = std::int32_t (*)(void*, void*);
using TClose = void (*)(void*);

QString At(const char* Bytes, int Size)
{
    QByteArray Field(Bytes, Size);
    int Nul = static_cast<int>(Field.indexOf('\0'));
    return Cp932DecodeLenient(Nul < 0 ? Field : Field.left(Nul));
}

class AreadexTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Lib.Load(BinFolder + "Areadex.so")) << Lib.ErrorText().toStdString();
        Prefix = Lib.SymbolAs<TPrefix>("AreadexPrefix");
        City2 = Lib.SymbolAs<TCity2>("AreadexCity2");
        First = Lib.SymbolAs<TFirst>("AreadexTown2First");
        Next = Lib.SymbolAs<TNext>("AreadexTown2Next");
        Close = Lib.SymbolAs<TClose>("AreadexTown2Close");
        ASSERT_TRUE(Prefix && City2 && First && Next && Close && Lib.Symbol("AreadexTown2Prev"));
    }

    std::int32_t Search(const char* Number, const QByteArray& Folder = DicFolder)
    {
        char Buffer[14] = {};
        Count = 0;
        std::int32_t Rc = Prefix(Number, Buffer, &Count, Folder.constData());
        Cities.assign(20 * 52, 0);
        Names.clear();
        if (Rc == 0) {
            EXPECT_EQ(City2(Number, Cities.data(), Folder.constData()), 0);
            for (int I = 0; I < std::min<int>(Count, 20); ++I)
                Names << At(Cities.data() + I * 52 + 6, 40);
        }
        return Rc;
    }

    TDynLib Lib;
    TPrefix Prefix = nullptr;
    TCity2 City2 = nullptr;
    TFirst First = nullptr;
    TNext Next = nullptr;
    TClose Close = nullptr;
    std::int16_t Count = 0;
    std::vector<char> Cities;
    QStringList Names;
};

TEST_F(AreadexTest, ExchangeAreasGiveTheirMunicipalities)
{
    ASSERT_EQ(Search("0593548111"), 0);
    EXPECT_EQ(Names, QStringList{QStringLiteral("三重県四日市市")});
    ASSERT_EQ(Search("0473345111"), 0);
    EXPECT_EQ(Names, QStringList{QStringLiteral("千葉県市川市")});
    ASSERT_EQ(Search("0466123456"), 0);
    EXPECT_EQ(Names, QStringList{QStringLiteral("神奈川県藤沢市")});
    ASSERT_EQ(Search("0112345678"), 0);
    EXPECT_EQ(Count, 10);
    for (const QString& Name : Names) {
        EXPECT_TRUE(Name.startsWith(QStringLiteral("北海道札幌市"))) << Name.toStdString();
    }
    // The capital's area is its 23 wards; only 20 fit the list.
    ASSERT_EQ(Search("0312345678"), 0);
    EXPECT_EQ(Count, 23);
    EXPECT_EQ(Names.size(), 20);
    EXPECT_EQ(Search("0120123456"), 8);
    EXPECT_EQ(Search("09012345678"), 8);
    EXPECT_EQ(Search("12"), 4);
    EXPECT_EQ(Search("abc"), 4);
}

TEST_F(AreadexTest, TownsComeInBatchesOfTwenty)
{
    ASSERT_EQ(Search("0593548111"), 0);
    std::int32_t CityTowns = 0;
    std::memcpy(&CityTowns, Cities.data() + 48, 4);
    ASSERT_GT(CityTowns, 20);
    std::vector<char> Batch(20 * 96);
    std::int32_t Rc = -1;
    void* Handle = First("0593548111", Cities.data(), Batch.data(), &Rc, DicFolder.constData());
    ASSERT_NE(Handle, nullptr);
    int Received = 0;
    QStringList Towns;
    while (true) {
        for (int I = 0; I < 20 && Received < CityTowns; ++I) {
            if (!Batch[I * 96 + 2])
                break;
            Towns << At(Batch.data() + I * 96 + 22, 74);
            ++Received;
        }
        if (Rc != 1)
            break;
        Rc = Next(Handle, Batch.data());
    }
    Close(Handle);
    EXPECT_EQ(Rc, 0);
    EXPECT_EQ(Received, CityTowns);
    EXPECT_TRUE(Towns.contains(QStringLiteral("八田")));
}

// Whether the geocoder part of the stand-in is in the process, without loading it.
bool GeocoderLoaded()
{
    void* Handle = dlopen(VX_BIN_DIR "/AreadexGeocoder.so", RTLD_NOW | RTLD_NOLOAD);
    if (Handle)
        dlclose(Handle);
    return Handle != nullptr;
}

// The dictionary's exchange table answers the usual numbers, so a dialog's first search does not
// wait for the geocoder's data to load; any other number still gets the geocoder's answer.
TEST_F(AreadexTest, TheGeocoderIsLoadedOnlyForNumbersTheDictionaryLeavesOpen)
{
    ASSERT_FALSE(GeocoderLoaded());
    EXPECT_EQ(Search("0593548111"), 0);
    EXPECT_EQ(Search("0120123456"), 8);
    EXPECT_EQ(Search("0212345678"), 4);
    EXPECT_FALSE(GeocoderLoaded());
    EXPECT_EQ(Search("09012345678"), 8);
    EXPECT_TRUE(GeocoderLoaded());
    EXPECT_EQ(Search("0101234567"), 4);
    Lib.Free();
    EXPECT_FALSE(GeocoderLoaded()) << "held beyond the stand-in";
}

// Every ten-digit number, one for each five digits after the trunk 0, is answered from the table
// as from the geocoder itself, which a copy of the dictionary without the table leaves it to.
TEST_F(AreadexTest, TheExchangeTableAnswersAsTheGeocoder)
{
    QTemporaryDir Dir;
    const QString Copy = Dir.filePath(QStringLiteral("PostalDic.db"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VX_BIN_DIR "/Dic/PostalDic.db"), Copy));
    sqlite3* Db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(Copy).constData(), &Db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(Db, "DROP TABLE exchange", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(Db);
    const QByteArray Geocoded = QFile::encodeName(Dir.path() + QLatin1Char('/'));
    std::mt19937 Random(47);
    int Found = 0, Wrong = 0;
    for (int Digits = 0; Digits < 100000 && Wrong < 10; ++Digits) {
        char Number[16];
        std::snprintf(Number, sizeof Number, "0%05d%04u", Digits, static_cast<unsigned>(Random() % 10000));
        const std::int32_t ByGeocoder = Search(Number, Geocoded);
        const std::int16_t GeocoderCount = Count;
        const std::vector<char> GeocoderCities = Cities;
        const std::int32_t ByTable = Search(Number);
        Found += ByTable == 0 ? 1 : 0;
        if (ByTable != ByGeocoder || Count != GeocoderCount || Cities != GeocoderCities) {
            ++Wrong;
            ADD_FAILURE() << Number << ": rc " << ByTable << " / " << ByGeocoder << ", " << Count << " / "
                          << GeocoderCount << " cities";
        }
    }
    EXPECT_GT(Found, 50000);
    EXPECT_TRUE(GeocoderLoaded());
}

} // namespace

// The area-code stand-in through its C exports, on the dictionary built from the public lists.

#include "platform/dynlib/DynLib.h"
#include "platform/text/Cp932.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <gtest/gtest.h>
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

    std::int32_t Search(const char* Number)
    {
        char Buffer[14] = {};
        Count = 0;
        std::int32_t Rc = Prefix(Number, Buffer, &Count, DicFolder.constData());
        Cities.assign(20 * 52, 0);
        Names.clear();
        if (Rc == 0) {
            EXPECT_EQ(City2(Number, Cities.data(), DicFolder.constData()), 0);
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
    for (const QString& Name : Names)
        EXPECT_TRUE(Name.startsWith(QStringLiteral("北海道札幌市"))) << Name.toStdString();
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

} // namespace

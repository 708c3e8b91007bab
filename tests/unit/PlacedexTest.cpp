// The address stand-ins through their C exports, on the dictionary built from the public lists.

#include "platform/dynlib/DynLib.h"
#include "platform/text/Cp932.h"

#include <QByteArray>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QByteArray DicFolder = QByteArray(VX_BIN_DIR "/Dic/");

using TJisCount = std::int32_t (*)(const char*, std::int32_t*, const char*);
using TJisList = std::int32_t (*)(const char*, void*, std::int32_t, const char*);
using TTownCount = std::int32_t (*)(const char*, const void*, std::int32_t*, const char*);
using TTownList = std::int32_t (*)(const char*, const void*, void*, std::int32_t, const char*);
using TLargeList = std::int32_t (*)(const char*, const void*, void*, void*, std::int32_t, const char*);
using TFix = std::int32_t (*)(const char*, void*, const char*);

QString At(const std::vector<char>& Bytes, size_t Offset, int Size)
{
    QByteArray Field(Bytes.data() + Offset, Size);
    int Nul = static_cast<int>(Field.indexOf('\0'));
    return Cp932DecodeLenient(Nul < 0 ? Field : Field.left(Nul));
}

class PlacedexTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Lib.Load(BinFolder + "Placedex.so")) << Lib.ErrorText().toStdString();
        JisCount = Lib.SymbolAs<TJisCount>("PlacedexJisCount");
        JisList = Lib.SymbolAs<TJisList>("PlacedexJisList");
        TownCount = Lib.SymbolAs<TTownCount>("PlacedexTownCount");
        TownList = Lib.SymbolAs<TTownList>("PlacedexTownList");
        LargeCount = Lib.SymbolAs<TTownCount>("PlacedexLargeCount");
        LargeList = Lib.SymbolAs<TLargeList>("PlacedexLargeList");
        ASSERT_TRUE(JisCount && JisList && TownCount && TownList && LargeCount && LargeList);
    }

    // The "prefecture + city" of each municipality the address names.
    QStringList Cities(const QString& Address, std::int32_t* Rc = nullptr)
    {
        const QByteArray Bytes = Cp932Encode(Address);
        std::int32_t Count = 0;
        std::int32_t Result = JisCount(Bytes.constData(), &Count, DicFolder.constData());
        if (Rc)
            *Rc = Result;
        QStringList Names;
        if (Result != 0)
            return Names;
        Records.assign(static_cast<size_t>(Count) * 80, 0);
        EXPECT_EQ(JisList(Bytes.constData(), Records.data(), Count, DicFolder.constData()), 0);
        for (int I = 0; I < Count; ++I)
            Names << At(Records, I * 80 + 16, 10) + At(Records, I * 80 + 52, 26);
        return Names;
    }

    TDynLib Lib;
    TJisCount JisCount = nullptr;
    TJisList JisList = nullptr;
    TTownCount TownCount = nullptr;
    TTownList TownList = nullptr;
    TTownCount LargeCount = nullptr;
    TLargeList LargeList = nullptr;
    std::vector<char> Records;
};

TEST_F(PlacedexTest, MunicipalitiesAreFoundWithOrWithoutPrefectureAndDistrict)
{
    EXPECT_EQ(Cities(QStringLiteral("千代田区千代田")), QStringList{QStringLiteral("東京都千代田区")});
    EXPECT_TRUE(Cities(QStringLiteral("朝日町")).contains(QStringLiteral("三重県三重郡朝日町")));
    EXPECT_EQ(Cities(QStringLiteral("三重県三重郡朝日町")), QStringList{QStringLiteral("三重県三重郡朝日町")});
    std::int32_t Rc = 0;
    EXPECT_TRUE(Cities(QStringLiteral("１２３"), &Rc).isEmpty());
    EXPECT_EQ(Rc, 4);
    EXPECT_TRUE(Cities(QStringLiteral("存在しない市"), &Rc).isEmpty());
    EXPECT_EQ(Rc, 8);
}

TEST_F(PlacedexTest, TownsAreThoseTheRestBeginsOrAllOfThem)
{
    const QByteArray Address = Cp932Encode(QStringLiteral("東京都千代田区千代田１－１"));
    ASSERT_EQ(Cities(QStringLiteral("東京都千代田区千代田１－１")).size(), 1);
    std::int32_t Count = 0;
    ASSERT_EQ(TownCount(Address.constData(), Records.data(), &Count, DicFolder.constData()), 0);
    ASSERT_EQ(Count, 1);
    std::vector<char> Towns(224);
    ASSERT_EQ(TownList(Address.constData(), Records.data(), Towns.data(), 1, DicFolder.constData()), 0);
    EXPECT_EQ(At(Towns, 0, 10), QStringLiteral("1000001"));
    EXPECT_EQ(At(Towns, 112, 102), QStringLiteral("千代田"));
    ASSERT_EQ(LargeCount(Address.constData(), Records.data(), &Count, DicFolder.constData()), 0);
    std::vector<char> LargeTowns(224 * Count), Larges(124 * Count);
    ASSERT_EQ(
        LargeList(Address.constData(), Records.data(), LargeTowns.data(), Larges.data(), Count, DicFolder.constData()),
        0);
    QStringList Names;
    for (int I = 0; I < Count; ++I)
        Names << At(Larges, I * 124 + 62, 62);
    EXPECT_TRUE(Names.contains(QStringLiteral("宮内庁")));

    const QByteArray Whole = Cp932Encode(QStringLiteral("東京都千代田区"));
    ASSERT_EQ(Cities(QStringLiteral("東京都千代田区")).size(), 1);
    ASSERT_EQ(TownCount(Whole.constData(), Records.data(), &Count, DicFolder.constData()), 0);
    EXPECT_GT(Count, 100);
}

TEST_F(PlacedexTest, PlacefixFindsTheLongestTownOrTheMunicipality)
{
    TDynLib Fix;
    ASSERT_TRUE(Fix.Load(BinFolder + "Placefix.so"));
    auto Adrs = Fix.SymbolAs<TFix>("PlacefixAdrs");
    ASSERT_TRUE(Adrs);
    std::vector<char> Record(302);
    auto Run = [&](const QString& Address) {
        return Adrs(Cp932Encode(Address).constData(), Record.data(), DicFolder.constData());
    };
    ASSERT_EQ(Run(QStringLiteral("東京都千代田区千代田１－１")), 0);
    EXPECT_EQ(At(Record, 6, 10), QStringLiteral("1000001"));
    EXPECT_EQ(At(Record, 26, 10), QStringLiteral("東京都"));
    EXPECT_EQ(At(Record, 62, 26), QStringLiteral("千代田区"));
    EXPECT_EQ(At(Record, 190, 102), QStringLiteral("千代田"));
    ASSERT_EQ(Run(QStringLiteral("千葉県市川市市川南１")), 0);
    EXPECT_EQ(At(Record, 190, 102), QStringLiteral("市川南"));
    ASSERT_EQ(Run(QStringLiteral("東京都千代田区")), 1);
    EXPECT_EQ(At(Record, 6, 10), QStringLiteral("1000000"));
    EXPECT_EQ(At(Record, 190, 102), QString());
    EXPECT_EQ(Run(QStringLiteral("１２３")), 4);
    EXPECT_EQ(Run(QStringLiteral("どこでもない")), 8);

    // The text import runs one address after another: each answer is the same as the first, whatever
    // the calls before it left behind. Its speed is measured in bench/DictionaryBench.
    const QByteArray Address = Cp932Encode(QStringLiteral("三重県四日市市八田２－１"));
    ASSERT_EQ(Adrs(Address.constData(), Record.data(), DicFolder.constData()), 0);
    const std::vector<char> First = Record;
    for (int I = 0; I < 200; ++I) {
        ASSERT_EQ(Adrs(Address.constData(), Record.data(), DicFolder.constData()), 0);
        ASSERT_EQ(Record, First);
    }
}

} // namespace

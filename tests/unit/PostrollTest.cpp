// The postal-code stand-in through its C exports, on the dictionary built from the public lists.

#include "platform/dynlib/DynLib.h"
#include "platform/text/Cp932.h"

#include <QByteArray>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QByteArray DicFolder = QByteArray(VX_BIN_DIR "/Dic/");
const bool JapanPost = QByteArray(VX_DIC_SOURCE).startsWith("Japan Post");

using TFirst = void* (*)(const char*, std::int16_t*, std::int32_t*, const char*);
using TCityList = std::int32_t (*)(void*, void*, std::int32_t, std::int32_t);
using TTownList = std::int32_t (*)(void*, const void*, void*, std::int32_t, std::int32_t);
using TLgTownList = std::int32_t (*)(void*, const void*, void*, void*, std::int32_t, std::int32_t);
using TClose = void (*)(void*);

QString At(const std::vector<char>& Bytes, size_t Offset, int Size)
{
    QByteArray Field(Bytes.data() + Offset, Size);
    return Cp932DecodeLenient(Field.left(Field.indexOf('\0') < 0 ? Size : Field.indexOf('\0')));
}

std::int16_t Int16At(const std::vector<char>& Bytes, size_t Offset)
{
    std::int16_t Value;
    std::memcpy(&Value, Bytes.data() + Offset, 2);
    return Value;
}

class PostrollTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Lib.Load(BinFolder + "Postroll.so")) << Lib.ErrorText().toStdString();
        First = Lib.SymbolAs<TFirst>("PostrollFirst");
        CityList = Lib.SymbolAs<TCityList>("PostrollCityList");
        TownList = Lib.SymbolAs<TTownList>("PostrollTownList");
        LgTownList = Lib.SymbolAs<TLgTownList>("PostrollLgTownList");
        Close = Lib.SymbolAs<TClose>("PostrollClose");
        ASSERT_TRUE(First && CityList && TownList && LgTownList && Close && Lib.Symbol("PostrollPost"));
    }
    void TearDown() override
    {
        if (Handle)
            Close(Handle);
    }

    std::int32_t Search(const char* Code)
    {
        if (Handle)
            Close(Handle);
        Count = 0;
        std::int32_t Rc = 0;
        Handle = First(Code, &Count, &Rc, DicFolder.constData());
        Cities.assign(static_cast<size_t>(std::max<int>(Count, 0)) * 90, 0);
        if (Rc == 0) {
            EXPECT_EQ(CityList(Handle, Cities.data(), 0, Count), 0);
        }
        return Rc;
    }

    TDynLib Lib;
    TFirst First = nullptr;
    TCityList CityList = nullptr;
    TTownList TownList = nullptr;
    TLgTownList LgTownList = nullptr;
    TClose Close = nullptr;
    void* Handle = nullptr;
    std::int16_t Count = 0;
    std::vector<char> Cities;
};

TEST_F(PostrollTest, ASevenDigitCodeGivesItsMunicipalityAndTown)
{
    ASSERT_EQ(Search("1000001"), 0);
    ASSERT_EQ(Count, 1);
    EXPECT_EQ(At(Cities, 46, 40), QStringLiteral("東京都千代田区"));
    // The prefecture's reading as the interface's table writes it, the municipality's as Japan Post
    // does; the SKK lists of a build without the postal data have the prefecture's alone.
    EXPECT_EQ(At(Cities, 6, 40), JapanPost ? QStringLiteral("ﾄｳｷﾖｳﾄﾁﾖﾀﾞｸ") : QStringLiteral("ﾄｳｷﾖｳﾄ"));
    ASSERT_EQ(Int16At(Cities, 86), 1);
    EXPECT_EQ(Int16At(Cities, 88), 0);
    std::vector<char> Towns(222);
    ASSERT_EQ(TownList(Handle, Cities.data(), Towns.data(), 0, 1), 0);
    EXPECT_EQ(At(Towns, 0, 8), QStringLiteral("1000001"));
    EXPECT_EQ(At(Towns, 110, 102), QStringLiteral("千代田"));
}

TEST_F(PostrollTest, ACodeOfSeveralMunicipalitiesListsEachWithATownlessRow)
{
    ASSERT_EQ(Search("5100000"), 0);
    ASSERT_EQ(Count, 3);
    EXPECT_EQ(At(Cities, 46, 40), QStringLiteral("三重県四日市市"));
    EXPECT_EQ(At(Cities, 90 + 46, 40), QStringLiteral("三重県三重郡朝日町"));
    EXPECT_EQ(At(Cities, 180 + 46, 40), QStringLiteral("三重県三重郡川越町"));
    std::vector<char> Towns(222);
    ASSERT_EQ(Int16At(Cities, 90 + 86), 1);
    ASSERT_EQ(TownList(Handle, Cities.data() + 90, Towns.data(), 0, 1), 0);
    EXPECT_EQ(At(Towns, 0, 8), QStringLiteral("5100000"));
    EXPECT_EQ(At(Towns, 110, 102), QString());
}

TEST_F(PostrollTest, WrongAndUnknownCodes)
{
    EXPECT_EQ(Search("12"), 4);
    EXPECT_EQ(Search("12345678"), 4);
    EXPECT_EQ(Search("100000a"), 4);
    EXPECT_EQ(Search(""), 4);
    EXPECT_EQ(Search("9999999"), 8);
    EXPECT_EQ(Count, 0);
    std::int16_t Out = 0;
    std::int32_t Rc = 0;
    EXPECT_EQ(First("1000001", &Out, &Rc, "/no/such/folder/"), nullptr);
    EXPECT_NE(Rc, 0);
}

TEST_F(PostrollTest, OldStyleCodesSearchEveryCodeTheyBegin)
{
    ASSERT_EQ(Search("10000"), 0);
    ASSERT_GE(Count, 1);
    EXPECT_EQ(At(Cities, 46, 40), QStringLiteral("東京都千代田区"));
    EXPECT_GT(Int16At(Cities, 86), 10);
    ASSERT_EQ(Search("510"), 0);
    EXPECT_GE(Count, 3);
}

TEST_F(PostrollTest, LargeOfficesComeWithTheirTown)
{
    ASSERT_EQ(Search("1008111"), 0);
    ASSERT_EQ(Count, 1);
    ASSERT_EQ(Int16At(Cities, 88), 1);
    EXPECT_EQ(Int16At(Cities, 86), 0);
    std::vector<char> Towns(222), Offices(124);
    ASSERT_EQ(LgTownList(Handle, Cities.data(), Towns.data(), Offices.data(), 0, 1), 0);
    EXPECT_EQ(At(Offices, 62, 62), QStringLiteral("宮内庁"));
    EXPECT_EQ(At(Towns, 110, 102), JapanPost ? QStringLiteral("千代田１－１") : QStringLiteral("千代田"));
    EXPECT_EQ(At(Towns, 8, 102), JapanPost ? QStringLiteral("ﾁﾖﾀﾞ") : QString());
    // A city record the search did not give is refused, not read as anything.
    std::vector<char> Stranger(90, 'x');
    EXPECT_NE(TownList(Handle, Stranger.data(), Towns.data(), 0, 1), 0);
    EXPECT_NE(TownList(nullptr, Cities.data(), Towns.data(), 0, 1), 0);
}

} // namespace

#include "directory/maps/AtlsMateLogic.h"

#include "platform/msg/MessageBoxFlags.h"

namespace {

constexpr std::uint32_t MSecPerDegree = 3600000;
constexpr std::uint32_t MSecPerMinute = 60000;

// A field of fixed width that holds nothing but digits of Base.
std::optional<std::uint32_t> ReadField(const QByteArray& Result, int Offset, int Width, int Base)
{
    if (Result.size() < Offset + Width)
        return std::nullopt;
    std::uint32_t Value = 0;
    for (int I = Offset; I < Offset + Width; ++I) {
        const char C = Result.at(I);
        int Digit = -1;
        if (C >= '0' && C <= '9')
            Digit = C - '0';
        else if (Base == 16 && C >= 'A' && C <= 'F')
            Digit = C - 'A' + 10;
        else if (Base == 16 && C >= 'a' && C <= 'f')
            Digit = C - 'a' + 10;
        if (Digit < 0)
            return std::nullopt;
        Value = Value * static_cast<std::uint32_t>(Base) + static_cast<std::uint32_t>(Digit);
    }
    return Value;
}

} // namespace

TAtlasBearings BearingsFromPosition(std::uint32_t Latitude, std::uint32_t Longitude)
{
    const auto Split = [](std::uint32_t V, std::uint16_t& Deg, std::uint16_t& Min, std::uint16_t& Sec,
                          std::uint16_t& MSec) {
        Deg = static_cast<std::uint16_t>(V / MSecPerDegree);
        Min = static_cast<std::uint16_t>(V / MSecPerMinute % 60);
        Sec = static_cast<std::uint16_t>(V / 1000 % 60);
        MSec = static_cast<std::uint16_t>(V % 1000);
    };
    TAtlasBearings B;
    Split(Longitude, B.LonDeg, B.LonMin, B.LonSec, B.LonMSec);
    Split(Latitude, B.LatDeg, B.LatMin, B.LatSec, B.LatMSec);
    return B;
}

std::optional<TMapPosition> PositionFromBearings(const TAtlasBearings& B)
{
    if (B.LonDeg == 0)
        return std::nullopt;
    const auto Join = [](std::uint32_t Deg, std::uint32_t Min, std::uint32_t Sec, std::uint32_t MSec) {
        return Deg * MSecPerDegree + Min * MSecPerMinute + Sec * 1000 + MSec;
    };
    return TMapPosition{Join(B.LatDeg, B.LatMin, B.LatSec, B.LatMSec), Join(B.LonDeg, B.LonMin, B.LonSec, B.LonMSec)};
}

std::optional<TAtlasMesh> ParseDTMapAdrsResult(const QByteArray& Result)
{
    const auto Number = ReadField(Result, 0, 4, 16);
    const auto Sub1 = ReadField(Result, 4, 2, 16);
    const auto Sub2 = ReadField(Result, 6, 2, 16);
    const auto X = ReadField(Result, 10, 8, 10);
    const auto Y = ReadField(Result, 18, 8, 10);
    if (!Number || !Sub1 || !Sub2 || !X || !Y)
        return std::nullopt;
    return TAtlasMesh{static_cast<std::uint16_t>(*Number), static_cast<std::uint8_t>(*Sub1),
                      static_cast<std::uint8_t>(*Sub2), static_cast<std::int32_t>(*X), static_cast<std::int32_t>(*Y)};
}

TDTMapAdrsAnswer DTMapAdrsAnswer(int Code)
{
    switch (Code) {
    case 0:
        return {QString(), 0, true};
    case 1:
        return {QStringLiteral("電話番号で該当する座標が求められませんでした\r\n付近の地図を表示します"),
                MB_OK | MB_ICONINFORMATION, true};
    case 3:
        return {QStringLiteral("CD-ROMが違います"), MB_OK | MB_ICONINFORMATION, false};
    case 4:
        return {QStringLiteral("電話番号に誤りがあります"), MB_OK | MB_ICONINFORMATION, false};
    case 8:
        return {QStringLiteral("該当するデータが見つかりません"), MB_OK | MB_ICONWARNING, false};
    default:
        return {QStringLiteral("DTMapAdrs (DTMap32.so) Call Error\r\nRC = ") + QString::number(Code),
                MB_OK | MB_ICONSTOP, false};
    }
}

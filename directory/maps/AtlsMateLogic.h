#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// What the AtlasMate view computes between its two libraries: the bearings record the map library
// takes and gives, and the mesh the number library answers.

// Eight 16-bit words: longitude degrees, minutes, seconds, milliseconds, then the same four of the
// latitude.
struct TAtlasBearings
{
    std::uint16_t LonDeg = 0, LonMin = 0, LonSec = 0, LonMSec = 0;
    std::uint16_t LatDeg = 0, LatMin = 0, LatSec = 0, LatMSec = 0;
    bool operator==(const TAtlasBearings&) const = default;
};
static_assert(sizeof(TAtlasBearings) == 16);

// 12 bytes: the mesh number, two sub-mesh numbers, X and Y.
struct TAtlasMesh
{
    std::uint16_t Number = 0;
    std::uint8_t Sub1 = 0;
    std::uint8_t Sub2 = 0;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const TAtlasMesh&) const = default;
};
static_assert(sizeof(TAtlasMesh) == 12);

[[nodiscard]] TAtlasBearings BearingsFromPosition(std::uint32_t Latitude, std::uint32_t Longitude);

struct TMapPosition
{
    std::uint32_t Latitude = 0;
    std::uint32_t Longitude = 0;
    bool operator==(const TMapPosition&) const = default;
};
// The position the map was left at; none while the longitude degrees are 0 (no map was shown).
[[nodiscard]] std::optional<TMapPosition> PositionFromBearings(const TAtlasBearings& Bearings);

// The size of the number library's result area.
inline constexpr int DTMapAdrsResultSize = 124;

// The mesh in DTMapAdrs's result: hexadecimal mesh number (bytes 0-3) and sub-meshes (4-5, 6-7),
// decimal X (8 characters at 10) and Y (at 18). None when the area does not read so.
[[nodiscard]] std::optional<TAtlasMesh> ParseDTMapAdrsResult(const QByteArray& Result);

// What a DTMapAdrs result code means for the user: a message (empty: none) with its icon, and
// whether the map is shown.
struct TDTMapAdrsAnswer
{
    QString Message;
    unsigned Flags = 0;
    bool ShowMap = false;
};
[[nodiscard]] TDTMapAdrsAnswer DTMapAdrsAnswer(int Code);

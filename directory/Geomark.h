#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// Binding of the coordinates library Geomark.so: an address code to latitude, longitude and the
// official address texts. Use-counted like the hyphenation binding; failures are message boxes and
// codes, never exceptions.

// The library's result record; texts CP932, padded.
struct TGeomarkRecord
{
    std::uint32_t Latitude;  // 1/256 second of arc
    std::uint32_t Longitude; // the same unit
    char Pos[8];
    char TdfknKana[10];
    char TdfknKanji[10];
    char CityKana[26];
    char CityKanji[26];
    char TownKana[38];
    char TownKanji[38];
    char SubAreaKana[34];
    char SubAreaKanji[38];
};
static_assert(sizeof(TGeomarkRecord) == 236);
static_assert(offsetof(TGeomarkRecord, Pos) == 8);
static_assert(offsetof(TGeomarkRecord, CityKana) == 36);
static_assert(offsetof(TGeomarkRecord, TownKana) == 88);
static_assert(offsetof(TGeomarkRecord, SubAreaKana) == 164);
static_assert(offsetof(TGeomarkRecord, SubAreaKanji) == 198);

// GeomarkAdrs(key, out record zeroed by the caller, dictionary folder) -> rc; 0 = found.
using TGeomarkAdrsProc = std::int32_t (*)(const char* Key, TGeomarkRecord* Record, const char* DicFolder);

inline constexpr int GeomarkRcLoadError = 101;
inline constexpr int GeomarkRcBindError = 102;
inline constexpr int GeomarkRcNotLoaded = 103;

[[nodiscard]] int LoadGeomarkLibrary(const QString& LibraryFolder);
void FreeGeomarkLibrary();
[[nodiscard]] bool GeomarkLibraryLoaded();

// GeomarkRcNotLoaded without the library, else the library's code; Record is zeroed first.
[[nodiscard]] int GeomarkLookup(const QString& Key, TGeomarkRecord& Record, const QString& DicFolder);

// The key of an address: JisCode (at most 5) + KajoCode (at most 6) + "00000000000", first 11.
[[nodiscard]] QString GeomarkKey(const QString& JisCode, const QString& KajoCode);

// A found record as the dictionary wrappers take it.
struct TGeomarkResult
{
    QString Pos; // "123-4567"
    QString TdfknKana;
    QString TdfknKanji;
    QString CityKana;
    QString CityKanji;
    QString TownKana;           // town + sub-area
    QString TownKanji;          // town + sub-area
    std::int32_t Latitude = 0;  // milliseconds of arc
    std::int32_t Longitude = 0; // milliseconds of arc
};
[[nodiscard]] TGeomarkResult ReadGeomarkRecord(const TGeomarkRecord& Record);

// 1/256 second of arc to milliseconds of arc: Value x 1000 / 256, rounded half away from zero,
// in 64 bits (a longitude of 140 degrees is far beyond 32 bits once multiplied).
[[nodiscard]] std::int32_t Arc256ToMilliseconds(std::int64_t Value);

// A postal code of 5 or 7 characters with a "-" after the third; any other length as it is.
[[nodiscard]] QString FormatPostalCode(const QString& Code);

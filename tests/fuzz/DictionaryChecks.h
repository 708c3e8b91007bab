#pragma once

// What the program must make of any record a dictionary library hands back.

#include "FuzzSupport.h"
#include "directory/Geomark.h"
#include "directory/Numfind.h"
#include "main/identify/AppSub.h"
#include "platform/text/Cp932.h"

#include <cmath>
#include <limits>

// 1/256 second of arc to milliseconds, worked out in long double; a wild value held at the edge.
inline std::int32_t ExpectedMilliseconds(std::uint32_t Arc256)
{
    const long long Rounded = std::llround(static_cast<long double>(Arc256) * 1000.0L / 256.0L);
    return static_cast<std::int32_t>(std::min<long long>(Rounded, std::numeric_limits<std::int32_t>::max()));
}

// A text of a fixed field: no NUL, no padding at its ends, no more characters than the field has bytes.
inline void CheckFieldText(const QString& Text, std::size_t FieldSize)
{
    VX_FUZZ_CHECK(!Text.contains(QChar(0)));
    VX_FUZZ_CHECK(Text.size() <= static_cast<qsizetype>(FieldSize));
    VX_FUZZ_CHECK(Text.isEmpty() || (Text.front().unicode() > 0x20 && Text.back().unicode() > 0x20));
}

inline void CheckNumfindRecord(const TNumfindRecord& Found)
{
    TCallerRecord Caller;
    TakeNumfindRecord(Found, Caller);
    for (const QChar Digit : Caller.SchTel[0])
        VX_FUZZ_CHECK(Digit >= QLatin1Char('0') && Digit <= QLatin1Char('9'));
    CheckFieldText(Caller.PrivCorp ? Caller.CorpKana : Caller.NameKana, sizeof(Found.NameKana));
    // What follows the prefecture is the rest of a field, blanks after the prefecture included.
    VX_FUZZ_CHECK(Caller.Tdfkn.size() + Caller.Adrs1.size() <= static_cast<qsizetype>(sizeof(Found.TdfknCity)));
    VX_FUZZ_CHECK(!Caller.Adrs1.contains(QChar(0)));
    VX_FUZZ_CHECK(Caller.JisCode.size() <= 5 && Caller.KajoCode.size() <= 6);
    VX_FUZZ_CHECK(Caller.PrivCorp == 0 || Caller.PrivCorp == 1);
    VX_FUZZ_CHECK_EQ(Caller.Latitude, ExpectedMilliseconds(Found.Latitude));
    VX_FUZZ_CHECK_EQ(Caller.Longitude, ExpectedMilliseconds(Found.Longitude));
}

inline void CheckGeomarkRecord(const TGeomarkRecord& Found)
{
    const TGeomarkResult Result = ReadGeomarkRecord(Found);
    CheckFieldText(Result.TdfknKana, sizeof(Found.TdfknKana));
    CheckFieldText(Result.TdfknKanji, sizeof(Found.TdfknKanji));
    CheckFieldText(Result.CityKana, sizeof(Found.CityKana));
    CheckFieldText(Result.CityKanji, sizeof(Found.CityKanji));
    VX_FUZZ_CHECK(Result.TownKana.size() <= static_cast<qsizetype>(sizeof(Found.TownKana) + sizeof(Found.SubAreaKana)));
    VX_FUZZ_CHECK(Result.Pos.size() <= static_cast<qsizetype>(sizeof(Found.Pos) + 1));
    VX_FUZZ_CHECK_EQ(Result.Latitude, ExpectedMilliseconds(Found.Latitude));
    VX_FUZZ_CHECK_EQ(Result.Longitude, ExpectedMilliseconds(Found.Longitude));
}

#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// What both record windows hand to a map program, the ten programs the user can choose from, and
// the rule every map view applies to a request. Nothing here shows a window.

// The request of one map-button press, zero-filled before it is filled.
struct TMapSearchParams
{
    std::int32_t SearchKind = 0; // 0 coordinates first, 1 number / address first
    // Milliseconds of arc, 0 = none. The programs that let the user pick a place write it back here.
    std::uint32_t Latitude = 0;
    std::uint32_t Longitude = 0;
    QString Tel;     // digits of the first number, else of the second
    QString Address; // prefecture + address 1 + address 2
    QString Spare;
    bool ExitHook = false;
    std::int32_t MapClass = 0;
    std::int32_t Zoom = 0;
    struct
    {
        std::int32_t Left = 0;
        std::int32_t Top = 0;
        std::int32_t Right = 0;
        std::int32_t Bottom = 0;
    } Bounds;
};

// The texts of the window's fields that the request is made of, as they stand.
struct TMapFields
{
    QString Tel1;
    QString Tel2;
    QString Tdfkn;
    QString Adrs1;
    QString Adrs2;
};

[[nodiscard]] TMapSearchParams MakeMapSearchParams(int SearchKind, int Latitude, int Longitude,
                                                   const TMapFields& Fields);

// The map programs by [COMMON] Map, in the order of MapProgramNames.
inline constexpr int MapProgramCount = 10;
struct TMapProgram
{
    QString NotFound;     // told when the program is not installed
    bool ReturnsPosition; // the user can pick a place that goes back into the record
};
[[nodiscard]] const std::array<TMapProgram, MapProgramCount>& MapPrograms();
[[nodiscard]] bool MapReturnsPosition(int Map);

inline const QString MsgMapPositionOnChange = QStringLiteral("緯度経度情報は変更時に保存されます  ");
inline const QString MsgMapPositionOnRegister = QStringLiteral("緯度経度情報は登録時に保存されます  ");
inline const QString MsgMapSavePosition = QStringLiteral("地図で指定した座標の緯度経度を保存してもよろしいですか？  ");
inline const QString MsgMapEnterTel = QStringLiteral("電話番号を入力してください  ");

// The map views and the rule they share when they take a request.
enum class TMapView
{
    AtlasMate, // the text is the telephone number
    ProAtlas,  // the others: the address
    ProAtlasW, // version 1 .. 5
    MapFan,
    MapFanNet,
    MapFanPLAN,
    Mapple, // version 1 .. 13
};

// SetRequest's answers.
inline constexpr int MapShowByPosition = 0;
inline constexpr int MapShowByText = 1;
inline constexpr int MapNothingByPosition = 2; // coordinates first, but neither coordinates nor text
inline constexpr int MapNothingByText = 3;     // text first, but neither
inline constexpr int MapNothingOldVersion = 4; // text first with a version that cannot search text

struct TMapRequest
{
    int Mode = 0; // 0 coordinates, 1 number / address
    int Result = 0;
    std::uint32_t Latitude = 0;
    std::uint32_t Longitude = 0;
    QString Text; // empty where the version cannot use it
};
[[nodiscard]] TMapRequest MapSetRequest(const TMapSearchParams& Params, TMapView View, int Version = 0);

// Milliseconds of arc to 1/256 second of arc and back, as the MapFan programs count.
[[nodiscard]] std::int64_t ToSec256(std::int64_t Milliseconds);
[[nodiscard]] std::int64_t FromSec256(std::int64_t Sec256);

// The way ZENRIN EmapZ and GrandMap are started: 0 coordinates, 1 address. SearchKind is taken
// unless its way has nothing and the other has something.
[[nodiscard]] int MapCommandMode(const TMapSearchParams& Params);

// Starts a map program that takes its request on the command line, without waiting; false when
// nothing could be started (a missing or stale installation).
[[nodiscard]] bool StartMapProgram(const QString& Program, const QStringList& Arguments, const QString& WorkDir);

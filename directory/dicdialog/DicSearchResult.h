#pragma once

#include <QString>
#include <cstdint>

struct TAdrsHitRecord;
struct TKykbnHitRecord;

// The address the dictionary dialog hands back to the window that opened it (the incoming-call
// window, the directory record window). Each text holds at most its width in CP932 bytes, cut on a
// character boundary. A default-constructed result is the empty one.
struct TDicSearchResult
{
    static constexpr int TelWidth = 13;
    static constexpr int PosWidth = 8;
    static constexpr int TdfknWidth = 8;
    static constexpr int Adrs1Width = 32;
    static constexpr int Adrs2Width = 152;
    static constexpr int JisCodeWidth = 5;
    static constexpr int KajoCodeWidth = 6;
    static constexpr int NameKanjiWidth = 112;
    static constexpr int NameKanaWidth = 80;

    QString Tel;                // telephone tab only: the number with hyphens
    QString Pos;                // "123-4567"
    QString Tdfkn;              // prefecture
    QString Adrs1;              // city
    QString Adrs2;              // town
    QString JisCode;            // municipality code
    QString KajoCode;           // town code
    QString NameKanji;          // large office (postal and address tabs, large-office view); else empty
    QString NameKana;           // its reading
    bool Personal = false;      // the dialog never names a person
    std::int32_t Latitude = 0;  // milliseconds of arc; 0 when the dictionary has no coordinates
    std::int32_t Longitude = 0; // the same
};

// The result of an area-code hit and of a postal or address hit: texts trimmed and cut to the widths.
[[nodiscard]] TDicSearchResult DicResultOfKykbnHit(const TKykbnHitRecord& Hit);
[[nodiscard]] TDicSearchResult DicResultOfAdrsHit(const TAdrsHitRecord& Hit);

#pragma once

#include "directory/dic/AdrsHitRecord.h"
#include "platform/dynlib/DynLib.h"
#include "platform/sys/Exceptions.h"

#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

// The postal-code dictionary Postroll.so: a postal code to the municipalities that use it, the towns
// or large offices of one of them, and the entry the dictionary dialog takes over.

class EPosSearchError : public Exception
{
public:
    using Exception::Exception;
};

class EPostrollError : public EPosSearchError
{
public:
    using EPosSearchError::EPosSearchError;
};

// The library's records; texts CP932, padded.
struct TPostrollCity
{
    char JisCode[6];
    char Kana[40];
    char Kanji[40];
    std::int16_t TownCount;
    std::int16_t LargeCount;
};
static_assert(sizeof(TPostrollCity) == 90);
static_assert(offsetof(TPostrollCity, Kana) == 6);
static_assert(offsetof(TPostrollCity, Kanji) == 46);
static_assert(offsetof(TPostrollCity, TownCount) == 86);
static_assert(offsetof(TPostrollCity, LargeCount) == 88);

struct TPostrollTown
{
    char Pos[8];
    char Kana[102];
    char Kanji[102];
    char KajoCode[7];
    char Reserved[3];
};
static_assert(sizeof(TPostrollTown) == 222);
static_assert(offsetof(TPostrollTown, Kana) == 8);
static_assert(offsetof(TPostrollTown, Kanji) == 110);
static_assert(offsetof(TPostrollTown, KajoCode) == 212);

struct TPostrollLarge
{
    char Kana[62];
    char Kanji[62];
};
static_assert(sizeof(TPostrollLarge) == 124);
static_assert(offsetof(TPostrollLarge, Kanji) == 62);

class TPosSearch
{
public:
    // Empty folders mean the program's own folder. Load and bind failures raise EPostrollError.
    TPosSearch(const QString& LibraryFolder, const QString& DicFolder);
    virtual ~TPosSearch();
    TPosSearch(const TPosSearch&) = delete;
    TPosSearch& operator=(const TPosSearch&) = delete;

    // 0 found, 4 not a postal code, 8 nothing found; Normalised gets the digits, a 5- or 7-digit
    // code with its hyphen.
    int Search(const QString& Code, QString* Normalised = nullptr);
    // 0 listed (or listed already), 8 none.
    int ListTowns(int CityIndex, bool WithOffices);

    [[nodiscard]] int CityCount() const { return static_cast<int>(FCities.size()); }
    [[nodiscard]] int TownCount() const { return static_cast<int>(FTowns.size()); }
    [[nodiscard]] int OfficeCount() const { return static_cast<int>(FOffices.size()); }
    [[nodiscard]] const TPostrollCity& City(int Index) const;
    [[nodiscard]] const TPostrollTown& Town(int Index) const;
    [[nodiscard]] const TPostrollLarge& Office(int Index) const;

    // TownIndex -1 builds the entry of the listed city alone.
    [[nodiscard]] const TAdrsHitRecord& BuildHit(int TownIndex, bool WithCoordinates);

    // The most records one call is asked for: a 16-bit signed count.
    static constexpr int MaxRecords = 32767;

private:
    using TFirst = void* (*)(const char* Code, std::int16_t* Count, std::int32_t* Rc, const char* DicFolder);
    using TCityList = std::int32_t (*)(void* Handle, TPostrollCity* Cities, std::int32_t First, std::int32_t Count);
    using TTownList = std::int32_t (*)(void* Handle, const TPostrollCity* City, TPostrollTown* Towns,
                                       std::int32_t First, std::int32_t Count);
    using TLgTownList = std::int32_t (*)(void* Handle, const TPostrollCity* City, TPostrollTown* Towns,
                                         TPostrollLarge* Larges, std::int32_t First, std::int32_t Count);
    using TClose = void (*)(void* Handle);
    using TPost = void (*)();

    void CloseSearch();

    QString FLibraryFolder;
    QString FDicFolder;
    TDynLib FLibrary;
    TFirst FPostrollFirst = nullptr;
    TCityList FPostrollCityList = nullptr;
    TTownList FPostrollTownList = nullptr;
    TLgTownList FPostrollLgTownList = nullptr;
    TClose FPostrollClose = nullptr;
    TPost FPostrollPost = nullptr;
    void* FHandle = nullptr;
    QList<TPostrollCity> FCities;
    QList<TPostrollTown> FTowns;
    QList<TPostrollLarge> FOffices;
    TAdrsHitRecord FHit;
    QString FCode;
    int FListedCity = -1;
    int FListedKind = -1;
};

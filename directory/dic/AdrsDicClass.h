#pragma once

#include "directory/dic/AdrsHitRecord.h"
#include "platform/dynlib/DynLib.h"
#include "platform/sys/Exceptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

// The address dictionary Placedex.so: a free-text address to the municipalities it names, the towns
// or large offices of one of them, and the entry the dictionary dialog takes over. Every call passes
// the address again; the library keeps nothing between calls.

class EAdrsSearchError : public Exception
{
public:
    using Exception::Exception;
};

class EPlacedexError : public EAdrsSearchError
{
public:
    using EAdrsSearchError::EAdrsSearchError;
};

struct TPlacedexCity
{
    char JisCode[6];
    char PrefKana[10];
    char PrefKanji[10];
    char CityKana[26];
    char CityKanji[26];
    char Reserved[2];
};
static_assert(sizeof(TPlacedexCity) == 80);
static_assert(offsetof(TPlacedexCity, PrefKana) == 6);
static_assert(offsetof(TPlacedexCity, PrefKanji) == 16);
static_assert(offsetof(TPlacedexCity, CityKana) == 26);
static_assert(offsetof(TPlacedexCity, CityKanji) == 52);

struct TPlacedexTown
{
    char Pos[10];
    char Kana[102];
    char Kanji[102];
    char KajoCode[7];
    char Reserved[3];
};
static_assert(sizeof(TPlacedexTown) == 224);
static_assert(offsetof(TPlacedexTown, Kana) == 10);
static_assert(offsetof(TPlacedexTown, Kanji) == 112);
static_assert(offsetof(TPlacedexTown, KajoCode) == 214);

struct TPlacedexLarge
{
    char Kana[62];
    char Kanji[62];
};
static_assert(sizeof(TPlacedexLarge) == 124);
static_assert(offsetof(TPlacedexLarge, Kanji) == 62);

class TAdrsSearch
{
public:
    TAdrsSearch(const QString& LibraryFolder, const QString& DicFolder);
    virtual ~TAdrsSearch();
    TAdrsSearch(const TAdrsSearch&) = delete;
    TAdrsSearch& operator=(const TAdrsSearch&) = delete;

    // 0 found, 4 not an address, 8 nothing found.
    int Search(const QString& Address);
    // 0 listed (or listed already), 4 or 8 none.
    int ListTowns(int CityIndex, bool WithOffices);

    [[nodiscard]] int CityCount() const { return static_cast<int>(FCities.size()); }
    [[nodiscard]] int TownCount() const { return static_cast<int>(FTowns.size()); }
    [[nodiscard]] int OfficeCount() const { return static_cast<int>(FOffices.size()); }
    [[nodiscard]] const TPlacedexCity& City(int Index) const;
    [[nodiscard]] const TPlacedexTown& Town(int Index) const;
    [[nodiscard]] const TPlacedexLarge& Office(int Index) const;
    // The bytes of the last searched address as the library got them.
    [[nodiscard]] const QByteArray& SearchedAddress() const { return FAddress; }

    [[nodiscard]] const TAdrsHitRecord& BuildHit(int TownIndex, bool WithCoordinates);

    static constexpr int MaxAddressBytes = 254;
    static constexpr int MaxRecords = 32767;

private:
    using TJisCount = std::int32_t (*)(const char* Address, std::int32_t* Count, const char* DicFolder);
    using TJisList = std::int32_t (*)(const char* Address, TPlacedexCity* Cities, std::int32_t Count,
                                      const char* DicFolder);
    using TTownCount = std::int32_t (*)(const char* Address, const TPlacedexCity* City, std::int32_t* Count,
                                        const char* DicFolder);
    using TTownList = std::int32_t (*)(const char* Address, const TPlacedexCity* City, TPlacedexTown* Towns,
                                       std::int32_t Count, const char* DicFolder);
    using TLargeList = std::int32_t (*)(const char* Address, const TPlacedexCity* City, TPlacedexTown* Towns,
                                        TPlacedexLarge* Larges, std::int32_t Count, const char* DicFolder);

    QString FLibraryFolder;
    QString FDicFolder;
    TDynLib FLibrary;
    TJisCount FPlacedexJisCount = nullptr;
    TJisList FPlacedexJisList = nullptr;
    TTownCount FPlacedexTownCount = nullptr;
    TTownList FPlacedexTownList = nullptr;
    TTownCount FPlacedexLargeCount = nullptr;
    TLargeList FPlacedexLargeList = nullptr;
    QList<TPlacedexCity> FCities;
    QList<TPlacedexTown> FTowns;
    QList<TPlacedexLarge> FOffices;
    TAdrsHitRecord FHit;
    QByteArray FAddress;
    int FListedCity = -1;
    int FListedKind = -1;
};

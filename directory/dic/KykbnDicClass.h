#pragma once

#include "platform/dynlib/DynLib.h"
#include "platform/sys/Exceptions.h"

#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

// The area-code dictionary Areadex.so: a telephone number to the municipalities of its exchange,
// the towns of one of them, and the entry the dictionary dialog takes over.

class EKykbnSearchError : public Exception
{
public:
    using Exception::Exception;
};

class EAreadexError : public EKykbnSearchError
{
public:
    using EKykbnSearchError::EKykbnSearchError;
};

struct TAreadexCity
{
    char JisCode[6];
    char Kanji[40];
    char Reserved[2];
    std::int32_t TownCount;
};
static_assert(sizeof(TAreadexCity) == 52);
static_assert(offsetof(TAreadexCity, Kanji) == 6);
static_assert(offsetof(TAreadexCity, TownCount) == 48);

struct TAreadexTown
{
    char Initial[2];
    char Pos[8];
    char Codes[12];
    char Kanji[74];
};
static_assert(sizeof(TAreadexTown) == 96);
static_assert(offsetof(TAreadexTown, Pos) == 2);
static_assert(offsetof(TAreadexTown, Codes) == 10);
static_assert(offsetof(TAreadexTown, Kanji) == 22);

struct TKykbnHitRecord
{
    static constexpr int TelCapacity = 14;

    QString Tel; // hyphenated
    QString Pos;
    QString TdfknKana;
    QString TdfknKanji;
    QString CityKana;
    QString CityKanji;
    QString TownKana;
    QString TownKanji;
    QString JisCode;
    QString KajoCode;
    std::int32_t Latitude = 0;
    std::int32_t Longitude = 0;
};

class TKykbnSearch
{
public:
    TKykbnSearch(const QString& LibraryFolder, const QString& DicFolder);
    virtual ~TKykbnSearch();
    TKykbnSearch(const TKykbnSearch&) = delete;
    TKykbnSearch& operator=(const TKykbnSearch&) = delete;

    // 0 found, 4 not a number, 8 no such exchange.
    int Search(const QString& Number, QString* Hyphenated = nullptr);
    // 0 listed (or listed already), 8 no towns.
    int ListTowns(int CityIndex);

    [[nodiscard]] int CityCount() const { return static_cast<int>(FCities.size()); }
    [[nodiscard]] int TownCount() const { return static_cast<int>(FTowns.size()); }
    [[nodiscard]] const TAreadexCity& City(int Index) const;
    [[nodiscard]] const TAreadexTown& Town(int Index) const;

    [[nodiscard]] const TKykbnHitRecord& BuildHit(int TownIndex, bool WithCoordinates);

    static constexpr int Batch = 20;
    static constexpr int MaxRecords = 32767;

private:
    using TPrefix = std::int32_t (*)(const char* Number, char* Prefix, std::int16_t* Count, const char* DicFolder);
    using TCity2 = std::int32_t (*)(const char* Number, TAreadexCity* Cities, const char* DicFolder);
    using TFirst = void* (*)(const char* Number, const TAreadexCity* City, TAreadexTown* Towns, std::int32_t* Rc,
                             const char* DicFolder);
    using TClose = void (*)(void* Handle);
    using TNext = std::int32_t (*)(void* Handle, TAreadexTown* Towns);
    using TPrev = void (*)();

    [[nodiscard]] QString Hyphenate(const QString& Number) const;

    QString FLibraryFolder;
    QString FDicFolder;
    TDynLib FLibrary;
    TPrefix FAreadexPrefix = nullptr;
    TCity2 FAreadexCity2 = nullptr;
    TFirst FAreadexTown2First = nullptr;
    TClose FAreadexTown2Close = nullptr;
    TNext FAreadexTown2Next = nullptr;
    TPrev FAreadexTown2Prev = nullptr;
    QList<TAreadexCity> FCities;
    QList<TAreadexTown> FTowns;
    TKykbnHitRecord FHit;
    QString FNumber;
    int FListedCity = -1;
};

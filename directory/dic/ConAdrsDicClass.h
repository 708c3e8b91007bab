#pragma once

#include "platform/dynlib/DynLib.h"
#include "platform/sys/Exceptions.h"

#include <QString>
#include <cstddef>
#include <cstdint>

// The address normalisation library Placefix.so, one address after another without a choice by the
// user: the text import creates one object per run and takes code and coordinates of each hit.

class EContinualAdrsSearchError : public Exception
{
public:
    using Exception::Exception;
};

class EPlacefixErro : public EContinualAdrsSearchError
{
public:
    using EContinualAdrsSearchError::EContinualAdrsSearchError;
};

struct TPlacefixRecord
{
    char JisCode[6];
    char Pos[10];
    char PrefKana[10];
    char PrefKanji[10];
    char CityKana[26];
    char CityKanji[26];
    char TownKana[102];
    char TownKanji[102];
    char KajoCode[7];
    char Reserved[3];
};
static_assert(sizeof(TPlacefixRecord) == 302);
static_assert(offsetof(TPlacefixRecord, Pos) == 6);
static_assert(offsetof(TPlacefixRecord, PrefKana) == 16);
static_assert(offsetof(TPlacefixRecord, PrefKanji) == 26);
static_assert(offsetof(TPlacefixRecord, CityKana) == 36);
static_assert(offsetof(TPlacefixRecord, CityKanji) == 62);
static_assert(offsetof(TPlacefixRecord, TownKana) == 88);
static_assert(offsetof(TPlacefixRecord, TownKanji) == 190);
static_assert(offsetof(TPlacefixRecord, KajoCode) == 292);

struct TContinualAdrsResult
{
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

class TContinualAdrsSearch
{
public:
    TContinualAdrsSearch(const QString& LibraryFolder, const QString& DicFolder);
    virtual ~TContinualAdrsSearch();
    TContinualAdrsSearch(const TContinualAdrsSearch&) = delete;
    TContinualAdrsSearch& operator=(const TContinualAdrsSearch&) = delete;

    // 0 a town was found, 1 only its municipality, 4 not an address, 8 nothing found.
    int Search(const QString& Address);
    [[nodiscard]] const TContinualAdrsResult& GetResult(bool WithCoordinates);

private:
    using TAdrs = std::int32_t (*)(const char* Address, TPlacefixRecord* Record, const char* DicFolder);

    QString FLibraryFolder;
    QString FDicFolder;
    TDynLib FLibrary;
    TAdrs FPlacefixAdrs = nullptr;
    TPlacefixRecord FRecord{};
    bool FBuilt = false;
    bool FWithCoordinates = false;
    QString FAddress;
    TContinualAdrsResult FResult;
    bool FGeomarkHeld = false;
    bool FGeomarkTried = false;
};

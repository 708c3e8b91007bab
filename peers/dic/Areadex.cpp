// Stand-in for the area-code dictionary: a telephone number to the municipalities of its exchange
// area and their towns. The exchange area is the Japanese description of libphonenumber's offline
// geocoder, as the dictionary's exchange table holds it for the usual numbers and the geocoder
// itself gives it for the rest (AreaGeocode.h); its municipalities are the numbering plan's, as the
// dictionary's area table holds them (ExchangeAreas.tsv), and their towns come from the postal
// dictionary. rc: 0 found; 1 more towns follow; 4 not a Japanese number; 8 no exchange area (or no
// towns); 12 no dictionary; 2 a bad argument.

#include "peers/dic/AreaGeocode.h"
#include "peers/dic/PlaceIndex.h"
#include "platform/sys/FileVersionNote.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {

struct TCityRecord
{
    char JisCode[6];
    char Kanji[40];
    char Reserved[2];
    std::int32_t TownCount;
};
static_assert(sizeof(TCityRecord) == 52);
static_assert(offsetof(TCityRecord, Kanji) == 6);
static_assert(offsetof(TCityRecord, TownCount) == 48);

struct TTownRecord
{
    char Initial[2];
    char Pos[8];
    char Codes[12];
    char Kanji[74];
};
static_assert(sizeof(TTownRecord) == 96);
static_assert(offsetof(TTownRecord, Pos) == 2);
static_assert(offsetof(TTownRecord, Codes) == 10);
static_assert(offsetof(TTownRecord, Kanji) == 22);

constexpr int Batch = 20;
constexpr std::int32_t RcLast = 0;
constexpr std::int32_t RcMore = 1;
constexpr std::int32_t RcBadArgument = 2;
constexpr std::int32_t RcBadNumber = 4;
constexpr std::int32_t RcNone = 8;
constexpr std::int32_t RcNoDictionary = 12;

std::string CityKanji(const dicstore::TPlaceCity& City)
{
    return dicstore::ToCp932(City.PrefName + City.Name, 40);
}

// The dictionary's exchange table answers a ten-digit number by the five digits after its trunk 0,
// which is all the plan and the geocoder read of such a number. Numbers of another shape, those
// that begin like the international prefix among them, and a dictionary without the table are left
// to the geocoder.
bool TableArea(const dicstore::TPlaceIndex& Index, const char* Number, dicstore::TGeocodedNumber& Out)
{
    if (std::strlen(Number) != 10 || Number[0] != '0' || Number[1] == '0' || std::strncmp(Number, "010", 3) == 0 ||
        !std::all_of(Number, Number + 10, [](char C) { return C >= '0' && C <= '9'; }))
        return false;
    const long long Prefix = std::stoll(std::string(Number + 1, 5));
    std::lock_guard<std::mutex> Guard(Index.Lock);
    dicstore::Statement Run(
        Index.Db, "SELECT Last, Valid, Area, Pref FROM exchange WHERE First <= ?1 ORDER BY First DESC LIMIT 1");
    if (!Run.Ok())
        return false;
    Run.Int(1, Prefix);
    if (!Run.Step() || Run.ColumnInt(0) < Prefix)
        return false;
    Out.Valid = Run.ColumnInt(1) != 0;
    Out.Area = Run.ColumnText(2);
    Out.Pref = static_cast<int>(Run.ColumnInt(3));
    return true;
}

// AreadexGeocoder.so from this library's own folder (through a link to it as well), loaded at the
// first number the table leaves open and held while this library is.
class TGeocoderLibrary
{
public:
    TGeocoderLibrary() = default;
    TGeocoderLibrary(const TGeocoderLibrary&) = delete;
    TGeocoderLibrary& operator=(const TGeocoderLibrary&) = delete;
    ~TGeocoderLibrary()
    {
        if (FHandle)
            dlclose(FHandle);
    }

    TAreadexGeocodeProc Proc()
    {
        std::lock_guard<std::mutex> Guard(FLock);
        if (FTried)
            return FProc;
        FTried = true;
        Dl_info Info{};
        if (!dladdr(reinterpret_cast<void*>(&CityKanji), &Info) || !Info.dli_fname)
            return nullptr;
        char* Real = realpath(Info.dli_fname, nullptr);
        std::string Path = Real ? Real : Info.dli_fname;
        std::free(Real);
        Path = Path.substr(0, Path.rfind('/') + 1) + AreadexGeocoderFile;
        FHandle = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (FHandle)
            FProc = reinterpret_cast<TAreadexGeocodeProc>(dlsym(FHandle, AreadexGeocoderExport));
        return FProc;
    }

private:
    std::mutex FLock;
    bool FTried = false;
    void* FHandle = nullptr;
    TAreadexGeocodeProc FProc = nullptr;
};

TGeocoderLibrary GeocoderLibrary;

// The geocoder's answer; false when this stand-in is installed without its geocoder part.
bool GeocodedArea(const char* Number, dicstore::TGeocodedNumber& Out)
{
    const TAreadexGeocodeProc Geocode = GeocoderLibrary.Proc();
    if (!Geocode)
        return false;
    char Area[256];
    std::int32_t Pref = -1;
    Out.Valid = Geocode(Number, Area, sizeof Area, &Pref) == 0;
    Out.Area = Area;
    Out.Pref = Pref;
    return true;
}

// The dictionary as this library reads it: the exchange table, and the municipalities of an area
// read from the area table when a number of it first comes. The whole list of municipalities,
// which the address libraries read, is read only for an area the table lacks.
struct TAreaDictionary
{
    dicstore::TPlaceIndex File; // the connection and its lock; its own list of municipalities stays empty
    std::map<std::string, std::vector<dicstore::TPlaceCity>> Listed;
    std::map<std::string, bool> InTable;
};

TAreaDictionary* LoadAreaDictionary(const char* DicFolder)
{
    static std::mutex Lock;
    static std::map<std::string, std::unique_ptr<TAreaDictionary>> Loaded;
    std::lock_guard<std::mutex> Guard(Lock);
    std::unique_ptr<TAreaDictionary>& Dictionary = Loaded[DicFolder ? DicFolder : ""];
    if (!Dictionary) {
        sqlite3* Db = dicstore::OpenMapped(DicFolder);
        if (!Db)
            return nullptr;
        Dictionary = std::make_unique<TAreaDictionary>();
        Dictionary->File.Db = Db;
    }
    return Dictionary.get();
}

// The municipalities the area table lists for an area, in its order; nothing when it lacks the area.
const std::vector<dicstore::TPlaceCity>* ListedCities(TAreaDictionary& Dictionary, const std::string& Area)
{
    std::lock_guard<std::mutex> Guard(Dictionary.File.Lock);
    auto Known = Dictionary.InTable.find(Area);
    if (Known == Dictionary.InTable.end()) {
        dicstore::Statement Rows(Dictionary.File.Db, "SELECT 1 FROM area WHERE Name = ?1 LIMIT 1");
        Rows.Text(1, Area);
        Known = Dictionary.InTable.emplace(Area, Rows.Step()).first;
        if (Known->second) {
            dicstore::Statement Cities(Dictionary.File.Db,
                                       (std::string("SELECT ") + dicstore::CityColumns +
                                        " FROM area a JOIN city c ON c.Id = a.City LEFT JOIN pref p ON p.Id = c.Pref"
                                        " WHERE a.Name = ?1 ORDER BY a.Seq")
                                           .c_str());
            Cities.Text(1, Area);
            std::vector<dicstore::TPlaceCity>& Into = Dictionary.Listed[Area];
            while (Cities.Step())
                Into.push_back(dicstore::ReadCity(Cities));
        }
    }
    return Known->second ? &Dictionary.Listed[Area] : nullptr;
}

// The municipalities of a number's exchange area, and the dictionary they are read from, or an rc.
std::int32_t AreaCities(const char* Number, const char* DicFolder, std::vector<const dicstore::TPlaceCity*>& Cities,
                        const dicstore::TPlaceIndex*& From)
{
    if (!Number)
        return RcBadArgument;
    TAreaDictionary* Dictionary = LoadAreaDictionary(DicFolder);
    dicstore::TGeocodedNumber Found;
    if (!(Dictionary && TableArea(Dictionary->File, Number, Found)) && !GeocodedArea(Number, Found))
        return RcNoDictionary;
    if (!Found.Valid)
        return RcBadNumber;
    const std::string& Area = Found.Area;
    const int Pref = Found.Pref;
    if (Area.empty() || Area == "日本")
        return RcNone;
    if (!Dictionary)
        return RcNoDictionary;
    // The numbering plan's own list of the area's municipalities; guesses by name only for an area
    // the geocoder learned after the table was written.
    if (const std::vector<dicstore::TPlaceCity>* Listed = ListedCities(*Dictionary, Area)) {
        From = &Dictionary->File;
        for (const dicstore::TPlaceCity& City : *Listed)
            Cities.push_back(&City);
        return Cities.empty() ? RcNone : RcLast;
    }
    const dicstore::TPlaceIndex* Index = dicstore::LoadPlaceIndex(DicFolder);
    if (!Index)
        return RcNoDictionary;
    From = Index;
    auto InPref = [&](const dicstore::TPlaceCity& City) { return Pref < 0 || City.Pref == Pref; };
    // The capital's area is its twenty-three wards.
    if (Area == "東京") {
        for (const dicstore::TPlaceCity& City : Index->Cities)
            if (City.Pref == 12 && City.Ward.empty() && City.Name.size() > 3 &&
                City.Name.compare(City.Name.size() - 3, 3, "区") == 0)
                Cities.push_back(&City);
        return Cities.empty() ? RcNone : RcLast;
    }
    const std::string Named = Area + "市";
    for (const dicstore::TPlaceCity& City : Index->Cities)
        if (InPref(City) && (City.Name == Named || City.Ward == Named))
            Cities.push_back(&City);
    if (Cities.empty())
        for (const dicstore::TPlaceCity& City : Index->Cities)
            if (InPref(City) && dicstore::StartsWith(City.Name, Area))
                Cities.push_back(&City);
    return Cities.empty() ? RcNone : RcLast;
}

struct TListing
{
    std::vector<TTownRecord> Towns;
    size_t Next = 0;
};

std::int32_t Fill(TListing& Listing, void* Buffer)
{
    auto* Out = static_cast<TTownRecord*>(Buffer);
    std::memset(Out, 0, sizeof(TTownRecord) * Batch);
    int Filled = 0;
    while (Filled < Batch && Listing.Next < Listing.Towns.size())
        Out[Filled++] = Listing.Towns[Listing.Next++];
    return Listing.Next < Listing.Towns.size() ? RcMore : RcLast;
}

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

VX_EXPORT std::int32_t AreadexPrefix(const char* Number, char* Prefix, std::int16_t* Count, const char* DicFolder)
{
    if (!Prefix || !Count)
        return RcBadArgument;
    std::vector<const dicstore::TPlaceCity*> Cities;
    const dicstore::TPlaceIndex* From = nullptr;
    std::int32_t Rc = AreaCities(Number, DicFolder, Cities, From);
    *Count = static_cast<std::int16_t>(Cities.size() > 32767 ? 32767 : Cities.size());
    if (Rc == RcLast)
        std::strncpy(Prefix, Number, 13);
    return Rc;
}

VX_EXPORT std::int32_t AreadexCity2(const char* Number, void* Cities, const char* DicFolder)
{
    if (!Cities)
        return RcBadArgument;
    std::vector<const dicstore::TPlaceCity*> Found;
    const dicstore::TPlaceIndex* From = nullptr;
    std::int32_t Rc = AreaCities(Number, DicFolder, Found, From);
    if (Rc != RcLast)
        return Rc;
    auto* Out = static_cast<TCityRecord*>(Cities);
    for (size_t I = 0; I < Found.size() && I < Batch; ++I) {
        Out[I] = TCityRecord{};
        dicstore::PutField(Out[I].Kanji, sizeof Out[I].Kanji, CityKanji(*Found[I]));
        size_t Towns = 0;
        const auto& All = dicstore::TownsOf(*From, *Found[I]);
        for (const dicstore::TPlaceTown& Town : All)
            Towns += Town.Name.empty() ? 0 : 1;
        if (Towns == 0)
            Towns = All.size();
        Out[I].TownCount = static_cast<std::int32_t>(Towns);
    }
    return RcLast;
}

VX_EXPORT void* AreadexTown2First(const char* Number, const void* City, void* Buffer, std::int32_t* Rc,
                                  const char* DicFolder)
{
    if (!Rc)
        return nullptr;
    std::vector<const dicstore::TPlaceCity*> Found;
    const dicstore::TPlaceIndex* From = nullptr;
    *Rc = City && Buffer ? AreaCities(Number, DicFolder, Found, From) : RcBadArgument;
    if (*Rc != RcLast)
        return nullptr;
    const auto* Wanted = static_cast<const TCityRecord*>(City);
    for (const dicstore::TPlaceCity* Candidate : Found) {
        TCityRecord Made{};
        dicstore::PutField(Made.Kanji, sizeof Made.Kanji, CityKanji(*Candidate));
        if (std::memcmp(Made.Kanji, Wanted->Kanji, sizeof Made.Kanji) != 0)
            continue;
        auto* Listing = new TListing;
        // A municipality that only has codes of its own (直島町) is listed by them, so it can be chosen.
        const auto& All = dicstore::TownsOf(*From, *Candidate);
        const bool Named =
            std::any_of(All.begin(), All.end(), [](const dicstore::TPlaceTown& Town) { return !Town.Name.empty(); });
        for (const dicstore::TPlaceTown& Town : All) {
            if (Named && Town.Name.empty())
                continue;
            TTownRecord Record{};
            if (!Town.Kana.empty())
                Record.Initial[0] = Town.Kana[0];
            dicstore::PutField(Record.Pos, sizeof Record.Pos, Town.Code);
            dicstore::PutField(Record.Kanji, sizeof Record.Kanji, dicstore::CutCp932(Town.Kanji, 74));
            Listing->Towns.push_back(Record);
        }
        if (Listing->Towns.empty()) {
            delete Listing;
            *Rc = RcNone;
            return nullptr;
        }
        *Rc = Fill(*Listing, Buffer);
        return Listing;
    }
    *Rc = RcNone;
    return nullptr;
}

VX_EXPORT std::int32_t AreadexTown2Next(void* Handle, void* Buffer)
{
    if (!Handle || !Buffer)
        return RcBadArgument;
    return Fill(*static_cast<TListing*>(Handle), Buffer);
}

VX_EXPORT void AreadexTown2Close(void* Handle)
{
    delete static_cast<TListing*>(Handle);
}

// Kept for the interface; nothing here calls it.
VX_EXPORT std::int32_t AreadexTown2Prev(void* Handle, void* Buffer)
{
    return Handle && Buffer ? RcLast : RcBadArgument;
}
